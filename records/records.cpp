// The shared records, defined once, and the one way a step ends start-up.
#include "records/findings.h"
#include "records/settings.h"
#include "records/state.h"

LauncherState Launcher;
StartupFindings Found;
LauncherSettings Settings;

int EndStartup(StartupEnd why)
{
    Found.end = why;
    return 0;
}
