// launcher.exe from outside, with and without an installation: the
// immediate start of the installed program and the wrong-disc exit.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// The record key that MinimalIni's [RegIni] names, under the current user.
const char kRecordTop[] = "Software\\TolvaneTestRecord";
const char kRecordKey[] = "Software\\TolvaneTestRecord\\Setup\\Settings";

// A disc whose launcher finds the application installed (or not), with the
// probe as the installed program.
struct InstalledDisc {
    Disc disc;
    ScratchDir install{"inst"};
    std::unique_ptr<RegistryKey> top;
    std::unique_ptr<RegistryKey> record;

    InstalledDisc(bool installed, const std::string &window, const std::string &program)
    {
        // A Start window shows the disc's own picture: it must be there.
        disc.Write("back.bmp", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }));
        disc.WriteIni(MinimalIni("Bitmap=back.bmp\r\n" + window, program, "RegTopKey=C\r\n"));
        top = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, kRecordTop);
        if (installed) {
            record = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, kRecordKey);
            record->SetString("InstallDir", install.path());
            disc.CopyProbeTo(install / "app.exe");
        }
    }
};

std::string ActionCaption(HWND window)
{
    HWND action = GetDlgItem(window, 100);
    return action ? WindowText(action) : std::string("(no button 100)");
}

// Waits for the launcher's window, checks the first button, and closes it.
void ExpectWindowOffering(LauncherProcess &launcher, const char *action)
{
    HWND window = launcher.WaitForWindow(kLauncherClass);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(action, ActionCaption(window));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, launcher.WaitForExit());
}

TEST(DetectionEndToEnd, RunImmediatelyStartsTheInstalledProgramWithoutAWindow)
{
    InstalledDisc world(true, "", "RunImmediately=Y\r\n");
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(world.disc.Launcher(), world.disc.probeLog()));

    RunOutcome outcome = RunToEnd(launcher);
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_FALSE(outcome.showedWindow);

    std::vector<ProbeRun> runs = WaitForProbeRuns(world.disc.probeLog(), 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(world.install.path() + "app.exe", runs[0].commandLine);
    // The current directory is reported without its final backslash.
    std::string installDir = world.install.path();
    EXPECT_EQ(installDir.substr(0, installDir.size() - 1), runs[0].directory);
    // Nothing in the start-up record: the program shows itself its own way.
    EXPECT_EQ("0 0", runs[0].startup);
}

TEST(DetectionEndToEnd, RunImmediatelyShowsTheWindowWhenTheProgramCannotStart)
{
    InstalledDisc world(true, "", "RunImmediately=Y\r\n");
    // There, but no program.
    WriteTextFile(world.install / "app.exe", "not a program");
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(world.disc.Launcher(), world.disc.probeLog()));

    ExpectWindowOffering(launcher, "Start");
    EXPECT_TRUE(ReadProbeLog(world.disc.probeLog()).empty());
}

TEST(DetectionEndToEnd, RunImmediatelyWithoutAnInstallationShowsTheWindow)
{
    InstalledDisc world(false, "", "RunImmediately=Y\r\n");
    // Where a start from an empty installDir would find a program.
    world.disc.AddProbe("app.exe");
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(world.disc.Launcher(), world.disc.probeLog()));

    ExpectWindowOffering(launcher, "Install");
    EXPECT_TRUE(ReadProbeLog(world.disc.probeLog()).empty());
}

TEST(DetectionEndToEnd, WrongCdEndsTheRunOnlyWhenInstallWouldBeOffered)
{
    struct Row {
        const char *name;
        const char *wrongCd;
        bool installed;
        bool window;
        const char *action;
    } rows[] = {
        {"WrongCD Y, not installed", "Y", false, false, nullptr},
        {"WrongCD Yes, not installed", "Yes", false, false, nullptr},
        {"WrongCD Y, installed", "Y", true, true, "Start"},
        {"WrongCD y, not installed", "y", false, true, "Install"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        InstalledDisc world(row.installed, std::string("WrongCD=") + row.wrongCd + "\r\n", "");
        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(world.disc.Launcher(), world.disc.probeLog()));

        if (row.window) {
            ExpectWindowOffering(launcher, row.action);
        } else {
            RunOutcome outcome = RunToEnd(launcher);
            EXPECT_EQ(kExitFailed, outcome.exitCode);
            EXPECT_FALSE(outcome.showedWindow);
        }
        EXPECT_TRUE(ReadProbeLog(world.disc.probeLog()).empty());
    }
}

} // namespace
