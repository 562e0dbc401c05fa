// Finds another installed edition or a running copy of the application,
// either of which keeps the launcher from starting; creates the vendor's
// empty key, the launcher's only trace.
#include "config/config.h"
#include "base/text.h"
#include "records/findings.h"
#include "records/settings.h"
#include "records/state.h"

#include <string.h>

namespace {

const char kVendorKey[]   = "SOFTWARE\\Quillmoor";
const char kSettingsKey[] = "SOFTWARE\\Quillmoor\\Tolvane\\Settings";

void CreateVendorKey(HKEY root)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, kVendorKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) == ERROR_SUCCESS)
        RegCloseKey(key);
    // Without the rights to create it there is nothing to do.
}

// The warning as the Unicode it means: the format in its language's code
// page, the titles as VESK.INI's texts are read. Only the titles are
// arguments, taken literally; the format is our own text.
void FormatConflict(wchar_t (&message)[256], const char *installedTitle, const char *title)
{
    const char *format = Launcher.conflictFormat;
    const char *arguments[] = {installedTitle, title};
    message[0] = L'\0';
    for (const char *argument : arguments) {
        const char *mark = strstr(format, "%s");
        if (!mark)
            break;
        TextAppendWide(message, 256, format, static_cast<size_t>(mark - format), Launcher.captionCodePage);
        TextAppendWide(message, 256, argument, strlen(argument), Launcher.textCodePage);
        format = mark + 2;
    }
    TextAppendWide(message, 256, format, strlen(format), Launcher.captionCodePage);
}

} // namespace

void EnsureVendorKeys()
{
    CreateVendorKey(HKEY_CURRENT_USER);
    CreateVendorKey(HKEY_LOCAL_MACHINE);
}

int CheckEditionConflict()
{
    const struct {
        const char *value;
        const char *title;
    } editions[] = {
        {"Demo", Settings.DemoTitle},
        {"Launcher", Settings.FreeTitle},
        {"Simple", Settings.SimpleTitle},
        {"Base", Settings.BaseTitle},
        {"Premium", Settings.PremiumTitle},
    };

    Found.editionValue = nullptr;
    Found.installedTitle = nullptr;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    // Only a value's presence counts; of several, the last in this order decides.
    for (const auto &edition : editions) {
        BYTE data[256];
        DWORD size = sizeof data;
        if (RegQueryValueExA(key, edition.value, nullptr, nullptr, data, &size) == ERROR_SUCCESS) {
            Found.editionValue = edition.value;
            Found.installedTitle = edition.title;
        }
    }
    RegCloseKey(key);

    if (!Found.installedTitle || strcmp(Found.installedTitle, Settings.Title) == 0)
        return 0;
    FormatConflict(Found.conflictMessage, Found.installedTitle, Settings.Title);
    return 1;
}

int CheckRunningApplication(const char *appWindowClass)
{
    Found.runningApplication = nullptr;
    if (appWindowClass[0] == '\0')
        return 1;
    wchar_t className[128];
    TextCopy(className, IniName(appWindowClass));
    Found.runningApplication = FindWindowW(className, nullptr);
    return Found.runningApplication ? 0 : 1;
}
