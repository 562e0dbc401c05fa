// The buttons' commands: start the installer, the installed application or
// the third button's program, report a start that failed, close the launcher.
#include "launcher/window.h"
#include "base/process.h"
#include "base/text.h"
#include "records/settings.h"
#include "records/state.h"

namespace {

// Makes one start; on failure false, with the command line of the attempt in
// failed.
bool Start(LauncherStart which, DWORD idleWaitMs, ProgramStart &failed)
{
    ProgramStart start = FindLauncherStart(which);
    if (StartProgram(start, true, idleWaitMs))
        return true;
    failed = start;
    return false;
}

void ReportStartFailure(HWND window, const ProgramStart &failed)
{
    wchar_t message[256];
    // Cut to fit: the message names as much of the command line as it can,
    // with the real letters of its folder.
    TextFormat(message, L"Unable to run application : %s", failed.commandLine);
    MessageBoxW(window, message, L"Information", MB_ICONINFORMATION);
}

} // namespace

ProgramStart FindLauncherStart(LauncherStart which)
{
    switch (which) {
    case LauncherStart::Install:
        return FindProgramStart(Launcher.moduleDir, IniName(Settings.Installer), StartOpens::Files);
    case LauncherStart::Start:
        return FindProgramStart(Launcher.installDir, IniName(Settings.ApplicationName));
    case LauncherStart::StartFromCdAppDir:
        return FindProgramStart(Launcher.cdAppDir, IniName(Settings.ApplicationName));
    case LauncherStart::ThirdButton:
        break;
    }
    return FindProgramStart(Launcher.moduleDir, IniName(Settings.DemoMovie), StartOpens::FilesAndWebPages);
}

void OnCommand(WORD notification, HWND window, WORD controlId)
{
    if (controlId != IDB_ACTION && controlId != IDB_QUIT && controlId != IDB_EXTRA)
        return;
    if (notification != BN_CLICKED)
        return;

    const DWORD untilReady = 2000;
    ProgramStart failed = {};
    if (controlId == IDB_ACTION && Launcher.installNeeded) {
        SetCurrentDirectoryW(Launcher.moduleDir); // a failure shows in the start
        if (!Start(LauncherStart::Install, untilReady, failed))
            ReportStartFailure(window, failed);
    } else if (controlId == IDB_ACTION) {
        SetCurrentDirectoryW(Launcher.installDir);
        // The second attempt keeps installDir as the current directory.
        if (!Start(LauncherStart::Start, 0, failed) &&
            (Settings.AppFromCd[0] != 'Y' || !Start(LauncherStart::StartFromCdAppDir, 0, failed)))
            ReportStartFailure(window, failed);
    } else if (controlId == IDB_EXTRA) {
        if (!Start(LauncherStart::ThirdButton, untilReady, failed))
            ReportStartFailure(window, failed);
        if (!Settings.bothTypes)
            return; // the launcher stays for another press
    }
    SendMessageA(window, WM_CLOSE, 0, 0);
}
