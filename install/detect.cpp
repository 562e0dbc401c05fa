// Installation detection: reads the installation record that the installer
// left (an INI file in the Windows directory or a registry key), confirms the
// program file and, when configured, the installed content.
//
// Anything that does not fit its buffer or cannot be read counts as "not
// installed": offering Install again is harmless, starting the wrong program
// is not.
#include "install/install.h"
#include "base/system_dlls.h"
#include "base/text.h"
#include "records/findings.h"
#include "records/settings.h"
#include "records/state.h"

#include <string.h>

namespace {

DetectionFindings &Detected = Found.detection;

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

// Reads the record from one registry view: 0 for the program's own, or
// KEY_WOW64_64KEY.
bool ReadRecordFromView(REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(Detected.recordRoot, Detected.recordPlace, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        Detected.record = RecordFinding::NoKey;
        return false;
    }
    if (!QueryText(key, Settings.KeyInstallDir, Launcher.installDir)) {
        Detected.record = RecordFinding::NoValue;
    } else if (Launcher.installDir[0] == '?' || Launcher.installDir[0] == '\0') {
        Detected.record = RecordFinding::Unset;
    } else {
        Detected.record = RecordFinding::Present;
        QueryText(key, Settings.CDValue, Launcher.cdAppDir); // a missing value leaves it empty
    }
    RegCloseKey(key);
    return Detected.record == RecordFinding::Present;
}

bool ReadRecordFromRegistry()
{
    Detected.recordRoot = Settings.RegTopKey[0] == 'C' ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (!TextJoin(Detected.recordPlace, "Software\\", Settings.IniFileName, "\\", Settings.SectionName, "\\Settings"))
        return false;
    // The own view first: what a 32-bit installer writes, and what discs rely on.
    if (ReadRecordFromView(0) || !RunsUnderWow64())
        return Detected.record == RecordFinding::Present;
    // A 64-bit installer writes the 64-bit view, hidden from a 32-bit program.
    Detected.view = RecordView::SixtyFour;
    return ReadRecordFromView(KEY_WOW64_64KEY);
}

bool ReadRecordFromIniFile()
{
    char windowsDir[260];
    // A result as long as the buffer or longer means nothing was stored.
    UINT length = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    if (length == 0 || length >= sizeof windowsDir)
        return false;
    if (!TextJoin(Detected.recordPlace, windowsDir, "\\", Settings.IniFileName))
        return false;
    DWORD read = GetPrivateProfileStringA(Settings.SectionName, Settings.KeyInstallDir, "?", Launcher.installDir,
                                          sizeof Launcher.installDir, Detected.recordPlace);
    // A missing file, section or key reads as the default "?".
    if (strcmp(Launcher.installDir, "?") == 0)
        Detected.record = RecordFinding::NoValue;
    else if (read == 0 || Launcher.installDir[0] == '?' || Launcher.installDir[0] == '\0')
        Detected.record = RecordFinding::Unset;
    else
        Detected.record = RecordFinding::Present;
    if (Detected.record != RecordFinding::Present)
        return false;
    // A missing key leaves "?", which no start will find.
    GetPrivateProfileStringA(Settings.SectionName, Settings.CDValue, "?", Launcher.cdAppDir, sizeof Launcher.cdAppDir,
                             Detected.recordPlace);
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

// Records a check's outcome, with the first thing it missed.
bool Checked(ContentCheck &check, bool passed, const char *missing = "")
{
    check.ran = true;
    check.passed = passed;
    if (!passed && !check.firstMissing[0])
        TextCopy(check.firstMissing, missing);
    return passed;
}

// Every course file of the disc's repository has its copy in the installation.
bool RepositoryInstalled()
{
    ContentCheck &check = Detected.courseFiles;
    char pattern[260];
    char base[260] = "";
    if (!TextJoin(pattern, Launcher.moduleDir, "repository\\*.course") ||
        !TextJoin(base, Launcher.installDir, "repository\\"))
        return Checked(check, false, base);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return Checked(check, true); // a disc without courses has nothing to miss
    bool allPresent = true;
    do {
        // Every file is probed, also after a miss.
        char probe[260];
        if (!TextJoin(probe, base, found.cFileName) || !Exists(probe))
            allPresent = Checked(check, false, probe);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return Checked(check, allPresent);
}

bool LibraryInstalled()
{
    char probe[260];
    return Checked(Detected.library, TextJoin(probe, Launcher.installDir, "lib\\quennet.jar") && Exists(probe), probe);
}

bool ReadList(const char *directory, const char *fileName, const char *section, const char *key, char (&list)[260])
{
    char path[260];
    if (!TextJoin(path, directory, fileName) ||
        GetPrivateProfileStringA(section, key, "?", list, 256, path) == 0 || list[0] == '?' || list[0] == '\0')
        return Checked(Detected.courseList, false, path);
    return true;
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
            return Checked(Detected.courseList, false, token);
        if (*cursor == '\0')
            return Checked(Detected.courseList, true);
    }
}

} // namespace

void DetectInstallation()
{
    Launcher.installNeeded = 1;
    Detected = DetectionFindings{};

    bool present = Settings.UseRegistry[0] == 'N' ? ReadRecordFromIniFile() : ReadRecordFromRegistry();
    if (!present)
        return;
    // A directory with no room left for its backslash could not be joined safely.
    if (!EndWithBackslash(Launcher.installDir)) {
        Detected.record = RecordFinding::NoRoom;
        return;
    }

    if (Settings.AppFromCd[0] == 'Y') {
        Launcher.installNeeded = 0;
        return;
    }

    // Only whether the file is there matters: a path longer than the buffer
    // counts as found too.
    DWORD length = SearchPathA(Launcher.installDir, Settings.ApplicationName, nullptr, sizeof Detected.programFound,
                               Detected.programFound, nullptr);
    if (length == 0) {
        Detected.programFound[0] = '\0';
        return;
    }
    if (length >= sizeof Detected.programFound)
        TextJoin(Detected.programFound, Launcher.installDir, Settings.ApplicationName);

    if (Settings.TarnCoursesCheck[0] == 'Y')
        Launcher.installNeeded = RepositoryInstalled() && (Settings.TarnQuennetCheck[0] != 'Y' || LibraryInstalled()) ? 0 : 1;
    else if (Settings.PelloraCoursesCheck[0] == 'Y')
        Launcher.installNeeded = CoursesListed() ? 0 : 1;
    else
        Launcher.installNeeded = 0;
}
