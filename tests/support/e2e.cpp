// Runs launcher.exe on a prepared disc folder and watches it from outside;
// runs the disc checker.
#include "tests/support/e2e.h"

#include <stdexcept>
#include <utility>

Disc::Disc(const std::string &folder) : ScratchDir("disc")
{
    root_ = folder.empty() ? path() : MakeDir(folder) + "\\";
    if (!CopyFileW(Wide(BuildDir() + "launcher.exe").c_str(), Wide(Launcher()).c_str(), FALSE))
        throw std::runtime_error("cannot copy launcher.exe to " + root_);
}

void Disc::WriteIni(const std::string &text) const
{
    WriteTextFile(root_ + "VESK.INI", text);
}

std::string Disc::CopyProbeTo(const std::string &fullPath) const
{
    MakeDirs(fullPath.substr(0, fullPath.find_last_of('\\')));
    if (!CopyFileW(Wide(BuildDir() + "probe.exe").c_str(), Wide(fullPath).c_str(), FALSE))
        throw std::runtime_error("cannot copy probe.exe to " + fullPath);
    return fullPath;
}

void Disc::AddProbe(const std::string &relative) const
{
    CopyProbeTo(root_ + relative);
}

LauncherProcess::~LauncherProcess()
{
    if (!info_.hProcess)
        return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
}

LauncherProcess::LauncherProcess(LauncherProcess &&other) noexcept : info_(other.info_)
{
    other.info_ = {};
}

bool LauncherProcess::Start(const std::string &exePath, const std::string &probeLog, const std::string &directory)
{
    std::string dir = directory.empty() ? exePath.substr(0, exePath.find_last_of('\\') + 1) : directory;
    SetEnvironmentVariableW(L"PROBE_LOG", Wide(probeLog).c_str());
    std::wstring commandLine = Wide("\"" + exePath + "\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    BOOL started = CreateProcessW(Wide(exePath).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  Wide(dir).c_str(), &startup, &info_);
    SetEnvironmentVariableW(L"PROBE_LOG", nullptr);
    return started != FALSE;
}

DWORD LauncherProcess::WaitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool LauncherProcess::Running() const
{
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {
struct WindowSearch {
    const std::function<bool(HWND)> &match;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    auto *search = reinterpret_cast<WindowSearch *>(lParam);
    if (!search->match(window))
        return TRUE;
    search->found = window;
    return FALSE;
}
} // namespace

HWND FindTopLevelWindow(const std::function<bool(HWND)> &match)
{
    WindowSearch search = {match, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindWindowOf(DWORD pid, const char *className, bool visibleOnly)
{
    return FindTopLevelWindow([&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == pid && ClassOf(window) == className && (!visibleOnly || IsWindowVisible(window));
    });
}

HWND LauncherProcess::FindWindowOfClass(const char *className) const
{
    return FindWindowOf(info_.dwProcessId, className, false);
}

HWND LauncherProcess::WaitForWindow(const char *className, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindWindowOf(info_.dwProcessId, className, true);
            return found != nullptr || !Running();
        },
        timeoutMs);
    return found;
}

RunOutcome RunToEnd(LauncherProcess &launcher)
{
    bool showed = false;
    bool box = false;
    WaitUntil(
        [&] {
            PumpMessages();
            showed = showed || launcher.FindWindowOfClass(kLauncherClass) != nullptr;
            box = box || launcher.FindWindowOfClass("#32770") != nullptr;
            return !launcher.Running();
        },
        15000);
    return {launcher.WaitForExit(0), showed, box};
}

DWORD RunCommand(std::string commandLine, DWORD timeoutMs)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring wide = Wide(commandLine);
    if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return kExitFailed;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    // WM_GETTEXT reaches windows of other processes, unlike GetWindowTextA on controls.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

std::wstring ShownText(HWND window)
{
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string MessageBoxText(HWND box)
{
    // The message box's text is its static control 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

void DismissMessageBox(HWND box)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

CheckerRun RunChecker(const std::string &arguments)
{
    CheckerRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring commandLine = Wide("\"" + BuildDir() + "checkdisc.exe\" " + arguments);
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        // Read until the checker has ended, not until the pipe closes: when
        // the checker is the session's first program to use the display, Wine
        // starts its desktop process from it, which keeps the pipe open.
        auto drain = [&] {
            char chunk[4096];
            DWORD ready = 0, got = 0;
            while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &ready, nullptr) && ready &&
                   ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got)
                run.out.append(chunk, got);
        };
        bool ended = WaitUntil(
            [&] {
                drain();
                return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
            },
            15000);
        drain();
        if (ended)
            GetExitCodeProcess(process.hProcess, &run.exitCode);
        else
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return run;
}

std::string Argument(const std::string &folder)
{
    return "\"" + folder.substr(0, folder.find_last_not_of('\\') + 1) + "\"";
}
