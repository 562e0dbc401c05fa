// The disc checker against the launcher: the same disc on the same machine
// run through checkdisc --json and through the real launcher.exe must end the
// same way. The checker also changes nothing, and refuses bad input.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

namespace {

const char kAppClass[] = "TolvaneTestMainWindow";

// How the checker says the launcher will end: "window install", "window
// start", "start", "conflict" or "silent".
std::string Predicted(const std::string &json)
{
    std::string outcome = JsonText(json, "/outcome");
    return outcome == "window" ? outcome + " " + JsonText(json, "/offer") : outcome;
}

// How the launcher did end, in the same words; its window or warning answered.
std::string Observed(LauncherProcess &launcher)
{
    std::string outcome = "(still running)";
    WaitUntil(
        [&] {
            PumpMessages();
            if (HWND window = FindWindowOf(launcher.pid(), kLauncherClass, true)) {
                outcome = WindowText(GetDlgItem(window, 100)) == "Start" ? "window start" : "window install";
                PostMessageA(window, WM_CLOSE, 0, 0);
                return true;
            }
            if (HWND box = FindWindowOf(launcher.pid(), "#32770", true)) {
                outcome = "conflict";
                DismissMessageBox(box);
                return true;
            }
            if (launcher.Running())
                return false;
            outcome = launcher.WaitForExit(0) == 0 ? "start" : "silent";
            return true;
        },
        15000);
    launcher.WaitForExit();
    return outcome;
}

// A disc and this machine's state for one row, undone when it goes.
struct World {
    Disc disc;
    std::string folder = disc.root();
    ScratchDir installation{"inst"};
    std::unique_ptr<RegistryKey> recordTop, record, edition;
    std::unique_ptr<ForeignWindow> window;
    std::unique_ptr<Disc> otherDisc;
    LauncherProcess otherLauncher;

    void Installed(const std::string &courses = "")
    {
        recordTop = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord");
        record = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings");
        record->SetString("InstallDir", installation.path());
        disc.CopyProbeTo(installation / "app.exe");
        if (!courses.empty())
            installation.Write("repository\\" + courses, "x");
    }
};

struct Row {
    const char *name;
    const char *window, *program, *regIni; // lines of the sections; window nullptr: no VESK.INI
    void (*prepare)(World &);
    const char *outcome;
    const char *reason;
    const char *says = ""; // what the checker's report must also say
};

void Nothing(World &) {}

TEST(Checker, AgreesWithTheLauncher)
{
    const char kInstalled[] = "Bitmap=back.bmp\r\n";
    const char kRecord[] = "RegTopKey=C\r\n";
    const Row rows[] = {
        {"no VESK.INI", nullptr, "", "", Nothing, "silent", "no-config"},
        {"a required key missing", "", "", "", [](World &w) { w.disc.WriteIni(
             "[Window]\r\nTitle=T\r\n[Program]\r\nApplication name=app.exe\r\n[RegIni]\r\nIni file name=X\r\n"
             "Key install dir=D\r\nSection name=S\r\n"); }, "silent", "missing-key",
         "the required key \\\"Installer\\\" is missing"},
        {"an outside installer", "", "", "",
         [](World &w) { w.window = std::make_unique<ForeignWindow>("InstallShield_Win"); }, "silent",
         "outside-installer"},
        {"another launcher", "", "", "",
         [](World &w) {
             w.otherDisc = std::make_unique<Disc>();
             w.otherDisc->WriteIni(MinimalIni());
             w.otherLauncher.Start(w.otherDisc->Launcher(), w.otherDisc->probeLog());
             w.otherLauncher.WaitForWindow(kLauncherClass);
         },
         "silent", "launcher-running"},
        {"the application running", "", "AppWindowClass=TolvaneTestMainWindow\r\n", "",
         [](World &w) { w.window = std::make_unique<ForeignWindow>(kAppClass); }, "silent", "application-running"},
        {"no picture for bothTypes", "", "bothTypes=1\r\n", "", Nothing, "silent", "no-bitmap"},
        {"wrong disc", "WrongCD=Yes\r\n", "", "", Nothing, "silent", "wrong-disc"},
        {"a folder too long", "", "", "",
         [](World &w) {
             // The launcher's path then has 256 characters, one more than it holds.
             std::string relative;
             while (w.disc.root().size() + relative.size() < 243)
                 relative += std::string(std::min<size_t>(243 - w.disc.root().size() - relative.size(), 50), 'd') +
                             "\\";
             w.folder = w.disc.MakeDir(relative);
             CopyFileA(w.disc.Launcher().c_str(), (w.folder + "launcher.exe").c_str(), FALSE);
             WriteTextFile(w.folder + "VESK.INI", MinimalIni());
         },
         "silent", "path-too-long"},
        {"another edition", "", "", "",
         [](World &w) {
             w.edition = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, "SOFTWARE\\Quillmoor\\Tolvane\\Settings");
             w.edition->SetString("Demo", "");
         },
         "conflict", "edition-conflict"},
        {"immediate start", kInstalled, "RunImmediately=Y\r\n", kRecord, [](World &w) { w.Installed(); }, "start", ""},
        {"not installed", "", "", "", Nothing, "window install", ""},
        {"installed", kInstalled, "", kRecord, [](World &w) { w.Installed(); }, "window start", ""},
        {"second course file missing", kInstalled, "", "RegTopKey=C\r\nTarnCoursesCheck=Y\r\n",
         [](World &w) {
             w.disc.Write("repository\\a.course", "x");
             w.disc.Write("repository\\b.course", "x");
             w.Installed("a.course");
         },
         "window install", "", "b.course"},
        {"a lower-case flag", "WrongCD=y\r\n", "", "", Nothing, "window install", "",
         "WrongCD=y reads as no"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        World world;
        world.disc.Write("back.bmp", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }));
        if (row.window)
            world.disc.WriteIni(MinimalIni(row.window, row.program, row.regIni));
        row.prepare(world);

