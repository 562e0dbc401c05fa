// A disc's VESK.INI in its language's code page or in UTF-8, on a Western
// Windows (code page 1252) and on a Russian one (1251): the title as the
// title bar and a screen reader give it, the edition warning, BitmapText and
// an installer named in Cyrillic letters, the disc checker saying the same.
#include "tests/support/accessible.h"
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kSettingsKey[] = "SOFTWARE\\Quillmoor\\Tolvane\\Settings";

// Texts in UTF-8, as the test means them; each disc is written in its code page.
struct DiscTexts {
    const char *name;
    UINT codePage; // of the file: 1251, 1252 or CP_UTF8
    const char *language;
    const char *title;
    const char *demoTitle;
    const char *words; // BitmapText
    const char *installer;
    const char *warningFormat; // the warning with the installed title first, then Title
    const char *encoding;      // as the checker names it
};

const char kRussianWarning[] = "Внимание! Другая версия программы (\"%1\") установлена на Вашем компьютере. \n"
                               "Пожалуйста, удалите ее перед установкой \"%2\".";
const char kFrenchWarning[] = "Attention ! Une autre version du programme \"%1\" est installée sur votre "
                              "ordinateur.\nVeuillez la supprimer avant d'installer \"%2\".";

const DiscTexts kRussian1251 = {"Russian, Windows-1251", 1251, "R", "Толване Демо", "Толване Старт", "Готово.",
                                "Установка.exe", kRussianWarning, "code page 1251, the disc's language"};
const DiscTexts kRussianUtf8 = {"Russian, UTF-8", CP_UTF8, "R", "Толване Демо", "Толване Старт", "Готово.",
                                "Установка.exe", kRussianWarning, "UTF-8"};
// Must not be taken for UTF-8: é is one byte, 0xE9, in Windows-1252.
const DiscTexts kFrench1252 = {"French, Windows-1252", 1252, "F", "Café Tolvane", "Café Départ", "Prêt.",
                               "installé.exe", kFrenchWarning, "code page 1252, the disc's language"};

std::string Replaced(std::string text, const std::string &mark, const std::string &by)
{
    return text.replace(text.find(mark), mark.size(), by);
}

// A disc showing its own picture, so that BitmapText is what it says.
class EncodedDisc {
public:
    explicit EncodedDisc(const DiscTexts &texts)
    {
        disc.Write("back.bmp", BmpFile(30, 20, [](int, int) { return RGB(0x20, 0x40, 0x60); }));
        disc.AddProbe(texts.installer);
        std::string ini = "[Window]\r\nTitle=" + std::string(texts.title) + "\r\nLanguage=" + texts.language +
                          "\r\nBitmap=back.bmp\r\nBitmapText=" + texts.words + "\r\nDemoTitle=" + texts.demoTitle +
                          "\r\n[Program]\r\nApplication name=app.exe\r\nInstaller=" + texts.installer +
                          "\r\nbothTypes=1\r\n[RegIni]\r\nIni file name=TolvaneTestRecord\r\n"
                          "Key install dir=InstallDir\r\nSection name=Setup\r\n";
        disc.WriteIni(InCodePage(ini, texts.codePage));
    }
    Disc disc;
};

