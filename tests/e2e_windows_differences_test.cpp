// Discs that Wine reads one way and Windows another. The checker, under Wine,
// warns of what fails on Windows only, apart from its other warnings; the
// launcher under Wine shows that Wine reads the same disc as the verdict says.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kUtf8Mark = "\xEF\xBB\xBF";

// An ASCII text as UTF-16 with its byte-order mark.
std::string Utf16(const std::string &text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) {
        bytes += bigEndian ? '\0' : c;
        bytes += bigEndian ? c : '\0';
    }
    return bytes;
}

TEST(WindowsDifferences, VeskIniReadOtherwiseOnWindows)
{
    struct Row {
        const char *name;
        std::string file;
        std::vector<std::string> windowsOnly;
    } rows[] = {
        {"UTF-8 mark, [Window] first", kUtf8Mark + MinimalIni(),
         {"(on Windows only) VESK.INI begins with a UTF-8 byte-order mark, which Wine skips but Windows reads as "
          "part of the first line, [Window]: on Windows the keys of [Window] are not read: Title is missing there, "
          "so the launcher ends without a window; save VESK.INI without the byte-order mark, or start it with a "
          "comment line"}},
        {"UTF-8 mark, a comment first", kUtf8Mark + "; Tolvane\r\n" + MinimalIni(), {}},
        {"UTF-8 mark, a letter beyond ASCII", kUtf8Mark + "; Tolvane\r\n" + MinimalIni("DemoTitle=D\xC3\xA9mo\r\n"),
         {"(on Windows only) VESK.INI begins with a UTF-8 byte-order mark, and [Window] DemoTitle holds letters "
          "beyond ASCII: Wine reads them as UTF-8, Windows as letters of its code page (\xC3\xA9 shows as "
          "\xC3\x83\xC2\xA9 on a Western Windows); save VESK.INI in the code page of the Windows it is meant for"}},
        {"UTF-16 little-endian", Utf16(MinimalIni(), false), {}},
        {"UTF-16 big-endian", Utf16(MinimalIni(), true),
         {"(on Windows only) VESK.INI is UTF-16 big-endian (it begins with FE FF), which Wine reads but Windows "
          "does not: on Windows it holds no section, so [Window] Title is missing and the launcher ends without a "
          "window; save VESK.INI as UTF-16 little-endian (beginning FF FE) or in the code page of the Windows it is "
          "meant for"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Disc disc;
        disc.WriteIni(row.file);

        CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
        EXPECT_EQ(row.windowsOnly, JsonList(checked.out, "/windows_only")) << checked.out;
        std::vector<std::string> warnings = JsonList(checked.out, "/warnings");
        for (const std::string &text : row.windowsOnly)
            EXPECT_EQ(1, std::count(warnings.begin(), warnings.end(), text)) << "in warnings: " << text;
        EXPECT_EQ("window", JsonText(checked.out, "/outcome"));

        // Wine reads every one of these files: its launcher shows the window.
        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
        HWND window = launcher.WaitForWindow(kLauncherClass);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ("Tolvane Test Disc", WindowText(window));
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, launcher.WaitForExit());
    }
}

// The INI record's file in the Windows folder, in the user's VirtualStore, in
// both or in neither. Only where it is in the VirtualStore alone does the
// launcher on Windows miss what the installer wrote. The disc is otherwise
// clean: that warning is the only one.
TEST(WindowsDifferences, InstallationRecordInTheVirtualStore)
{
    const std::string name = "TolvaneTestVirtualStore.ini";
    const std::string record = "[Tolvane]\r\nInstallDir=C:\\Tolvane\\\r\n";
    char local[MAX_PATH] = "";
    GetEnvironmentVariableA("LOCALAPPDATA", local, sizeof local);
    const std::string store = std::string(local) + "\\VirtualStore";
    const std::string inWindows = WindowsDir() + "\\" + name;
    const std::string inStore = store + WindowsDir().substr(2) + "\\" + name;
    struct Row {
        const char *name;
        bool windows, virtualStore;
        std::string warnings;
    } rows[] = {
        {"only in the VirtualStore", false, true,
         "Warnings:\n- (on Windows only) the installation record " + inWindows +
             " is not in the Windows folder, but " + inStore +
             " is: an installer without a manifest, run without elevation, wrote it into the Windows folder and "
             "Windows redirected it to the user's VirtualStore; that installer sees it there, but the launcher "
             "(asInvoker, not redirected) does not, and offers Install again; have the installer run elevated "
             "(requireAdministrator in its manifest), or keep the record in the registry (UseRegistry other than "
             "N)\n"},
        {"nowhere", false, false, "Warnings: none\n"},
        {"in the Windows folder too", true, true, "Warnings: none\n"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PathSetAside storeAside(store), recordAside(inWindows);
        Disc disc;
        disc.WriteIni("[Window]\r\nTitle=Tolvane Test Disc\r\nBitmap=back.bmp\r\n[Program]\r\n"
                      "Application name=app.exe\r\nInstaller=setup.exe\r\n[RegIni]\r\nIni file name=" + name +
                      "\r\nKey install dir=InstallDir\r\nSection name=Tolvane\r\nUseRegistry=N\r\n");
        disc.Write("autorun.inf", "[autorun]\r\nopen=launcher.exe\r\n");
        disc.Write("back.bmp", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }));
        disc.AddProbe("setup.exe");
        if (row.windows)
            WriteTextFile(inWindows, record);
        if (row.virtualStore) {
            MakeDirs(inStore.substr(0, inStore.find_last_of('\\')));
            WriteTextFile(inStore, record);
        }

        CheckerRun checked = RunChecker(Argument(disc.root()));
        EXPECT_EQ(0u, checked.exitCode) << checked.out;
        size_t at = checked.out.find("Warnings:");
        EXPECT_EQ(row.warnings, at == std::string::npos ? checked.out : checked.out.substr(at));
    }
}

} // namespace
