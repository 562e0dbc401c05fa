// Installation detection: decides whether Install or Start is offered.
#pragma once

#include "records/plan.h"

#include <windows.h>
#include <stddef.h>

// Sets installNeeded, installDir and cdAppDir from the installation record
// and the installed content. Never fails: whatever is not found counts as
// not installed.
void DetectInstallation();
// The file of the application's program in installDir, as detection finds
// it; false when it is not there.
bool FindInstalledProgram(wchar_t (&file)[MAX_PATH]);

// What an installation in folder needs for Tolvane to count as installed,
// as detection looks for it, every file it looks for counted as there:
// each file as its path and then the text it must hold, both ended by a
// NUL, in list (size characters), after the last an empty path; found gets
// what detection found so. False when no installation counts (a check that
// no file can pass). Where the record must name folder is where detection
// reads it (Plan.detection). Changes no record.
bool NeedsOfAnInstallation(const wchar_t *folder, wchar_t *list, size_t size, DetectionFindings &found);
