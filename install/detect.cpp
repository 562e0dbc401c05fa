// Installation detection: reads the installation record that the installer
// left (an INI file in the Windows directory or a registry key), confirms the
// program file and, when configured, the installed content.
//
// Anything that does not fit its buffer or cannot be read counts as "not
// installed": offering Install again is harmless, starting the wrong program
// is not.
#include "install/install.h"
#include "launcher/launcher.h"
#include "config/config.h"

#include <string.h>

namespace {

// Reads a text value of at most 255 characters and its terminator. Values of
// another type, or too long to hold with their terminator, are not read.
bool QueryText(HKEY key, const char *name, char (&out)[256])
{
    char data[256];
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    // Stored text need not carry its terminator.
    if (memchr(data, '\0', size) == nullptr) {
        if (size >= sizeof data)
            return false;
        data[size] = '\0';
    }
    return TextCopy(out, data);
}

bool ReadRecordFromRegistry()
{
    char recordPath[256];
    if (!TextJoin(recordPath, "Software\\", Settings.IniFileName, "\\", Settings.SectionName, "\\Settings"))
        return false;
    HKEY root = Settings.RegTopKey[0] == 'C' ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, recordPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool present = QueryText(key, Settings.KeyInstallDir, Launcher.installDir) &&
                   Launcher.installDir[0] != '?' && Launcher.installDir[0] != '\0';
    if (present)
        QueryText(key, Settings.CDValue, Launcher.cdAppDir); // a missing value leaves it empty
    RegCloseKey(key);
    return present;
}

bool ReadRecordFromIniFile()
{
    char windowsDir[260];
    // A result as long as the buffer or longer means nothing was stored.
    UINT length = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    if (length == 0 || length >= sizeof windowsDir)
        return false;
    char recordPath[256];
    if (!TextJoin(recordPath, windowsDir, "\\", Settings.IniFileName))
        return false;
    if (GetPrivateProfileStringA(Settings.SectionName, Settings.KeyInstallDir, "?", Launcher.installDir,
                                 sizeof Launcher.installDir, recordPath) == 0 ||
        Launcher.installDir[0] == '?' || Launcher.installDir[0] == '\0')
        return false;
    // A missing key leaves "?", which no start will find.
    GetPrivateProfileStringA(Settings.SectionName, Settings.CDValue, "?", Launcher.cdAppDir, sizeof Launcher.cdAppDir,
                             recordPath);
    return true;
}

bool EndWithBackslash(char (&dir)[256])
{
    size_t length = strlen(dir);
    if (length > 0 && dir[length - 1] == '\\')
        return true;
    return TextAppend(dir, "\\");
}

bool Exists(const char *path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// Every course file of the disc's repository has its copy in the installation.
bool RepositoryInstalled()
{
    char pattern[260];
    char base[260];
    if (!TextJoin(pattern, Launcher.moduleDir, "repository\\*.course") ||
        !TextJoin(base, Launcher.installDir, "repository\\"))
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return true; // a disc without courses has nothing to miss
    bool allPresent = true;
    do {
        // Every file is probed, also after a miss.
        char probe[260];
        if (!TextJoin(probe, base, found.cFileName) || !Exists(probe))
            allPresent = false;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return allPresent;
}

bool LibraryInstalled()
{
    char probe[260];
    return TextJoin(probe, Launcher.installDir, "lib\\quennet.jar") && Exists(probe);
}

bool ReadList(const char *directory, const char *fileName, const char *section, const char *key, char (&list)[260])
{
    char path[260];
    if (!TextJoin(path, directory, fileName))
        return false;
    return GetPrivateProfileStringA(section, key, "?", list, 256, path) != 0 && list[0] != '?' && list[0] != '\0';
}

// Every comma-separated course name of the disc occurs in the installed list.
// Nothing is trimmed, and an empty name always occurs.
bool CoursesListed()
{
    char courseList[260];
    char installedList[260];
    if (!ReadList(Launcher.moduleDir, "disk.ini", "course", "name", courseList) ||
        !ReadList(Launcher.installDir, "pellora.ini", "courses", "installed", installedList))
        return false;
    const char *cursor = courseList;
    for (;;) {
        size_t length = strcspn(cursor, ",");
        char token[260];
        TextCopyPrefix(token, cursor, length);
        cursor += length;
        if (*cursor == ',')
            ++cursor;
        if (!strstr(installedList, token))
            return false;
        if (*cursor == '\0')
            return true;
    }
}

} // namespace

void DetectInstallation()
{
    Launcher.installNeeded = 1;

    bool present = Settings.UseRegistry[0] == 'N' ? ReadRecordFromIniFile() : ReadRecordFromRegistry();
    // A directory with no room left for its backslash could not be joined safely.
    if (!present || !EndWithBackslash(Launcher.installDir))
        return;

    if (Settings.AppFromCd[0] == 'Y') {
        Launcher.installNeeded = 0;
        return;
    }

    // Only whether the file is there matters, not where: the path may be
    // longer than this buffer.
    char found[120];
    if (SearchPathA(Launcher.installDir, Settings.ApplicationName, nullptr, sizeof found, found, nullptr) == 0)
        return;

    if (Settings.TarnCoursesCheck[0] == 'Y')
        Launcher.installNeeded = RepositoryInstalled() && (Settings.TarnQuennetCheck[0] != 'Y' || LibraryInstalled()) ? 0 : 1;
    else if (Settings.PelloraCoursesCheck[0] == 'Y')
        Launcher.installNeeded = CoursesListed() ? 0 : 1;
    else
        Launcher.installNeeded = 0;
}
