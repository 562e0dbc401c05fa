// Start-up: what it finds and decides, the plan, then what the launcher does
// about it. WinMain runs it; the disc checker runs its deciding part on a
// disc and asks how each start is made.
#pragma once

#include "base/process.h"
#include "records/plan.h"

#include <windows.h>

// Runs every deciding step in order, up to the first that ends start-up, and
// returns how it ends (also in Plan.end). Changes nothing: no message, no
// registry write, no window brought forward, no program started. The
// launcher's folder is that of launcherFile, or of this program when null;
// the display languages (names each ended by a NUL, after the last an empty
// one) are those given, or the user's when null.
StartupEnd DecideStartup(const wchar_t *launcherFile = nullptr, const wchar_t *displayLanguages = nullptr);
// The effects of the plan before any window of the launcher exists: the
// version message, the vendor keys, the edition warning, a window brought
// to the front.
void ActOnStartup();

// What pressing each button does, in the order of their control IDs, with
// Install offered or Start, and the immediate start; PlanPresses fills
// Plan's from what start-up decided.
enum class Press { Action, Quit, Extra, Immediate };
void PlanPress(Press press, bool installNeeded, StartPlan &plan);
void PlanPresses();
// Which file a start runs, from its folder with its value: decided when it
// is made, as it needs the disc's files. Install and the third button may
// also open a file, the third button a web page; the application starts as
// a program only.
ProgramStart FindLauncherStart(LauncherStart which);

// The settings step: VESK.INI read, the captions chosen, then the edition
// and running-application checks; 0 when it ended start-up.
int  LoadLauncherSettings();
int  LocateModuleDir();
// Cuts a module path just after its last separator (\ or /) and upper-cases
// it; 0 when no separator follows the first character.
int  KeepDirectoryPart(wchar_t *path, DWORD length);
