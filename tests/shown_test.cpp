// What each user sees, in-process, as launcher.exe in the disc's root
// decides it: the language section their display languages choose, what it
// replaces of [Window], and the captions and the edition warning written on
// the disc, in UTF-8 or in a code page.
#include "launcher/startup.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Shown(const ShownText &text)
{
    wchar_t wide[512] = L"";
    if (text.text)
        MultiByteToWideChar(text.codePage, 0, text.text, -1, wide, 512);
    return Utf8(wide);
}


// A disc and the start-up decided on it for display languages (names each
// ended by a NUL); what it made released.
struct Disc {
    VendorKeysSetAside vendorKeys; // no edition recorded here but the test's
    ScratchDir folder{"shown"};

    void Decide(const std::wstring &languages)
    {
        Settings = LauncherSettings{};
        Launcher = LauncherState{};
        Launcher.appInstance = GetModuleHandleA(nullptr);
        DecideStartup(Wide(folder / "launcher.exe").c_str(), languages.c_str());
        for (HGDIOBJ made : {static_cast<HGDIOBJ>(Launcher.buttonFont), static_cast<HGDIOBJ>(Launcher.backdropBitmap)})
            DeleteObject(made);
    }
};

// The disc of every market: a section by whole tag, two by the language alone
// (one of them setting Language), and [Window]'s own captions.
const char kMarkets[] =
    "[Window]\r\nTitle=Tolvane\r\nDemoMovie=intro.exe\r\nExtraCaption=Intro\r\n"
    "[Window.es]\r\nTitle=Tolvane ES\r\nInstallCaption=Instalar\r\nQuitCaption=Salir\r\n"
    "[Window.pt-BR]\r\nTitle=Tolvane BR\r\nInstallCaption=Instalar BR\r\n"
    "[Window.pt]\r\nTitle=Tolvane PT\r\nInstallCaption=Instalar PT\r\n"
    "[Window.ru]\r\nTitle=Tolvane RU\r\nLanguage=R\r\n"
    "[Program]\r\nApplication name=app.exe\r\nInstaller=setup.exe\r\n"
    "[RegIni]\r\nIni file name=TolvaneTestRecord\r\nKey install dir=InstallDir\r\nSection name=Setup\r\n";

TEST(Shown, TheDisplayLanguagesChooseASection)
{
    struct Row {
        std::wstring languages;
        const char *section; // "" for [Window] alone
        SectionMatch match;
        const char *title, *install, *quit, *extra;
        char letter;
    } rows[] = {
        {std::wstring(L"es-ES\0", 6), "Window.es", SectionMatch::LanguageAlone, "Tolvane ES", "Instalar", "Salir",
         "Intro", 0},
        {std::wstring(L"es-MX\0", 6), "Window.es", SectionMatch::LanguageAlone, "Tolvane ES", "Instalar", "Salir",
         "Intro", 0},
        {std::wstring(L"pt-BR\0", 6), "Window.pt-BR", SectionMatch::WholeTag, "Tolvane BR", "Instalar BR", "Quit",
         "Intro", 0},
        {std::wstring(L"pt-PT\0", 6), "Window.pt", SectionMatch::LanguageAlone, "Tolvane PT", "Instalar PT", "Quit",
         "Intro", 0},
        {std::wstring(L"de-DE\0en-US\0", 12), "", SectionMatch::None, "Tolvane", "Install", "Quit", "Intro", 0},
        // The first display language with a section wins.
        {std::wstring(L"de-DE\0pt-PT\0es\0", 16), "Window.pt", SectionMatch::LanguageAlone, "Tolvane PT",
         "Instalar PT", "Quit", "Intro", 0},
        // A section setting Language: its built-in texts, not [Window]'s keys.
        {std::wstring(L"ru-RU\0", 6), "Window.ru", SectionMatch::LanguageAlone, "Tolvane RU",
         "\xD0\xA3\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD0\xB0",
         "\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4", "View Intro", 'R'},
        {std::wstring(L"\0", 1), "", SectionMatch::None, "Tolvane", "Install", "Quit", "Intro", 0},
    };
    Disc disc;
    disc.folder.Write("VESK.INI", kMarkets);
    for (const Row &row : rows) {
        SCOPED_TRACE(Utf8(row.languages.c_str()));
        disc.Decide(row.languages);
        EXPECT_STREQ(row.section, Plan.section);
        EXPECT_EQ(row.match, Plan.match);
        EXPECT_EQ(row.title, Shown(Plan.title));
        EXPECT_EQ(row.install, Shown(Plan.captions[0]));
        EXPECT_EQ(row.quit, Shown(Plan.captions[2]));
        EXPECT_EQ(row.extra, Shown(Plan.captions[3]));
        EXPECT_EQ(row.letter, Plan.language->letter);
        // [Window]'s Title still decides which edition is this disc's.
        EXPECT_STREQ("Tolvane", Settings.Title);
    }
}

