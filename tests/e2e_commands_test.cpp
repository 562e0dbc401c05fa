// launcher.exe's buttons from outside: what each press starts, with which
// command line and current directory, what it reports, and whether the
// launcher closes. The probe stands in for the installer, the application
// and the third button's program.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const int kAction = 100, kQuit = 101, kExtra = 102;

// A folder named with letters that no single code page holds: Windows' ANSI
// calls would see it as "???? ??".
const char kAnyLetters[] = "Диск 光盘";

// A folder as GetCurrentDirectoryA gives it: without its last backslash.
std::string AsCurrentDirectory(const std::string &folder)
{
    return folder.substr(0, folder.size() - 1);
}

// The values of a test disc's VESK.INI.
struct DiscIni {
    std::string installer = "setup.exe";
    std::string application = "app.exe";
    std::string window;  // more lines of [Window]
    std::string program; // more lines of [Program]
    std::string regIni;  // more lines of [RegIni]

    std::string Text() const
    {
        return "[Window]\r\nTitle=Tolvane Test Disc\r\n" + window +
               "[Program]\r\nApplication name=" + application + "\r\nInstaller=" + installer + "\r\n" + program +
               "[RegIni]\r\nIni file name=TolvaneTestRecord\r\nKey install dir=InstallDir\r\n"
               "Section name=Setup\r\n" + regIni;
    }
};

// An installation record in the registry form under HKEY_CURRENT_USER, with
// an installation folder whose name has a blank, as under Program Files,
// stored in UTF-16 as installers store it.
class Installation {
public:
    explicit Installation(const std::string &folder = "Program Files\\Tolvane")
    {
        installDir = files.MakeDir(folder) + "\\";
        settings_.SetUnicodeString("InstallDir", installDir);
    }
    void SetCdAppDir(const std::string &folder) const { settings_.SetString("CDDir", folder); }
    // The lines that make a disc read this record, with the picture it needs.
    static void Describe(DiscIni &ini)
    {
        ini.window += "Bitmap=installed.bmp\r\n";
        ini.regIni += "RegTopKey=C\r\nCDValue=CDDir\r\n";
    }

    ScratchDir files{"installed"};
    std::string installDir;

private:
    RegistryKey record_{HKEY_CURRENT_USER, "Software\\TolvaneTestRecord"};
    RegistryKey settings_{HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings"};
};

// One launcher on a disc of its own, started from a folder that is neither
// the disc nor an installation, so that a changed current directory shows.
class DiscRun {
public:
    // An installed launcher shows the disc's own picture.
    explicit DiscRun(const std::string &folder = "") : disc(folder)
    {
        disc.Write(disc.root().substr(disc.path().size()) + "installed.bmp",
                   BmpFile(120, 60, [](int, int) { return RGB(0x60, 0x60, 0x60); }));
    }

    // The launcher's folder as the launcher itself holds it: upper-cased.
    std::string ModuleDir() const { return Upper(disc.root()); }

    HWND Show(const DiscIni &ini)
    {
        disc.WriteIni(ini.Text());
        if (!launcher.Start(disc.Launcher(), disc.probeLog(), startedFrom.path()))
            return nullptr;
        window = launcher.WaitForWindow(kLauncherClass);
        return window;
    }

    // A button press as the button itself reports it to the launcher window.
    void Press(int id) const
    {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    }

    std::vector<ProbeRun> WaitForRuns(size_t count) const { return WaitForProbeRuns(disc.probeLog(), count); }
    bool NothingStarted() const
    {
        return GetFileAttributesW(Wide(disc.probeLog()).c_str()) == INVALID_FILE_ATTRIBUTES;
    }

