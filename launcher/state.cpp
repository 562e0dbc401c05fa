// The run-time records of the launcher, shared by every step of its life.
#include "launcher/launcher.h"

LauncherState Launcher;
StartupFindings Found;