TEST(Shown, CaptionsAndTheWarningWrittenOnTheDisc)
{
    const std::string kRussianWarning = "\xD0\x92\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5: %s / %s";
    struct Row {
        const char *name;
        std::string window; // more lines of [Window]
        UINT codePage;      // of the file: CP_UTF8 or 1251
        std::string extra;  // the third button as shown
        std::string warning;
    } rows[] = {
        {"a Russian third button in UTF-8", "Language=R\r\nExtraCaption=\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE\r\n"
         "ConflictText=" + kRussianWarning + "\r\n", CP_UTF8, "\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE",
         "\xD0\x92\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5: Tolvane Starter Edition / Tolvane Test Disc"},
        {"the same in code page 1251", "Language=R\r\nExtraCaption=\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE\r\n"
         "ConflictText=" + kRussianWarning + "\r\n", 1251, "\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE",
         "\xD0\x92\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5: Tolvane Starter Edition / Tolvane Test Disc"},
        {"empty: an empty caption", "ExtraCaption=\r\n", CP_UTF8, "", ""},
        {"? first: the built-in text", "ExtraCaption=?x\r\n", CP_UTF8, "View Intro", ""},
        {"63 bytes kept, a letter cut whole", "ExtraCaption=" + std::string(62, 'x') + "\xC3\xA9\r\n", CP_UTF8,
         std::string(62, 'x'), ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Disc disc;
        disc.folder.Write("VESK.INI", InCodePage(MinimalIni("DemoMovie=intro.exe\r\n" + row.window), row.codePage));
        RegistryKey edition(HKEY_CURRENT_USER, "SOFTWARE\\Quillmoor\\Tolvane\\Settings");
        edition.SetString("Demo", "");
        disc.Decide(std::wstring(L"\0", 1));
        EXPECT_EQ(row.extra, Shown(Plan.captions[3]));
        if (!row.warning.empty()) {
            EXPECT_EQ(StartupEnd::EditionConflict, Plan.end);
            EXPECT_EQ(row.warning, Utf8(Plan.conflictMessage));
        }
    }
}

// A warning written on the disc serves with exactly two %s and no other %;
// anything else leaves the built-in one, English on a disc without Language.
TEST(Shown, AWarningThatIsNoTwoTitlesIsNotUsed)
{
    const std::string kBuiltIn = "Attention! Another version of the program \"Tolvane Starter Edition\" is installed "
                                 "on your computer.\nPlease remove before installing \"Tolvane Test Disc\".";
    struct Row {
        const char *text;
        std::string shown;
    } rows[] = {
        {"%s is here; remove it before %s", "Tolvane Starter Edition is here; remove it before Tolvane Test Disc"},
        {"%s %s %n", kBuiltIn},
        {"%d of %s and %s", kBuiltIn},
        {"%s, %s and %s", kBuiltIn},
        {"100%% %s %s", kBuiltIn},
        {"only %s", kBuiltIn},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        Disc disc;
        disc.folder.Write("VESK.INI", MinimalIni(std::string("ConflictText=") + row.text + "\r\n"));
        RegistryKey edition(HKEY_CURRENT_USER, "SOFTWARE\\Quillmoor\\Tolvane\\Settings");
        edition.SetString("Demo", "");
        disc.Decide(std::wstring(L"\0", 1));
        EXPECT_EQ(StartupEnd::EditionConflict, Plan.end);
        EXPECT_EQ(row.shown, Utf8(Plan.conflictMessage));
    }
}

} // namespace
