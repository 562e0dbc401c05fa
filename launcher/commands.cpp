// The buttons' commands: start the installer, the installed application or
// the third button's program, report a start that failed, close the launcher.
#include "launcher/window.h"
#include "base/process.h"
#include "base/text.h"
#include "records/settings.h"
#include "records/state.h"

namespace {

void ReportStartFailure(HWND window, const wchar_t *directory, const char *program)
{
    wchar_t commandLine[256], message[256];
    // Cut to fit: the message names as much of the command line as it can,
    // with the real letters of its folder.
    ProgramCommandLine(commandLine, directory, Ansi{program});
    TextFormat(message, L"Unable to run application : %s", commandLine);
    MessageBoxW(window, message, L"Information", MB_ICONINFORMATION);
}

} // namespace

void OnCommand(WORD notification, HWND window, WORD controlId)
{
    if (controlId != IDB_ACTION && controlId != IDB_QUIT && controlId != IDB_EXTRA)
        return;
    if (notification != BN_CLICKED)
        return;

    const DWORD untilReady = 2000;
    if (controlId == IDB_ACTION && Launcher.installNeeded) {
        SetCurrentDirectoryW(Launcher.moduleDir); // a failure shows in the start
        if (!StartProgram(Launcher.moduleDir, Ansi{Settings.Installer}, true, untilReady))
            ReportStartFailure(window, Launcher.moduleDir, Settings.Installer);
    } else if (controlId == IDB_ACTION) {
        SetCurrentDirectoryW(Launcher.installDir);
        if (!StartProgram(Launcher.installDir, Ansi{Settings.ApplicationName}, true, 0)) {
            // The second attempt keeps installDir as the current directory.
            if (Settings.AppFromCd[0] != 'Y')
                ReportStartFailure(window, Launcher.installDir, Settings.ApplicationName);
            else if (!StartProgram(Launcher.cdAppDir, Ansi{Settings.ApplicationName}, true, 0))
                ReportStartFailure(window, Launcher.cdAppDir, Settings.ApplicationName);
        }
    } else if (controlId == IDB_EXTRA) {
        if (!StartProgram(Launcher.moduleDir, Ansi{Settings.DemoMovie}, true, untilReady))
            ReportStartFailure(window, Launcher.moduleDir, Settings.DemoMovie);
        if (!Settings.bothTypes)
            return; // the launcher stays for another press
    }
    SendMessageA(window, WM_CLOSE, 0, 0);
}
