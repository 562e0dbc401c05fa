// Reads VESK.INI, beside the launcher, into Settings once at start-up, and
// decides there what each value means.
#include "config/config.h"
#include "base/profile.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

namespace {

SettingsMeaning &Meant = Plan.settings;

template <size_t N>
constexpr SettingKey Text(const char *section, const char *key, char (&field)[N], const char *fallback = "?",
                          bool *isSet = nullptr)
{
    return {section, key, field, fallback, isSet, N, false, '?'};
}

template <size_t N>
constexpr SettingKey Required(const char *section, const char *key, char (&field)[N])
{
    return {section, key, field, "?", nullptr, N, true, 0};
}

template <size_t N>
constexpr SettingKey Flag(const char *section, const char *key, char (&field)[N], bool &meaning, char letter = 'Y')
{
    return {section, key, field, "?", &meaning, N, false, letter};
}

// The one test of a value: its first byte, case-sensitive; '?' marks a
// value that is not set.
void Decide(const SettingKey &k)
{
    if (k.meaning)
        *k.meaning = k.letter == '?' ? k.field[0] != '?' : k.field[0] == k.letter;
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
    Text("Window",      "Bitmap",              Settings.Bitmap, "?", &Meant.hasBitmap),
    Text("Window",      "Audio",               Settings.Audio, "?", &Meant.hasAudio),
    Text("Program",     "AppWindowClass",      Plan.appWindowClass),
    Text("Window",      "Language",            Settings.Language),
    Flag("RegIni",      "PelloraCoursesCheck", Settings.PelloraCoursesCheck, Meant.pelloraCoursesCheck),
    Flag("RegIni",      "TarnCoursesCheck",    Settings.TarnCoursesCheck, Meant.tarnCoursesCheck),
    Flag("RegIni",      "TarnQuennetCheck",    Settings.TarnQuennetCheck, Meant.tarnQuennetCheck),
    Flag("Program",     "AppToFront",          Settings.AppToFront, Meant.appToFront),
    Text("Window",      "DemoMovie",           Settings.DemoMovie, "?", &Meant.hasExtraButton),
    Flag("Window",      "WrongCD",             Settings.WrongCD, Meant.wrongDisc),
    Flag("Program",     "AppFromCd",           Settings.AppFromCd, Meant.appFromCd),
    Flag("Program",     "RunImmediately",      Settings.RunImmediately, Meant.runImmediately),
    Text("RegIni",      "CDValue",             Settings.CDValue),
    Flag("RegIni",      "UseRegistry",         Settings.UseRegistry, Meant.recordInIniFile, 'N'),
    Flag("RegIni",      "RegTopKey",           Settings.RegTopKey, Meant.recordOfCurrentUser, 'C'),
    {"Program", "bothTypes", nullptr, "0", nullptr, 0, false, 0},
    Text("Window",      "DemoTitle",           Settings.DemoTitle,    "Tolvane Starter Edition"),
    Text("Window",      "FreeTitle",           Settings.FreeTitle,    "Tolvane Launcher"),
    Text("Window",      "SimpleTitle",         Settings.SimpleTitle,  "Tolvane Compact"),
    Text("Window",      "BaseTitle",           Settings.BaseTitle,    "Tolvane"),
    Text("Window",      "PremiumTitle",        Settings.PremiumTitle, "Tolvane Premium"),
    Text("Window",      "BitmapText",          Settings.BitmapText, "?", &Meant.hasBitmapText),
    // The disc's own words for the built-in texts (config/shown.cpp).
    Text("Window",      "InstallCaption",      Launcher.captionAction),
    Text("Window",      "StartCaption",        Launcher.captionStart),
    Text("Window",      "QuitCaption",         Launcher.captionQuit),
    Text("Window",      "ExtraCaption",        Launcher.captionExtra),
    Text("Window",      "ConflictText",        Launcher.conflictFormat),
};
const size_t SettingKeyCount = sizeof SettingKeys / sizeof SettingKeys[0];

int ReadSettings()
{
    Plan.missingKey = nullptr;
    Plan.settingsLoaded = false;
    if (!TextJoin(Plan.configPath, Launcher.moduleDir, L"" CONFIG_FILE_NAME))
        return EndStartup(StartupEnd::PathTooLong);

    // From a folder that may hold any letter, each value's bytes as written:
    // names in the system's code page, as Windows reads them, or in UTF-8,
    // which holds any letter.
    ProfileFile file(Plan.configPath);
    Plan.configEncoding = file.encoding();
    Launcher.nameCodePage = file.encoding() == ProfileEncoding::Utf8 ? CP_UTF8 : CP_ACP;
    for (size_t i = 0; i < SettingKeyCount; ++i) {
        const SettingKey &k = SettingKeys[i];
        // With the INI form of the installation record the top key means nothing.
        if (k.field == Settings.RegTopKey && Meant.recordInIniFile)
            continue;
        Plan.keysRead |= 1ull << i;
        if (!k.field) {
            Settings.bothTypes = file.ReadNumber(k.section, k.key, 0);
            continue;
        }
        DWORD length = file.ReadText(k.section, k.key, k.fallback, k.field, k.size);
        Decide(k);
        // The first missing value ends start-up before anything later is read.
        if (k.required && (length == 0 || k.field[0] == '?')) {
            Plan.missingKey = k.key;
            break;
        }
    }
    if (!Plan.missingKey) {
        ReadShownTexts(file);
        DecideSettings(); // again, for what a language section replaced
    }
    file.Close();
    if (Plan.missingKey)
        return EndStartup(Readable(Plan.configPath) ? StartupEnd::MissingKey : StartupEnd::NoConfig);
    Plan.settingsLoaded = true;
    return 1;
}

void DecideSettings()
{
    for (size_t i = 0; i < SettingKeyCount; ++i)
        Decide(SettingKeys[i]);
}
