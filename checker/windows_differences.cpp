// Where Windows reads a disc otherwise than Wine, measured against Wine 8:
// Wine's profile reader skips a UTF-8 byte-order mark and then reads the file
// as UTF-8, and reads UTF-16 in either byte order. Windows' reads UTF-16
// little-endian only, and a file with the UTF-8 mark byte by byte in its code
// page, the mark as three letters at the start of the first line. And Wine
// never redirects a program's writes to the user's VirtualStore.
#include "checker/windows_differences.h"
#include "base/ini.h"
#include "checker/report.h"
#include "checker/lint.h"
#include "config/config.h"
#include "records/plan.h"
#include "records/settings.h"

#include <windows.h>

namespace {

const char kMark[] = "(on Windows only) ";

// The whole file; empty when it cannot be read.
std::string FileBytes(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string bytes;
    char chunk[4096];
    DWORD got;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

// "A", "A and B", "A, B and C".
std::string Listed(const std::vector<std::string> &names)
{
    std::string text;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

// What Windows loses of a file that begins with the UTF-8 mark: the keys the
// launcher reads that Wine finds, reading the file after the mark, but
// Windows does not, reading the mark as three letters of the first line.
// Only a section's header on that line is spoilt so; a comment, a blank
// line or a key before any section, which the launcher does not read, takes
// the mark harmlessly.
void LostSection(const IniFile &onWine, const IniFile &onWindows, std::vector<std::string> &found)
{
    const char *next = onWine.bytes;
    IniLine first;
    if (!NextIniLine(next, onWine.bytes + onWine.length, first) || !first.section)
        return;
    std::string section(first.name, first.nameLength);
    std::vector<std::string> required, optional;
    for (size_t k = 0; k < SettingKeyCount; ++k) {
        const SettingKey &key = SettingKeys[k];
        IniLine line;
        bool wine = FindIniKey(onWine, key.section, key.key, line) && line.value;
        bool windows = FindIniKey(onWindows, key.section, key.key, line) && line.value;
        if (wine && !windows)
            (key.required ? required : optional).push_back(key.key);
    }
    // A section the launcher does not read, or reads nothing from here:
    // nothing changes (the key lint names a section it does not read).
    if (required.empty() && optional.empty())
        return;
    std::string lost = "on Windows the keys of [" + section + "] are not read: ";
    if (!required.empty())
        lost += Listed(required) + (required.size() == 1 ? " is" : " are") +
                " missing there, so the launcher ends without a window";
    else
        lost += Listed(optional) +
                (optional.size() == 1 ? " falls back to its default" : " fall back to their defaults");
    found.push_back(kMark + std::string("VESK.INI begins with a UTF-8 byte-order mark, which Wine skips but "
                                        "Windows reads as part of the first line, [") +
                    section + "]: " + lost +
                    "; save VESK.INI without the byte-order mark, or start it with a comment line");
}

// After a UTF-8 mark Wine reads the letters as UTF-8, Windows as bytes of
// its code page: the first key whose name or value holds such a letter.
void LettersBeyondAscii(const IniFile &onWine, std::vector<std::string> &found)
{
    auto beyondAscii = [](const char *text, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            if (static_cast<unsigned char>(text[i]) >= 0x80)
                return true;
        }
        return false;
    };
    std::string section;
    const char *next = onWine.bytes;
    for (IniLine line; NextIniLine(next, onWine.bytes + onWine.length, line);) {
        if (line.section)
            section.assign(line.name, line.nameLength);
        // A key's line, not a comment.
        if (line.section || !line.value || (line.nameLength > 0 && line.name[0] == ';') ||
            !(beyondAscii(line.name, line.nameLength) || beyondAscii(line.value, line.valueLength)))
            continue;
        std::string key(line.name, line.nameLength);
        found.push_back(kMark + std::string("VESK.INI begins with a UTF-8 byte-order mark, and ") +
                        (section.empty() ? key : "[" + section + "] " + key) +
                        " holds letters beyond ASCII: Wine reads them as UTF-8, Windows as letters of its "
                        "code page (\xC3\xA9 shows as \xC3\x83\xC2\xA9 on a Western Windows); save VESK.INI "
                        "in the code page of the Windows it is meant for");
        return;
    }
}

void LintConfigEncoding(const wchar_t *disc, std::vector<std::string> &found)
{
    std::string bytes = FileBytes(std::wstring(disc) + L"" CONFIG_FILE_NAME);
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) {
        found.push_back(kMark + std::string("VESK.INI is UTF-16 big-endian (it begins with FE FF), which Wine reads "
                                            "but Windows does not: on Windows it holds no section, so [") +
                        SettingKeys[0].section + "] " + SettingKeys[0].key +
                        " is missing and the launcher ends without a window; save VESK.INI as UTF-16 "
                        "little-endian (beginning FF FE) or in the code page of the Windows it is meant for");
        return;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") != 0)
        return;
    IniFile onWindows = {bytes.data(), bytes.size(), false}, onWine = {bytes.data() + 3, bytes.size() - 3, true};
    LostSection(onWine, onWindows, found);
    LettersBeyondAscii(onWine, found);
}

// An INI record that Windows redirected: a 32-bit installer without a
// manifest, run without elevation, is virtualized, and what it writes into
// the Windows folder lands in the user's VirtualStore, where it alone sees
// it. The launcher, asInvoker by its manifest, is not virtualized.
void LintVirtualStore(std::vector<std::string> &found)
{
    const wchar_t *place = Plan.detection.recordPlace;
    if (!Plan.settingsLoaded || !Plan.settings.recordInIniFile || !place[0] || place[1] != ':' || IsFile(place))
        return;
    // Windows before Vista has neither the variable nor the redirection.
    wchar_t local[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::wstring stored = std::wstring(local) + L"\\VirtualStore" + (place + 2);
    if (!IsFile(stored))
        return;
    found.push_back(kMark + std::string("the installation record ") + Utf8(place) +
                    " is not in the Windows folder, but " + Utf8(stored.c_str()) +
                    " is: an installer without a manifest, run without elevation, wrote it into the Windows "
                    "folder and Windows redirected it to the user's VirtualStore; that installer sees it there, "
                    "but the launcher (asInvoker, not redirected) does not, and offers Install again; have the "
                    "installer run elevated (requireAdministrator in its manifest), or keep the record in the "
                    "registry (UseRegistry other than N)");
}

} // namespace

void LintWindowsDifferences(const wchar_t *disc, std::vector<std::string> &warnings,
                            std::vector<std::string> &windowsOnly)
{
    size_t before = windowsOnly.size();
    LintConfigEncoding(disc, windowsOnly);
    LintVirtualStore(windowsOnly);
    warnings.insert(warnings.end(), windowsOnly.begin() + before, windowsOnly.end());
}
