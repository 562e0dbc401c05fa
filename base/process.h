// Starting a program as its own process, and the command line's program as
// CreateProcessA finds it.
#pragma once

#include <windows.h>

// Starts directory + program (which may carry arguments) as its own process,
// showing its window normally when asked, and waits up to idleWaitMs (0: not
// at all) until it is ready for input. False when it was not started, also
// when the command line does not fit its 256 bytes.
bool StartProgram(const char *directory, const char *program, bool showWindow, DWORD idleWaitMs);
// Splits a command line as CreateProcessA reads it: program receives the
// program file it would take (or the name, when none is found); the result
// points where the arguments begin.
const char *SplitCommandLine(const char *commandLine, char (&program)[MAX_PATH]);
// Starts a command line through the shell, which asks the user's consent for a
// program that must run elevated; the current directory is passed on.
bool StartWithConsent(const char *commandLine, DWORD idleWaitMs);
