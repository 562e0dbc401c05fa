// The shared records, defined once, and the one way start-up ends.
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

LauncherState Launcher;
LauncherPlan Plan;
LauncherSettings Settings;

int EndStartup(StartupEnd why)
{
    Plan.end = why;
    return 0;
}
