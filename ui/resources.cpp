// What the window is made of, loaded once at start-up: the button font and
// its metrics, the backdrop picture and the start-up sound.
#include "ui/ui.h"
#include "launcher/launcher.h"
#include "config/config.h"
#include "res/resource.h"

#include <mmsystem.h>

int LoadFontMetrics()
{
    LOGFONTA description = {};
    description.lfHeight         = -11;
    description.lfWeight         = FW_LIGHT;
    description.lfCharSet        = ANSI_CHARSET;
    description.lfOutPrecision   = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision  = CLIP_DEFAULT_PRECIS;
    description.lfQuality        = PROOF_QUALITY;
    description.lfPitchAndFamily = FF_MODERN | DEFAULT_PITCH;
    TextCopy(description.lfFaceName, "Verdana");

    Launcher.buttonFont = CreateFontIndirectA(&description);
    if (!Launcher.buttonFont)
        return 0;

    // The metrics size every button and the window: never leave them unset.
    HDC screen = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (!screen)
        return 0;
    HGDIOBJ previous = SelectObject(screen, Launcher.buttonFont);
    TEXTMETRICA metrics;
    BOOL measured = GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    DeleteDC(screen);
    if (!measured)
        return 0;

    Launcher.textHeight = metrics.tmHeight;
    Launcher.charWidth  = metrics.tmAveCharWidth;
    return 1;
}

static int PromptBitmapId()
{
    switch (Settings.Language[0]) {
    case 'I': return IDB_PROMPT_ITALIAN;
    case 'R': return IDB_PROMPT_RUSSIAN;
    case 'G': return IDB_PROMPT_GERMAN;
    case 'F': return IDB_PROMPT_FRENCH;
    default:  return IDB_PROMPT_ENGLISH;
    }
}

int LoadBackdrop()
{
    if (Launcher.installNeeded && !Settings.bothTypes) {
        Launcher.backdropBitmap = LoadBitmapA(Launcher.appInstance, MAKEINTRESOURCEA(PromptBitmapId()));
    } else {
        if (Settings.Bitmap[0] == '?')
            return 0;
        char path[256];
        if (!TextJoin(path, Launcher.moduleDir, Settings.Bitmap))
            return 0; // a cut path would name another file
        Launcher.backdropBitmap =
            static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    return Launcher.backdropBitmap ? 1 : 0;
}

void PlayStartupSound()
{
    if (!Launcher.installNeeded)
        return;
    // Relative names resolve against the current folder; a missing file is
    // silence, never the system's default sound.
    PlaySoundA(Settings.Audio, nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
}
