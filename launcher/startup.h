// Start-up: what it finds, then what the launcher does about it. WinMain runs
// it, the disc checker runs its deciding part on a disc.
#pragma once

#include "records/findings.h"

#include <windows.h>

// Runs every deciding step in order, up to the first that ends start-up, and
// returns how it ends (also in Found.end). Changes nothing: no message, no
// registry write, no window brought forward, no program started. The
// launcher's folder is that of launcherFile, or of this program when null.
StartupEnd DecideStartup(const wchar_t *launcherFile = nullptr);
// The effects of what start-up found, before any window of the launcher
// exists: the version message, another launcher or the application brought
// forward, the vendor keys, the edition warning.
void ActOnStartup();
// Starts the installed application at once (RunImmediately); false when it
// could not be started.
bool StartApplicationNow();

// The settings step: VESK.INI read, the captions chosen, then the edition
// and running-application checks; 0 when it ended start-up.
int  LoadLauncherSettings();
int  LocateModuleDir();
// Cuts a module path just after its last separator (\ or /) and upper-cases
// it; 0 when no separator follows the first character.
int  KeepDirectoryPart(wchar_t *path, DWORD length);
