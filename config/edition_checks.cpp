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
    {"Demo", "DemoTitle", Settings.DemoTitle},
    {"Launcher", "FreeTitle", Settings.FreeTitle},
    {"Simple", "SimpleTitle", Settings.SimpleTitle},
    {"Base", "BaseTitle", Settings.BaseTitle},
    {"Premium", "PremiumTitle", Settings.PremiumTitle},
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

// The warning as the Unicode it means, each text in its own code page. Only
// the titles are arguments, taken literally; the format, built in or written
// on the disc with exactly two %s, goes to no formatting function.
void FormatConflict(wchar_t (&message)[256], ShownText installedTitle, ShownText title)
{
    ShownText format = Plan.captions[4];
    const ShownText arguments[] = {installedTitle, title};
    message[0] = L'\0';
    const char *rest = format.text;
    for (const ShownText &argument : arguments) {
        const char *mark = strstr(rest, "%s");
        if (!mark)
            break;
        TextAppendWide(message, 256, rest, static_cast<size_t>(mark - rest), format.codePage);
        TextAppendWide(message, 256, argument.text, strlen(argument.text), argument.codePage);
        rest = mark + 2;
    }
    TextAppendWide(message, 256, rest, strlen(rest), format.codePage);
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
    const Edition *installed = nullptr;
    for (const Edition &edition : Editions) {
        BYTE data[256];
        DWORD size = sizeof data;
        if (RegQueryValueExA(key, edition.value, nullptr, nullptr, data, &size) == ERROR_SUCCESS)
            installed = &edition;
    }
    RegCloseKey(key);
    if (installed) {
        Plan.editionValue = installed->value;
        Plan.installedTitle = installed->title;
    }

    // [Window]'s titles decide; a language section's are only shown.
    if (!installed || strcmp(Plan.installedTitle, Settings.Title) == 0)
        return 1;
    char sectionTitle[64];
    ShownText shown = {Plan.installedTitle, Launcher.textCodePage};
    if (ReadShownEditionTitle(installed->titleKey, sectionTitle))
        shown = {sectionTitle, Plan.sectionCodePage};
    FormatConflict(Plan.conflictMessage, shown, Plan.title);
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
