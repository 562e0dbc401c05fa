// The one run-time record of the launcher, shared by every step of its life.
#include "launcher/launcher.h"

LauncherState Launcher;
