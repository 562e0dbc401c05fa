// Starting a program as its own process: directly, or through the shell when
// it must run elevated; and a command line split as CreateProcess reads it.
#include "base/process.h"
#include "base/system_dlls.h"
#include "base/text.h"

#include <shellapi.h>
#include <wchar.h>

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740
#endif

namespace {

// Finds the program file that CreateProcess would take for name: searched
// like it (".exe" added to a name without extension), and never a folder.
bool FindProgramFile(const wchar_t *name, wchar_t (&file)[MAX_PATH])
{
    DWORD length = SearchPathW(nullptr, name, L".exe", MAX_PATH, file, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    DWORD attributes = GetFileAttributesW(file);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

// A quoted name ends at its closing quote; an unquoted one is the shortest
// run of blank-separated words that names a program file. The shell is then
// given the very program that needed consent.
const wchar_t *SplitCommandLine(const wchar_t *commandLine, wchar_t (&program)[MAX_PATH])
{
    wchar_t name[MAX_PATH];
    if (commandLine[0] == L'"') {
        const wchar_t *close = wcschr(commandLine + 1, L'"');
        const wchar_t *end = close ? close : commandLine + wcslen(commandLine);
        TextCopyPrefix(name, commandLine + 1, static_cast<size_t>(end - commandLine - 1));
        if (!FindProgramFile(name, program))
            TextCopy(program, name);
        return close ? close + 1 : end;
    }
    const wchar_t *end = commandLine;
    for (;;) {
        end += wcscspn(end, L" \t");
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

bool StartWithConsent(const wchar_t *commandLine, DWORD idleWaitMs)
{
    wchar_t program[MAX_PATH];
    const wchar_t *arguments = SplitCommandLine(commandLine, program);
    while (*arguments == L' ' || *arguments == L'\t')
        ++arguments;
    wchar_t directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, directory);
    if (length == 0 || length >= MAX_PATH)
        directory[0] = L'\0';

    SHELLEXECUTEINFOW execute = {};
    execute.cbSize       = sizeof execute;
    execute.fMask        = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb       = L"open";
    execute.lpFile       = program;
    execute.lpParameters = *arguments ? arguments : nullptr;
    execute.lpDirectory  = directory[0] ? directory : nullptr;
    execute.nShow        = SW_SHOW;
    // The shell library, with all it brings, only for this rare case.
    auto shellExecute = SystemFunction<decltype(&ShellExecuteExW)>("shell32.dll", "ShellExecuteExW");
    if (!shellExecute || !shellExecute(&execute))
        return false;
    if (execute.hProcess) {
        if (idleWaitMs)
            WaitForInputIdle(execute.hProcess, idleWaitMs);
        CloseHandle(execute.hProcess);
    }
    return true;
}

bool ProgramCommandLine(wchar_t (&commandLine)[256], const wchar_t *directory, Ansi program)
{
    return TextJoin(commandLine, directory, program);
}

bool StartProgram(const wchar_t *directory, Ansi program, bool showWindow, DWORD idleWaitMs)
{
    wchar_t commandLine[256];
    // A command line cut short would start something other than configured.
    if (!ProgramCommandLine(commandLine, directory, program))
        return false;

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (showWindow) {
        startup.dwFlags     = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
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
