// Start-up: the guards and the chain that find out how the launcher is to
// run, then the few effects of what they found.
#include "launcher/startup.h"
#include "launcher/window.h"
#include "base/process.h"
#include "base/text.h"
#include "config/config.h"
#include "install/install.h"
#include "records/findings.h"
#include "records/settings.h"
#include "records/state.h"
#include "ui/ui.h"

int KeepDirectoryPart(wchar_t *path, DWORD length)
{
    // Index 0 is never examined: a folder must keep a name before its separator.
    int i = static_cast<int>(length) - 1;
    while (i >= 1 && path[i] != L'\\' && path[i] != L'/')
        --i;
    if (i < 1)
        return 0;
    path[i + 1] = L'\0';
    CharUpperBuffW(path, lstrlenW(path));
    return 1;
}

int LocateModuleDir()
{
    DWORD length = GetModuleFileNameW(Launcher.appInstance, Launcher.moduleDir, ARRAYSIZE(Launcher.moduleDir));
    // A full buffer means the path was cut: its folder is unknown.
    if (length == 0 || length >= ARRAYSIZE(Launcher.moduleDir)) {
        Launcher.moduleDir[0] = L'\0';
        return EndStartup(StartupEnd::PathTooLong);
    }
    return KeepDirectoryPart(Launcher.moduleDir, length) ? 1 : EndStartup(StartupEnd::PathTooLong);
}

// Takes the launcher's folder from its file's path; 0 when it does not fit.
static int LocateDiscDir(const wchar_t *launcherFile)
{
    if (!TextCopy(Launcher.moduleDir, launcherFile)) {
        Launcher.moduleDir[0] = L'\0';
        return EndStartup(StartupEnd::PathTooLong);
    }
    return KeepDirectoryPart(Launcher.moduleDir, lstrlenW(Launcher.moduleDir)) ? 1
                                                                                : EndStartup(StartupEnd::PathTooLong);
}

int LoadLauncherSettings()
{
    if (!ReadSettings())
        return 0;
    // The conflict message is written in the language the captions choose.
    SetCaptionsByLanguage();
    if (CheckEditionConflict())
        return EndStartup(StartupEnd::EditionConflict);
    if (!CheckRunningApplication(Found.appWindowClass))
        return EndStartup(StartupEnd::ApplicationRunning);
    return 1;
}

// The start-up chain from the launcher's folder to the sound; 0 when a step
// ended start-up (Found.end says why).
static int InitLauncher(const wchar_t *launcherFile)
{
    if (!(launcherFile ? LocateDiscDir(launcherFile) : LocateModuleDir()))
        return 0;
    if (!LoadLauncherSettings())
        return 0;
    if (!LoadFontMetrics())
        return 0;
    DetectInstallation(); // never ends start-up: a failure means "not installed"
    // The picture depends on what detection found.
    if (!LoadBackdrop())
        return 0;
    FindStartupSound();
    return 1;
}

static StartupEnd Decide(const wchar_t *launcherFile)
{
    Found.platformVersion = LOBYTE(LOWORD(GetVersion()));
    if (Found.platformVersion < 4)
        return StartupEnd::OldPlatform;
    if ((Found.outsideInstaller = FindWindowA("InstallShield_Win", nullptr)))
        return StartupEnd::OutsideInstaller;
    if ((Found.otherLauncher = FindWindowA(LAUNCHER_CLASS, nullptr)))
        return StartupEnd::LauncherRunning;
    if (!InitLauncher(launcherFile))
        return Found.end; // as the step that failed has set it
    if (Settings.WrongCD[0] == 'Y' && Launcher.installNeeded)
        return StartupEnd::WrongDisc;
    if (Settings.RunImmediately[0] == 'Y' && !Launcher.installNeeded)
        return StartupEnd::StartNow;
    return StartupEnd::Window;
}

StartupEnd DecideStartup(const wchar_t *launcherFile)
{
    Found = StartupFindings{};
    Found.end = Decide(launcherFile);
    return Found.end;
}

void ActOnStartup()
{
    if (Found.end == StartupEnd::OldPlatform) {
        MessageBoxA(nullptr, "This program intended to be used for autoplay feature under Win95 and WinNT 4.0.",
                    "Information", MB_ICONINFORMATION);
        return;
    }
    if (Found.end == StartupEnd::LauncherRunning) {
        SetForegroundWindow(Found.otherLauncher); // restored or not, as it is
        return;
    }
    if (!Found.settingsLoaded)
        return;
    EnsureVendorKeys();
    if (Found.end == StartupEnd::EditionConflict) {
        wchar_t caption[256];
        TextToWide(caption, Settings.Title, Launcher.textCodePage);
        MessageBoxW(nullptr, Found.conflictMessage, caption, MB_OK | MB_ICONWARNING);
    } else if (Found.end == StartupEnd::ApplicationRunning && Settings.AppToFront[0] == 'Y') {
        ShowWindow(Found.runningApplication, SW_RESTORE);
        SetForegroundWindow(Found.runningApplication);
    }
}

bool StartApplicationNow()
{
    SetCurrentDirectoryW(Launcher.installDir); // a failure shows in the start
    return StartProgram(FindLauncherStart(LauncherStart::Start), false, 0);
}
