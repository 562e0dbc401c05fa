// Reads VESK.INI, beside the launcher, into Settings once at start-up.
#include "config/config.h"
#include "launcher/launcher.h"

LauncherSettings Settings;

namespace {

struct TextKey {
    const char *section;
    const char *key;
    char       *field;
    DWORD       size;
    const char *fallback;
};

template <size_t N>
TextKey Key(const char *section, const char *key, char (&field)[N], const char *fallback = "?")
{
    return {section, key, field, N, fallback};
}

DWORD ReadKey(const TextKey &k, const char *configPath)
{
    return GetPrivateProfileStringA(k.section, k.key, k.fallback, k.field, k.size, configPath);
}

} // namespace

int LoadLauncherSettings()
{
    char configPath[256];
    if (!TextJoin(configPath, Launcher.moduleDir, CONFIG_FILE_NAME))
        return 0;

    // Tested one by one: the first missing value ends start-up before
    // anything later is read.
    const TextKey required[] = {
        Key("Window",  "Title",            Settings.Title),
        Key("Program", "Application name", Settings.ApplicationName),
        Key("RegIni",  "Ini file name",    Settings.IniFileName),
        Key("RegIni",  "Key install dir",  Settings.KeyInstallDir),
        Key("RegIni",  "Section name",     Settings.SectionName),
        Key("Program", "Installer",        Settings.Installer),
    };
    for (const TextKey &k : required) {
        if (ReadKey(k, configPath) == 0 || k.field[0] == '?')
            return 0;
    }

    char appWindowClass[128];
    const TextKey optional[] = {
        Key("Window",  "Bitmap",              Settings.Bitmap),
        Key("Window",  "Audio",               Settings.Audio),
        Key("Program", "AppWindowClass",      appWindowClass),
        Key("Window",  "Language",            Settings.Language),
        Key("RegIni",  "PelloraCoursesCheck", Settings.PelloraCoursesCheck),
        Key("RegIni",  "TarnCoursesCheck",    Settings.TarnCoursesCheck),
        Key("RegIni",  "TarnQuennetCheck",    Settings.TarnQuennetCheck),
        Key("Program", "AppToFront",          Settings.AppToFront),
        Key("Window",  "DemoMovie",           Settings.DemoMovie),
        Key("Window",  "WrongCD",             Settings.WrongCD),
        Key("Program", "AppFromCd",           Settings.AppFromCd),
        Key("Program", "RunImmediately",      Settings.RunImmediately),
        Key("RegIni",  "CDValue",             Settings.CDValue),
        Key("RegIni",  "UseRegistry",         Settings.UseRegistry),
    };
    for (const TextKey &k : optional)
        ReadKey(k, configPath);

    // With the INI form of the installation record the top key means nothing.
    if (Settings.UseRegistry[0] != 'N')
        ReadKey(Key("RegIni", "RegTopKey", Settings.RegTopKey), configPath);

    Settings.bothTypes = GetPrivateProfileIntA("Program", "bothTypes", 0, configPath);

    const TextKey titles[] = {
        Key("Window", "DemoTitle",    Settings.DemoTitle,    "Tolvane Starter Edition"),
        Key("Window", "FreeTitle",    Settings.FreeTitle,    "Tolvane Launcher"),
        Key("Window", "SimpleTitle",  Settings.SimpleTitle,  "Tolvane Compact"),
        Key("Window", "BaseTitle",    Settings.BaseTitle,    "Tolvane"),
        Key("Window", "PremiumTitle", Settings.PremiumTitle, "Tolvane Premium"),
    };
    for (const TextKey &k : titles)
        ReadKey(k, configPath);

    SetCaptionsByLanguage();
    EnsureVendorKeys();
    if (CheckEditionConflict())
        return 0;
    return CheckRunningApplication(appWindowClass);
}
