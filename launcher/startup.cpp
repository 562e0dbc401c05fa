// Start-up: the guards and the chain that decide how the launcher is to
// run, the plan, then the few effects of it before any window.
#include "launcher/startup.h"
#include "base/text.h"
#include "config/config.h"
#include "install/install.h"
#include "records/plan.h"
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
    return CheckEditionConflict() && CheckRunningApplication();
}

// The start-up chain from the launcher's folder to the sound; 0 when a step
// ended start-up (Plan.end says why).
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

// Every decision of start-up, in order; each end of it says why through
// EndStartup, the guards' as the steps'.
static void Decide(const wchar_t *launcherFile)
{
    Plan.platformVersion = LOBYTE(LOWORD(GetVersion()));
    if (Plan.platformVersion < 4) {
        EndStartup(StartupEnd::OldPlatform);
        return;
    }
    if ((Plan.outsideInstaller = FindWindowA("InstallShield_Win", nullptr))) {
        EndStartup(StartupEnd::OutsideInstaller);
        return;
    }
    if ((Plan.otherLauncher = FindWindowA(LAUNCHER_CLASS, nullptr))) {
        Plan.toFront = Plan.otherLauncher; // restored or not, as it is
        EndStartup(StartupEnd::LauncherRunning);
        return;
    }
    if (!InitLauncher(launcherFile))
        return;
    if (Plan.settings.wrongDisc && Launcher.installNeeded) {
        EndStartup(StartupEnd::WrongDisc);
        return;
    }
    EndStartup(Plan.settings.runImmediately && !Launcher.installNeeded ? StartupEnd::StartNow : StartupEnd::Window);
    PlanPresses();
}

StartupEnd DecideStartup(const wchar_t *launcherFile, const wchar_t *displayLanguages)
{
    Plan = LauncherPlan{};
    Plan.displayLanguages = displayLanguages;
    Decide(launcherFile);
    return Plan.end;
}

void ActOnStartup()
{
    if (Plan.end == StartupEnd::OldPlatform)
        MessageBoxA(nullptr, "This program intended to be used for autoplay feature under Win95 and WinNT 4.0.",
                    "Information", MB_ICONINFORMATION);
    if (Plan.settingsLoaded)
        EnsureVendorKeys();
    if (Plan.end == StartupEnd::EditionConflict) {
        wchar_t caption[256];
        TextToWide(caption, Plan.title.text, Plan.title.codePage);
        MessageBoxW(nullptr, Plan.conflictMessage, caption, MB_OK | MB_ICONWARNING);
    }
    if (Plan.toFront) {
        if (Plan.restoreFirst)
            ShowWindow(Plan.toFront, SW_RESTORE);
        SetForegroundWindow(Plan.toFront);
    }
}
