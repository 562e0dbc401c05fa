// Reading VESK.INI into Settings, the captions chosen by its language, and
// the registry checks that may refuse to start.
#pragma once

#include <windows.h>

#define CONFIG_FILE_NAME "VESK.INI"

// One key of VESK.INI, in the order the keys are read: where its value goes
// (text, or the number bothTypes when field is null), its default, and the
// one letter its first character is tested against (0: none).
struct SettingKey {
    const char *section;
    const char *key;
    char       *field;
    DWORD       size;
    const char *fallback;
    bool        required;
    char        letter;
};
extern const SettingKey SettingKeys[];
extern const size_t SettingKeyCount;

// Reads VESK.INI, beside the launcher, into Settings; 0 when start-up ends
// (no file, a required key missing, or a path too long).
int  ReadSettings();
void SetCaptionsByLanguage();
void EnsureVendorKeys();
int  CheckEditionConflict();      // 1 when another edition is installed
int  CheckRunningApplication(const char *appWindowClass);
