// What the window is made of, loaded once at start-up: the button font and
// its metrics, the backdrop picture and the start-up sound; and the words
// the picture shows, looked up when asked.
#include "ui/ui.h"
#include "base/system_dlls.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

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

bool DiscPicturePath(wchar_t (&path)[256])
{
    // A cut path would name another file.
    return Plan.settings.hasBitmap && TextJoin(path, Launcher.moduleDir, IniName(Settings.Bitmap));
}

int LoadBackdrop()
{
    Plan.backdropResource = 0;
    wchar_t path[256];
    if (Launcher.installNeeded && !Settings.bothTypes) {
        Plan.backdropResource = Plan.language->prompt;
        Launcher.backdropBitmap = LoadBitmapA(Launcher.appInstance, MAKEINTRESOURCEA(Plan.backdropResource));
    } else {
        if (!DiscPicturePath(path))
            return EndStartup(StartupEnd::NoBitmap);
        Launcher.backdropBitmap =
            static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    return Launcher.backdropBitmap ? 1 : EndStartup(StartupEnd::NoBitmap);
}

void BackdropWords(wchar_t (&words)[256])
{
    words[0] = L'\0';
    if (Plan.backdropResource)
        LoadStringW(Launcher.appInstance, Plan.backdropResource, words, ARRAYSIZE(words));
    else if (Plan.settings.hasBitmapText)
        TextToWide(words, Plan.bitmapText.text, Plan.bitmapText.codePage);
}

bool FindSoundFile(wchar_t (&file)[MAX_PATH])
{
    // Where the sound library looks for a relative name: the launcher's and
    // the current folder first. The launcher's folder is asked by name, so
    // that a program elsewhere asking for it (the disc checker) finds the same.
    wchar_t sound[256];
    TextCopy(sound, IniName(Settings.Audio));
    DWORD length = SearchPathW(Launcher.moduleDir, sound, L".wav", MAX_PATH, file, nullptr);
    if (length == 0)
        length = SearchPathW(nullptr, sound, L".wav", MAX_PATH, file, nullptr);
    if (length >= MAX_PATH)
        TextCopy(file, sound);
    return length != 0;
}

void FindStartupSound()
{
    // As read, not as found: a relative name resolves against the current
    // folder, still the one start-up began in (only Install changes it, and
    // Install closes the launcher).
    Plan.sound = Settings.Audio;
    // Without a file there is nothing to hear, and the library need not be
    // loaded at all.
    wchar_t found[MAX_PATH];
    Plan.soundPlays = Launcher.installNeeded && FindSoundFile(found);
}

void PlayStartupSound()
{
    if (!Plan.soundPlays)
        return;
    auto play = SystemFunction<decltype(&PlaySoundW)>("winmm.dll", "PlaySoundW");
    // A file that can't be played is silence, never the system's default sound.
    wchar_t sound[256];
    TextCopy(sound, IniName(Plan.sound));
    if (play)
        play(sound, nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
}
