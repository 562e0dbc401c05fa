// Starting a program as its own process: which file runs, decided in one
// place, and the start itself. Command lines are UTF-16: their folders may
// hold any letter.
#pragma once

#include "base/text.h"

#include <windows.h>

// A start as the launcher makes it. The program receives directory + value
// as its command line, unquoted, as it always has; the file that runs is
// looked for within the value alone, so that no blank in the directory's
// name can make Windows take a file beside one of its folders instead.
struct ProgramStart {
    wchar_t commandLine[256] = L"";
    bool fits = false;                   // the command line is whole (255 characters at most)
    wchar_t programFile[MAX_PATH] = L""; // the file that runs; empty when none is found
    size_t argumentsAt = 0;              // where the arguments begin in commandLine
    const wchar_t *arguments() const { return commandLine + argumentsAt; }
};

// Decides what starting directory + value runs: within the value, the
// shortest run of blank-separated words that names a program file (".exe"
// added to a name without extension), as Windows looks for a program; never
// a folder. Changes nothing.
ProgramStart FindProgramStart(const wchar_t *directory, Ansi value);
// Starts it as its own process, showing its window normally when asked, and
// waits up to idleWaitMs (0: not at all) until it is ready for input. False
// when it was not started: no program file, or a command line cut short.
bool StartProgram(const ProgramStart &start, bool showWindow, DWORD idleWaitMs);
// The same program file with the same arguments through the shell, which
// asks the user's consent for a program that must run elevated; the current
// directory is passed on.
bool StartWithConsent(const ProgramStart &start, DWORD idleWaitMs);