    // The start-failure message, owned by the launcher window; dismissed.
    void ExpectFailureMessage(const std::string &commandLine) const
    {
        HWND box = launcher.WaitForMessageBox();
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("Information", WindowText(box));
        // With the folder's real letters, cut at 255 characters.
        std::wstring message = Wide("Unable to run application : " + commandLine).substr(0, 255);
        EXPECT_EQ(Utf8(message), Utf8(ShownText(GetDlgItem(box, 0xFFFF))));
        EXPECT_EQ(window, GetWindow(box, GW_OWNER));
        DismissMessageBox(box);
    }

    Disc disc;
    ScratchDir startedFrom{"cwd"};
    LauncherProcess launcher;
    HWND window = nullptr;
};

// The disc's root, and a folder of it named in no single code page, as a
// disc copied into such a folder, or unpacked into a Downloads folder below
// a user name of another script, has it.
const char *const kDiscFolders[] = {"", kAnyLetters};

TEST(Commands, InstallStartsTheDiscInstallerFromTheLauncherFolderAndCloses)
{
    for (const char *folder : kDiscFolders) {
        SCOPED_TRACE(folder);
        DiscRun run(folder);
        run.disc.AddProbe("setup.exe");
        DiscIni ini;
        // Arguments reach the installer as written, blanks and quotes included.
        const std::string arguments = " /S  /DIR=\"C:\\Program Files\\Tolvane\"";
        ini.installer = "setup.exe" + arguments;
        ASSERT_NE(nullptr, run.Show(ini));
        EXPECT_EQ("Install", WindowText(GetDlgItem(run.window, kAction)));

        run.Press(kAction);
        std::vector<ProbeRun> runs = run.WaitForRuns(1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(run.ModuleDir() + "setup.exe" + arguments, runs[0].commandLine);
        EXPECT_EQ(AsCurrentDirectory(run.ModuleDir()), runs[0].directory);
        EXPECT_EQ("1 5", runs[0].startup) << "STARTF_USESHOWWINDOW with SW_SHOW";
        EXPECT_EQ(0u, run.launcher.WaitForExit());
        EXPECT_EQ(1u, ReadProbeLog(run.disc.probeLog()).size());
    }
}

TEST(Commands, InstallThatFailsReportsItOnceAndCloses)
{
    for (const char *folder : kDiscFolders) {
        SCOPED_TRACE(folder);
        DiscRun run(folder);
        DiscIni ini;
        ini.installer = "setup.exe /S";
        ASSERT_NE(nullptr, run.Show(ini));

        run.Press(kAction);
        run.ExpectFailureMessage(run.ModuleDir() + "setup.exe /S");
        // A second message would hold the launcher open.
        EXPECT_EQ(0u, run.launcher.WaitForExit());
        EXPECT_TRUE(run.NothingStarted());
    }
}

TEST(Commands, StartRunsTheApplicationFromTheInstallationFolderAndCloses)
{
    // Per user, an installation lies below the user's folder, whose name may
    // be of any script.
    const std::string folders[] = {"Program Files\\Tolvane", "Users\\" + std::string(kAnyLetters) + "\\Tolvane"};
    for (const std::string &folder : folders) {
        SCOPED_TRACE(folder);
        Installation installation(folder);
        DiscRun run;
        run.disc.CopyProbeTo(installation.installDir + "app.exe");
        DiscIni ini;
        Installation::Describe(ini);
        ASSERT_NE(nullptr, run.Show(ini));
        EXPECT_EQ("Start", WindowText(GetDlgItem(run.window, kAction)));

        run.Press(kAction);
        std::vector<ProbeRun> runs = run.WaitForRuns(1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(installation.installDir + "app.exe", runs[0].commandLine);
        EXPECT_EQ(AsCurrentDirectory(installation.installDir), runs[0].directory);
        EXPECT_EQ("1 5", runs[0].startup) << "STARTF_USESHOWWINDOW with SW_SHOW";
        EXPECT_EQ(0u, run.launcher.WaitForExit());
    }
}

TEST(Commands, StartThatFailsWithoutAppFromCdReportsTheInstallationFolder)
{
    // Only a capital Y lets Start try the alternate folder.
    for (const char *appFromCd : {"", "AppFromCd=N\r\n", "AppFromCd=yes\r\n"}) {
        SCOPED_TRACE(appFromCd);
        Installation installation;
        ScratchDir cdApp("cdapp");
        DiscRun run;
        std::string app = run.disc.CopyProbeTo(installation.installDir + "app.exe");
        run.disc.CopyProbeTo(cdApp.path() + "app.exe");
        installation.SetCdAppDir(cdApp.path());
        DiscIni ini;
        Installation::Describe(ini);
        ini.program = appFromCd;
        ASSERT_NE(nullptr, run.Show(ini));
        ASSERT_EQ("Start", WindowText(GetDlgItem(run.window, kAction)));
        // The application goes after detection found it.
        ASSERT_TRUE(DeleteFileW(Wide(app).c_str()));

        run.Press(kAction);
        run.ExpectFailureMessage(installation.installDir + "app.exe");
        EXPECT_EQ(0u, run.launcher.WaitForExit());
        EXPECT_TRUE(run.NothingStarted());
    }
}

TEST(Commands, StartFallsBackToTheAlternateFolderKeepingTheInstallationFolderCurrent)
{
    Installation installation;
    ScratchDir cdApp("cdapp");
    DiscRun run;
    run.disc.CopyProbeTo(cdApp.path() + "app.exe");
    installation.SetCdAppDir(cdApp.path());
    DiscIni ini;
    Installation::Describe(ini);
    ini.program = "AppFromCd=Yes\r\n";
    ASSERT_NE(nullptr, run.Show(ini));

    run.Press(kAction);
    std::vector<ProbeRun> runs = run.WaitForRuns(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(cdApp.path() + "app.exe", runs[0].commandLine);
    EXPECT_EQ(AsCurrentDirectory(installation.installDir), runs[0].directory);
    // No message: a message box would hold the launcher open.
    EXPECT_EQ(0u, run.launcher.WaitForExit());
}

TEST(Commands, StartFailingInBothFoldersReportsTheAlternateOnce)
{
    Installation installation;
    ScratchDir cdApp("cdapp");
    DiscRun run;
    installation.SetCdAppDir(cdApp.path());
    DiscIni ini;
    Installation::Describe(ini);
    ini.program = "AppFromCd=Y\r\n";
    ASSERT_NE(nullptr, run.Show(ini));

    run.Press(kAction);
    run.ExpectFailureMessage(cdApp.path() + "app.exe");
    EXPECT_EQ(0u, run.launcher.WaitForExit());
    EXPECT_TRUE(run.NothingStarted());
}

TEST(Commands, AnAlternateFolderWithoutBackslashIsJoinedAsItIs)
{
    Installation installation;
    ScratchDir cdApp("cdapp");
    DiscRun run;
    // E:\APP and run.exe make E:\APPrun.exe.
    run.disc.CopyProbeTo(cdApp.path() + "APPrun.exe");
    installation.SetCdAppDir(cdApp.path() + "APP");
    DiscIni ini;
    Installation::Describe(ini);
    ini.application = "run.exe";
    ini.program = "AppFromCd=Y\r\n";
    ASSERT_NE(nullptr, run.Show(ini));

    run.Press(kAction);
    std::vector<ProbeRun> runs = run.WaitForRuns(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(cdApp.path() + "APPrun.exe", runs[0].commandLine);
    EXPECT_EQ(0u, run.launcher.WaitForExit());
}

TEST(Commands, TheThirdButtonWithBothTypes0KeepsTheLauncherForAnotherPress)
{
    DiscRun run;
    run.disc.AddProbe("intro.exe");
    DiscIni ini;
    ini.window = "DemoMovie=intro.exe /play\r\n";
    ASSERT_NE(nullptr, run.Show(ini));

    run.Press(kExtra);
    std::vector<ProbeRun> runs = run.WaitForRuns(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(run.ModuleDir() + "intro.exe /play", runs[0].commandLine);
    // The third button leaves the current directory as the launcher found it.
    EXPECT_EQ(AsCurrentDirectory(run.startedFrom.path()), runs[0].directory);

    // Posted to a closed launcher, this press would start nothing.
    run.Press(kExtra);
    runs = run.WaitForRuns(2);
    ASSERT_EQ(2u, runs.size());
    EXPECT_EQ(run.ModuleDir() + "intro.exe /play", runs[1].commandLine);
    EXPECT_TRUE(run.launcher.Running());

    run.Press(kQuit);
    EXPECT_EQ(0u, run.launcher.WaitForExit());
}

// When the probe started by the press was made and when it got ready for
// input (its "IDLE" line), in the system time's 100-ns units; zero when it
// never wrote them.
struct ProbeReadiness {
    unsigned long long created = 0, ready = 0;
};

ProbeReadiness WaitForProbeReadiness(const std::string &logPath)
{
    ProbeReadiness times;
    WaitUntil(
        [&] {
            std::string text = ReadTextFile(logPath);
            size_t line = text.find("IDLE ");
            return line != std::string::npos &&
                   sscanf(text.c_str() + line, "IDLE %llu %llu", &times.created, &times.ready) == 2;
        },
        30000);
    return times;
}

unsigned long long ExitTime(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    return (static_cast<unsigned long long>(ended.dwHighDateTime) << 32) | ended.dwLowDateTime;
}

// Install and the third button wait until the program is ready for input,
// 2 s at most, before the launcher goes on: it ends once the program is
// ready, or 2 s after starting it, whichever comes first, and never before.
// A probe that works 1.5 s is ready first where the machine is fast; on an
// emulated machine its own start can take the rest of the 2 s. One that works
// 3.5 s is never ready first: the launcher goes on without it.
TEST(Commands, InstallAndTheThirdButtonWaitUntilTheProgramIsReadyForInput)
{
    const unsigned long long untilReady = 2000 * 10000ull; // 2 s in 100-ns units
    struct Row {
        const char *name;
        int button;
        const char *busyMs;
        bool readyLate;
    } rows[] = {
        {"Install", kAction, "1500", false},
        {"third button", kExtra, "1500", false},
        {"Install, the program ready after 3.5 s", kAction, "3500", true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        DiscRun run;
        run.disc.AddProbe("setup.exe");
        run.disc.AddProbe("intro.exe");
        DiscIni ini;
        // bothTypes makes the third button close the launcher, and shows the disc's picture.
        ini.window = "DemoMovie=intro.exe\r\nBitmap=installed.bmp\r\n";
        ini.program = "bothTypes=1\r\n";
        SetEnvironmentVariableA("PROBE_IDLE_AFTER_MS", row.busyMs);
        HWND window = run.Show(ini);
        SetEnvironmentVariableA("PROBE_IDLE_AFTER_MS", nullptr);
        ASSERT_NE(nullptr, window);

        run.Press(row.button);
        ASSERT_EQ(0u, run.launcher.WaitForExit());
        unsigned long long ended = ExitTime(run.launcher.handle());
        ProbeReadiness probe = WaitForProbeReadiness(run.disc.probeLog());
        ASSERT_NE(0u, probe.ready) << "the program never got ready for input";
        unsigned long long mayGoOn = std::min(probe.ready, probe.created + untilReady);
        EXPECT_LE(mayGoOn, ended) << "the launcher ended " << (mayGoOn - ended) / 10000
                                  << " ms before the program was ready for input or had had its 2 s";
        if (row.readyLate) {
            EXPECT_LT(ended, probe.ready) << "the launcher waited for the program beyond its 2 s";
        }
    }
}

TEST(Commands, TheThirdButtonWithBothTypes1ClosesAfterAStartAndAfterAFailure)
{
    for (bool present : {true, false}) {
        SCOPED_TRACE(present ? "program present" : "program missing");
        DiscRun run;
        if (present)
            run.disc.AddProbe("intro.exe");
        DiscIni ini;
        // With bothTypes the disc's own picture is shown, also before installing.
        ini.window = "Bitmap=installed.bmp\r\nDemoMovie=intro.exe /play\r\n";
        ini.program = "bothTypes=1\r\n";
        ASSERT_NE(nullptr, run.Show(ini));

        run.Press(kExtra);
        if (present) {
            std::vector<ProbeRun> runs = run.WaitForRuns(1);
            ASSERT_EQ(1u, runs.size());
            EXPECT_EQ(run.ModuleDir() + "intro.exe /play", runs[0].commandLine);
        } else {
            run.ExpectFailureMessage(run.ModuleDir() + "intro.exe /play");
            EXPECT_TRUE(run.NothingStarted());
        }
        EXPECT_EQ(0u, run.launcher.WaitForExit());
    }
}

TEST(Commands, OnlyAClickOfAKnownButtonDoesAnything)
{
    DiscRun run;
    run.disc.AddProbe("setup.exe");
    run.disc.AddProbe("intro.exe");
    DiscIni ini;
    // bothTypes makes every one of the three commands close the launcher.
    ini.window = "Bitmap=installed.bmp\r\nDemoMovie=intro.exe\r\n";
    ini.program = "bothTypes=1\r\n";
    ASSERT_NE(nullptr, run.Show(ini));

    struct Row {
        int id;
        WORD notification;
    } rows[] = {
        {kAction, 1},  {kQuit, 1},   {kExtra, 1},   {kAction, BN_DOUBLECLICKED}, {kQuit, BN_SETFOCUS},
        {kExtra, BN_KILLFOCUS}, {kAction, 0xFFFF}, {kQuit, 0xFFFF}, {kExtra, 0xFFFF},
        {0, BN_CLICKED}, {99, BN_CLICKED}, {103, BN_CLICKED}, {0xFFFF, BN_CLICKED},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("id " + std::to_string(row.id) + ", notification " + std::to_string(row.notification));
        // Sent, not posted: it has been handled when the call returns, and a
        // message box would make the call time out.
        DWORD_PTR result = 0;
        EXPECT_NE(0, SendMessageTimeoutA(run.window, WM_COMMAND, MAKEWPARAM(row.id, row.notification), 0,
                                         SMTO_ABORTIFHUNG, 5000, &result));
        EXPECT_TRUE(IsWindow(run.window));
    }
    EXPECT_TRUE(run.launcher.Running());
    EXPECT_TRUE(run.NothingStarted());

    run.Press(kQuit);
    EXPECT_EQ(0u, run.launcher.WaitForExit());
    EXPECT_TRUE(run.NothingStarted());
}

// Enter on Quit: the window's keys test.
TEST(Commands, QuitByClickStartsNothingAndEndsWith0)
{
    enum Way { Posted, Clicked };
    for (Way way : {Posted, Clicked}) {
        SCOPED_TRACE(way == Posted ? "posted click" : "mouse click");
        DiscRun run;
        run.disc.AddProbe("setup.exe");
        ASSERT_NE(nullptr, run.Show(DiscIni()));
        HWND quit = GetDlgItem(run.window, kQuit);
        ASSERT_NE(nullptr, quit);

        if (way == Posted) {
            run.Press(kQuit);
        } else {
            RECT box;
            GetWindowRect(quit, &box);
            SetForegroundWindow(run.window);
            SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
            INPUT press[2] = {};
            press[0].type = press[1].type = INPUT_MOUSE;
            press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            ASSERT_EQ(2u, SendInput(2, press, sizeof press[0]));
        }
        EXPECT_EQ(0u, run.launcher.WaitForExit());
        EXPECT_TRUE(run.NothingStarted());
    }
}

TEST(Commands, ACommandLineThatDoesNotFitIsReportedNeverStartedCutShort)
{
    // The command line holds 255 characters; the program is present, so a
    // line cut short would start it.
    struct Row {
        int button;
        size_t length;
    } rows[] = {{kAction, 255}, {kAction, 256}, {kExtra, 255}, {kExtra, 256}, {kExtra, 300}};
    for (const Row &row : rows) {
        SCOPED_TRACE((row.button == kAction ? "Install, " : "third button, ") + std::to_string(row.length));
        DiscRun run;
        run.disc.AddProbe("setup.exe");
        run.disc.AddProbe("intro.exe");
        std::string program = row.button == kAction ? "setup.exe /S " : "intro.exe /play ";
        program += std::string(row.length - run.ModuleDir().size() - program.size(), 'x');
        DiscIni ini;
        ini.installer = row.button == kAction ? program : "setup.exe";
        ini.window = "Bitmap=installed.bmp\r\nDemoMovie=" + (row.button == kExtra ? program : "intro.exe") + "\r\n";
        ini.program = "bothTypes=1\r\n";
        ASSERT_NE(nullptr, run.Show(ini));

        run.Press(row.button);
        if (row.length <= 255) {
            std::vector<ProbeRun> runs = run.WaitForRuns(1);
            ASSERT_EQ(1u, runs.size());
            EXPECT_EQ(run.ModuleDir() + program, runs[0].commandLine);
        } else {
            run.ExpectFailureMessage(run.ModuleDir() + program);
            EXPECT_TRUE(run.NothingStarted());
        }
        EXPECT_EQ(0u, run.launcher.WaitForExit());
    }
}

// Programs beside each folder of base + relative whose name has a blank, at
// every point where Windows, searching a whole command line word by word,
// would stop: "My Apps\\Tolvane Demo\\" gets "My.exe" and "My Apps\\Tolvane.exe".
void PlantBesideFolders(const Disc &disc, const std::string &base, const std::string &relative)
{
    for (size_t blank = relative.find(' '); blank != std::string::npos; blank = relative.find(' ', blank + 1))
        disc.CopyProbeTo(base + relative.substr(0, blank) + ".exe");
}

// Every start runs the program its value names, with the command line it
// always had, where programs lie in wait beside the disc's folders, the
// installation's and the alternate one.
TEST(Commands, EveryStartRunsTheConfiguredProgramNotOnePlantedBesideItsFolders)
{
    enum class Way { Install, ThirdButton, Start, FromCdAppDir, Immediately };
    const char discFolder[] = "My Discs\\Tolvane Disc";
    const char installFolder[] = "My Apps\\Tolvane Demo";
    const char cdAppFolder[] = "My CD\\Tolvane App\\";
    const char *const names[] = {"Install", "third button", "Start", "Start from cdAppDir", "immediate start"};
    for (Way way : {Way::Install, Way::ThirdButton, Way::Start, Way::FromCdAppDir, Way::Immediately}) {
        SCOPED_TRACE(names[static_cast<int>(way)]);
        bool installed = way != Way::Install && way != Way::ThirdButton;
        std::optional<Installation> installation;
        if (installed)
            installation.emplace(installFolder);
        ScratchDir cdApp("cdapp");
        DiscRun run(discFolder);
        PlantBesideFolders(run.disc, run.disc.path(), std::string(discFolder) + "\\");
        PlantBesideFolders(run.disc, cdApp.path(), cdAppFolder);
        DiscIni ini;
        // A blank in the program's own name is found as ever.
        ini.installer = "Tolvane Setup.exe /S";
        // bothTypes closes the launcher after the third button, and shows the disc's picture.
        ini.window = "DemoMovie=intro.exe /play\r\nBitmap=installed.bmp\r\n";
        ini.program = "bothTypes=1\r\n";
        std::string program, commandLine;
        if (way == Way::Install) {
            program = run.disc.root() + "Tolvane Setup.exe";
            commandLine = run.ModuleDir() + "Tolvane Setup.exe /S";
        } else if (way == Way::ThirdButton) {
            program = run.disc.root() + "intro.exe";
            commandLine = run.ModuleDir() + "intro.exe /play";
        } else {
            PlantBesideFolders(run.disc, installation->files.path(), std::string(installFolder) + "\\");
            ini.regIni += "RegTopKey=C\r\nCDValue=CDDir\r\n";
            std::string folder = way == Way::FromCdAppDir ? cdApp.path() + cdAppFolder : installation->installDir;
            installation->SetCdAppDir(cdApp.path() + cdAppFolder);
            if (way == Way::FromCdAppDir)
                ini.program += "AppFromCd=Y\r\n";
            if (way == Way::Immediately)
                ini.program += "RunImmediately=Y\r\n";
            program = folder + "app.exe";
            commandLine = folder + "app.exe";
        }
        run.disc.CopyProbeTo(program);

        if (way == Way::Immediately) {
            run.disc.WriteIni(ini.Text());
            ASSERT_TRUE(run.launcher.Start(run.disc.Launcher(), run.disc.probeLog(), run.startedFrom.path()));
        } else {
            ASSERT_NE(nullptr, run.Show(ini));
            run.Press(way == Way::ThirdButton ? kExtra : kAction);
        }
        std::vector<ProbeRun> runs = run.WaitForRuns(1);
        EXPECT_EQ(0u, run.launcher.WaitForExit());
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(Upper(program), Upper(runs[0].program));
        // Unquoted, as ever: only which file runs has changed.
        EXPECT_EQ(commandLine, runs[0].commandLine);
    }
}

// Where a file type registered for the test is seen by the shell.
//
// Known difference between Wine and Windows: Windows' HKEY_CLASSES_ROOT
// shows the user's own types (HKEY_CURRENT_USER\\Software\\Classes) over the
// machine's; Wine 8's shows the machine's alone, so there the test registers
// its types for the machine.
struct ClassesRoot {
    HKEY root = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") ? HKEY_LOCAL_MACHINE
                                                                                    : HKEY_CURRENT_USER;
    std::string Key(const std::string &name) const { return "Software\\Classes\\" + name; }
};

// A file type of its own, Windows Installer packages and https addresses,
// each opened by a copy of the probe, as a reader, msiexec or a browser opens
// them; the types as they were when it goes.
class OpenedByTheProbe : ClassesRoot {
public:
    explicit OpenedByTheProbe(const Disc &disc) : program(disc.CopyProbeTo(programs.path() + "opener.exe"))
    {
        document_.SetString("", "VeskTest.Document");
        package_.SetString("", "VeskTest.Document");
        documentOpen_.SetString("", "\"" + program + "\" \"%1\" %*");
        web_.SetString("URL Protocol", "");
        webOpen_.SetString("", "\"" + program + "\" \"%1\"");
    }

    ScratchDir programs{"opener"};
    std::string program;

private:
    KeySetAside packageAside_{root, Key(".msi")}, webAside_{root, Key("https")};
    RegistryKey document_{root, Key(".vesktest")}, package_{root, Key(".msi")};
    RegistryKey documentType_{root, Key("VeskTest.Document")};
    RegistryKey documentOpen_{root, Key("VeskTest.Document\\shell\\open\\command")};
    RegistryKey web_{root, Key("https")}, webOpen_{root, Key("https\\shell\\open\\command")};
};

// Install and the third button open what is not a program as Explorer
// would, with the program this machine opens it with, as the checker
// foretells; a program still starts as a program, and what nothing opens is
// reported as ever.
TEST(Commands, InstallAndTheThirdButtonOpenWhatIsNoProgram)
{
    struct Row {
        const char *name;
        int button;
        const char *installer, *demoMovie;
        int bothTypes;
        const char *opens;     // as the checker names it
        const char *file;      // what starts or opens, in the disc or as it is; nullptr: nothing
        const char *arguments; // what it is given after that
    } rows[] = {
        {"a Windows Installer package", kAction, "Tolvane.msi /qb", "intro.exe", 0, "file", "Tolvane.msi", "/qb"},
        {"a document, the launcher staying", kExtra, "setup.exe", "notes.vesktest", 0, "file", "notes.vesktest", ""},
        {"a document, the launcher closing", kExtra, "setup.exe", "notes.vesktest -page 2", 1, "file",
         "notes.vesktest", "-page 2"},
        {"a web page", kExtra, "setup.exe", "https://example.com/tolvane", 0, "webPage",
         "https://example.com/tolvane", ""},
        {"a program, still as a program", kAction, "setup.exe /S", "intro.exe", 0, "program", "setup.exe", "/S"},
        {"a file nothing opens", kExtra, "setup.exe", "notes.unopened", 1, "file", nullptr, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        DiscRun run;
        OpenedByTheProbe opener(run.disc);
        run.disc.AddProbe("setup.exe");
        for (const char *document : {"Tolvane.msi", "notes.vesktest", "notes.unopened"})
            run.disc.Write(run.disc.root().substr(run.disc.path().size()) + document, "not a program");
        DiscIni ini;
        ini.installer = row.installer;
        ini.window = std::string("Bitmap=installed.bmp\r\nDemoMovie=") + row.demoMovie + "\r\n";
        ini.program = "bothTypes=" + std::to_string(row.bothTypes) + "\r\n";
        run.disc.WriteIni(ini.Text());
        bool program = strcmp(row.opens, "program") == 0;

        CheckerRun checked = RunChecker("--json " + Argument(run.disc.root()));
        std::string at = row.button == kAction ? "/starts/0/" : "/starts/1/";
        EXPECT_EQ(row.opens, JsonText(checked.out, at + "opens")) << checked.out;
        EXPECT_EQ(Upper(row.file && !program ? opener.program : "null"), Upper(JsonText(checked.out, at + "openedBy")));
        std::vector<std::string> warnings = JsonList(checked.out, "/warnings");
        EXPECT_EQ(row.file ? 0 : 1, std::count_if(warnings.begin(), warnings.end(), [](const std::string &warning) {
                      return warning.find("no program on this machine opens") != std::string::npos;
                  })) << checked.out;

        ASSERT_NE(nullptr, run.Show(ini));
        run.Press(row.button);
        if (!row.file) {
            run.ExpectFailureMessage(run.ModuleDir() + row.demoMovie);
            EXPECT_EQ(0u, run.launcher.WaitForExit());
            EXPECT_TRUE(run.NothingStarted());
            continue;
        }
        std::vector<ProbeRun> runs = run.WaitForRuns(1);
        ASSERT_EQ(1u, runs.size());
        std::string file = strcmp(row.opens, "webPage") == 0 ? row.file : run.ModuleDir() + row.file;
        std::string directory = row.button == kAction ? run.ModuleDir() : run.startedFrom.path();
        EXPECT_EQ(Upper(directory.substr(0, directory.size() - 1)), Upper(runs[0].directory));
        if (program) {
            EXPECT_EQ(Upper(run.disc.root() + row.file), Upper(runs[0].program));
            EXPECT_EQ(file + " " + row.arguments, runs[0].commandLine);
        } else {
            EXPECT_EQ(Upper(opener.program), Upper(runs[0].program));
            // The opener's own command, its %* empty when there are no arguments.
            std::string given = runs[0].commandLine.substr(runs[0].commandLine.find(' ') + 1);
            std::string expected = "\"" + file + "\"" + (*row.arguments ? std::string(" ") + row.arguments : "");
            EXPECT_EQ(Upper(expected), Upper(given.substr(0, given.find_last_not_of(' ') + 1)));
        }
        if (row.button == kAction || row.bothTypes) {
            EXPECT_EQ(0u, run.launcher.WaitForExit());
        } else {
            EXPECT_TRUE(run.launcher.Running());
            run.Press(kQuit);
            EXPECT_EQ(0u, run.launcher.WaitForExit());
        }
    }
}

} // namespace