// Everything the user sees or hears of VESK.INI is the words written, on this
// Windows; the installer named in Cyrillic letters starts where its name can
// be read: from a UTF-8 file on any Windows, from a code page's file only on
// a Windows of that code page.
void ExpectTheWordsWritten(const DiscTexts &texts)
{
    SCOPED_TRACE(std::string(texts.name) + " on code page " + std::to_string(GetACP()));
    const std::string warning = Replaced(Replaced(texts.warningFormat, "%1", texts.demoTitle), "%2", texts.title);
    const bool installerFound = texts.codePage == CP_UTF8 || texts.codePage == GetACP();
    {
        EncodedDisc encoded(texts);
        CheckerRun checked = RunChecker("--json " + Argument(encoded.disc.root()));
        EXPECT_EQ(texts.encoding, JsonText(checked.out, "/encoding")) << checked.out;
        EXPECT_EQ(texts.title, JsonText(checked.out, "/title"));
        EXPECT_EQ(texts.title, JsonText(checked.out, "/keys/Title"));
        EXPECT_EQ(texts.demoTitle, JsonText(checked.out, "/keys/DemoTitle"));
        EXPECT_EQ(texts.words, JsonText(checked.out, "/description"));

        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(encoded.disc.Launcher(), encoded.disc.probeLog()));
        HWND window = launcher.WaitForWindow(kLauncherClass);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(texts.title, Utf8(ShownText(window)));
        AccessibleFacts read = ReadAccessible(window);
        EXPECT_EQ(texts.title, read.name);
        EXPECT_EQ(texts.words, read.description);

        HWND install = GetDlgItem(window, 100);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(install));
        if (installerFound) {
            std::vector<ProbeRun> runs = WaitForProbeRuns(encoded.disc.probeLog(), 1);
            ASSERT_EQ(1u, runs.size());
            EXPECT_EQ(Upper(encoded.disc.root()) + texts.installer, runs[0].commandLine);
        } else {
            HWND box = launcher.WaitForMessageBox();
            ASSERT_NE(nullptr, box) << "the start failure is reported";
            DismissMessageBox(box);
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Wide(encoded.disc.probeLog()).c_str()));
        }
        EXPECT_EQ(0u, launcher.WaitForExit());
    }
    {
        EncodedDisc encoded(texts); // first: its vendor keys go after the settings key below them
        RegistryKey settings(HKEY_CURRENT_USER, kSettingsKey);
        settings.SetString("Demo", "1");
        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(encoded.disc.Launcher(), encoded.disc.probeLog()));
        HWND box = launcher.WaitForMessageBox();
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(texts.title, Utf8(ShownText(box)));
        EXPECT_EQ(warning, Utf8(ShownText(GetDlgItem(box, 0xFFFF))));
        DismissMessageBox(box);
        EXPECT_EQ(kExitFailed, RunToEnd(launcher).exitCode);
    }
}

TEST(DiscEncoding, OnAWesternWindowsEveryTextIsTheWordsWritten)
{
    ASSERT_EQ(1252u, GetACP()) << "run under a Western locale (C.UTF-8, en_US.UTF-8, ...)";
    for (const DiscTexts *texts : {&kRussian1251, &kRussianUtf8, &kFrench1252})
        ExpectTheWordsWritten(*texts);
}

// The same table on a Russian Windows (tests/CMakeLists.txt sets its locale).
TEST(DiscEncodingRussian, OnARussianWindowsEveryTextIsTheWordsWritten)
{
    ASSERT_EQ(1251u, GetACP()) << "run with LC_ALL=ru_RU.UTF-8";
    for (const DiscTexts *texts : {&kRussian1251, &kRussianUtf8, &kFrench1252})
        ExpectTheWordsWritten(*texts);
}