        CheckerRun checked = RunChecker("--json " + Argument(world.folder));
        EXPECT_EQ(row.outcome, Predicted(checked.out)) << checked.out;
        EXPECT_EQ(row.reason, JsonText(checked.out, "/reason"));
        EXPECT_NE(std::string::npos, checked.out.find(row.says)) << checked.out;
        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(world.folder + "launcher.exe", world.disc.probeLog()));
        EXPECT_EQ(Predicted(checked.out), Observed(launcher));
        if (world.otherLauncher.Running()) {
            PostMessageA(world.otherLauncher.FindWindowOfClass(kLauncherClass), WM_CLOSE, 0, 0);
            world.otherLauncher.WaitForExit();
        }
    }
}

// A record that only a 64-bit installer wrote, in the 64-bit view of the
// local machine: the launcher offers Start, and the checker names the
// Windows it judged for and the view the record came from. On 32-bit
// Windows that view is the only one.
TEST(Checker, NamesTheWindowsAndTheRecordsView)
{
    World world;
    world.disc.Write("back.bmp", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }));
    world.disc.WriteIni(MinimalIni("Bitmap=back.bmp\r\n", "", ""));
    RegistryKey top(HKEY_LOCAL_MACHINE, "Software\\TolvaneTestRecord", KEY_WOW64_64KEY);
    RegistryKey record(HKEY_LOCAL_MACHINE, "Software\\TolvaneTestRecord\\Setup\\Settings", KEY_WOW64_64KEY);
    record.SetString("InstallDir", world.installation.path());
    world.disc.CopyProbeTo(world.installation / "app.exe");
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);

    CheckerRun checked = RunChecker("--json " + Argument(world.folder));
    EXPECT_EQ(wow64 ? "win64" : "win32", JsonText(checked.out, "/platform")) << checked.out;
    EXPECT_EQ(wow64 ? "64-bit" : "32-bit", JsonText(checked.out, "/installation/record_view")) << checked.out;
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(world.folder + "launcher.exe", world.disc.probeLog()));
    EXPECT_EQ("window start", Predicted(checked.out));
    EXPECT_EQ("window start", Observed(launcher));
}

