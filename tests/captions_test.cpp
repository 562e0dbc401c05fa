// Button captions and the conflict message chosen by the disc's language:
// the whole table, the default rows with and without bothTypes, and the exact
// single-byte texts that reach the user.
#include "config/config.h"
#include "records/settings.h"
#include "records/state.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

// The expected texts, written out byte by byte here rather than taken from the
// program, in the code page of their language (1252 or 1251). A hex escape is
// closed by splitting the literal where a hex digit follows it.

// Attention! Another version of the program "%s" is installed on your computer.
// Please remove before installing "%s".
const char kEnglish[] = "Attention! Another version of the program \x22%s\x22 is installed on your computer.\x0A"
                        "Please remove before installing \x22%s\x22.";

// Attention ! Une autre version du programme "%s" est installée sur votre ordinateur.
// Veuillez la supprimer avant d'installer "%s".
const char kFrench[] = "Attention ! Une autre version du programme \x22%s\x22 est install\xE9"
                       "e sur votre ordinateur.\x0A"
                       "Veuillez la supprimer avant d'installer \x22%s\x22.";

// Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.
// Bitte deinstallieren Sie zunächst "%s" und wiederholen Sie dann die Installation von "%s".
const char kGerman[] = "Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.\x0A"
                       "Bitte deinstallieren Sie zun\xE4"
                       "chst \x22%s\x22 und wiederholen Sie dann die Installation von \x22%s\x22.";

// Внимание! Другая версия программы ("%s") установлена на Вашем компьютере. (blank, then line feed)
// Пожалуйста, удалите ее перед установкой "%s".
const char kRussian[] = "\xC2\xED\xE8\xEC\xE0\xED\xE8\xE5! "                 // Внимание!
                        "\xC4\xF0\xF3\xE3\xE0\xFF "                          // Другая
                        "\xE2\xE5\xF0\xF1\xE8\xFF "                          // версия
                        "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB "              // программы
                        "(\x22%s\x22) "
                        "\xF3\xF1\xF2\xE0\xED\xEE\xE2\xEB\xE5\xED\xE0 "      // установлена
                        "\xED\xE0 "                                          // на
                        "\xC2\xE0\xF8\xE5\xEC "                              // Вашем
                        "\xEA\xEE\xEC\xEF\xFC\xFE\xF2\xE5\xF0\xE5. \x0A"     // компьютере.
                        "\xCF\xEE\xE6\xE0\xEB\xF3\xE9\xF1\xF2\xE0, "         // Пожалуйста,
                        "\xF3\xE4\xE0\xEB\xE8\xF2\xE5 "                      // удалите
                        "\xE5\xE5 "                                          // ее
                        "\xEF\xE5\xF0\xE5\xE4 "                              // перед
                        "\xF3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xEE\xE9 "          // установкой
                        "\x22%s\x22.";

const char kDemarrer[]  = "D\xE9marrer";                           // Démarrer
const char kUstanovka[] = "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0"; // Установка
const char kStart[]     = "\xD1\xF2\xE0\xF0\xF2";                 // Старт
const char kVykhod[]    = "\xC2\xFB\xF5\xEE\xE4";                 // Выход

void ChooseCaptions(const char *language, int bothTypes)
{
    Settings = LauncherSettings{};
    Launcher = LauncherState{};
    strcpy(Settings.Language, language);
    Settings.bothTypes = bothTypes;
    SetCaptionsByLanguage();
}

TEST(Captions, EachLanguageLetterAndTheDefaultRows)
{
    struct Row {
        const char *language;
        int bothTypes;
        const char *action;
        const char *start;
        const char *quit;
        const char *extra;
        const char *format;
    } rows[] = {
        {"D", 0, "Installeer", "Start", "Sluit", "View Intro", kEnglish},
        {"D", 1, "Installeer", "Start", "Sluit", "View Intro", kEnglish},
        {"E", 0, "Install", "Start", "Quit", "Start From CD", kEnglish},
        {"E", 1, "Install", "Start", "Quit", "Start From CD", kEnglish},
        {"F", 0, "Installer", kDemarrer, "Quitter", "View Intro", kFrench},
        {"F", 1, "Installer", kDemarrer, "Quitter", "View Intro", kFrench},
        {"G", 0, "Installieren", "Start", "Abbrechen", "View Intro", kGerman},
        {"G", 1, "Installieren", "Start", "Abbrechen", "View Intro", kGerman},
        {"I", 0, "Installa", "Avvia", "Esci", "View Intro", kEnglish},
        {"I", 1, "Installa", "Avvia", "Esci", "View Intro", kEnglish},
        {"R", 0, kUstanovka, kStart, kVykhod, "View Intro", kRussian},
        {"R", 1, kUstanovka, kStart, kVykhod, "View Intro", kRussian},
        // Only the first byte counts.
        {"German", 0, "Installieren", "Start", "Abbrechen", "View Intro", kGerman},
        {"English", 0, "Install", "Start", "Quit", "Start From CD", kEnglish},
        // Everything else takes the default rows, chosen by bothTypes alone.
        {"?", 0, "Install", "Start", "Quit", "View Intro", kEnglish},
        {"?", 1, "Install", "Start", "Quit", "Start From CD", kEnglish},
        {"?", -1, "Install", "Start", "Quit", "Start From CD", kEnglish},
        {"", 0, "Install", "Start", "Quit", "View Intro", kEnglish},
        {"", 1, "Install", "Start", "Quit", "Start From CD", kEnglish},
        {"e", 0, "Install", "Start", "Quit", "View Intro", kEnglish},
        {"e", 1, "Install", "Start", "Quit", "Start From CD", kEnglish},
        {"r", 0, "Install", "Start", "Quit", "View Intro", kEnglish},
        {"g", 2, "Install", "Start", "Quit", "Start From CD", kEnglish},
        {"X", 0, "Install", "Start", "Quit", "View Intro", kEnglish},
        {"\xC4", 0, "Install", "Start", "Quit", "View Intro", kEnglish},
        {"\xC4", 1, "Install", "Start", "Quit", "Start From CD", kEnglish},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("Language \"") + row.language + "\", bothTypes " + std::to_string(row.bothTypes));
        ChooseCaptions(row.language, row.bothTypes);
        EXPECT_STREQ(row.action, Launcher.captionAction);
        EXPECT_STREQ(row.start, Launcher.captionStart);
        EXPECT_STREQ(row.quit, Launcher.captionQuit);
        EXPECT_STREQ(row.extra, Launcher.captionExtra);
        EXPECT_STREQ(row.format, Launcher.conflictFormat);
    }
}

// Byte for byte, with the lengths the texts are known by (the German one has
// none stated; 185 is counted from the text above).
TEST(Captions, TheConflictFormatsAreExactSingleByteTexts)
{
    struct Row {
        const char *language;
        const char *expected;
        size_t length;
    } rows[] = {
        {"E", kEnglish, 115},
        {"F", kFrench, 129},
        {"G", kGerman, 185},
        {"R", kRussian, 120},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.language);
        ASSERT_EQ(row.length, strlen(row.expected)); // the test's own text is right
        ChooseCaptions(row.language, 0);
        EXPECT_EQ(std::string(row.expected), std::string(Launcher.conflictFormat));
    }
}

} // namespace
