// launcher.exe beside another installed edition and beside a running copy of
// the application: the warning as a user of each language sees it, and the
// launcher ending without its window.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

const char kSettingsKey[] = "SOFTWARE\\Quillmoor\\Tolvane\\Settings";
const char kAppClass[]    = "TolvaneTestMainWindow";

// A disc in one language, with the edition "Demo" installed: the warning as
// the user sees it on the screen, then the launcher ends without its window.
struct WarningCase {
    std::string title;
    std::string window; // more lines of [Window]
    std::wstring caption;
    std::wstring text;
};

void ExpectWarningThenEnd(const WarningCase &row)
{
    Disc disc; // first: its vendor keys go after the settings key below them
    RegistryKey settings(HKEY_CURRENT_USER, kSettingsKey);
    settings.SetString("Demo", "1");
    disc.WriteIni(IniWithTitle(row.title, row.window));

    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
    HWND box = launcher.WaitForMessageBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(row.caption, ShownText(box));
    EXPECT_EQ(row.text, ShownText(GetDlgItem(box, 0xFFFF)));
    EXPECT_EQ(nullptr, launcher.FindWindowOfClass(kLauncherClass));
    EXPECT_TRUE(launcher.Running()) << "the launcher waits for the answer";

    DismissMessageBox(box);
    RunOutcome outcome = RunToEnd(launcher);
    EXPECT_EQ(kExitFailed, outcome.exitCode);
    EXPECT_FALSE(outcome.showedWindow);
}

// The French and German warnings, each beside the edition "Demo" on a disc
// titled "Tolvane Premium".
const WarningCase kFrench = {
    "Tolvane Premium", "Language=F\r\n", L"Tolvane Premium",
    L"Attention ! Une autre version du programme \"Tolvane Starter Edition\" est install\u00E9e sur votre "
    L"ordinateur.\nVeuillez la supprimer avant d'installer \"Tolvane Premium\"."};
const WarningCase kGerman = {
    "Tolvane Premium", "Language=German\r\n", L"Tolvane Premium",
    L"Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.\n"
    L"Bitte deinstallieren Sie zun\u00E4chst \"Tolvane Starter Edition\" und wiederholen Sie dann die "
    L"Installation von \"Tolvane Premium\"."};

TEST(Conflict, TheWarningIsShownInTheDiscsLanguageAndTheLauncherEnds)
{
    // The launcher inherits this process's code page, that of a Western Windows.
    ASSERT_EQ(1252u, GetACP()) << "run under a Western locale (C.UTF-8, en_US.UTF-8, ...)";
    // The longest format with the longest titles: cut to the 255 characters
    // the message buffer holds, and the launcher still ends as it should.
    const std::string title255(255, 't'), title63(63, 'i');
    const std::wstring longGerman =
        L"Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.\n"
        L"Bitte deinstallieren Sie zun\u00E4chst \"" + std::wstring(63, L'i') +
        L"\" und wiederholen Sie dann die Installation von \"" + std::wstring(255, L't') + L"\".";
    const WarningCase rows[] = {
        {"Tolvane Premium", "Language=E\r\n", L"Tolvane Premium",
         L"Attention! Another version of the program \"Tolvane Starter Edition\" is installed on your computer.\n"
         L"Please remove before installing \"Tolvane Premium\"."},
        kFrench,
        kGerman,
        // A Russian disc on a Western Windows, its titles in Latin letters:
        // Внимание! Другая версия программы ("Tolvane Starter Edition") установлена на Вашем компьютере. (blank, line feed)
        // Пожалуйста, удалите ее перед установкой "Tolvane Premium".
        {"Tolvane Premium", "Language=R\r\n", L"Tolvane Premium",
         L"\u0412\u043D\u0438\u043C\u0430\u043D\u0438\u0435! \u0414\u0440\u0443\u0433\u0430\u044F "
         L"\u0432\u0435\u0440\u0441\u0438\u044F \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u044B "
         L"(\"Tolvane Starter Edition\") \u0443\u0441\u0442\u0430\u043D\u043E\u0432\u043B\u0435\u043D\u0430 "
         L"\u043D\u0430 \u0412\u0430\u0448\u0435\u043C \u043A\u043E\u043C\u043F\u044C\u044E\u0442\u0435\u0440\u0435. \n"
         L"\u041F\u043E\u0436\u0430\u043B\u0443\u0439\u0441\u0442\u0430, \u0443\u0434\u0430\u043B\u0438\u0442\u0435 "
         L"\u0435\u0435 \u043F\u0435\u0440\u0435\u0434 \u0443\u0441\u0442\u0430\u043D\u043E\u0432\u043A\u043E\u0439 "
         L"\"Tolvane Premium\"."},
        {title255, "Language=G\r\nDemoTitle=" + title63 + "\r\n", std::wstring(255, L't'), longGerman.substr(0, 255)},
    };
    for (const WarningCase &row : rows) {
        SCOPED_TRACE(row.window.substr(0, 10) + ", Title of " + std::to_string(row.title.size()) + " characters");
        ExpectWarningThenEnd(row);
    }
}

