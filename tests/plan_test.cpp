// The plan start-up makes on a prepared disc, in-process, as launcher.exe in
// the disc's root makes it: how start-up ends, what is offered, the
// language's row, the picture and the sound, and what each press and the
// immediate start do; and the installation the disc checker asks for to
// offer Start, which then makes detection offer it.
#include "install/install.h"
#include "launcher/startup.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "res/resource.h"
#include "tests/support/support.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A start plan in words, its folders named by what they are.
std::string Described(const StartPlan &plan, const std::string &disc, const std::string &installDir)
{
    const char *const names[] = {"Install", "Start", "StartFromCdAppDir", "ThirdButton"};
    std::string text;
    for (BYTE i = 0; i < plan.count; ++i) {
        const PlannedStart &start = plan.starts[i];
        std::string folder = start.folder ? Upper(Utf8(start.folder)) : "unchanged";
        folder = folder == Upper(disc) ? "disc" : folder == Upper(installDir) ? "installation" : folder;
        text += std::string(i ? " | " : "") + names[static_cast<int>(start.what)] + " in " + folder +
                (start.showsWindow ? "" : ", hidden") +
                (start.waitsMs ? ", waits " + std::to_string(start.waitsMs) : "");
    }
    if (plan.count)
        text += plan.reportsFailure ? "; else the message" : "; else the window";
    return text + (plan.closesLauncher ? "; closes" : "; stays");
}

// A disc and, when installed, its record and program, undone when it goes.
struct Machine {
    VendorKeysSetAside vendorKeys; // no edition recorded here decides the plan
    ScratchDir disc{"plan"};
    ScratchDir installation{"plan-inst"};
    std::unique_ptr<RegistryKey> top, record;

    // VESK.INI of the required values and more lines, and the picture Start needs.
    void Write(const std::string &window, const std::string &program = "", const std::string &regIni = "") const
    {
        disc.Write("VESK.INI", MinimalIni(window, program, regIni));
        disc.Write("back.bmp", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }));
    }

    void Install(const std::string &cdAppDir = "")
    {
        top = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord");
        record = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings");
        record->SetString("InstallDir", installation.path());
        if (!cdAppDir.empty())
            record->SetString("CDDir", cdAppDir);
        installation.Write("app.exe", "");
    }
};

// Start-up decided, and what it made released.
StartupEnd Decide(const Machine &machine)
{
    Settings = LauncherSettings{};
    Launcher = LauncherState{};
    Launcher.appInstance = GetModuleHandleA(nullptr); // carries the built-in pictures
    StartupEnd end = DecideStartup(Wide(machine.disc / "launcher.exe").c_str());
    for (HGDIOBJ made : {static_cast<HGDIOBJ>(Launcher.buttonFont), static_cast<HGDIOBJ>(Launcher.backdropBitmap)})
        DeleteObject(made);
    return end;
}

const char kRecord[] = "RegTopKey=C\r\nCDValue=CDDir\r\n";
const std::string kPicture = "Bitmap=back.bmp\r\nAudio=sound.wav\r\n";

