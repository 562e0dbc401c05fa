// Finds another installed edition or a running copy of the application,
// either of which keeps the launcher from starting; creates the vendor's
// empty key, the launcher's only trace.
#include "config/config.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

#include <string.h>

const char VendorKey[]          = "SOFTWARE\\Quillmoor";
const char EditionSettingsKey[] = "SOFTWARE\\Quillmoor\\Tolvane\\Settings";

// Only a value's presence counts; of several, the last in this order decides.
const Edition Editions[] = {
    {"Demo", Settings.DemoTitle},
    {"Launcher", Settings.FreeTitle},
    {"Simple", Settings.SimpleTitle},
    {"Base", Settings.BaseTitle},
    {"Premium", Settings.PremiumTitle},
};
const size_t EditionCount = sizeof Editions / sizeof Editions[0];

namespace {

void CreateVendorKey(HKEY root)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, VendorKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
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
    Plan.editionValue = nullptr;
    Plan.installedTitle = nullptr;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, EditionSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 1;
    for (const Edition &edition : Editions) {
        BYTE data[256];
        DWORD size = sizeof data;
        if (RegQueryValueExA(key, edition.value, nullptr, nullptr, data, &size) == ERROR_SUCCESS) {
            Plan.editionValue = edition.value;
            Plan.installedTitle = edition.title;
        }
    }
    RegCloseKey(key);

    if (!Plan.installedTitle || strcmp(Plan.installedTitle, Settings.Title) == 0)
        return 1;
    FormatConflict(Plan.conflictMessage, Plan.installedTitle, Settings.Title);
    return EndStartup(StartupEnd::EditionConflict);
}

int CheckRunningApplication()
{
    Plan.runningApplication = nullptr;
    if (Plan.appWindowClass[0] == '\0')
        return 1;
    wchar_t className[128];
    TextCopy(className, IniName(Plan.appWindowClass));
    Plan.runningApplication = FindWindowW(className, nullptr);
    if (!Plan.runningApplication)
        return 1;
    if (Plan.settings.appToFront) {
        Plan.toFront = Plan.runningApplication;
        Plan.restoreFirst = true;
    }
    return EndStartup(StartupEnd::ApplicationRunning);
}
