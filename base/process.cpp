// Starting a program as its own process: the file that runs, found within
// the configured value alone, then started directly, or through the shell
// when it must run elevated or is a document or a web page.
#include "base/process.h"
#include "base/system_dlls.h"
#include "base/text.h"

#include <shellapi.h>
#include <string.h>
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

// A file CreateProcess runs: an image Windows knows, or a name it runs by its
// extension. Such a file never goes to the shell.
bool IsProgram(const wchar_t *file)
{
    static const wchar_t *const run[] = {L".exe", L".com", L".bat", L".cmd"};
    const wchar_t *dot = wcsrchr(file, L'.');
    if (dot && wcschr(dot, L'\\') == nullptr)
        for (const wchar_t *extension : run)
            if (lstrcmpiW(dot, extension) == 0)
                return true;
    DWORD type;
    return GetBinaryTypeW(file, &type) != FALSE;
}

bool IsWebAddress(const char *value)
{
    return _strnicmp(value, "http://", 7) == 0 || _strnicmp(value, "https://", 8) == 0;
}

// Opens start's file (a program needing consent, a file, a web page) through
// the shell, with its arguments and the current directory; verb null is the
// file type's default, as Explorer opens it.
bool StartThroughShell(const ProgramStart &start, const wchar_t *verb, DWORD idleWaitMs)
{
    wchar_t directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, directory);
    if (length == 0 || length >= MAX_PATH)
        directory[0] = L'\0';

    SHELLEXECUTEINFOW execute = {};
    execute.cbSize       = sizeof execute;
    // Done before the call returns: the launcher may close right after.
    execute.fMask        = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpVerb       = verb;
    execute.lpFile       = start.programFile;
    execute.lpParameters = *start.arguments() ? start.arguments() : nullptr;
    execute.lpDirectory  = directory[0] ? directory : nullptr;
    execute.nShow        = SW_SHOW;
    // The shell library, with all it brings, only for these rare cases.
    auto shellExecute = SystemFunction<decltype(&ShellExecuteExW)>("shell32.dll", "ShellExecuteExW");
    if (!shellExecute || !shellExecute(&execute))
        return false;
    // A document may open in a program that was running already: no process.
    if (execute.hProcess) {
        if (idleWaitMs)
            WaitForInputIdle(execute.hProcess, idleWaitMs);
        CloseHandle(execute.hProcess);
    }
    return true;
}

} // namespace

ProgramStart FindProgramStart(const wchar_t *directory, Ansi value, StartOpens opens)
{
    ProgramStart start = {};
    if (opens == StartOpens::FilesAndWebPages && IsWebAddress(value.text)) {
        start.kind = StartKind::WebPage;
        start.fits = TextCopy(start.commandLine, value) && TextCopy(start.programFile, start.commandLine);
        start.argumentsAt = static_cast<size_t>(lstrlenW(start.commandLine));
        return start;
    }
    start.fits = TextJoin(start.commandLine, directory, value);
    start.valueAt = static_cast<size_t>(lstrlenW(directory));
    // A command line cut short would start something other than configured.
    if (!start.fits)
        return start;
    // Windows, given no program name, tries each blank-separated beginning
    // of the whole line, shortest first: C:\My.exe before C:\My Apps\app.exe.
    // Here the directory is one word, whatever its blanks.
    const wchar_t *line = start.commandLine;
    const wchar_t *end = line + start.valueAt;
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
    if (opens != StartOpens::ProgramsOnly && !IsProgram(start.programFile))
        start.kind = StartKind::File;
    return start;
}

bool StartWithConsent(const ProgramStart &start, DWORD idleWaitMs)
{
    return start.fits && start.programFile[0] && StartThroughShell(start, L"open", idleWaitMs);
}

bool StartProgram(const ProgramStart &start, bool showWindow, DWORD idleWaitMs)
{
    if (!start.fits || !start.programFile[0])
        return false;
    if (start.kind == StartKind::WebPage)
        return StartThroughShell(start, nullptr, idleWaitMs);
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
        // the shell asks the user for consent instead. What is no program
        // opens as Explorer would open it.
        DWORD error = GetLastError();
        if (error == ERROR_ELEVATION_REQUIRED)
            return StartWithConsent(start, idleWaitMs);
        if (error == ERROR_BAD_EXE_FORMAT && start.kind == StartKind::File)
            return StartThroughShell(start, nullptr, idleWaitMs);
        return false;
    }
    if (idleWaitMs)
        WaitForInputIdle(process.hProcess, idleWaitMs); // a time-out changes nothing
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}
