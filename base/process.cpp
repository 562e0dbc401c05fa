// Starting a program as its own process: the file that runs, found within
// the configured value alone, then started directly, or through the shell
// when it must run elevated.
#include "base/process.h"
#include "base/system_dlls.h"
#include "base/text.h"

#include <shellapi.h>
#include <wchar.h>

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740
#endif

namespace {

// The program file that CreateProcess would take for name: searched like it
// (".exe" added to a name without extension), and never a folder.
bool FindProgramFile(const wchar_t *name, wchar_t (&file)[MAX_PATH])
{
    DWORD length = SearchPathW(nullptr, name, L".exe", MAX_PATH, file, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    DWORD attributes = GetFileAttributesW(file);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

} // namespace

ProgramStart FindProgramStart(const wchar_t *directory, Ansi value)
{
    ProgramStart start;
    start.fits = TextJoin(start.commandLine, directory, value);
    // A command line cut short would start something other than configured.
    if (!start.fits)
        return start;
    // Windows, given no program name, tries each blank-separated beginning
    // of the whole line, shortest first: C:\My.exe before C:\My Apps\app.exe.
    // Here the directory is one word, whatever its blanks.
    const wchar_t *line = start.commandLine;
    const wchar_t *end = line + lstrlenW(directory);
    for (;;) {
        end += wcscspn(end, L" \t");
        wchar_t name[MAX_PATH];
        if (TextCopyPrefix(name, line, static_cast<size_t>(end - line)) && FindProgramFile(name, start.programFile))
            break;
        start.programFile[0] = L'\0';
        if (!*end) {
            start.argumentsAt = static_cast<size_t>(end - line);
            return start;
        }
        while (IsBlank(*end))
            ++end;
    }
    while (IsBlank(*end))
        ++end;
    start.argumentsAt = static_cast<size_t>(end - line);
    return start;
}

bool StartWithConsent(const ProgramStart &start, DWORD idleWaitMs)
{
    if (!start.fits || !start.programFile[0])
        return false;
    wchar_t directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, directory);
    if (length == 0 || length >= MAX_PATH)
        directory[0] = L'\0';

    SHELLEXECUTEINFOW execute = {};
    execute.cbSize       = sizeof execute;
    execute.fMask        = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb       = L"open";
    execute.lpFile       = start.programFile;
    execute.lpParameters = *start.arguments() ? start.arguments() : nullptr;
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

bool StartProgram(const ProgramStart &start, bool showWindow, DWORD idleWaitMs)
{
    if (!start.fits || !start.programFile[0])
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (showWindow) {
        startup.dwFlags     = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
    }
    // CreateProcess may write into the command line it is given.
    wchar_t commandLine[256];
    TextCopy(commandLine, start.commandLine);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(start.programFile, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        // An installer that must run elevated cannot be created directly;
        // the shell asks the user for consent instead.
        if (GetLastError() == ERROR_ELEVATION_REQUIRED)
            return StartWithConsent(start, idleWaitMs);
        return false;
    }
    if (idleWaitMs)
        WaitForInputIdle(process.hProcess, idleWaitMs); // a time-out changes nothing
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}
