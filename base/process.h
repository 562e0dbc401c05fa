// Starting a program as its own process, and the command line's program as
// CreateProcess finds it. Command lines are UTF-16: their folders may hold
// any letter.
#pragma once

#include "base/text.h"

#include <windows.h>

// Starts directory + program (which may carry arguments) as its own process,
// showing its window normally when asked, and waits up to idleWaitMs (0: not
// at all) until it is ready for input. False when it was not started, also
// when the command line does not fit its 255 characters.
bool StartProgram(const wchar_t *directory, Ansi program, bool showWindow, DWORD idleWaitMs);
// The command line StartProgram starts: false when it does not fit (it is
// then cut).
bool ProgramCommandLine(wchar_t (&commandLine)[256], const wchar_t *directory, Ansi program);
// Splits a command line as CreateProcess reads it: program receives the
// program file it would take (or the name, when none is found); the result
// points where the arguments begin.
const wchar_t *SplitCommandLine(const wchar_t *commandLine, wchar_t (&program)[MAX_PATH]);
// Starts a command line through the shell, which asks the user's consent for a
// program that must run elevated; the current directory is passed on.
bool StartWithConsent(const wchar_t *commandLine, DWORD idleWaitMs);