// A disc copied into a folder whose name no single code page holds, and an
// installation in another such folder, recorded in UTF-16 as installers
// record it: the checker names both with their real letters, in its text
// and in its JSON, and judges the disc as the launcher does. A file name of
// VESK.INI with a letter beyond ASCII is found only where the code page
// holds that letter.
TEST(Checker, NamesFoldersOfAnyNameWithTheirLetters)
{
    const std::string anyLetters = "Диск 光盘";
    Disc disc(anyLetters);
    ScratchDir installation("inst");
    std::string installDir = installation.MakeDir(anyLetters) + "\\";
    disc.CopyProbeTo(installDir + "app.exe");
    RegistryKey top(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord");
    RegistryKey record(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings");
    record.SetUnicodeString("InstallDir", installDir);
    WriteTextFile(disc.root() + "back.bmp", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }));
    disc.WriteIni(MinimalIni("Bitmap=back.bmp\r\nDemoMovie=intro-\xE9.exe\r\n", "", "RegTopKey=C\r\n"));

    CheckerRun json = RunChecker("--json " + Argument(disc.root()));
    EXPECT_EQ("window start", Predicted(json.out)) << json.out;
    EXPECT_EQ(disc.root(), JsonText(json.out, "/disc"));
    EXPECT_EQ(installDir, JsonText(json.out, "/installation/installDir"));
    EXPECT_EQ("found: " + installDir + "app.exe", JsonText(json.out, "/installation/program"));
    std::vector<std::string> warnings = JsonList(json.out, "/warnings");
    EXPECT_EQ(1, std::count_if(warnings.begin(), warnings.end(), [](const std::string &warning) {
                  return warning.find("DemoMovie=intro-é.exe has letters beyond ASCII") == 0;
              })) << json.out;
    CheckerRun text = RunChecker(Argument(disc.root()));
    EXPECT_NE(std::string::npos, text.out.find("Installation folder: " + installDir + "\n")) << text.out;

    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
    EXPECT_EQ("window start", Observed(launcher));
}

// The checker names the very file each button starts, its arguments and its
// current folder, though programs lie beside the disc's folders, whose names
// have blanks, where a search of the whole command line would stop.
TEST(Checker, NamesTheFileEachButtonStarts)
{
    for (bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed" : "not installed");
        Disc disc("My Discs\\Tolvane Disc");
        disc.CopyProbeTo(disc.path() + "My.exe");
        disc.CopyProbeTo(disc.path() + "My Discs\\Tolvane.exe");
        disc.AddProbe("setup.exe");
        disc.AddProbe("Tolvane Intro.exe");
        ScratchDir installation("inst");
        std::string installDir = installation.MakeDir("My Apps") + "\\";
        disc.CopyProbeTo(installDir + "app.exe");
        RegistryKey top(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord");
        RegistryKey record(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings");
        if (installed)
            record.SetString("InstallDir", installDir);
        WriteTextFile(disc.root() + "back.bmp", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }));
        disc.WriteIni(MinimalIni("Bitmap=back.bmp\r\nDemoMovie=Tolvane Intro.exe /play\r\n", "",
                                 "RegTopKey=C\r\n"));

        CheckerRun json = RunChecker("--json " + Argument(disc.root()));
        std::string moduleDir = Upper(disc.root());
        struct Start {
            std::string button, program, arguments, directory;
        } expected[] = {
            installed ? Start{"start", installDir + "app.exe", "", installDir}
                      : Start{"install", moduleDir + "setup.exe", "", moduleDir},
            {"extra", moduleDir + "Tolvane Intro.exe", "/play", disc.root()},
        };
        for (size_t i = 0; i < 2; ++i) {
            std::string at = "/starts/" + std::to_string(i) + "/";
            EXPECT_EQ(expected[i].button, JsonText(json.out, at + "button")) << json.out;
            EXPECT_EQ(Upper(expected[i].program), Upper(JsonText(json.out, at + "program")));
            EXPECT_EQ(expected[i].arguments, JsonText(json.out, at + "arguments"));
            EXPECT_EQ(Upper(expected[i].directory), Upper(JsonText(json.out, at + "directory")));
        }
        CheckerRun text = RunChecker(Argument(disc.root()));
        EXPECT_NE(std::string::npos, text.out.find("Third button: runs " + moduleDir + "Tolvane Intro.exe, arguments /play, in "))
            << text.out;
    }
}


