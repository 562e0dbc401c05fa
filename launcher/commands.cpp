// The buttons' commands, as the plan says: the starts made, a start that
// failed reported, the launcher closed.
#include "launcher/window.h"
#include "launcher/startup.h"
#include "base/process.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/state.h"

static void ReportStartFailure(HWND window, const ProgramStart &failed)
{
    wchar_t message[256];
    // Cut to fit: the message names as much of the command line as it can,
    // with the real letters of its folder.
    TextFormat(message, L"Unable to run application : %s", failed.commandLine);
    MessageBoxW(window, message, L"Information", MB_ICONINFORMATION);
}

bool MakeStarts(const StartPlan &plan, HWND window)
{
    ProgramStart start = {};
    for (BYTE i = 0; i < plan.count; ++i) {
        const PlannedStart &planned = plan.starts[i];
        if (planned.folder)
            SetCurrentDirectoryW(planned.folder); // a failure shows in the start
        start = FindLauncherStart(planned.what);
        if (StartProgram(start, planned.showsWindow, planned.waitsMs))
            return true;
    }
    if (plan.count && plan.reportsFailure)
        ReportStartFailure(window, start);
    return false;
}

void OnCommand(WORD notification, HWND window, WORD controlId)
{
    if (controlId < IDB_ACTION || controlId > IDB_EXTRA || notification != BN_CLICKED)
        return;
    const StartPlan &plan = Plan.presses[controlId - IDB_ACTION];
    MakeStarts(plan, window);
    if (plan.closesLauncher)
        SendMessageA(window, WM_CLOSE, 0, 0);
}
