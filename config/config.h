// Reading VESK.INI into Settings and deciding what its values mean, the
// captions chosen by its language, and the registry checks that may refuse
// to start.
#pragma once

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
    DWORD       size;
    const char *fallback;
    bool        required;
    char        letter;
    bool       *meaning;
};
extern const SettingKey SettingKeys[];
extern const size_t SettingKeyCount;

// What each Language value means, the row of every other value last.
extern const LanguageRow LanguageRows[];
extern const size_t LanguageRowCount;
// The row a Language value selects: by its first byte, exactly.
const LanguageRow *LanguageOf(const char *value);

// The registry: the vendor's key that the launcher creates, and the values
// under the settings key that name the installed edition, in the order
// they are looked for, each with the setting that holds its title.
extern const char VendorKey[];
extern const char EditionSettingsKey[];
struct Edition {
    const char *value;
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
void SetCaptionsByLanguage();
void EnsureVendorKeys();
// Each 1 to go on, 0 when it ended start-up: another edition installed, the
// application running.
int  CheckEditionConflict();
int  CheckRunningApplication();
