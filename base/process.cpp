// Starting a program as its own process: directly, or through the shell when
// it must run elevated; and a command line split as CreateProcessA reads it.
#include "base/process.h"
#include "base/system_dlls.h"
#include "base/text.h"

#include <shellapi.h>
#include <string.h>

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740
#endif

namespace {

// Finds the program file that CreateProcessA would take for name: searched
// like it (".exe" added to a name without extension), and never a folder.
bool FindProgramFile(const char *name, char (&file)[MAX_PATH])
{
    DWORD length = SearchPathA(nullptr, name, ".exe", sizeof file, file, nullptr);
    if (length == 0 || length >= sizeof file)
        return false;
    DWORD attributes = GetFileAttributesA(file);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

// A quoted name ends at its closing quote; an unquoted one is the shortest
// run of blank-separated words that names a program file. The shell is then
// given the very program that needed consent.
const char *SplitCommandLine(const char *commandLine, char (&program)[MAX_PATH])
{
    char name[MAX_PATH];
    if (commandLine[0] == '"') {
        const char *close = strchr(commandLine + 1, '"');
        const char *end = close ? close : commandLine + strlen(commandLine);
        TextCopyPrefix(name, commandLine + 1, static_cast<size_t>(end - commandLine - 1));
        if (!FindProgramFile(name, program))
            TextCopy(program, name);
        return close ? close + 1 : end;
    }
    const char *end = commandLine;
    for (;;) {
        end += strcspn(end, " \t");
        TextCopyPrefix(name, commandLine, static_cast<size_t>(end - commandLine));
        if (FindProgramFile(name, program))
            return end;
        if (!*end) {
            // Nothing matches any more; the shell reports the failure.
            TextCopy(program, name);
            return end;
        }
        ++end;
    }
}

bool StartWithConsent(const char *commandLine, DWORD idleWaitMs)
{
    char program[MAX_PATH];
    const char *arguments = SplitCommandLine(commandLine, program);
    while (*arguments == ' ' || *arguments == '\t')
        ++arguments;
    char directory[MAX_PATH];
    if (!GetCurrentDirectoryA(sizeof directory, directory))
        directory[0] = '\0';

    SHELLEXECUTEINFOA execute = {};
    execute.cbSize       = sizeof execute;
    execute.fMask        = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb       = "open";
    execute.lpFile       = program;
    execute.lpParameters = *arguments ? arguments : nullptr;
    execute.lpDirectory  = directory[0] ? directory : nullptr;
    execute.nShow        = SW_SHOW;
    // The shell library, with all it brings, only for this rare case.
    auto shellExecute = SystemFunction<decltype(&ShellExecuteExA)>("shell32.dll", "ShellExecuteExA");
    if (!shellExecute || !shellExecute(&execute))
        return false;
    if (execute.hProcess) {
        if (idleWaitMs)
            WaitForInputIdle(execute.hProcess, idleWaitMs);
        CloseHandle(execute.hProcess);
    }
    return true;
}

bool StartProgram(const char *directory, const char *program, bool showWindow, DWORD idleWaitMs)
{
    char commandLine[256];
    // A command line cut short would start something other than configured.
    if (!TextJoin(commandLine, directory, program))
        return false;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (showWindow) {
        startup.dwFlags     = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        // An installer that must run elevated cannot be created directly;
        // the shell asks the user for consent instead.
        if (GetLastError() == ERROR_ELEVATION_REQUIRED)
            return StartWithConsent(commandLine, idleWaitMs);
        return false;
    }
    if (idleWaitMs)
        WaitForInputIdle(process.hProcess, idleWaitMs); // a time-out changes nothing
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}
