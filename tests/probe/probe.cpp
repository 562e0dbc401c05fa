// Stands in for the installer, the application and the third button's program
// in end-to-end tests: appends its command line and current directory to the
// file named by PROBE_LOG, one "CMD"/"DIR" pair of lines per run.
#include <windows.h>

static void Append(HANDLE log, const char *label, const char *text)
{
    DWORD written;
    WriteFile(log, label, lstrlenA(label), &written, nullptr);
    WriteFile(log, text, lstrlenA(text), &written, nullptr);
    WriteFile(log, "\r\n", 2, &written, nullptr);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char logPath[MAX_PATH];
    if (!GetEnvironmentVariableA("PROBE_LOG", logPath, sizeof logPath))
        return 2;
    char directory[MAX_PATH];
    GetCurrentDirectoryA(sizeof directory, directory);

    // Several probes may start at once: retry while another holds the file.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 200 && log == INVALID_HANDLE_VALUE; ++attempt) {
        log = CreateFileA(logPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE)
            Sleep(10);
    }
    if (log == INVALID_HANDLE_VALUE)
        return 3;
    Append(log, "CMD ", GetCommandLineA());
    Append(log, "DIR ", directory);
    CloseHandle(log);
    return 0;
}
