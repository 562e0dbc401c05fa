// Reads VESK.INI, beside the launcher, into Settings once at start-up.
#include "config/config.h"
#include "base/profile.h"
#include "base/text.h"
#include "records/findings.h"
#include "records/settings.h"
#include "records/state.h"

namespace {

template <size_t N>
constexpr SettingKey Text(const char *section, const char *key, char (&field)[N], const char *fallback = "?")
{
    return {section, key, field, N, fallback, false, 0};
}

template <size_t N>
constexpr SettingKey Required(const char *section, const char *key, char (&field)[N])
{
    return {section, key, field, N, "?", true, 0};
}

template <size_t N>
constexpr SettingKey Flag(const char *section, const char *key, char (&field)[N], char letter = 'Y')
{
    return {section, key, field, N, "?", false, letter};
}

// A missing or unreadable VESK.INI reads as nothing but defaults: it is not
// short of a key, it is not there.
bool Readable(const wchar_t *path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace

// In the order they are read. The six required keys come first, each tested
// before the next is read; RegTopKey is read only for a registry record.
const SettingKey SettingKeys[] = {
    Required("Window",  "Title",               Settings.Title),
    Required("Program", "Application name",    Settings.ApplicationName),
    Required("RegIni",  "Ini file name",       Settings.IniFileName),
    Required("RegIni",  "Key install dir",     Settings.KeyInstallDir),
    Required("RegIni",  "Section name",        Settings.SectionName),
    Required("Program", "Installer",           Settings.Installer),
    Text("Window",      "Bitmap",              Settings.Bitmap),
    Text("Window",      "Audio",               Settings.Audio),
    Text("Program",     "AppWindowClass",      Found.appWindowClass),
    Text("Window",      "Language",            Settings.Language),
    Flag("RegIni",      "PelloraCoursesCheck", Settings.PelloraCoursesCheck),
    Flag("RegIni",      "TarnCoursesCheck",    Settings.TarnCoursesCheck),
    Flag("RegIni",      "TarnQuennetCheck",    Settings.TarnQuennetCheck),
    Flag("Program",     "AppToFront",          Settings.AppToFront),
    Text("Window",      "DemoMovie",           Settings.DemoMovie),
    Flag("Window",      "WrongCD",             Settings.WrongCD),
    Flag("Program",     "AppFromCd",           Settings.AppFromCd),
    Flag("Program",     "RunImmediately",      Settings.RunImmediately),
    Text("RegIni",      "CDValue",             Settings.CDValue),
    Flag("RegIni",      "UseRegistry",         Settings.UseRegistry, 'N'),
    Flag("RegIni",      "RegTopKey",           Settings.RegTopKey, 'C'),
    {"Program", "bothTypes", nullptr, 0, "0", false, 0},
    Text("Window",      "DemoTitle",           Settings.DemoTitle,    "Tolvane Starter Edition"),
    Text("Window",      "FreeTitle",           Settings.FreeTitle,    "Tolvane Launcher"),
    Text("Window",      "SimpleTitle",         Settings.SimpleTitle,  "Tolvane Compact"),
    Text("Window",      "BaseTitle",           Settings.BaseTitle,    "Tolvane"),
    Text("Window",      "PremiumTitle",        Settings.PremiumTitle, "Tolvane Premium"),
    Text("Window",      "BitmapText",          Settings.BitmapText),
};
const size_t SettingKeyCount = sizeof SettingKeys / sizeof SettingKeys[0];

int ReadSettings()
{
    Found.missingKey = nullptr;
    Found.settingsLoaded = false;
    if (!TextJoin(Found.configPath, Launcher.moduleDir, L"" CONFIG_FILE_NAME))
        return EndStartup(StartupEnd::PathTooLong);

    // From a folder that may hold any letter, each value's bytes as written:
    // names in the system's code page, as Windows reads them, or in UTF-8,
    // which holds any letter.
    ProfileFile file(Found.configPath);
    Found.configEncoding = file.encoding();
    Launcher.nameCodePage = file.encoding() == ProfileEncoding::Utf8 ? CP_UTF8 : CP_ACP;
    for (const SettingKey &k : SettingKeys) {
        if (!k.field) {
            Settings.bothTypes = file.ReadNumber(k.section, k.key, 0);
            continue;
        }
        // With the INI form of the installation record the top key means nothing.
        if (k.field == Settings.RegTopKey && Settings.UseRegistry[0] == 'N')
            continue;
        DWORD length = file.ReadText(k.section, k.key, k.fallback, k.field, k.size);
        // The first missing value ends start-up before anything later is read.
        if (k.required && (length == 0 || k.field[0] == '?')) {
            Found.missingKey = k.key;
            break;
        }
    }
    file.Close();
    if (Found.missingKey)
        return EndStartup(Readable(Found.configPath) ? StartupEnd::MissingKey : StartupEnd::NoConfig);
    Found.settingsLoaded = true;
    return 1;
}
