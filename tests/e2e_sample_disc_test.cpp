// The sample disc as the build assembles it in demo-disc\, with its real
// installer: the launcher offers Install, the installer's pages install the
// demo, the launcher then offers Start, which starts the demo application,
// and the uninstaller Windows lists takes everything away again. And the
// same disc from its image, tolvane-demo.iso, in a CD-ROM drive.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <winternl.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

const int kAction = 100, kQuit = 101, kExtra = 102;
const char kRecordKey[] = "Software\\Quillmoor\\Tolvane\\Settings";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TolvaneDemo";

std::string LocalAppData()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path);
    return path;
}

// The folders of the temporary folder whose names match pattern.
std::set<std::string> TempFolders(const char *pattern)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::set<std::string> folders;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(temp) + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return folders;
    do
        folders.insert(std::string(temp) + found.cFileName + "\\");
    while (FindNextFileA(search, &found));
    FindClose(search);
    return folders;
}

// What the demo installer leaves, its folder, its record with the vendor
// key above it and its entry in the list of installed programs: absent for
// the test, and as they were afterwards.
class DemoInstallation {
public:
    const std::string folder = LocalAppData() + "\\Tolvane Demo\\";

    // The uninstaller runs from a copy of itself in the temporary folder,
    // which Windows removes at its next start: the end of the test is that
    // start. The copy may still be ending, so its removal is retried.
    ~DemoInstallation()
    {
        for (const std::string &copy : TempFolders(kUninstallerCopies)) {
            if (uninstallerCopiesBefore_.count(copy))
                continue;
            WaitUntil(
                [&] {
                    RemoveTree(copy);
                    return GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES;
                },
                5000);
        }
    }

private:
    static constexpr char kUninstallerCopies[] = "~nsu*.tmp";
    const std::set<std::string> uninstallerCopiesBefore_ = TempFolders(kUninstallerCopies);
    VendorKeysSetAside vendorKeys_;
    KeySetAside uninstallEntry_{HKEY_CURRENT_USER, kUninstallKey};
    PathSetAside folder_{folder};
};

// A string value under HKEY_CURRENT_USER; "(absent)" when there is none.
std::string UserValue(const char *key, const char *name)
{
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "(absent)";
    return value;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A program that the launcher started, reached through its window; ended
// by its handle when it is still running at the end of the test.
class StartedProgram {
public:
    StartedProgram(const char *windowClass, const char *title = nullptr)
    {
        WaitUntil([&] { return (window_ = FindWindowA(windowClass, title)) != nullptr; }, 15000);
        DWORD pid = 0;
        if (window_)
            GetWindowThreadProcessId(window_, &pid);
        process_ = pid ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                                     FALSE, pid)
                       : nullptr;
    }
    ~StartedProgram()
    {
        if (!process_)
            return;
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
    StartedProgram(const StartedProgram &) = delete;
    StartedProgram &operator=(const StartedProgram &) = delete;

    HWND window() const { return window_; }
    HANDLE process() const { return process_; }
    // Its exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit() const
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_, 15000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_, &code);
        return code;
    }
    // Closes the window; true when the program then ended with exit code 0.
    bool Close() const
    {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        return WaitForExit() == 0;
    }

private:
    HWND window_ = nullptr;
    HANDLE process_ = nullptr;
};

struct ControlSearch {
    const char *className;
    const std::string &text;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM lParam)
{
    auto *search = reinterpret_cast<ControlSearch *>(lParam);
    if (!IsWindowVisible(child) || ClassOf(child) != search->className || WindowText(child) != search->text)
        return TRUE;
    search->found = child;
    return FALSE;
}

