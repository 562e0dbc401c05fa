// The button captions and the edition-conflict message in the disc's language.
//
// Texts are single-byte strings of their language's code page: Windows-1252
// for French and German, Windows-1251 for Russian, whatever the user's
// Windows has; they are shown converted from that code page. They are
// written as byte escapes so that the bytes in launcher.exe do not depend on
// this file's encoding or the compiler's character set.
#include "config/config.h"
#include "base/text.h"
#include "records/findings.h"
#include "records/settings.h"
#include "records/state.h"

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

struct Captions {
    char        letter;
    const char *action;
    const char *start;
    const char *quit;
    const char *extra;
    const char *conflict;
    UINT        codePage = 1252; // Windows-1252, Western
};

const char kViewIntro[]   = "View Intro";
const char kStartFromCd[] = "Start From CD";

const Captions kByLanguage[] = {
    {'D', "Installeer", "Start", "Sluit", kViewIntro, kEnglishConflict},
    {'E', "Install", "Start", "Quit", kStartFromCd, kEnglishConflict},
    {'F', "Installer", "D\xE9marrer" /* Démarrer */, "Quitter", kViewIntro, kFrenchConflict},
    {'G', "Installieren", "Start", "Abbrechen", kViewIntro, kGermanConflict},
    {'I', "Installa", "Avvia", "Esci", kViewIntro, kEnglishConflict},
    {'R', "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0" /* Установка */,
          "\xD1\xF2\xE0\xF0\xF2" /* Старт */,
          "\xC2\xFB\xF5\xEE\xE4" /* Выход */, kViewIntro, kRussianConflict, 1251},
};

const Captions kDefault        = {'?', "Install", "Start", "Quit", kViewIntro, kEnglishConflict};
const Captions kDefaultBothTypes = {'?', "Install", "Start", "Quit", kStartFromCd, kEnglishConflict};

} // namespace

void SetCaptionsByLanguage()
{
    const Captions *chosen = Settings.bothTypes ? &kDefaultBothTypes : &kDefault;
    for (const Captions &row : kByLanguage) {
        if (row.letter == Settings.Language[0])
            chosen = &row;
    }
    TextCopy(Launcher.captionAction, chosen->action);
    TextCopy(Launcher.captionStart, chosen->start);
    TextCopy(Launcher.captionQuit, chosen->quit);
    TextCopy(Launcher.captionExtra, chosen->extra);
    TextCopy(Launcher.conflictFormat, chosen->conflict);
    Launcher.captionCodePage = chosen->codePage;
    // VESK.INI's texts are the disc's words, written in its language's code
    // page; or in UTF-8; or decoded by the profile calls into the system's.
    Launcher.textCodePage = Found.configEncoding == ProfileEncoding::Utf8            ? CP_UTF8
                            : Found.configEncoding == ProfileEncoding::ByteOrderMark ? CP_ACP
                                                                                     : chosen->codePage;
}
