// The launcher's settings, read from VESK.INI once at start-up.
#pragma once

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
    char BitmapText[256]; // the words the Bitmap picture shows, for screen readers
};

extern LauncherSettings Settings;
