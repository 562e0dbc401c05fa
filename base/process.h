// Starting a program as its own process: which file runs, decided in one
// place, and the start itself. Command lines are UTF-16: their folders may
// hold any letter.
#pragma once

#include "base/text.h"

#include <windows.h>

// What a start may run besides a program: a file, opened as Explorer opens
// it, and a web page, opened in the user's browser.
enum class StartOpens { ProgramsOnly, Files, FilesAndWebPages };
// What a start found to run.
enum class StartKind { Program, File, WebPage };

// A start as the launcher makes it. The program receives directory + value
// as its command line, unquoted, as it always has; the file that runs is
// looked for within the value alone, so that no blank in the directory's
// name can make Windows take a file beside one of its folders instead.
// Zeroed ({}) it is empty; without member initialisers, the compiler keeps
// no copy of it in the program to start each one from.
struct ProgramStart {
    wchar_t commandLine[256];
    bool fits;                   // the command line is whole (255 characters at most)
    wchar_t programFile[MAX_PATH]; // the file that runs; empty when none is found
    size_t valueAt;              // where the value begins in commandLine, after the directory
    size_t argumentsAt;          // where the arguments begin in commandLine
    StartKind kind;              // Program when zeroed; a web page's address is its commandLine and programFile
    const wchar_t *arguments() const { return commandLine + argumentsAt; }
};

// Decides what starting directory + value runs: within the value, the
// shortest run of blank-separated words that names a program file (".exe"
// added to a name without extension), as Windows looks for a program; never
// a folder. A file that is not a program is a File where opens allows it,
// and a value beginning with http:// or https:// a WebPage, not joined to
// the directory, where opens allows that. Changes nothing.
ProgramStart FindProgramStart(const wchar_t *directory, Ansi value, StartOpens opens = StartOpens::ProgramsOnly);
// Starts it as its own process, showing its window normally when asked, and
// waits up to idleWaitMs (0: not at all) until it is ready for input; a File
// that Windows will not run, and a WebPage, are opened through the shell
// instead, with the program it chooses. False when nothing was started: no
// program file, a command line cut short, or nothing opens the file.
bool StartProgram(const ProgramStart &start, bool showWindow, DWORD idleWaitMs);
// The same program file with the same arguments through the shell, which
// asks the user's consent for a program that must run elevated; the current
// directory is passed on.
bool StartWithConsent(const ProgramStart &start, DWORD idleWaitMs);