// Random discs from a fixed seed, each on this Windows: every start the
// checker names is made by the real launcher, started from the disc's root
// as AutoPlay starts it, with the same file in the same folder, and the
// launcher closes or stays as the checker says. Folders with blanks and
// letters of other alphabets, VESK.INI in UTF-8 or in the code page,
// programs with blanks in their names; the installation in four states: none,
// installed, only the CD's copy of the program (AppFromCd), and that with
// the immediate start, which fails and leaves the installation's folder
// current for the third button.
TEST(Checker, ItsStartsAreWhatTheLauncherDoesOnRandomDiscs)
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::mt19937 random(wow64 ? 64 : 32);
    auto pick = [&random](std::initializer_list<const char *> choices) {
        return std::string(choices.begin()[random() % choices.size()]);
    };
    for (int state = 0; state < 4; ++state) {
        bool utf8 = random() % 2;
        std::string folder = pick({"Disc One", "Disque \xC3\xA9t\xC3\xA9"}) +
                             (utf8 ? pick({" \xD0\x94\xD0\xB8\xD1\x81\xD0\xBA", " \xE5\x85\x89\xE7\x9B\x98"}) : "");
        std::string installer = utf8 ? pick({"setup.exe", "\xD0\xA3\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD0\xB0.exe /S"})
                                     : pick({"setup.exe", "Tolvane Setup.exe /S", "Instalaci\xC3\xB3n.exe"});
        std::string intro = pick({"", "intro.exe", "Tolvane Intro.exe /play"});
        std::string bothTypes = pick({"0", "1"});
        SCOPED_TRACE("state " + std::to_string(state) + ", " + folder + (utf8 ? ", UTF-8" : ", code page") +
                     ", Installer=" + installer + ", DemoMovie=" + intro + ", bothTypes=" + bothTypes);

        Disc disc(folder);
        disc.AddProbe(installer.substr(0, installer.find(".exe") + 4));
        if (!intro.empty())
            disc.AddProbe(intro.substr(0, intro.find(".exe") + 4));
        disc.Write(disc.root().substr(disc.path().size()) + "installed.bmp",
                   BmpFile(8, 8, [](int, int) { return RGB(0x60, 0x60, 0x60); }));
        ScratchDir installation("inst");
        std::string installDir = installation.MakeDir("Program Files\\Tolvane" + std::string(utf8 ? " \xD0\x94" : "")) + "\\";
        std::string cdAppDir = installation.MakeDir("CD Copy") + "\\";
        RegistryKey top(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord");
        RegistryKey record(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings");
        if (state > 0) {
            record.SetUnicodeString("InstallDir", installDir);
            record.SetUnicodeString("CDDir", cdAppDir);
            disc.CopyProbeTo((state == 1 ? installDir : cdAppDir) + "app.exe");
        }
        std::string program = std::string(state >= 2 ? "AppFromCd=Y\r\n" : "") +
                              (state == 3 ? "RunImmediately=Y\r\n" : "") + "bothTypes=" + bothTypes + "\r\n";
        std::string ini = MinimalIni("Bitmap=installed.bmp\r\n" + (intro.empty() ? "" : "DemoMovie=" + intro + "\r\n") +
                                         (utf8 ? "BitmapText=\xD0\x93\xD0\xBE\xD1\x82\xD0\xBE\xD0\xB2\xD0\xBE.\r\n" : ""),
                                     program, "RegTopKey=C\r\nCDValue=CDDir\r\n");
        ini.replace(ini.find("Installer=setup.exe"), 19, "Installer=" + installer);
        disc.WriteIni(utf8 ? ini : InCodePage(ini, 1252));

        CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
        ASSERT_EQ(state == 3 ? "window start" : state ? "window start" : "window install", Predicted(checked.out))
            << checked.out;
        // The starts each press makes in turn, by button; the first that has a file runs.
        for (size_t i = 0; !JsonText(checked.out, "/starts/" + std::to_string(i) + "/button").empty(); ++i) {
            std::string at = "/starts/" + std::to_string(i) + "/";
            std::string button = JsonText(checked.out, at + "button");
            SCOPED_TRACE(button);
            if (JsonText(checked.out, at + "program") == "null")
                continue; // no file to run: the next start is made, or the window shows
            DeleteFileW(Wide(disc.probeLog()).c_str());
            LauncherProcess launcher;
            ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
            HWND window = nullptr;
            if (button != "immediate") {
                window = launcher.WaitForWindow(kLauncherClass);
                ASSERT_NE(nullptr, window);
                int id = button == "extra" ? 102 : 100;
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
            }
            std::vector<ProbeRun> runs = WaitForProbeRuns(disc.probeLog(), 1);
            ASSERT_EQ(1u, runs.size());
            EXPECT_EQ(Upper(JsonText(checked.out, at + "program")), Upper(runs[0].program));
            std::string directory = JsonText(checked.out, at + "directory");
            EXPECT_EQ(Upper(directory.substr(0, directory.size() - 1)), Upper(runs[0].directory));
            bool closes = JsonText(checked.out, at + "closesLauncher") == "true";
            if (closes) {
                EXPECT_EQ(0u, launcher.WaitForExit());
            } else {
                // Once the window answers, the press has been handled whole.
                EXPECT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 15000, nullptr));
                EXPECT_TRUE(IsWindow(window)) << "the launcher closed";
                PostMessageA(window, WM_CLOSE, 0, 0);
                EXPECT_EQ(0u, launcher.WaitForExit());
            }
        }
    }
}

