// Refuses to start beside another installed edition or a running copy of the
// application; leaves the vendor's empty key behind as its only trace.
#include "config/config.h"
#include "launcher/launcher.h"

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

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    // Only a value's presence counts; of several, the last in this order decides.
    const char *installedTitle = nullptr;
    for (const auto &edition : editions) {
        BYTE data[256];
        DWORD size = sizeof data;
        if (RegQueryValueExA(key, edition.value, nullptr, nullptr, data, &size) == ERROR_SUCCESS)
            installedTitle = edition.title;
    }
    RegCloseKey(key);

    if (!installedTitle || strcmp(installedTitle, Settings.Title) == 0)
        return 0;
    // Only the titles are arguments; the format is our own text.
    char message[256];
    TextFormat(message, Launcher.conflictFormat, installedTitle, Settings.Title);
    MessageBoxA(nullptr, message, Settings.Title, MB_OK | MB_ICONWARNING);
    return 1;
}

int CheckRunningApplication(const char *appWindowClass)
{
    if (appWindowClass[0] == '\0')
        return 1;
    HWND running = FindWindowA(appWindowClass, nullptr);
    if (!running)
        return 1;
    if (Settings.AppToFront[0] == 'Y') {
        ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
    return 0;
}
