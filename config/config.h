// The configuration read from VESK.INI, the captions chosen by its language,
// and the registry checks that may refuse to start.
#pragma once

#include <windows.h>

#define CONFIG_FILE_NAME "VESK.INI"

// Every value read from VESK.INI, fields named after their keys. Flags are
// tested on their first character only; "?" marks a value that is not set.
struct LauncherSettings {
    char Title[256];
    char ApplicationName[256];
    char IniFileName[256];
    char KeyInstallDir[256];
    char SectionName[256];
    char Installer[256];
    char Bitmap[256];
    char Audio[256];
    char Language[8];
    char PelloraCoursesCheck[8];
    char TarnCoursesCheck[8];
    char TarnQuennetCheck[8];
    char AppToFront[8];
    char DemoMovie[256];
    char WrongCD[8];
    char AppFromCd[8];
    char RunImmediately[8];
    char CDValue[256];
    char UseRegistry[8];
    char RegTopKey[16];
    int  bothTypes;
    char DemoTitle[64];
    char FreeTitle[64];
    char SimpleTitle[64];
    char BaseTitle[64];
    char PremiumTitle[64];
};

extern LauncherSettings Settings;

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

int  LoadLauncherSettings();
void SetCaptionsByLanguage();
void EnsureVendorKeys();
int  CheckEditionConflict();      // 1 when another edition is installed
int  CheckRunningApplication(const char *appWindowClass);
