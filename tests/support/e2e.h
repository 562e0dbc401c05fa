// End-to-end support: a disc folder holding a copy of launcher.exe and the
// probe, the launcher run as its own process, watched from outside, and the
// disc checker run on a disc.
#pragma once

#include "tests/support/support.h"

#include <functional>
#include <string>

// The class of the launcher's window.
const char kLauncherClass[] = "KOV:Autoplay";

// Windows-style exit codes: WinMain's -1 as the process sees it.
constexpr DWORD kExitFailed = static_cast<DWORD>(-1);

// A launcher on a disc meets no vendor keys but those its test makes, and
// every run creates them: a disc sets them aside while it lives and puts them
// back when it goes, after the launchers started on it have ended.
class Disc : public ScratchDir {
public:
    // Copies launcher.exe, and probe.exe under each name given.
    explicit Disc(const std::string &folder = "");
    const std::string &root() const { return root_; }
    std::string Launcher() const { return root_ + "launcher.exe"; }
    void WriteIni(const std::string &text) const;
    void AddProbe(const std::string &relative) const; // copies probe.exe there
    std::string CopyProbeTo(const std::string &fullPath) const;
    std::string probeLog() const { return path() + "probe.log"; }

private:
    VendorKeysSetAside vendorKeys_; // first: before any launcher runs
    std::string root_;
};

// A running launcher.exe; ended by its handle when the test is done.
class LauncherProcess {
public:
    LauncherProcess() = default;
    ~LauncherProcess();
    LauncherProcess(LauncherProcess &&other) noexcept;
    LauncherProcess(const LauncherProcess &) = delete;
    LauncherProcess &operator=(const LauncherProcess &) = delete;

    // Starts exePath with its folder as current directory and PROBE_LOG set.
    bool Start(const std::string &exePath, const std::string &probeLog, const std::string &directory = "");
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD timeoutMs = 15000);
    bool Running() const;
    DWORD pid() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }

    // The process's visible top-level window of a class, waited for.
    HWND WaitForWindow(const char *className, DWORD timeoutMs = 15000) const;
    HWND FindWindowOfClass(const char *className) const; // visible or not
    HWND WaitForMessageBox(DWORD timeoutMs = 15000) const { return WaitForWindow("#32770", timeoutMs); }

private:
    PROCESS_INFORMATION info_ = {};
};

// How a launcher run that was left to end by itself went.
struct RunOutcome {
    DWORD exitCode;     // STILL_ACTIVE when it did not end in time
    bool showedWindow;  // its own window, ever, visible or not
    bool showedMessageBox;
};
// Waits for the launcher to end while this thread's windows keep answering
// (bringing one of them forward waits for its thread).
RunOutcome RunToEnd(LauncherProcess &launcher);

// Runs a command line to its end; its exit code, STILL_ACTIVE when it had to
// be ended, or kExitFailed when it could not start.
DWORD RunCommand(std::string commandLine, DWORD timeoutMs = 15000);

// The first top-level window, of any process, for which match holds.
HWND FindTopLevelWindow(const std::function<bool(HWND)> &match);
// A top-level window of the process and class; visible only, or any.
HWND FindWindowOf(DWORD pid, const char *className, bool visibleOnly);

std::string WindowText(HWND window);
// A window's text as the Unicode the user sees on the screen, independent of
// the code page of this test process.
std::wstring ShownText(HWND window);
std::string ClassOf(HWND window);
std::string MessageBoxText(HWND box);
void DismissMessageBox(HWND box);

// A run of checkdisc.exe, ended.
struct CheckerRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string out; // standard output and standard error, in that order of arrival
};
// Runs checkdisc.exe with the arguments (UTF-8), reading what it prints.
CheckerRun RunChecker(const std::string &arguments);
// A folder as a command-line argument: quoted, without the backslash that
// would escape the closing quote.
std::string Argument(const std::string &folder);
// The checker's JSON report read with a JSON parser, at a JSON pointer
// ("/installation/installDir"): a text as itself, any other value as JSON
// (null as null); "" when there is none, also when the report is no JSON.
std::string JsonText(const std::string &json, const std::string &pointer);
// The texts of a list there; none when there is no list.
std::vector<std::string> JsonList(const std::string &json, const std::string &pointer);