TEST(Checker, ChangesNothing)
{
    Disc disc; // sets the vendor's keys aside: a run of the launcher would create them
    disc.WriteIni(MinimalIni("Audio=startup.wav\r\nDemoMovie=intro.exe\r\n", "AppToFront=Y\r\n"));
    disc.AddProbe("setup.exe");
    disc.Write("startup.wav", "RIFF");
    std::string before = FolderListing(disc.path());

    CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
    EXPECT_EQ(0u, checked.exitCode) << checked.out;
    EXPECT_EQ("window install", Predicted(checked.out));
    EXPECT_EQ(before, FolderListing(disc.path()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Quillmoor"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmoor"));
    EXPECT_EQ(GetFileAttributesA(disc.probeLog().c_str()), INVALID_FILE_ATTRIBUTES) << "a program was started";
}

// A picture several times larger than the same as an 8-bit bitmap that
// looks the same: the checker says so, and what it costs on a CD drive. Not
// the sample disc's compact picture, nor one a palette cannot hold, nor a
// tiny one.
TEST(Checker, WarnsOfAPictureSeveralTimesLargerThanItNeeds)
{
    // A sky from top to bottom, with light marks over it, as the prompts are.
    std::string artwork = BmpFile(300, 140, [](int x, int y) {
        return (x / 6 + y / 5) % 9 == 0 ? RGB(0xF0, 0xF0, 0xF0) : RGB(0x20 + y / 4, 0x40 + y / 2, 0x60 + y / 3);
    });
    std::string noise = BmpFile(300, 140, [](int x, int y) {
        unsigned hash = (x * 73856093u) ^ (y * 19349663u) ^ (x * y * 83492791u);
        return RGB(hash & 0xFF, (hash >> 8) & 0xFF, (hash >> 16) & 0xFF);
    });
    struct Row {
        const char *name;
        std::string picture;
        bool warns;
    } rows[] = {
        {"flat artwork in 24 bits", artwork, true},
        {"the sample disc's picture", ReadTextFile(BuildDir() + "demo-disc\\installed.bmp"), false},
        {"a picture no palette holds", noise, false},
        {"a tiny picture", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_LT(0u, row.picture.size());
        Disc disc;
        disc.Write("back.bmp", row.picture);
        disc.WriteIni(MinimalIni("Bitmap=back.bmp\r\n"));

        CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
        std::vector<std::string> warnings = JsonList(checked.out, "/warnings");
        std::string begins = "Bitmap: " + Upper(disc.root()) + "back.bmp is " + std::to_string(row.picture.size()) +
                             " bytes, ";
        auto warning = std::find_if(warnings.begin(), warnings.end(),
                                    [&](const std::string &w) { return w.find(begins) == 0; });
        EXPECT_EQ(row.warns, warning != warnings.end()) << checked.out;
        if (warning != warnings.end()) {
            EXPECT_NE(std::string::npos, warning->find(" times what it needs: as an 8-bit bitmap")) << *warning;
            EXPECT_NE(std::string::npos, warning->find(" ms at 3.6 to 1.5 MB/s")) << *warning;
        }
    }
}

TEST(Checker, RefusesBadInputWithStatus2)
{
    ScratchDir scratch("bad");
    scratch.Write("file.txt", "x");
    scratch.MakeDir("ini-folder\\VESK.INI");
    struct Case {
        std::string arguments;
        const char *says;
    } cases[] = {
        {Argument(scratch / "missing"), "there is no folder"},
        {Argument(scratch / "file.txt"), "is a file"},
        {Argument(scratch / "ini-folder"), "is a folder, not a file"},
        {Argument(scratch / std::string(270, 'x')), "longer than 259 characters"},
        {"--bogus", "usage: checkdisc"},
        {"one two", "usage: checkdisc"},
    };
    for (const Case &row : cases) {
        SCOPED_TRACE(row.arguments.substr(0, 80));
        CheckerRun checked = RunChecker(row.arguments);
        EXPECT_EQ(2u, checked.exitCode);
        EXPECT_NE(std::string::npos, checked.out.find(row.says)) << checked.out;
    }
}

} // namespace
