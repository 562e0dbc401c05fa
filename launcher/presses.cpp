// What each button's press does, and the immediate start, decided once at
// start-up: which starts in turn, from which folder, how, and whether the
// launcher closes afterwards. Which file a start runs is found when it is
// made, by the function the disc checker asks too.
#include "launcher/startup.h"
#include "base/process.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

void PlanPress(Press press, bool installNeeded, StartPlan &plan)
{
    // The installer and the third button's program get two seconds to be
    // ready before the launcher goes on; the application none.
    const WORD untilReady = 2000;
    plan = {};
    plan.reportsFailure = true;
    plan.closesLauncher = true;
    auto add = [&plan](LauncherStart what, const wchar_t *folder, WORD waitsMs) {
        plan.starts[plan.count++] = {what, folder, true, waitsMs};
    };
    switch (press) {
    case Press::Action:
        if (installNeeded) {
            add(LauncherStart::Install, Launcher.moduleDir, untilReady);
        } else {
            add(LauncherStart::Start, Launcher.installDir, 0);
            // The second attempt keeps installDir as the current folder.
            if (Plan.settings.appFromCd)
                add(LauncherStart::StartFromCdAppDir, Launcher.installDir, 0);
        }
        break;
    case Press::Quit:
        break;
    case Press::Extra:
        // The folder current when it is pressed: the one the launcher was
        // started in, or the installation's after the immediate start failed.
        add(LauncherStart::ThirdButton, Plan.end == StartupEnd::StartNow ? Launcher.installDir : nullptr,
            untilReady);
        plan.closesLauncher = Settings.bothTypes != 0; // else it stays for another press
        break;
    case Press::Immediate:
        // Its window as the program shows it first; when it fails, the
        // launcher's window shows instead, without a message.
        plan.starts[plan.count++] = {LauncherStart::Start, Launcher.installDir, false, 0};
        plan.reportsFailure = false;
        break;
    }
}

void PlanPresses()
{
    for (int press = 0; press < 3; ++press)
        PlanPress(static_cast<Press>(press), Launcher.installNeeded, Plan.presses[press]);
    PlanPress(Press::Immediate, false, Plan.immediate);
}

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
