// Installation detection: reads the installation record that the installer
// left (an INI file in the Windows directory or a registry key), confirms the
// program file and, when configured, the installed content.
//
// Anything that does not fit its buffer or cannot be read counts as "not
// installed": offering Install again is harmless, starting the wrong program
// is not.
#include "install/install.h"
#include "base/profile.h"
#include "base/system_dlls.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

#include <string.h>
#include <wchar.h>

namespace {

DetectionFindings &Detected = Plan.detection;
const SettingsMeaning &Meant = Plan.settings;

// While NeedsOfAnInstallation asks, the record names its folder, every file
// detection looks for counts as there, and each is listed in needs.list
// with the text it must hold; list is null otherwise.
struct {
    wchar_t *list;
    size_t size;
    size_t used;
} needs;

// Lists path, then text, each ended by a NUL, and the empty path that ends
// the list; true, as a file that is there.
bool Need(const wchar_t *path, const wchar_t *text)
{
    size_t pathLength = wcslen(path) + 1, textLength = wcslen(text) + 1;
    if (needs.used + pathLength + textLength + 1 > needs.size)
        return true; // the list stops short: what it holds is still needed
    wmemcpy(needs.list + needs.used, path, pathLength);
    wmemcpy(needs.list + needs.used + pathLength, text, textLength);
    needs.used += pathLength + textLength;
    needs.list[needs.used] = L'\0';
    return true;
}

// Reads a text value of at most 255 characters and its terminator. Values of
// another type, or too long to hold with their terminator, are not read.
// Stored as UTF-16, as installers store folders: read so, any letter kept.
bool QueryText(HKEY key, const char *name, wchar_t (&out)[256])
{
    wchar_t data[256];
    wchar_t valueName[256];
    TextCopy(valueName, IniName(name));
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE *>(data), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    // Stored text need not carry its terminator.
    size_t length = size / sizeof data[0];
    if (wmemchr(data, L'\0', length) == nullptr) {
        if (length >= ARRAYSIZE(data))
            return false;
        data[length] = L'\0';
    }
    return TextCopy(out, data);
}

// Reads the record from one registry view: 0 for the program's own, or
// KEY_WOW64_64KEY.
bool ReadRecordFromView(REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(Detected.recordRoot, Detected.recordPlace, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        Detected.record = RecordFinding::NoKey;
        return false;
    }
    if (!QueryText(key, Settings.KeyInstallDir, Launcher.installDir)) {
        Detected.record = RecordFinding::NoValue;
    } else if (Launcher.installDir[0] == L'?' || Launcher.installDir[0] == L'\0') {
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
    Detected.recordRoot = Meant.recordOfCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (!TextJoin(Detected.recordPlace, L"Software\\", IniName(Settings.IniFileName), L"\\",
                  IniName(Settings.SectionName), L"\\Settings"))
        return false;
    // The own view first: what a 32-bit installer writes, and what discs rely on.
    if (ReadRecordFromView(0) || !RunsUnderWow64())
        return Detected.record == RecordFinding::Present;
    // A 64-bit installer writes the 64-bit view, hidden from a 32-bit program.
    Detected.view = RecordView::SixtyFour;
    return ReadRecordFromView(KEY_WOW64_64KEY);
}

// A value of the INI record, read as UTF-16: a file the installer wrote in
// UTF-16 keeps every letter, one in the code page reads as always.
DWORD ReadRecordValue(const char *key, wchar_t (&out)[256])
{
    wchar_t section[256], name[256];
    TextCopy(section, IniName(Settings.SectionName));
    TextCopy(name, IniName(key));
    return GetPrivateProfileStringW(section, name, L"?", out, ARRAYSIZE(out), Detected.recordPlace);
}

bool ReadRecordFromIniFile()
{
    wchar_t windowsDir[260];
    // A result as long as the buffer or longer means nothing was stored.
    UINT length = GetWindowsDirectoryW(windowsDir, ARRAYSIZE(windowsDir));
    if (length == 0 || length >= ARRAYSIZE(windowsDir))
        return false;
    if (!TextJoin(Detected.recordPlace, windowsDir, L"\\", IniName(Settings.IniFileName)))
        return false;
    DWORD read = ReadRecordValue(Settings.KeyInstallDir, Launcher.installDir);
    // A missing file, section or key reads as the default "?".
    if (lstrcmpW(Launcher.installDir, L"?") == 0)
        Detected.record = RecordFinding::NoValue;
    else if (read == 0 || Launcher.installDir[0] == L'?' || Launcher.installDir[0] == L'\0')
        Detected.record = RecordFinding::Unset;
    else
        Detected.record = RecordFinding::Present;
    if (Detected.record != RecordFinding::Present)
        return false;
    // A missing key leaves "?", which no start will find.
    ReadRecordValue(Settings.CDValue, Launcher.cdAppDir);
    return true;
}

bool EndWithBackslash(wchar_t (&dir)[256])
{
    size_t length = wcslen(dir);
    if (length > 0 && dir[length - 1] == L'\\')
        return true;
    return TextAppend(dir, L"\\");
}

bool Exists(const wchar_t *path)
{
    if (needs.list)
        return Need(path, L"");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// Records a check's outcome, with the first thing it missed.
bool Checked(ContentCheck &check, bool passed, const wchar_t *missing = L"")
{
    check = passed ? ContentCheck::Passed : ContentCheck::Failed;
    if (!passed && !Detected.firstMissing[0])
        TextCopy(Detected.firstMissing, missing);
    return passed;
}

// Every course file of the disc's repository has its copy in the installation.
bool RepositoryInstalled()
{
    ContentCheck &check = Detected.courseFiles;
    wchar_t pattern[260];
    wchar_t base[260] = L"";
    if (!TextJoin(pattern, Launcher.moduleDir, L"repository\\*.course") ||
        !TextJoin(base, Launcher.installDir, L"repository\\"))
        return Checked(check, false, base);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return Checked(check, true); // a disc without courses has nothing to miss
    bool allPresent = true;
    do {
        ++Detected.coursesOnDisc;
        // Every file is probed, also after a miss.
        wchar_t probe[260];
        if (!TextJoin(probe, base, found.cFileName) || !Exists(probe))
            allPresent = Checked(check, false, probe);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return Checked(check, allPresent);
}

bool LibraryInstalled()
{
    wchar_t probe[260];
    return Checked(Detected.library, TextJoin(probe, Launcher.installDir, L"lib\\quennet.jar") && Exists(probe),
                   probe);
}

// The course lists are texts of the code page, read as ever; only the files'
// folders may hold any letter.
bool ReadList(const wchar_t *directory, const wchar_t *fileName, const char *section, const char *key,
              char (&list)[260])
{
    wchar_t path[260];
    if (!TextJoin(path, directory, fileName) || ReadProfileText(section, key, "?", list, 256, path) == 0 ||
        list[0] == '?' || list[0] == '\0')
        return Checked(Detected.courseList, false, path);
    return true;
}

// The installed list: read, or while NeedsOfAnInstallation asks, the disc's
// list itself, in the file it must then be.
bool ReadInstalledList(const char (&courseList)[260], char (&installedList)[260])
{
    if (!needs.list)
        return ReadList(Launcher.installDir, L"pellora.ini", "courses", "installed", installedList);
    wchar_t path[260], text[300];
    TextCopy(installedList, courseList);
    if (!TextJoin(path, Launcher.installDir, L"pellora.ini") ||
        !TextJoin(text, L"[courses]\r\ninstalled=", Ansi{courseList}, L"\r\n"))
        return Checked(Detected.courseList, false, path);
    return Need(path, text);
}

// Every comma-separated course name of the disc occurs in the installed list.
// Nothing is trimmed, and an empty name always occurs.
bool CoursesListed()
{
    char courseList[260];
    char installedList[260];
    if (!ReadList(Launcher.moduleDir, L"disk.ini", "course", "name", courseList) ||
        !ReadInstalledList(courseList, installedList))
        return false;
    const char *cursor = courseList;
    for (;;) {
        size_t length = strcspn(cursor, ",");
        char token[260];
        TextCopyPrefix(token, cursor, length);
        cursor += length;
        if (*cursor == ',')
            ++cursor;
        if (!strstr(installedList, token)) {
            wchar_t missing[260];
            TextCopy(missing, Ansi{token});
            return Checked(Detected.courseList, false, missing);
        }
        if (*cursor == '\0')
            return Checked(Detected.courseList, true);
    }
}

// Whether the installation in installDir counts: its program, then the
// content checks configured.
int JudgeInstallation()
{
    if (Meant.appFromCd)
        return 0;

    if (needs.list) {
        wchar_t program[MAX_PATH];
        TextJoin(program, Launcher.installDir, IniName(Settings.ApplicationName));
        Detected.programFound = Need(program, L"");
    } else {
        wchar_t program[MAX_PATH];
        Detected.programFound = FindInstalledProgram(program);
    }
    if (!Detected.programFound)
        return 1;

    if (Meant.tarnCoursesCheck)
        return RepositoryInstalled() && (!Meant.tarnQuennetCheck || LibraryInstalled()) ? 0 : 1;
    if (Meant.pelloraCoursesCheck)
        return CoursesListed() ? 0 : 1;
    return 0;
}

} // namespace

bool FindInstalledProgram(wchar_t (&file)[MAX_PATH])
{
    // Only whether the file is there matters: a path longer than the buffer
    // counts as found too.
    wchar_t program[256];
    TextCopy(program, IniName(Settings.ApplicationName));
    DWORD length = SearchPathW(Launcher.installDir, program, nullptr, MAX_PATH, file, nullptr);
    if (length >= MAX_PATH)
        TextJoin(file, Launcher.installDir, program);
    if (length == 0)
        file[0] = L'\0';
    return length != 0;
}

void DetectInstallation()
{
    Launcher.installNeeded = 1;
    Detected = DetectionFindings{};

    bool present = Meant.recordInIniFile ? ReadRecordFromIniFile() : ReadRecordFromRegistry();
    if (!present)
        return;
    // A directory with no room left for its backslash could not be joined safely.
    if (!EndWithBackslash(Launcher.installDir)) {
        Detected.record = RecordFinding::NoRoom;
        return;
    }
    Launcher.installNeeded = JudgeInstallation();
}

bool NeedsOfAnInstallation(const wchar_t *folder, wchar_t *list, size_t size, DetectionFindings &found)
{
    wchar_t installDir[256];
    TextCopy(installDir, Launcher.installDir);
    DetectionFindings detected = Detected;
    Detected = DetectionFindings{};
    Detected.record = RecordFinding::Present;
    list[0] = L'\0';
    needs = {list, size, 0};
    TextCopy(Launcher.installDir, folder);
    EndWithBackslash(Launcher.installDir);
    bool counts = JudgeInstallation() == 0;
    needs = {};
    found = Detected;
    Detected = detected;
    TextCopy(Launcher.installDir, installDir);
    return counts;
}