bool EndsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A UTF-8 file names files in any letters, found on a Western Windows too:
// the installed application, the picture and the sound.
TEST(DiscEncoding, AUTF8FilesNamesHoldAnyLetters)
{
    ASSERT_EQ(1252u, GetACP()) << "run under a Western locale (C.UTF-8, en_US.UTF-8, ...)";
    Disc disc;
    disc.Write("картинки\\фон.bmp", BmpFile(40, 30, [](int, int) { return RGB(0x30, 0x60, 0x30); }));
    disc.Write("звук.wav", "RIFF"); // looked for, never played here
    disc.WriteIni("[Window]\r\nTitle=Толване\r\nLanguage=R\r\nBitmap=картинки\\фон.bmp\r\nAudio=звук.wav\r\n"
                  "[Program]\r\nApplication name=Толване.exe\r\nInstaller=setup.exe\r\n"
                  "[RegIni]\r\nIni file name=TolvaneTestRecord\r\nKey install dir=InstallDir\r\n"
                  "Section name=Setup\r\nRegTopKey=C\r\n");
    {
        ScratchDir installation("inst");
        disc.CopyProbeTo(installation / "Толване.exe");
        RegistryKey record(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord");
        RegistryKey settings(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings");
        settings.SetUnicodeString("InstallDir", installation.path());

        CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
        EXPECT_EQ("start", JsonText(checked.out, "/offer")) << checked.out;
        EXPECT_TRUE(EndsWith(JsonText(checked.out, "/picture"), "картинки\\фон.bmp")) << checked.out;

        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
        HWND window = launcher.WaitForWindow(kLauncherClass);
        ASSERT_NE(nullptr, window) << "the picture is found";
        HWND start = GetDlgItem(window, 100);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(start));
        std::vector<ProbeRun> runs = WaitForProbeRuns(disc.probeLog(), 1);
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(installation.path() + "Толване.exe", runs[0].commandLine);
        EXPECT_EQ(0u, launcher.WaitForExit());
    }
    // Not installed: Install is offered, with the sound.
    CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
    EXPECT_EQ("install", JsonText(checked.out, "/offer")) << checked.out;
    EXPECT_TRUE(EndsWith(JsonText(checked.out, "/sound"), "звук.wav")) << checked.out;
}

// The checker names how the launcher reads VESK.INI, and warns of a text
// whose letters the disc language's code page lacks.
TEST(DiscEncoding, TheCheckerSaysHowVeskIniIsRead)
{
    const struct {
        const char *name;
        std::string ini;
        const char *encoding; // in the text report
        const char *warning;  // a part of the warning; empty: none of letters
    } rows[] = {
        {"English, ASCII", IniWithTitle("Tolvane", "Language=E\r\n"),
         "VESK.INI read as: code page 1252, the disc's language (file names in this Windows' code page, 1252)", ""},
        {"Russian, Windows-1251", InCodePage(IniWithTitle("Толване Демо", "Language=R\r\n"), 1251),
         "VESK.INI read as: code page 1251, the disc's language (file names in this Windows' code page, 1252)", ""},
        {"Russian, UTF-8", IniWithTitle("Толване Демо", "Language=R\r\n"),
         "VESK.INI read as: UTF-8 (every text and file name in its own letters)", ""},
        {"Russian, UTF-8, a French letter", IniWithTitle("Толване Café", "Language=R\r\n"),
         "VESK.INI read as: UTF-8 (every text and file name in its own letters)",
         "[Window] Title=Толване Café has letters that code page 1251, the disc's language, lacks (é): shown "
         "right from this UTF-8 file, lost if it is saved in code page 1251"},
        {"UTF-8 with its byte-order mark", "\xEF\xBB\xBF; a comment\r\n" + IniWithTitle("Tolvane"),
         "VESK.INI read as: its byte-order mark, by the profile calls (texts and file names then in this "
         "Windows' code page, 1252)", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Disc disc;
        disc.WriteIni(row.ini);
        CheckerRun text = RunChecker(Argument(disc.root()));
        EXPECT_NE(std::string::npos, text.out.find(row.encoding)) << text.out;
        CheckerRun json = RunChecker("--json " + Argument(disc.root()));
        std::vector<std::string> warnings = JsonList(json.out, "/warnings");
        std::string lettersWarned;
        for (const std::string &warning : warnings) {
            if (warning.find(" has letters that code page") != std::string::npos)
                lettersWarned = warning;
        }
        EXPECT_EQ(row.warning, lettersWarned) << json.out;
    }
}

// Code page 932, Japanese: a letter is one byte or two. The profile calls
// read a file's bytes as letters of 932 and give back other bytes than
// written where they are no such letters (in UTF-8 "т", D1 82, ends with a
// byte that begins a letter of two); read from the file's own bytes, the
// words hold.
TEST(DiscEncodingJapanese, OnAWindowsOfTwoByteLettersEveryTextIsTheWordsWritten)
{
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    for (UINT codePage : {1251u, static_cast<UINT>(CP_UTF8)}) {
        SCOPED_TRACE(codePage);
        const std::string title = InCodePage("Толване Тест", codePage);
        Disc disc;
        disc.WriteIni(IniWithTitle(title));
        char read[256];
        GetPrivateProfileStringA("Window", "Title", "", read, sizeof read, (disc.root() + "VESK.INI").c_str());
        EXPECT_NE(title, read) << "the profile calls gave the bytes back";
    }
    for (const DiscTexts *texts : {&kRussian1251, &kRussianUtf8, &kFrench1252})
        ExpectTheWordsWritten(*texts);
}

} // namespace
