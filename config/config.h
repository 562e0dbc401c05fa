// Reading VESK.INI into Settings and deciding what its values mean, the
// captions chosen by its language, and the registry checks that may refuse
// to start.
#pragma once

#include "base/profile.h"
#include "records/plan.h"

#include <windows.h>

#define CONFIG_FILE_NAME "VESK.INI"

// One key of VESK.INI, in the order the keys are read: where its value goes
// (text, or the number bothTypes when field is null), its default, and what
// its first byte means: meaning is set when it is letter, or for '?' when it
// is not '?' (the value is set); null: nothing.
struct SettingKey {
    const char *section;
    const char *key;
    char       *field;
    const char *fallback;
    bool       *meaning;
    WORD        size;
    bool        required;
    char        letter;
};
extern const SettingKey SettingKeys[];
extern const size_t SettingKeyCount;

// What each Language value means, the row of every other value last.
extern const LanguageRow LanguageRows[];
extern const size_t LanguageRowCount;
// The row a Language value selects: by its first byte, exactly.
const LanguageRow *LanguageOf(const char *value);
// The code page VESK.INI's texts are in where row's language is in effect:
// UTF-8, the system's after a byte-order mark, else the row's.
UINT TextCodePage(const LanguageRow *row);

// The registry: the vendor's key that the launcher creates, and the values
// under the settings key that name the installed edition, in the order
// they are looked for, each with the setting that holds its title.
extern const char VendorKey[];
extern const char EditionSettingsKey[];
struct Edition {
    const char *value;
    const char *titleKey;
    const char *title;
};
extern const Edition Editions[];
extern const size_t EditionCount;

// Reads VESK.INI, beside the launcher, into Settings, deciding what each
// value means as it is read; 0 when start-up ends (no file, a required key
// missing, or a path too long).
int  ReadSettings();
// Decides again what Settings' values mean: for Settings filled otherwise
// than from a file.
void DecideSettings();
// What is seen and heard in the user's display language, read from the open
// VESK.INI: the language section chosen, what it replaces in Settings (whose
// meaning is then to be decided again), and the captions and warning the
// disc gives (Plan).
void ReadShownTexts(const ProfileFile &file);
// The keys a language section sets, in place of [Window]'s: what is seen
// and heard.
extern const char *const SectionKeys[];
extern const size_t SectionKeyCount;
// The display languages a language section is chosen for, most preferred
// first, each ended by a NUL, after the last an empty one: those asked for
// (Plan.displayLanguages), else the user's, in user.
const wchar_t *DisplayLanguages(wchar_t (&user)[256]);
// The edition warning goes to no formatting function as a format: a text
// written on the disc serves only with exactly two %s and no other %.
bool IsWarningFormat(const char *text);
// The title the chosen language section gives an edition (titleKey), read
// again from VESK.INI; false when it gives none.
bool ReadShownEditionTitle(const char *titleKey, char (&title)[64]);
// The language in effect, its row, and the built-in captions and warning
// where the disc gives none.
void SetCaptionsByLanguage();
void EnsureVendorKeys();
// Each 1 to go on, 0 when it ended start-up: another edition installed, the
// application running.
int  CheckEditionConflict();
int  CheckRunningApplication();
