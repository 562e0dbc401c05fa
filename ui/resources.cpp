// What the window is made of, loaded once at start-up: the button font and
// its metrics, the backdrop picture and the start-up sound; and the words
// the picture shows, looked up when asked.
#include "ui/ui.h"
#include "base/system_dlls.h"
#include "base/text.h"
#include "records/findings.h"
#include "records/settings.h"
#include "records/state.h"
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
        return EndStartup(StartupEnd::NoFont);

    // The metrics size every button and the window: never leave them unset.
    HDC screen = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (!screen)
        return EndStartup(StartupEnd::NoFont);
    HGDIOBJ previous = SelectObject(screen, Launcher.buttonFont);
    TEXTMETRICA metrics;
    BOOL measured = GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    DeleteDC(screen);
    if (!measured)
        return EndStartup(StartupEnd::NoFont);

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
    Found.backdropResource = 0;
    Found.backdropPath[0] = L'\0';
    if (Launcher.installNeeded && !Settings.bothTypes) {
        Found.backdropResource = PromptBitmapId();
        Launcher.backdropBitmap = LoadBitmapA(Launcher.appInstance, MAKEINTRESOURCEA(Found.backdropResource));
    } else {
        if (Settings.Bitmap[0] == '?')
            return EndStartup(StartupEnd::NoBitmap);
        // A cut path would name another file.
        if (!TextJoin(Found.backdropPath, Launcher.moduleDir, IniName(Settings.Bitmap)))
            return EndStartup(StartupEnd::NoBitmap);
        Launcher.backdropBitmap =
            static_cast<HBITMAP>(LoadImageW(nullptr, Found.backdropPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    return Launcher.backdropBitmap ? 1 : EndStartup(StartupEnd::NoBitmap);
}

void BackdropWords(wchar_t (&words)[256])
{
    words[0] = L'\0';
    if (Found.backdropResource)
        LoadStringW(Launcher.appInstance, Found.backdropResource, words, ARRAYSIZE(words));
    else if (Settings.BitmapText[0] != '?')
        TextToWide(words, Settings.BitmapText, Launcher.textCodePage);
}

void FindStartupSound()
{
    Found.soundFile[0] = L'\0';
    if (!Launcher.installNeeded)
        return;
    // Where the sound library looks for a relative name: the launcher's and
    // the current folder first. Without a file there is nothing to hear, and
    // the library need not be loaded at all.
    wchar_t sound[256];
    TextCopy(sound, IniName(Settings.Audio));
    DWORD length = SearchPathW(nullptr, sound, L".wav", MAX_PATH, Found.soundFile, nullptr);
    if (length >= MAX_PATH)
        TextCopy(Found.soundFile, sound);
}

void PlayStartupSound()
{
    if (!Found.soundFile[0])
        return;
    auto play = SystemFunction<decltype(&PlaySoundW)>("winmm.dll", "PlaySoundW");
    // As read, not as found: a relative name resolves against the current
    // folder, still the one start-up began in (only Install changes it, and
    // Install closes the launcher); a file that can't be played is silence,
    // never the system's default sound.
    wchar_t sound[256];
    TextCopy(sound, IniName(Settings.Audio));
    if (play)
        play(sound, nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
}
