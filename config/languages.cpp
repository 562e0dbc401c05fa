// What each value of Language means: the button captions, the edition
// warning, the built-in picture and the buttons' width, in one table.
//
// Texts are single-byte strings of their language's code page: Windows-1252
// for French and German, Windows-1251 for Russian, whatever the user's
// Windows has; they are shown converted from that code page. They are
// written as byte escapes so that the bytes in launcher.exe do not depend on
// this file's encoding or the compiler's character set.
#include "config/config.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "res/resource.h"

namespace {

const char kEnglishConflict[] =
    "Attention! Another version of the program \"%s\" is installed on your computer.\n"
    "Please remove before installing \"%s\".";

// Attention ! Une autre version du programme "%s" est installée sur votre ordinateur.
// Veuillez la supprimer avant d'installer "%s".
const char kFrenchConflict[] =
    "Attention ! Une autre version du programme \"%s\" est install\xE9" "e sur votre ordinateur.\n"
    "Veuillez la supprimer avant d'installer \"%s\".";

// Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.
// Bitte deinstallieren Sie zunächst "%s" und wiederholen Sie dann die Installation von "%s".
const char kGermanConflict[] =
    "Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.\n"
    "Bitte deinstallieren Sie zun\xE4" "chst \"%s\" und wiederholen Sie dann die Installation von \"%s\".";

// Внимание! Другая версия программы ("%s") установлена на Вашем компьютере. 
// Пожалуйста, удалите ее перед установкой "%s".
const char kRussianConflict[] =
    "\xC2\xED\xE8\xEC\xE0\xED\xE8\xE5! \xC4\xF0\xF3\xE3\xE0\xFF \xE2\xE5\xF0\xF1\xE8\xFF "
    "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB (\"%s\") \xF3\xF1\xF2\xE0\xED\xEE\xE2\xEB\xE5\xED\xE0 "
    "\xED\xE0 \xC2\xE0\xF8\xE5\xEC \xEA\xEE\xEC\xEF\xFC\xFE\xF2\xE5\xF0\xE5. \n"
    "\xCF\xEE\xE6\xE0\xEB\xF3\xE9\xF1\xF2\xE0, \xF3\xE4\xE0\xEB\xE8\xF2\xE5 \xE5\xE5 "
    "\xEF\xE5\xF0\xE5\xE4 \xF3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xEE\xE9 \"%s\".";

const char kViewIntro[]   = "View Intro";
const char kStartFromCd[] = "Start From CD";

} // namespace

// What each letter of Language means, and the last row every other value.
// Each pair: without bothTypes, with it.
const LanguageRow LanguageRows[] = {
    {'D', "Dutch", "Installeer", "Start", "Sluit", {kViewIntro, kViewIntro}, kEnglishConflict, 1252,
     IDB_PROMPT_ENGLISH, "English", {12, 15}},
    {'E', "English", "Install", "Start", "Quit", {kStartFromCd, kStartFromCd}, kEnglishConflict, 1252,
     IDB_PROMPT_ENGLISH, "English", {12, 15}},
    {'F', "French", "Installer", "D\xE9marrer" /* Démarrer */, "Quitter", {kViewIntro, kViewIntro}, kFrenchConflict,
     1252, IDB_PROMPT_FRENCH, "French", {12, 15}},
    {'G', "German", "Installieren", "Start", "Abbrechen", {kViewIntro, kViewIntro}, kGermanConflict, 1252,
     IDB_PROMPT_GERMAN, "German", {15, 15}},
    {'I', "Italian", "Installa", "Avvia", "Esci", {kViewIntro, kViewIntro}, kEnglishConflict, 1252,
     IDB_PROMPT_ITALIAN, "Italian", {12, 15}},
    {'R', "Russian", "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0" /* Установка */,
     "\xD1\xF2\xE0\xF0\xF2" /* Старт */, "\xC2\xFB\xF5\xEE\xE4" /* Выход */, {kViewIntro, kViewIntro},
     kRussianConflict, 1251, IDB_PROMPT_RUSSIAN, "Russian", {13, 13}},
    {0, "English", "Install", "Start", "Quit", {kViewIntro, kStartFromCd}, kEnglishConflict, 1252,
     IDB_PROMPT_ENGLISH, "English", {12, 15}},
};
const size_t LanguageRowCount = sizeof LanguageRows / sizeof LanguageRows[0];

const LanguageRow *LanguageOf(const char *value)
{
    const LanguageRow *row = LanguageRows;
    while (row->letter && row->letter != value[0])
        ++row;
    return row;
}

UINT TextCodePage(const LanguageRow *row)
{
    return Plan.configEncoding == ProfileEncoding::Utf8            ? CP_UTF8
           : Plan.configEncoding == ProfileEncoding::ByteOrderMark ? CP_ACP
                                                                   : row->codePage;
}

void SetCaptionsByLanguage()
{
    // The language in effect: the language section's, else [Window]'s.
    const LanguageRow *row = Plan.language =
        LanguageOf(Plan.sectionSetsLanguage ? Plan.sectionLanguage : Settings.Language);
    int bothTypes = Settings.bothTypes ? 1 : 0;
    Plan.widthFactor = row->widthFactor[bothTypes];
    Launcher.captionCodePage = row->codePage;
    // VESK.INI's texts are the disc's words, written in its language's code
    // page; or in UTF-8; or decoded by the profile calls into the system's.
    Launcher.textCodePage = TextCodePage(LanguageOf(Settings.Language));
    // The built-in texts where the disc gives none.
    const char *builtIn[] = {row->action, row->start, row->quit, row->extra[bothTypes], row->conflict};
    char *fields[] = {Launcher.captionAction, Launcher.captionStart, Launcher.captionQuit, Launcher.captionExtra,
                      Launcher.conflictFormat};
    for (int i = 0; i < 5; ++i) {
        if (Plan.shownFromDisc & (1u << i))
            continue;
        TextCopy(fields[i], i < 4 ? sizeof Launcher.captionAction : sizeof Launcher.conflictFormat, builtIn[i]);
        Plan.captions[i] = {fields[i], row->codePage};
    }
    if (!(Plan.shownFromDisc & ShownTitle))
        Plan.title = {Settings.Title, Launcher.textCodePage};
    if (!(Plan.shownFromDisc & ShownBitmapText))
        Plan.bitmapText = {Settings.BitmapText, Launcher.textCodePage};
}