// Known difference from Windows: there the ANSI code page is a setting of the
// whole machine; under Wine each process takes it from the locale of its Unix
// environment, and a program started by a Wine program keeps its parent's
// (setting LC_ALL or LANG in the Windows environment before CreateProcessA
// does not change it). So this case runs under a Russian locale, as every
// suite whose name ends in Russian does (tests/CMakeLists.txt): the launcher
// then reads its Windows-1251 texts as on a Russian Windows.
TEST(ConflictRussian, TheWarningIsShownInRussian)
{
    ASSERT_EQ(1251u, GetACP()) << "run with LC_ALL=ru_RU.UTF-8";
    // Russian titles on the Russian disc, in its code page: "Толване" and
    // "Толване Старт".
    const std::string title = "\xD2\xEE\xEB\xE2\xE0\xED\xE5";
    const std::string demoTitle = "\xD2\xEE\xEB\xE2\xE0\xED\xE5 \xD1\xF2\xE0\xF0\xF2";
    // Внимание! Другая версия программы ("Толване Старт") установлена на Вашем компьютере. (blank, line feed)
    // Пожалуйста, удалите ее перед установкой "Толване".
    ExpectWarningThenEnd(
        {title, "Language=R\r\nDemoTitle=" + demoTitle + "\r\n", L"\u0422\u043E\u043B\u0432\u0430\u043D\u0435",
         L"\u0412\u043D\u0438\u043C\u0430\u043D\u0438\u0435! \u0414\u0440\u0443\u0433\u0430\u044F "
         L"\u0432\u0435\u0440\u0441\u0438\u044F \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u044B "
         L"(\"\u0422\u043E\u043B\u0432\u0430\u043D\u0435 \u0421\u0442\u0430\u0440\u0442\") "
         L"\u0443\u0441\u0442\u0430\u043D\u043E\u0432\u043B\u0435\u043D\u0430 \u043D\u0430 "
         L"\u0412\u0430\u0448\u0435\u043C \u043A\u043E\u043C\u043F\u044C\u044E\u0442\u0435\u0440\u0435. \n"
         L"\u041F\u043E\u0436\u0430\u043B\u0443\u0439\u0441\u0442\u0430, \u0443\u0434\u0430\u043B\u0438\u0442\u0435 "
         L"\u0435\u0435 \u043F\u0435\u0440\u0435\u0434 \u0443\u0441\u0442\u0430\u043D\u043E\u0432\u043A\u043E\u0439 "
         L"\"\u0422\u043E\u043B\u0432\u0430\u043D\u0435\"."});
}

// Western discs on a Russian Windows (code page 1251): the accented letters
// are still the ones meant.
TEST(ConflictWesternDiscsOnRussian, TheWarningIsShownAsWritten)
{
    ASSERT_EQ(1251u, GetACP()) << "run with LC_ALL=ru_RU.UTF-8";
    for (const WarningCase &row : {kFrench, kGerman}) {
        SCOPED_TRACE(row.window);
        ExpectWarningThenEnd(row);
    }
}

TEST(RunningApplication, ARunningCopyEndsTheLauncherWithoutAWindow)
{
    struct Row {
        const char *appToFront;
        bool restored;
    } rows[] = {{"Y", true}, {"N", false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("AppToFront=") + row.appToFront);
        ForeignWindow app(kAppClass);
        ASSERT_NE(nullptr, app.handle());
        ShowWindow(app.handle(), SW_MINIMIZE);
        ASSERT_TRUE(IsIconic(app.handle()));
        Disc disc;
        disc.WriteIni(IniWithTitle("Tolvane Premium", "Language=E\r\n",
                                   "AppWindowClass=" + std::string(kAppClass) + "\r\nAppToFront=" +
                                       row.appToFront + "\r\n"));

        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
        RunOutcome outcome = RunToEnd(launcher);
        EXPECT_EQ(kExitFailed, outcome.exitCode);
        EXPECT_FALSE(outcome.showedWindow);
        EXPECT_FALSE(outcome.showedMessageBox);
        EXPECT_EQ(row.restored, !IsIconic(app.handle()));
        if (row.restored) {
            EXPECT_EQ(app.handle(), GetForegroundWindow());
        }
    }
}

} // namespace
