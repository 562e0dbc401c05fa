// Runs launcher.exe on a prepared disc folder and watches it from outside.
#include "tests/support/e2e.h"

#include <stdexcept>
#include <utility>

Disc::Disc(const std::string &folder) : ScratchDir("disc")
{
    root_ = folder.empty() ? path() : MakeDir(folder) + "\\";
    if (!CopyFileA((BuildDir() + "launcher.exe").c_str(), Launcher().c_str(), FALSE))
        throw std::runtime_error("cannot copy launcher.exe to " + root_);
}

void Disc::WriteIni(const std::string &text) const
{
    WriteTextFile(root_ + "VESK.INI", text);
}

std::string Disc::CopyProbeTo(const std::string &fullPath) const
{
    std::string dir = fullPath.substr(0, fullPath.find_last_of('\\'));
    for (size_t i = 3; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '\\')
            CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
    }
    if (!CopyFileA((BuildDir() + "probe.exe").c_str(), fullPath.c_str(), FALSE))
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
    SetEnvironmentVariableA("PROBE_LOG", probeLog.c_str());
    std::string commandLine = "\"" + exePath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    BOOL started = CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  dir.c_str(), &startup, &info_);
    SetEnvironmentVariableA("PROBE_LOG", nullptr);
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
    DWORD pid;
    const char *className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    auto *search = reinterpret_cast<WindowSearch *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || ClassOf(window) != search->className)
        return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}
} // namespace

HWND LauncherProcess::FindWindowOfClass(const char *className) const
{
    WindowSearch search = {info_.dwProcessId, className, false, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND LauncherProcess::WaitForWindow(const char *className, DWORD timeoutMs) const
{
    WindowSearch search = {info_.dwProcessId, className, true, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || !Running();
        },
        timeoutMs);
    return search.found;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    // WM_GETTEXT reaches windows of other processes, unlike GetWindowTextA on controls.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
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

std::string MinimalIni(const std::string &extraWindow, const std::string &extraProgram, const std::string &extraRegIni)
{
    return "[Window]\r\n"
           "Title=Tolvane Test Disc\r\n" +
           extraWindow +
           "[Program]\r\n"
           "Application name=app.exe\r\n"
           "Installer=setup.exe\r\n" +
           extraProgram +
           "[RegIni]\r\n"
           "Ini file name=TolvaneTestRecord\r\n"
           "Key install dir=InstallDir\r\n"
           "Section name=Setup\r\n" +
           extraRegIni;
}