// A visible control of the window, at any depth, of the class and text.
HWND FindControl(HWND window, const char *className, const std::string &text)
{
    ControlSearch search = {className, text, nullptr};
    EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Presses the installer's forward button (ID 1) once it reads caption.
bool PressForward(HWND installer, const char *caption)
{
    HWND button = nullptr;
    if (!WaitUntil(
            [&] {
                button = GetDlgItem(installer, IDOK);
                return button && WindowText(button) == caption && IsWindowEnabled(button);
            },
            15000))
        return false;
    PostMessageA(installer, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

// Goes through the demo installer's pages as a user who accepts every
// proposal would: welcome, folder, progress, finish. Returns its exit code.
DWORD InstallThroughThePages(const StartedProgram &installer)
{
    EXPECT_EQ("Tolvane Demo Setup", WindowText(installer.window()));
    EXPECT_TRUE(PressForward(installer.window(), "&Next >")) << "welcome page";
    EXPECT_TRUE(PressForward(installer.window(), "&Install")) << "folder page";
    // The progress page moves on by itself once the files are in.
    WaitUntil([&] { return WindowText(GetDlgItem(installer.window(), IDOK)) == "&Finish"; }, 15000);
    HWND startNow = FindControl(installer.window(), "Button", "Start Tolvane Demo now");
    EXPECT_NE(nullptr, startNow) << "finish page";
    if (startNow) {
        EXPECT_EQ(BST_UNCHECKED, SendMessageA(startNow, BM_GETCHECK, 0, 0));
    }
    EXPECT_TRUE(PressForward(installer.window(), "&Finish")) << "finish page";
    return installer.WaitForExit();
}

// Starts the disc's launcher from where AutoPlay would, and waits for its window.
HWND ShowLauncher(LauncherProcess &launcher, const std::string &disc)
{
    if (!launcher.Start(disc + "launcher.exe", "", disc))
        return nullptr;
    return launcher.WaitForWindow(kLauncherClass);
}

void Press(HWND window, int id)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

TEST(SampleDisc, InstallStartThenUninstall)
{
    DemoInstallation installation;
    std::string disc = BuildDir() + "demo-disc\\";
    ASSERT_TRUE(FileExists(disc + "launcher.exe")) << disc;

    // First run: not installed.
    {
        LauncherProcess launcher;
        HWND window = ShowLauncher(launcher, disc);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ("Tolvane Demo", WindowText(window));
        EXPECT_EQ("Install", WindowText(GetDlgItem(window, kAction)));
        EXPECT_EQ("Quit", WindowText(GetDlgItem(window, kQuit)));
        EXPECT_EQ("View Intro", WindowText(GetDlgItem(window, kExtra)));

        // The intro plays and the launcher stays.
        Press(window, kExtra);
        {
            StartedProgram intro("TolvaneDemoIntro");
            ASSERT_NE(nullptr, intro.window());
            EXPECT_TRUE(intro.Close());
        }
        EXPECT_TRUE(launcher.Running());

        // Install: the launcher closes once the installer is ready.
        Press(window, kAction);
        EXPECT_EQ(0u, launcher.WaitForExit());
    }
    {
        StartedProgram installer("#32770", "Tolvane Demo Setup");
        ASSERT_NE(nullptr, installer.window());
        EXPECT_EQ(0u, InstallThroughThePages(installer));
    }
    EXPECT_EQ(installation.folder, UserValue(kRecordKey, "InstallDir"));
    EXPECT_EQ("", UserValue(kRecordKey, "Demo"));
    EXPECT_TRUE(FileExists(installation.folder + "TolvaneDemo.exe"));
    EXPECT_TRUE(FileExists(installation.folder + "repository\\welcome.course"));
    EXPECT_TRUE(FileExists(installation.folder + "repository\\first-steps.course"));
    EXPECT_EQ("Tolvane Demo", UserValue(kUninstallKey, "DisplayName"));

    // Second run: installed, so Start runs the application and the launcher closes.
    {
        LauncherProcess launcher;
        HWND window = ShowLauncher(launcher, disc);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ("Start", WindowText(GetDlgItem(window, kAction)));
        Press(window, kAction);
        StartedProgram app("TolvaneDemoApp");
        ASSERT_NE(nullptr, app.window());
        EXPECT_EQ("Tolvane Demo", WindowText(app.window()));
        EXPECT_EQ(0u, launcher.WaitForExit());
        EXPECT_TRUE(app.Close());
    }

    // The uninstaller as Windows' list of programs runs it silently. It
    // copies itself away and ends at once; the copy does the work.
    std::string uninstall = UserValue(kUninstallKey, "QuietUninstallString");
    EXPECT_EQ("\"" + installation.folder + "uninstall.exe\" /S", uninstall);
    EXPECT_EQ(0u, RunCommand(uninstall));
    // Removing its entry is the uninstaller's last step.
    WaitUntil([&] { return !KeyExists(HKEY_CURRENT_USER, kUninstallKey); }, 15000);
    EXPECT_FALSE(FileExists(installation.folder));
    EXPECT_EQ("(absent)", UserValue(kRecordKey, "InstallDir"));
    EXPECT_EQ("(absent)", UserValue(kRecordKey, "Demo"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));

    // Third run: Install is offered again.
    LauncherProcess launcher;
    HWND window = ShowLauncher(launcher, disc);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ("Install", WindowText(GetDlgItem(window, kAction)));
    Press(window, kQuit);
    EXPECT_EQ(0u, launcher.WaitForExit());
}

// How a process was started, as its process parameters hold it. The
// layout is the 32-bit one: the current folder at 0x24, the command line at
// 0x40, each a UNICODE_STRING.
struct StartedAs {
    std::string commandLine;
    std::string directory;
};

std::string ReadProcessText(HANDLE process, const BYTE *parameters, size_t offset)
{
    UNICODE_STRING text = {};
    if (!ReadProcessMemory(process, parameters + offset, &text, sizeof text, nullptr))
        return "(unreadable)";
    std::wstring wide(text.Length / sizeof(wchar_t), L'\0');
    if (!ReadProcessMemory(process, text.Buffer, &wide[0], text.Length, nullptr))
        return "(unreadable)";
    char narrow[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

StartedAs HowStarted(HANDLE process)
{
    auto query = reinterpret_cast<decltype(&NtQueryInformationProcess)>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    const BYTE *parameters = nullptr;
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !ReadProcessMemory(process, reinterpret_cast<const BYTE *>(basic.PebBaseAddress) + 0x10, &parameters,
                           sizeof parameters, nullptr))
        return {"(unreadable)", "(unreadable)"};
    return {ReadProcessText(process, parameters, 0x40), ReadProcessText(process, parameters, 0x24)};
}

// The sample disc's image in drive D:, a CD-ROM drive, started as AutoPlay
// starts it: D:\launcher.exe in the current folder D:\. scripts/test puts the
// image there (scripts/cd-drive) before Wine's session starts, when Wine
// learns its drives, and takes it out at the end of the run.
TEST(SampleDiscImage, InstallsAndStartsFromACdRomDrive)
{
    const std::string drive = "D:\\";
    ASSERT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA(drive.c_str()))
        << "D: is no CD-ROM drive: scripts/test puts the sample disc's image there";
    char prefix[64] = "test-win32";
    GetEnvironmentVariableA("VESK_PREFIX", prefix, sizeof prefix);
    std::printf("D: holds %s", ReadTextFile(BuildDir() + prefix + "\\cd-drive\\inserted").c_str());
    ASSERT_EQ(ReadTextFile(BuildDir() + "demo-disc\\VESK.INI"), ReadTextFile(drive + "VESK.INI"));
    DemoInstallation installation;
    std::string before = FolderListing(drive);
    ASSERT_FALSE(before.empty());

    {
        LauncherProcess launcher;
        HWND window = ShowLauncher(launcher, drive);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ("Install", WindowText(GetDlgItem(window, kAction)));
        Press(window, kAction);
        EXPECT_EQ(0u, launcher.WaitForExit());
    }
    {
        StartedProgram installer("#32770", "Tolvane Demo Setup");
        ASSERT_NE(nullptr, installer.window());
        // The launcher's folder, D:\, followed by the disc's Installer value.
        StartedAs started = HowStarted(installer.process());
        EXPECT_EQ("D:\\TolvaneDemoSetup.exe", started.commandLine);
        EXPECT_EQ(drive, started.directory);
        EXPECT_EQ(0u, InstallThroughThePages(installer));
    }
    {
        LauncherProcess launcher;
        HWND window = ShowLauncher(launcher, drive);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ("Start", WindowText(GetDlgItem(window, kAction)));
        Press(window, kAction);
        StartedProgram app("TolvaneDemoApp");
        ASSERT_NE(nullptr, app.window());
        EXPECT_EQ(installation.folder, HowStarted(app.process()).directory);
        EXPECT_EQ(0u, launcher.WaitForExit());
        EXPECT_TRUE(app.Close());
    }
    EXPECT_EQ(before, FolderListing(drive));
}

} // namespace
