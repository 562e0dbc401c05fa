// launcher.exe from outside: its guards, its start-up failures and its window.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

namespace {

// Runs a launcher to its end: it must fail without ever showing its window.
void ExpectEndWithoutWindow(const std::string &exe, const std::string &probeLog)
{
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(exe, probeLog));
    RunOutcome outcome = RunToEnd(launcher);
    EXPECT_EQ(kExitFailed, outcome.exitCode);
    EXPECT_FALSE(outcome.showedWindow);
}

TEST(Startup, WithoutTheConfigurationFileItEndsWithoutAWindow)
{
    Disc disc;
    ExpectEndWithoutWindow(disc.Launcher(), disc.probeLog());
}

TEST(Startup, AValidDiscShowsTheWindowWhichClosesWithExitCode0)
{
    Disc disc;
    disc.WriteIni(MinimalIni());
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
    HWND window = launcher.WaitForWindow(kLauncherClass);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ("Tolvane Test Disc", WindowText(window));
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(0x02C00080 | WS_VISIBLE, style & ~WS_CLIPSIBLINGS) << std::hex << style;
    EXPECT_EQ(WS_EX_DLGMODALFRAME, GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, launcher.WaitForExit());
}

TEST(Startup, AnOutsideInstallerWindowEndsItAtOnce)
{
    ForeignWindow installer("InstallShield_Win");
    ASSERT_NE(nullptr, installer.handle());
    Disc disc;
    disc.WriteIni(MinimalIni());
    ExpectEndWithoutWindow(disc.Launcher(), disc.probeLog());
}

TEST(Startup, ASecondLauncherEndsAndBringsTheFirstToTheFront)
{
    Disc disc;
    disc.WriteIni(MinimalIni());
    LauncherProcess first;
    ASSERT_TRUE(first.Start(disc.Launcher(), disc.probeLog()));
    HWND window = first.WaitForWindow(kLauncherClass);
    ASSERT_NE(nullptr, window);

    ForeignWindow other("VeskTestForeground");
    SetForegroundWindow(other.handle());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.handle(); }, 5000));

    // The second copy has no VESK.INI at all: it must not get as far as reading one.
    Disc secondDisc;
    LauncherProcess second;
    ASSERT_TRUE(second.Start(secondDisc.Launcher(), secondDisc.probeLog()));
    EXPECT_EQ(kExitFailed, second.WaitForExit());
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 5000))
        << "foreground is " << ClassOf(GetForegroundWindow());

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, first.WaitForExit());
}

TEST(Startup, OnWindows31ItExplainsWhatItIsForAndEnds)
{
    // Wine reports another Windows version to this program name only.
    const char appDefaults[] = "Software\\Wine\\AppDefaults\\launcher.exe";
    RegistryKey version(HKEY_CURRENT_USER, appDefaults);
    version.SetString("Version", "win31");

    Disc disc;
    disc.WriteIni(MinimalIni());
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
    HWND box = launcher.WaitForMessageBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Information", WindowText(box));
    EXPECT_EQ("This program intended to be used for autoplay feature under Win95 and WinNT 4.0.", MessageBoxText(box));
    EXPECT_EQ(nullptr, launcher.FindWindowOfClass(kLauncherClass));
    DismissMessageBox(box);
    EXPECT_EQ(0u, launcher.WaitForExit());
}

// A folder under base whose full path, with its backslash, has length characters.
std::string FolderOfLength(const ScratchDir &base, size_t length)
{
    std::string relative;
    while (base.path().size() + relative.size() + 1 < length) {
        size_t part = std::min<size_t>(length - base.path().size() - relative.size() - 1, 60);
        relative += std::string(part, 'd') + "\\";
    }
    relative.pop_back();
    return base.MakeDir(relative) + "\\";
}

TEST(Startup, ALauncherPathThatDoesNotFitItsBufferEndsStartUp)
{
    // A module path of 256 characters or more is itself cut; a shorter one
    // may still leave no room for the configuration file's name after it.
    struct Row {
        size_t folderLength;
        const char *exeName;
    } rows[] = {{244, "launcher.exe"}, {250, "l.exe"}};
    for (const Row &row : rows) {
        ScratchDir base("long");
        std::string exe = FolderOfLength(base, row.folderLength) + row.exeName;
        SCOPED_TRACE(std::to_string(exe.size()) + " characters: " + exe);
        ASSERT_TRUE(CopyFileA((BuildDir() + "launcher.exe").c_str(), exe.c_str(), FALSE));
        WriteTextFile(exe.substr(0, exe.rfind('\\') + 1) + "VESK.INI", MinimalIni());
        ExpectEndWithoutWindow(exe, base.path() + "probe.log");
    }
}

} // namespace
