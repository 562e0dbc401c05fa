// Stands in for the installer, the application and the third button's program
// in end-to-end tests: appends its command line and current directory to the
// file named by PROBE_LOG: per run a "CMD" line, an "EXE" line with the file
// that runs, a "SHOW" line with the start-up record's flags and show command,
// and a "DIR" line, written last;
// in UTF-8, so that a folder of any name shows with its real letters.
// With PROBE_IDLE_AFTER_MS set it then works that long before it first waits
// for input, writing just before "IDLE CREATED READY" (when its process was
// made and when it got ready, in 100-ns units of the system time), and ends
// soon after.
#include <windows.h>

#include <stdlib.h>

static void Append(HANDLE log, const char *label, const char *text)
{
    DWORD written;
    WriteFile(log, label, lstrlenA(label), &written, nullptr);
    WriteFile(log, text, lstrlenA(text), &written, nullptr);
    WriteFile(log, "\r\n", 2, &written, nullptr);
}

static unsigned long long Ticks(FILETIME time)
{
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

static void AppendWide(HANDLE log, const char *label, const wchar_t *text)
{
    static char utf8[4 * 32768];
    if (!WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr))
        utf8[0] = '\0';
    Append(log, label, utf8);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t logPath[MAX_PATH];
    if (!GetEnvironmentVariableW(L"PROBE_LOG", logPath, MAX_PATH))
        return 2;
    wchar_t directory[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, directory);

    // Several probes may start at once: retry while another holds the file.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 200 && log == INVALID_HANDLE_VALUE; ++attempt) {
        log = CreateFileW(logPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE)
            Sleep(10);
    }
    if (log == INVALID_HANDLE_VALUE)
        return 3;
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    char show[32];
    wsprintfA(show, "%lu %u", startup.dwFlags, startup.wShowWindow);
    AppendWide(log, "CMD ", GetCommandLineW());
    wchar_t file[MAX_PATH];
    if (!GetModuleFileNameW(nullptr, file, MAX_PATH))
        file[0] = L'\0';
    AppendWide(log, "EXE ", file);
    Append(log, "SHOW ", show);
    AppendWide(log, "DIR ", directory);

    char busy[16];
    if (GetEnvironmentVariableA("PROBE_IDLE_AFTER_MS", busy, sizeof busy)) {
        Sleep(static_cast<DWORD>(atoi(busy))); // the start-up work of a real installer
        FILETIME created, ended, kernel, user, now;
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
        GetSystemTimeAsFileTime(&now);
        char times[48];
        _ui64toa(Ticks(created), times, 10);
        lstrcatA(times, " ");
        _ui64toa(Ticks(now), times + lstrlenA(times), 10);
        Append(log, "IDLE ", times);
        CloseHandle(log);
        SetTimer(nullptr, 0, 300, nullptr);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) && message.message != WM_TIMER)
            DispatchMessageA(&message);
        return 0;
    }
    CloseHandle(log);
    return 0;
}