TEST(Plan, EveryPressAndTheImmediateStartOfEachCase)
{
    const std::string kInstall = "Install in disc, waits 2000; else the message; closes";
    const std::string kStart = "Start in installation; else the message; closes";
    const std::string kNoExtra = "ThirdButton in unchanged, waits 2000; else the message; stays";
    struct Row {
        const char *name;
        std::string window, program, regIni;
        bool installed;
        StartupEnd end;
        std::string action, extra, immediate;
        bool extraButton;
    } rows[] = {
        {"not installed", kPicture, "", kRecord, false, StartupEnd::Window, kInstall, kNoExtra, "", false},
        {"installed", kPicture, "", kRecord, true, StartupEnd::Window, kStart, kNoExtra, "", false},
        {"installed, AppFromCd: a second start from cdAppDir, still in the installation", kPicture,
         "AppFromCd=Y\r\n", kRecord, true, StartupEnd::Window,
         "Start in installation | StartFromCdAppDir in installation; else the message; closes", kNoExtra, "", false},
        {"a third button stays", kPicture + "DemoMovie=intro.exe\r\n", "", kRecord, false, StartupEnd::Window,
         kInstall, kNoExtra, "", true},
        {"a third button with bothTypes closes", kPicture + "DemoMovie=\r\n", "bothTypes=1\r\n", kRecord, false,
         StartupEnd::Window, kInstall, "ThirdButton in unchanged, waits 2000; else the message; closes", "", true},
        {"the immediate start; after it fails, the third button in the installation",
         kPicture + "DemoMovie=intro.exe\r\n", "RunImmediately=Yes\r\n", kRecord, true, StartupEnd::StartNow, kStart,
         "ThirdButton in installation, waits 2000; else the message; stays",
         "Start in installation, hidden; else the window; closes", true},
        {"the immediate start needs an installation", kPicture, "RunImmediately=Y\r\n", kRecord, false,
         StartupEnd::Window, kInstall, kNoExtra, "", false},
        {"a small y is no", kPicture, "RunImmediately=y\r\n", kRecord, true, StartupEnd::Window, kStart, kNoExtra,
         "", false},
        {"wrong disc", kPicture + "WrongCD=Y\r\n", "", kRecord, false, StartupEnd::WrongDisc, "", "", "", false},
        {"wrong disc, installed", kPicture + "WrongCD=Y\r\n", "", kRecord, true, StartupEnd::Window, kStart,
         kNoExtra, "", false},
        {"installed in another record form: not found", kPicture, "", "UseRegistry=No\r\n", true,
         StartupEnd::Window, kInstall, kNoExtra, "", false},
        {"installed, but no picture for Start", "", "", kRecord, true, StartupEnd::NoBitmap, "", "", "", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Machine machine;
        machine.Write(row.window, row.program, row.regIni);
        machine.disc.Write("sound.wav", "RIFF");
        if (row.installed)
            machine.Install();

        EXPECT_EQ(row.end, Decide(machine));
        bool planned = row.end == StartupEnd::Window || row.end == StartupEnd::StartNow;
        std::string disc = machine.disc.path(), installDir = machine.installation.path();
        EXPECT_EQ(planned ? row.action : "; stays", Described(Plan.presses[0], disc, installDir));
        EXPECT_EQ(planned ? "; closes" : "; stays", Described(Plan.presses[1], disc, installDir));
        EXPECT_EQ(planned ? row.extra : "; stays", Described(Plan.presses[2], disc, installDir));
        if (!row.immediate.empty()) {
            EXPECT_EQ(row.immediate, Described(Plan.immediate, disc, installDir));
        }
        EXPECT_EQ(row.extraButton, Plan.settings.hasExtraButton);
        if (!planned)
            continue;
        // The picture and the sound go with the offer.
        bool install = Launcher.installNeeded != 0, prompt = install && !Settings.bothTypes;
        EXPECT_EQ(prompt ? IDB_PROMPT_ENGLISH : 0, Plan.backdropResource);
        wchar_t picture[256];
        EXPECT_TRUE(DiscPicturePath(picture));
        EXPECT_EQ(Upper(disc) + "back.bmp", Utf8(picture));
        EXPECT_STREQ("sound.wav", Plan.sound);
        EXPECT_EQ(install, Plan.soundPlays);
    }
}

TEST(Plan, EachLanguageValueChoosesOneRow)
{
    struct Row {
        const char *language;
        int bothTypes;
        char letter;
        const char *quit;
        int prompt;
        int widthFactor;
        UINT codePage;
    } rows[] = {
        {"D", 0, 'D', "Sluit", IDB_PROMPT_ENGLISH, 12, 1252},
        {"English", 1, 'E', "Quit", IDB_PROMPT_ENGLISH, 15, 1252},
        {"F", 0, 'F', "Quitter", IDB_PROMPT_FRENCH, 12, 1252},
        {"G", 0, 'G', "Abbrechen", IDB_PROMPT_GERMAN, 15, 1252},
        {"I", 1, 'I', "Esci", IDB_PROMPT_ITALIAN, 15, 1252},
        {"R", 1, 'R', "\xC2\xFB\xF5\xEE\xE4", IDB_PROMPT_RUSSIAN, 13, 1251},
        {"r", 0, 0, "Quit", IDB_PROMPT_ENGLISH, 12, 1252},
        {"?", 2, 0, "Quit", IDB_PROMPT_ENGLISH, 15, 1252},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("Language=") + row.language + ", bothTypes=" + std::to_string(row.bothTypes));
        Machine machine;
        machine.Write(std::string("Bitmap=back.bmp\r\nLanguage=") + row.language + "\r\n",
                      "bothTypes=" + std::to_string(row.bothTypes) + "\r\n");
        Decide(machine);
        ASSERT_NE(nullptr, Plan.language);
        EXPECT_EQ(row.letter, Plan.language->letter);
        EXPECT_STREQ(row.quit, Launcher.captionQuit);
        EXPECT_EQ(row.widthFactor, Plan.widthFactor);
        EXPECT_EQ(row.codePage, Launcher.captionCodePage);
        // The built-in picture, where bothTypes does not choose the disc's.
        EXPECT_EQ(row.bothTypes ? 0 : row.prompt, Plan.backdropResource);
    }
}

// What the checker asks for to offer Start, set up on this machine, makes
// detection find the application installed, in each record form and with
// each content check.
TEST(Plan, TheInstallationAskedForOffersStart)
{
    struct Row {
        const char *name;
        std::string regIni;
        std::vector<std::string> discFiles;
        size_t files; // in the installation
        bool passes;
    } rows[] = {
        {"registry, current user", "RegTopKey=C\r\n", {}, 1, true},
        {"registry, local machine", "", {}, 1, true},
        {"INI file", "UseRegistry=N\r\n", {}, 1, true},
        {"course files and the library", "RegTopKey=C\r\nTarnCoursesCheck=Y\r\nTarnQuennetCheck=Y\r\n",
         {"repository\\a.course", "repository\\b.course"}, 4, true},
        {"the course list", "RegTopKey=C\r\nPelloraCoursesCheck=Y\r\n", {"disk.ini"}, 2, true},
        {"no course list on the disc: nothing passes", "RegTopKey=C\r\nPelloraCoursesCheck=Y\r\n", {}, 1, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Machine machine;
        machine.Write("Bitmap=back.bmp\r\n", "", row.regIni);
        for (const std::string &file : row.discFiles)
            machine.disc.Write(file, file == "disk.ini" ? "[course]\r\nname=alpha,beta\r\n" : "x");
        ASSERT_EQ(StartupEnd::Window, Decide(machine));
        ASSERT_EQ(1, Launcher.installNeeded);

        std::wstring folder = Wide(machine.installation.path());
        std::vector<wchar_t> list(4096);
        DetectionFindings found = {};
        EXPECT_EQ(row.passes, NeedsOfAnInstallation(folder.c_str(), list.data(), list.size(), found));
        size_t files = 0;
        for (const wchar_t *path = list.data(); *path; ++files) {
            const wchar_t *text = path + wcslen(path) + 1;
            std::string file = Utf8(path);
            ASSERT_EQ(0u, file.find(machine.installation.path())) << file;
            MakeDirs(file.substr(0, file.rfind('\\')));
            WriteTextFile(file, Utf8(text));
            path = text + wcslen(text) + 1;
        }
        EXPECT_EQ(row.files, files);
        if (!row.passes)
            continue;
        // The record where detection reads it, naming the folder.
        HKEY root = Plan.detection.recordRoot;
        std::string place = Utf8(Plan.detection.recordPlace);
        std::unique_ptr<RegistryKey> top, key;
        if (root) {
            top = std::make_unique<RegistryKey>(root, "Software\\TolvaneTestRecord");
            key = std::make_unique<RegistryKey>(root, place);
            key->SetString("InstallDir", machine.installation.path());
        } else {
            WriteTextFile(place, "[Setup]\r\nInstallDir=" + machine.installation.path() + "\r\n");
        }
        EXPECT_EQ(StartupEnd::Window, Decide(machine));
        EXPECT_EQ(0, Launcher.installNeeded);
        if (!root)
            DeleteFileW(Wide(place).c_str());
    }
}

} // namespace
