// Installation detection against the real registry and real files: the
// record in its three places, the directories taken from it, the program
// file, the content checks, and input that does not fit its buffers.
#include "install/install.h"
#include "config/config.h"
#include "base/system_dlls.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// What detection asks the platform for. The launcher's code is linked into
// this program, so its platform calls go through this program's import
// table; while a CallLog exists, four of them are recorded on their way.

struct Calls {
    std::vector<std::string> searched; // FindFirstFileW patterns and probes
    std::set<HANDLE> openSearches;     // search handles not yet released
    int programLookups = 0;            // SearchPathW
    std::vector<std::string> profiles; // files GetPrivateProfileStringW read

    bool Searched(const std::string &ending) const
    {
        return std::any_of(searched.begin(), searched.end(), [&](const std::string &path) {
            return path.size() >= ending.size() && path.compare(path.size() - ending.size(), ending.size(), ending) == 0;
        });
    }
    bool ReadProfile(const std::string &ending) const
    {
        return std::any_of(profiles.begin(), profiles.end(), [&](const std::string &path) {
            return path.size() >= ending.size() && path.compare(path.size() - ending.size(), ending.size(), ending) == 0;
        });
    }
};

Calls recorded;

decltype(&FindFirstFileW) realFindFirstFile;
decltype(&FindClose) realFindClose;
decltype(&SearchPathW) realSearchPath;
decltype(&GetPrivateProfileStringW) realGetProfileString;

HANDLE WINAPI RecordFindFirstFile(LPCWSTR path, LPWIN32_FIND_DATAW found)
{
    HANDLE search = realFindFirstFile(path, found);
    recorded.searched.push_back(Utf8(path));
    if (search != INVALID_HANDLE_VALUE)
        recorded.openSearches.insert(search);
    return search;
}

BOOL WINAPI RecordFindClose(HANDLE search)
{
    recorded.openSearches.erase(search);
    return realFindClose(search);
}

DWORD WINAPI RecordSearchPath(LPCWSTR path, LPCWSTR name, LPCWSTR extension, DWORD size, LPWSTR buffer,
                              LPWSTR *filePart)
{
    ++recorded.programLookups;
    return realSearchPath(path, name, extension, size, buffer, filePart);
}

DWORD WINAPI RecordGetProfileString(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer, DWORD size,
                                    LPCWSTR file)
{
    recorded.profiles.push_back(file ? Utf8(file) : "");
    return realGetProfileString(section, key, fallback, buffer, size, file);
}

// The import-table slots of this program that hold a function imported by name.
std::vector<void **> ImportSlots(const char *function)
{
    auto *base = reinterpret_cast<BYTE *>(GetModuleHandleA(nullptr));
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<void **> slots;
    for (auto *dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress); dll->Name; ++dll) {
        auto *name = reinterpret_cast<IMAGE_THUNK_DATA *>(
            base + (dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk));
        auto *slot = reinterpret_cast<IMAGE_THUNK_DATA *>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            auto *byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + name->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char *>(byName->Name), function) == 0)
                slots.push_back(reinterpret_cast<void **>(&slot->u1.Function));
        }
    }
    return slots;
}

// Puts a replacement into this program's import slots of one function and
// the original back when it goes.
class ImportPatch {
public:
    template <typename Function>
    ImportPatch(const char *name, Function replacement, Function *original = nullptr) : slots_(ImportSlots(name))
    {
        if (slots_.empty())
            throw std::runtime_error(std::string("not imported: ") + name);
        saved_ = *slots_.front();
        if (original)
            *original = reinterpret_cast<Function>(saved_);
        for (void **slot : slots_)
            Write(slot, reinterpret_cast<void *>(replacement));
    }
    ~ImportPatch()
    {
        for (void **slot : slots_)
            Write(slot, saved_);
    }
    ImportPatch(const ImportPatch &) = delete;
    ImportPatch &operator=(const ImportPatch &) = delete;

private:
    static void Write(void **slot, void *value)
    {
        DWORD protection;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
        *slot = value;
        VirtualProtect(slot, sizeof *slot, protection, &protection);
    }

    std::vector<void **> slots_;
    void *saved_ = nullptr;
};

class CallLog {
public:
    CallLog() { recorded = Calls{}; }
    const Calls &calls() const { return recorded; }

private:
    ImportPatch findFirst_{"FindFirstFileW", &RecordFindFirstFile, &realFindFirstFile};
    ImportPatch findClose_{"FindClose", &RecordFindClose, &realFindClose};
    ImportPatch searchPath_{"SearchPathW", &RecordSearchPath, &realSearchPath};
    ImportPatch profile_{"GetPrivateProfileStringW", &RecordGetProfileString, &realGetProfileString};
};

// ---------------------------------------------------------------------------
// The installation record in its three places.

enum class Form { CurrentUser, LocalMachine, IniFile };

const char *FormName(Form form)
{
    switch (form) {
    case Form::CurrentUser: return "registry, current user";
    case Form::LocalMachine: return "registry, local machine";
    default: return "INI file";
    }
}

// A file in the Windows directory, removed afterwards.
class WindowsFile {
public:
    WindowsFile(const std::string &name, const std::string &text) : path_(WindowsDir() + "\\" + name)
    {
        WriteTextFile(path_, text);
    }
    ~WindowsFile() { DeleteFileW(Wide(path_).c_str()); }
    WindowsFile(const WindowsFile &) = delete;
    WindowsFile &operator=(const WindowsFile &) = delete;

private:
    std::string path_;
};

// A name of this test process alone, so no other run meets its record.
std::string UniqueName(const char *stem)
{
    return stem + std::to_string(GetCurrentProcessId());
}

struct Value {
    std::string name;
    std::string data;
};

// Writes the record the installer would leave: registry values under the
// record's key or keys in a section of the INI file; all removed afterwards.
// In bytes of the code page, or as installers write folders of any name: in
// UTF-16 (values given in UTF-8).
class Record {
public:
    Record(Form form, const std::string &fileName, const std::string &section, const std::vector<Value> &values,
           bool utf16 = false)
    {
        if (form == Form::IniFile) {
            std::string text = "[" + section + "]\r\n";
            for (const Value &value : values)
                text += value.name + "=" + value.data + "\r\n";
            if (utf16) {
                std::wstring wide = L"\uFEFF" + Wide(text);
                text.assign(reinterpret_cast<const char *>(wide.data()), wide.size() * sizeof(wchar_t));
            }
            file_ = std::make_unique<WindowsFile>(fileName, text);
            return;
        }
        HKEY root = form == Form::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        top_ = std::make_unique<RegistryKey>(root, "Software\\" + fileName);
        key_ = std::make_unique<RegistryKey>(root, "Software\\" + fileName + "\\" + section + "\\Settings");
        for (const Value &value : values) {
            if (utf16)
                key_->SetUnicodeString(value.name, value.data);
            else
                key_->SetString(value.name, value.data);
        }
    }
    const RegistryKey &key() const { return *key_; }

private:
    std::unique_ptr<WindowsFile> file_;
    std::unique_ptr<RegistryKey> top_;
    std::unique_ptr<RegistryKey> key_;
};

// The settings a disc would have with the given record form and everything
// optional left at its default "?".
void ResetSettings(Form form, const std::string &discDir)
{
    Settings = LauncherSettings{};
    Launcher = LauncherState{};
    TextCopy(Launcher.moduleDir, Wide(discDir).c_str());
    TextCopy(Settings.ApplicationName, "app.exe");
    TextCopy(Settings.IniFileName, UniqueName("VeskDetect").c_str());
    TextCopy(Settings.SectionName, "Setup");
    TextCopy(Settings.KeyInstallDir, "InstallDir");
    TextCopy(Settings.CDValue, "CdDir");
    for (char *flag : {Settings.PelloraCoursesCheck, Settings.TarnCoursesCheck, Settings.TarnQuennetCheck,
                       Settings.AppFromCd, Settings.UseRegistry})
        TextCopy(flag, 8, "?");
    TextCopy(Settings.RegTopKey, "?");
    if (form == Form::IniFile)
        TextCopy(Settings.UseRegistry, "No");
    if (form == Form::CurrentUser)
        TextCopy(Settings.RegTopKey, "CURRENT");
}

// Detection on the settings as set, their meaning decided as VESK.INI's reader decides it.
void Detect()
{
    DecideSettings();
    DetectInstallation();
}

std::unique_ptr<Record> WriteRecord(Form form, const std::vector<Value> &values, bool utf16 = false)
{
    return std::make_unique<Record>(form, Settings.IniFileName, Settings.SectionName, values, utf16);
}

const Form kForms[] = {Form::CurrentUser, Form::LocalMachine, Form::IniFile};

// A file's content does not matter to detection, only that it is there.
void Touch(const ScratchDir &dir, const std::string &relative)
{
    dir.Write(relative, "x");
}

// The same folder named by a longer text: "x\..\" and ".\" add characters
// that path resolution removes again.
std::string PaddedDir(const std::string &dir, size_t length)
{
    std::string padded = dir;
    size_t extra = length - dir.size();
    if (extra % 2) {
        padded += "x\\..\\";
        extra -= 5;
    }
    for (; extra > 0; extra -= 2)
        padded += ".\\";
    return padded;
}

// ---------------------------------------------------------------------------
// The decision table, in every record form.

enum class Stored { NoRecord, NoValue, Empty, QuestionMark, BeginsWithQuestionMark, Dir };

enum Checks { kNone = 0, kRepository = 1, kLibrary = 2, kCourseList = 4 };

struct DecisionRow {
    const char *name;
    Stored stored;
    const char *appFromCd;
    bool programFile;
    const char *tarnCourses;
    const char *tarnQuennet;
    const char *pellora;
    const char *discCourses;      // names in the disc's repository; nullptr: no such folder
    const char *installedCourses; // names in the installation's repository
    bool library;
    const char *courseList;       // "name" of disk.ini; nullptr: no disk.ini
    const char *installedList;    // "installed" of pellora.ini; nullptr: no pellora.ini
    int installNeeded;
    bool programLookedFor;
    int checksRun;
};

std::vector<std::string> Split(const char *list)
{
    std::vector<std::string> names;
    std::istringstream in(list ? list : "");
    std::string name;
    while (std::getline(in, name, ','))
        names.push_back(name);
    return names;
}

const DecisionRow kDecisionTable[] = {
    // record,                          AppFromCd, program, Tarn, Quennet, Pellora, disc, installed, lib, courses, installed list
    {"registry key or INI file missing", Stored::NoRecord, "Y", true, "?", "?", "?", nullptr, nullptr, false, nullptr,
     nullptr, 1, false, kNone},
    {"no installation directory, AppFromCd Y", Stored::NoValue, "Y", true, "?", "?", "?", nullptr, nullptr, false,
     nullptr, nullptr, 1, false, kNone},
    {"no installation directory", Stored::NoValue, "?", true, "?", "?", "?", nullptr, nullptr, false, nullptr,
     nullptr, 1, false, kNone},
    {"empty installation directory", Stored::Empty, "Y", true, "?", "?", "?", nullptr, nullptr, false, nullptr,
     nullptr, 1, false, kNone},
    {"installation directory ?", Stored::QuestionMark, "Y", true, "?", "?", "?", nullptr, nullptr, false, nullptr,
     nullptr, 1, false, kNone},
    {"installation directory beginning with ?", Stored::BeginsWithQuestionMark, "Y", true, "?", "?", "?", nullptr,
     nullptr, false, nullptr, nullptr, 1, false, kNone},
    {"AppFromCd Y: neither program nor content looked at", Stored::Dir, "Y", false, "Y", "Y", "?", "a.course",
     nullptr, false, nullptr, nullptr, 0, false, kNone},
    {"AppFromCd Yes", Stored::Dir, "Yes", false, "?", "?", "?", nullptr, nullptr, false, nullptr, nullptr, 0, false,
     kNone},
    {"AppFromCd y is not set", Stored::Dir, "y", false, "?", "?", "?", nullptr, nullptr, false, nullptr, nullptr, 1,
     true, kNone},
    {"program file missing: no content check", Stored::Dir, "?", false, "Y", "?", "?", nullptr, nullptr, false,
     nullptr, nullptr, 1, true, kNone},
    {"a course of the disc missing", Stored::Dir, "?", true, "Y", "?", "?", "a.course,b.course", "a.course", false,
     nullptr, nullptr, 1, true, kRepository},
    {"a course missing stops before the library", Stored::Dir, "?", true, "Y", "Y", "?", "a.course,b.course",
     "a.course", true, nullptr, nullptr, 1, true, kRepository},
    {"every course installed, library not asked for", Stored::Dir, "?", true, "Y", "?", "?", "a.course,b.course",
     "a.course,b.course", false, nullptr, nullptr, 0, true, kRepository},
    {"disc without a repository folder", Stored::Dir, "?", true, "Y", "?", "?", nullptr, nullptr, false, nullptr,
     nullptr, 0, true, kRepository},
    {"disc repository without course files", Stored::Dir, "?", true, "Y", "?", "?", "readme.txt", nullptr, false,
     nullptr, nullptr, 0, true, kRepository},
    {"only files ending in .course count", Stored::Dir, "?", true, "Y", "?", "?", "a.course,b.courses,c.txt",
     "a.course", false, nullptr, nullptr, 0, true, kRepository},
    {"courses and library installed", Stored::Dir, "?", true, "Y", "Y", "?", "a.course", "a.course", true, nullptr,
     nullptr, 0, true, kRepository | kLibrary},
    {"courses installed, library missing", Stored::Dir, "?", true, "Y", "Y", "?", "a.course", "a.course", false,
     nullptr, nullptr, 1, true, kRepository | kLibrary},
    {"no content check asked for", Stored::Dir, "?", true, "?", "?", "?", nullptr, nullptr, false, nullptr, nullptr,
     0, true, kNone},
    {"TarnQuennetCheck alone looks for no library", Stored::Dir, "?", true, "?", "Y", "?", nullptr, nullptr, false,
     nullptr, nullptr, 0, true, kNone},
    {"lower-case y asks for no check", Stored::Dir, "?", true, "y", "y", "y", "a.course", nullptr, false, "alpha",
     nullptr, 0, true, kNone},
    {"course list: no disk.ini", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false, nullptr, "alpha", 1,
     true, kCourseList},
    {"course list: empty name", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false, "", "alpha", 1, true,
     kCourseList},
    {"course list: name ?", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false, "?", "alpha", 1, true,
     kCourseList},
    {"course list: name beginning with ?", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false, "?alpha",
     "?alpha", 1, true, kCourseList},
    {"course list: no pellora.ini", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false, "alpha", nullptr,
     1, true, kCourseList},
    {"course list: empty installed", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false, "alpha", "", 1,
     true, kCourseList},
    {"course list: installed ?", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false, "alpha", "?", 1,
     true, kCourseList},
    {"course list: a course not installed", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false,
     "alpha,gamma", "alpha,beta", 1, true, kCourseList},
    {"course list: every course installed", Stored::Dir, "?", true, "?", "?", "Y", nullptr, nullptr, false,
     "alpha,beta", "beta,alpha", 0, true, kCourseList},
    {"both checks, repository passes, course list would fail", Stored::Dir, "?", true, "Y", "?", "Y", "a.course",
     "a.course", false, "gamma", "alpha", 0, true, kRepository},
    {"both checks, repository fails, course list would pass", Stored::Dir, "?", true, "Y", "?", "Y", "a.course",
     nullptr, false, "alpha", "alpha", 1, true, kRepository},
};

// Lays out the disc and the installation for one row.
void Arrange(const DecisionRow &row, const ScratchDir &disc, const ScratchDir &install)
{
    if (row.programFile)
        Touch(install, "app.exe");
    if (row.discCourses) {
        disc.MakeDir("repository");
        for (const std::string &name : Split(row.discCourses))
            Touch(disc, "repository\\" + name);
    }
    for (const std::string &name : Split(row.installedCourses))
        Touch(install, "repository\\" + name);
    if (row.library)
        Touch(install, "lib\\quennet.jar");
    if (row.courseList)
        disc.Write("disk.ini", std::string("[course]\r\nname=") + row.courseList + "\r\n");
    if (row.installedList)
        install.Write("pellora.ini", std::string("[courses]\r\ninstalled=") + row.installedList + "\r\n");
}

std::vector<Value> StoredValues(Stored stored, const std::string &installDir)
{
    switch (stored) {
    case Stored::NoValue: return {{"CdDir", "E:\\"}};
    case Stored::Empty: return {{"InstallDir", ""}};
    case Stored::QuestionMark: return {{"InstallDir", "?"}};
    case Stored::BeginsWithQuestionMark: return {{"InstallDir", "?" + installDir}};
    default: return {{"InstallDir", installDir}, {"CdDir", "E:\\"}};
    }
}

TEST(Detection, DecisionTableInEveryRecordForm)
{
    for (Form form : kForms) {
        for (const DecisionRow &row : kDecisionTable) {
            SCOPED_TRACE(std::string(FormName(form)) + ": " + row.name);
            ScratchDir disc("disc");
            ScratchDir install("inst");
            ResetSettings(form, disc.path());
            TextCopy(Settings.AppFromCd, row.appFromCd);
            TextCopy(Settings.TarnCoursesCheck, row.tarnCourses);
            TextCopy(Settings.TarnQuennetCheck, row.tarnQuennet);
            TextCopy(Settings.PelloraCoursesCheck, row.pellora);
            Arrange(row, disc, install);
            std::unique_ptr<Record> record;
            if (row.stored != Stored::NoRecord)
                record = WriteRecord(form, StoredValues(row.stored, install.path()));

            CallLog log;
            Detect();

            EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
            EXPECT_EQ(row.programLookedFor, log.calls().programLookups > 0);
            EXPECT_EQ((row.checksRun & kRepository) != 0, log.calls().Searched("repository\\*.course"));
            EXPECT_EQ((row.checksRun & kLibrary) != 0, log.calls().Searched("lib\\quennet.jar"));
            EXPECT_EQ((row.checksRun & kCourseList) != 0, log.calls().ReadProfile("disk.ini"));
            EXPECT_TRUE(log.calls().openSearches.empty());
        }
    }
}

// ---------------------------------------------------------------------------
// The two directories afterwards.

TEST(Detection, DirectoriesAfterwards)
{
    const char kUntouched[] = "(as before)";
    const char *kAny = nullptr;
    struct Row {
        const char *name;
        Form form;
        bool record;
        std::vector<Value> values;
        const char *cdValueName;
        int installNeeded;
        const char *installDir; // kAny: whatever the failed read left
        const char *cdAppDir;
    } rows[] = {
        {"registry key missing", Form::CurrentUser, false, {}, "CdDir", 1, kUntouched, kUntouched},
        {"registry key missing, local machine", Form::LocalMachine, false, {}, "CdDir", 1, kUntouched, kUntouched},
        {"registry value missing", Form::CurrentUser, true, {{"CdDir", "E:\\"}}, "CdDir", 1, kAny, kUntouched},
        {"registry value ?", Form::CurrentUser, true, {{"InstallDir", "?"}, {"CdDir", "E:\\"}}, "CdDir", 1, kAny,
         kUntouched},
        {"INI file missing", Form::IniFile, false, {}, "CdDir", 1, kAny, kUntouched},
        {"INI key missing", Form::IniFile, true, {{"CdDir", "E:\\"}}, "CdDir", 1, kAny, kUntouched},
        {"INI key empty", Form::IniFile, true, {{"InstallDir", ""}, {"CdDir", "E:\\"}}, "CdDir", 1, kAny,
         kUntouched},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir disc("disc");
        ResetSettings(row.form, disc.path());
        TextCopy(Settings.CDValue, row.cdValueName);
        TextCopy(Settings.AppFromCd, "Y");
        TextCopy(Launcher.installDir, Wide(kUntouched).c_str());
        TextCopy(Launcher.cdAppDir, Wide(kUntouched).c_str());
        std::unique_ptr<Record> record;
        if (row.record)
            record = WriteRecord(row.form, row.values);

        Detect();

        EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
        if (row.installDir) {
            EXPECT_STREQ(row.installDir, Utf8(Launcher.installDir).c_str());
        }
        EXPECT_STREQ(row.cdAppDir, Utf8(Launcher.cdAppDir).c_str());
    }
}

// A present record: installDir always ends with one backslash, cdAppDir is
// kept as stored; a missing cdAppDir is "?" from the INI file and left as it
// was (empty at start-up) from the registry.
TEST(Detection, DirectoriesOfAPresentRecord)
{
    struct Row {
        const char *name;
        std::vector<Value> values;
        const char *cdValueName;
        const char *installDir;
        const char *cdAppDirIni;
        const char *cdAppDirRegistry;
    } rows[] = {
        {"no trailing backslash", {{"InstallDir", "D:\\Tolvane"}, {"CdDir", "E:\\Disc"}}, "CdDir", "D:\\Tolvane\\",
         "E:\\Disc", "E:\\Disc"},
        {"trailing backslash kept", {{"InstallDir", "D:\\Tolvane\\"}, {"CdDir", "E:\\Disc\\"}}, "CdDir",
         "D:\\Tolvane\\", "E:\\Disc\\", "E:\\Disc\\"},
        {"a slash is not a backslash", {{"InstallDir", "D:/Tolvane/"}, {"CdDir", "E:/Disc/"}}, "CdDir",
         "D:/Tolvane/\\", "E:/Disc/", "E:/Disc/"},
        {"cdAppDir missing", {{"InstallDir", "D:\\Tolvane"}}, "CdDir", "D:\\Tolvane\\", "?", ""},
        {"CDValue ? without an entry of that name", {{"InstallDir", "D:\\Tolvane"}, {"CdDir", "E:\\"}}, "?",
         "D:\\Tolvane\\", "?", ""},
        {"CDValue ? with an entry of that name", {{"InstallDir", "D:\\Tolvane"}, {"?", "F:\\"}}, "?",
         "D:\\Tolvane\\", "F:\\", "F:\\"},
    };
    for (Form form : kForms) {
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(FormName(form)) + ": " + row.name);
            ScratchDir disc("disc");
            ResetSettings(form, disc.path());
            TextCopy(Settings.CDValue, row.cdValueName);
            TextCopy(Settings.AppFromCd, "Y");
            std::unique_ptr<Record> record = WriteRecord(form, row.values);

            Detect();

            EXPECT_EQ(0, Launcher.installNeeded);
            EXPECT_STREQ(row.installDir, Utf8(Launcher.installDir).c_str());
            EXPECT_STREQ(form == Form::IniFile ? row.cdAppDirIni : row.cdAppDirRegistry,
                         Utf8(Launcher.cdAppDir).c_str());
        }
    }
}

// On 64-bit Windows a 64-bit installer writes the 64-bit registry view, which
// the launcher, a 32-bit program, reads only when its own view holds no
// record. On 32-bit Windows both views are one: every row holds there too.
TEST(Detection, TheRecordInEitherRegistryView)
{
    struct Row {
        const char *name;
        const char *ownDir;  // written in the program's own view; null: not
        const char *wideDir; // written in the 64-bit view; null: not
        int installNeeded;
        const char *installDir;
        const char *cdAppDir;
    } rows[] = {
        {"only in the 64-bit view", nullptr, "D:\\Wide", 0, "D:\\Wide\\", "D:\\Wide"},
        {"only in the own view", "D:\\Own", nullptr, 0, "D:\\Own\\", "D:\\Own"},
        {"in both: the own view wins", "D:\\Own", "D:\\Wide", 0, "D:\\Own\\", "D:\\Own"},
        {"in neither", nullptr, nullptr, 1, "", ""},
    };
    for (Form form : {Form::LocalMachine, Form::CurrentUser}) {
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(FormName(form)) + ": " + row.name);
            ScratchDir disc("disc");
            ResetSettings(form, disc.path());
            TextCopy(Settings.AppFromCd, "Y");
            HKEY root = form == Form::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
            std::string place = std::string("Software\\") + Settings.IniFileName;
            std::vector<std::unique_ptr<RegistryKey>> keys;
            // The 64-bit view first: on 32-bit Windows the own view's record replaces it.
            for (REGSAM view : {REGSAM(KEY_WOW64_64KEY), REGSAM(0)}) {
                const char *dir = view ? row.wideDir : row.ownDir;
                if (!dir)
                    continue;
                keys.push_back(std::make_unique<RegistryKey>(root, place, view));
                keys.push_back(std::make_unique<RegistryKey>(root, place + "\\Setup\\Settings", view));
                keys.back()->SetString("InstallDir", dir);
                keys.back()->SetString("CdDir", dir);
            }

            Detect();

            EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
            EXPECT_STREQ(row.installDir, Utf8(Launcher.installDir).c_str());
            EXPECT_STREQ(row.cdAppDir, Utf8(Launcher.cdAppDir).c_str());
            // The 64-bit view is read when the own view holds no record;
            // HKEY_CURRENT_USER\Software is one key in both views.
            bool ownHoldsIt = row.ownDir || (form == Form::CurrentUser && row.wideDir);
            bool wide = RunsUnderWow64() && !ownHoldsIt;
            EXPECT_EQ(wide ? RecordView::SixtyFour : RecordView::Own, Plan.detection.view);
        }
    }
}

// ---------------------------------------------------------------------------
// Where the record is looked for.

TEST(Detection, UseRegistryChoosesTheRecordForm)
{
    struct Row {
        const char *useRegistry;
        bool iniFile;
    } rows[] = {{"No", true}, {"N", true}, {"no", false}, {"n", false}, {"?", false}, {"", false}, {"Yes", false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("UseRegistry \"") + row.useRegistry + "\"");
        ScratchDir disc("disc");
        ResetSettings(Form::CurrentUser, disc.path());
        TextCopy(Settings.UseRegistry, row.useRegistry);
        TextCopy(Settings.AppFromCd, "Y");
        std::unique_ptr<Record> ini = WriteRecord(Form::IniFile, {{"InstallDir", "C:\\FromIni"}});
        std::unique_ptr<Record> registry = WriteRecord(Form::CurrentUser, {{"InstallDir", "C:\\FromRegistry"}});

        Detect();

        EXPECT_STREQ(row.iniFile ? "C:\\FromIni\\" : "C:\\FromRegistry\\", Utf8(Launcher.installDir).c_str());
    }
}

TEST(Detection, RegTopKeyChoosesTheRegistryRoot)
{
    struct Row {
        const char *regTopKey;
        bool currentUser;
    } rows[] = {
        {"C", true}, {"CURRENT_USER", true}, {"HKEY_CURRENT_USER", false}, {"c", false}, {"?", false}, {"", false},
        {"HKEY_LOCAL_MACHINE", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("RegTopKey \"") + row.regTopKey + "\"");
        ScratchDir disc("disc");
        ResetSettings(Form::CurrentUser, disc.path());
        TextCopy(Settings.RegTopKey, row.regTopKey);
        TextCopy(Settings.AppFromCd, "Y");
        std::unique_ptr<Record> user = WriteRecord(Form::CurrentUser, {{"InstallDir", "C:\\FromUser"}});
        std::unique_ptr<Record> machine = WriteRecord(Form::LocalMachine, {{"InstallDir", "C:\\FromMachine"}});

        Detect();

        EXPECT_STREQ(row.currentUser ? "C:\\FromUser\\" : "C:\\FromMachine\\", Utf8(Launcher.installDir).c_str());
    }
}

TEST(Detection, TheRegistryRecordIsUnderItsSettingsKey)
{
    // The record's two name parts and "Settings" make the key; values right
    // under the section's key are not the record.
    ScratchDir disc("disc");
    ScratchDir install("inst");
    ResetSettings(Form::CurrentUser, disc.path());
    Touch(install, "app.exe");
    RegistryKey top(HKEY_CURRENT_USER, std::string("Software\\") + Settings.IniFileName);
    RegistryKey section(HKEY_CURRENT_USER, std::string("Software\\") + Settings.IniFileName + "\\Setup");
    section.SetString("InstallDir", install.path());

    Detect();
    EXPECT_EQ(1, Launcher.installNeeded);

    RegistryKey settings(HKEY_CURRENT_USER, std::string("Software\\") + Settings.IniFileName + "\\Setup\\Settings");
    settings.SetString("InstallDir", install.path());
    Detect();
    EXPECT_EQ(0, Launcher.installNeeded);
}

// ---------------------------------------------------------------------------
// The program file.

TEST(Detection, TheProgramFileIsLookedForInTheInstallationDirectoryAlone)
{
    struct Row {
        const char *name;
        const char *applicationName;
        bool inInstallDir;
        bool inDisc; // also the current directory
        int installNeeded;
    } rows[] = {
        {"in the installation directory", "app.exe", true, false, 0},
        {"only on the disc, the current directory", "app.exe", false, true, 1},
        {"a system program on the search path", "notepad.exe", false, false, 1},
    };
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir disc("disc");
        ScratchDir install("inst");
        ResetSettings(Form::CurrentUser, disc.path());
        TextCopy(Settings.ApplicationName, row.applicationName);
        if (row.inInstallDir)
            Touch(install, row.applicationName);
        if (row.inDisc)
            Touch(disc, row.applicationName);
        std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {{"InstallDir", install.path()}});
        SetCurrentDirectoryA(disc.path().c_str());

        Detect();
        SetCurrentDirectoryA(previous);

        EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
    }
}

TEST(Detection, AProgramPathLongerThanTheResultBufferStillCounts)
{
    for (size_t length : {100u, 119u, 120u, 150u, 200u}) {
        SCOPED_TRACE("program path of " + std::to_string(length) + " characters");
        ScratchDir disc("disc");
        ScratchDir install("inst");
        ResetSettings(Form::CurrentUser, disc.path());
        // Real folders, so the path the platform finds has this length.
        std::string name = "app.exe";
        std::string dir = install.path();
        ASSERT_LT(dir.size() + name.size(), length);
        size_t remaining = length - dir.size() - name.size();
        while (remaining > 0) {
            if (remaining == 1) {
                name = "x" + name;
                break;
            }
            size_t part = remaining > 60 ? 50 : remaining; // with its backslash
            dir += std::string(part - 1, 'd') + "\\";
            remaining -= part;
        }
        ASSERT_EQ(length, dir.size() + name.size());
        TextCopy(Settings.ApplicationName, name.c_str());
        install.MakeDir(dir.substr(install.path().size()));
        WriteTextFile(dir + name, "x");
        std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {{"InstallDir", dir}});

        Detect();

        EXPECT_EQ(0, Launcher.installNeeded);
    }
}

// ---------------------------------------------------------------------------
// The content checks in detail.

// Three course files on the disc: each is probed in the installation, also
// after one was found missing, and no search handle is left open.
TEST(Detection, EveryCourseFileIsProbedAlsoAfterAMiss)
{
    const char *courses[] = {"alpha.course", "beta.course", "gamma.course"};
    struct Row {
        const char *missing; // nullptr: all installed
        int installNeeded;
    } rows[] = {{"alpha.course", 1}, {"beta.course", 1}, {"gamma.course", 1}, {nullptr, 0}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.missing ? std::string("missing ") + row.missing : std::string("none missing"));
        ScratchDir disc("disc");
        ScratchDir install("inst");
        ResetSettings(Form::CurrentUser, disc.path());
        TextCopy(Settings.TarnCoursesCheck, "Y");
        Touch(install, "app.exe");
        install.MakeDir("repository");
        for (const char *course : courses) {
            Touch(disc, std::string("repository\\") + course);
            if (!row.missing || strcmp(course, row.missing) != 0)
                Touch(install, std::string("repository\\") + course);
        }
        std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {{"InstallDir", install.path()}});

        CallLog log;
        Detect();

        EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
        for (const char *course : courses)
            EXPECT_EQ(1, std::count(log.calls().searched.begin(), log.calls().searched.end(),
                                    install.path() + "repository\\" + course))
                << course;
        EXPECT_TRUE(log.calls().openSearches.empty());
    }
}

// A disc in a folder, an installation in another and a course file, all
// named with letters that no single code page holds, the installation
// recorded in UTF-16 as installers record folders: found with every letter.
TEST(Detection, FoldersOfAnyNameInEveryRecordForm)
{
    const std::string anyLetters = "Диск 光盘";
    for (Form form : kForms) {
        SCOPED_TRACE(FormName(form));
        ScratchDir disc("disc");
        ScratchDir install("inst");
        std::string discDir = disc.MakeDir(anyLetters) + "\\";
        std::string installDir = install.MakeDir(anyLetters) + "\\";
        ResetSettings(form, discDir);
        TextCopy(Settings.TarnCoursesCheck, "Y");
        Touch(install, anyLetters + "\\app.exe");
        Touch(disc, anyLetters + "\\repository\\урок 课.course");
        Touch(install, anyLetters + "\\repository\\урок 课.course");
        std::unique_ptr<Record> record = WriteRecord(form, {{"InstallDir", installDir}}, true);

        Detect();

        EXPECT_EQ(0, Launcher.installNeeded);
        EXPECT_EQ(installDir, Utf8(Launcher.installDir));
        EXPECT_EQ(ContentCheck::Passed, Plan.detection.courseFiles);
    }
}

TEST(Detection, AnInstalledCourseMayBeAFolder)
{
    ScratchDir disc("disc");
    ScratchDir install("inst");
    ResetSettings(Form::CurrentUser, disc.path());
    TextCopy(Settings.TarnCoursesCheck, "Y");
    Touch(install, "app.exe");
    Touch(disc, "repository\\alpha.course");
    install.MakeDir("repository\\alpha.course");
    std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {{"InstallDir", install.path()}});

    Detect();

    EXPECT_EQ(0, Launcher.installNeeded);
}

TEST(Detection, CourseListWalk)
{
    struct Row {
        const char *name;
        const char *courseList;
        const char *installedList;
        int installNeeded;
    } rows[] = {
        {"every name found", "alpha,beta", "beta,alpha", 0},
        {"a blank after a comma belongs to the next name", "alpha, beta", "alpha,beta", 1},
        {"the blank must be installed too", "alpha, beta", "alpha, beta", 0},
        {"two commas in a row", "alpha,,beta", "alpha,beta", 0},
        {"a trailing comma", "alpha,beta,", "alpha,beta", 0},
        {"a leading comma", ",alpha", "alpha", 0},
        {"commas only", ",,", "alpha", 0},
        {"a name inside a longer installed name", "pha", "alphabet", 0},
        {"a name spanning the installed list's comma", "a,b", "xa,by", 0},
        {"other letter case", "Alpha", "alpha", 1},
        {"the first name missing", "gamma,alpha", "alpha", 1},
        {"the last name missing", "alpha,gamma", "alpha", 1},
        {"a single name", "alpha", "alpha", 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir disc("disc");
        ScratchDir install("inst");
        ResetSettings(Form::CurrentUser, disc.path());
        TextCopy(Settings.PelloraCoursesCheck, "Y");
        Touch(install, "app.exe");
        disc.Write("disk.ini", std::string("[course]\r\nname=") + row.courseList + "\r\n");
        install.Write("pellora.ini", std::string("[courses]\r\ninstalled=") + row.installedList + "\r\n");
        std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {{"InstallDir", install.path()}});

        Detect();

        EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
    }
}

// ---------------------------------------------------------------------------
// Values that are not plain text of a fitting length.

// Writes raw bytes as a registry value. The byte after the data is never
// NUL, so the registry does not quietly add a terminator.
void SetRawValue(const RegistryKey &key, const char *name, const std::string &bytes, DWORD type)
{
    std::string data = bytes + "X";
    key.SetBytes(name, data.data(), static_cast<DWORD>(bytes.size()), type);
}

DWORD StoredSize(Form form, const char *name)
{
    HKEY root = form == Form::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    std::string path = std::string("Software\\") + Settings.IniFileName + "\\" + Settings.SectionName + "\\Settings";
    HKEY key;
    DWORD size = 0;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
        RegCloseKey(key);
    }
    return size;
}

TEST(Detection, OnlyTextValuesAreRead)
{
    struct Row {
        const char *name;
        DWORD type;
        bool read;
    } rows[] = {
        {"REG_SZ", REG_SZ, true},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, true},
        {"REG_MULTI_SZ", REG_MULTI_SZ, false},
        {"REG_BINARY", REG_BINARY, false},
        {"REG_DWORD", REG_DWORD, false},
        {"REG_NONE", REG_NONE, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir disc("disc");
        ScratchDir install("inst");
        ResetSettings(Form::CurrentUser, disc.path());
        Touch(install, "app.exe");
        std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {});
        // The same bytes each time: a directory that holds the program.
        std::string text = install.path() + std::string(1, '\0') + std::string(1, '\0');
        record->key().SetBytes("InstallDir", text.data(), static_cast<DWORD>(text.size()), row.type);
        record->key().SetBytes("CdDir", "E:\\\0", 4, row.type);

        Detect();

        EXPECT_EQ(row.read ? 0 : 1, Launcher.installNeeded);
        if (row.read) {
            EXPECT_EQ(install.path(), Utf8(Launcher.installDir));
            EXPECT_STREQ("E:\\", Utf8(Launcher.cdAppDir).c_str());
        }
    }
}

TEST(Detection, ACdDirectoryOfAnotherTypeIsLeftAsItWas)
{
    ScratchDir disc("disc");
    ScratchDir install("inst");
    ResetSettings(Form::CurrentUser, disc.path());
    Touch(install, "app.exe");
    std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {{"InstallDir", install.path()}});
    record->key().SetBytes("CdDir", "E:\\\0", 4, REG_BINARY);

    Detect();

    EXPECT_EQ(0, Launcher.installNeeded);
    EXPECT_STREQ("", Utf8(Launcher.cdAppDir).c_str());
}

TEST(Detection, AValueWithoutItsTerminatorIsEndedWhereItsDataEnds)
{
    ScratchDir disc("disc");
    ScratchDir install("inst");
    ResetSettings(Form::CurrentUser, disc.path());
    Touch(install, "app.exe");
    std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {});
    std::string dir = install.path();
    dir.pop_back(); // also the backslash is added
    SetRawValue(record->key(), "InstallDir", dir, REG_SZ);
    SetRawValue(record->key(), "CdDir", "E:\\Disc", REG_SZ);
    ASSERT_EQ(dir.size(), StoredSize(Form::CurrentUser, "InstallDir")) << "stored with a terminator after all";

    Detect();

    EXPECT_EQ(0, Launcher.installNeeded);
    EXPECT_EQ(install.path(), Utf8(Launcher.installDir));
    EXPECT_STREQ("E:\\Disc", Utf8(Launcher.cdAppDir).c_str());
}

// The registry form reads at most 256 bytes: 255 characters and the
// terminator. A directory of 255 characters that ends with a backslash is
// usable; one more byte, with or without a terminator, and the value is not.
TEST(Detection, RegistryValuesOfTheBufferLimit)
{
    struct Row {
        const char *name;
        size_t characters; // of the stored text, a usable directory in its first 255
        bool terminated;
        int installNeeded;
    } rows[] = {
        {"255 characters and a terminator", 255, true, 0},
        {"256 characters without a terminator", 256, false, 1},
        {"256 characters and a terminator", 256, true, 1},
        {"300 characters", 300, true, 1},
        {"254 characters without a terminator", 254, false, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir disc("disc");
        ScratchDir install("inst");
        ResetSettings(Form::CurrentUser, disc.path());
        TextCopy(Settings.ApplicationName, "a");
        Touch(install, "a");
        std::string usable = PaddedDir(install.path(), std::min<size_t>(row.characters, 255));
        std::string text = usable + std::string(row.characters - usable.size(), 'z');
        std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {});
        if (row.terminated)
            record->key().SetString("InstallDir", text);
        else
            SetRawValue(record->key(), "InstallDir", text, REG_SZ);
        ASSERT_EQ(text.size() + (row.terminated ? 1 : 0), StoredSize(Form::CurrentUser, "InstallDir"));

        Detect();

        EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
        if (row.installNeeded == 0) {
            EXPECT_EQ(usable, Utf8(Launcher.installDir));
        }
    }
}

TEST(Detection, ACdDirectoryTooLongIsLeftAsItWas)
{
    ScratchDir disc("disc");
    ScratchDir install("inst");
    ResetSettings(Form::CurrentUser, disc.path());
    Touch(install, "app.exe");
    std::unique_ptr<Record> record =
        WriteRecord(Form::CurrentUser, {{"InstallDir", install.path()}, {"CdDir", "E:\\" + std::string(297, 'c')}});

    Detect();

    EXPECT_EQ(0, Launcher.installNeeded);
    EXPECT_STREQ("", Utf8(Launcher.cdAppDir).c_str());
}

// The INI reader cuts a long value to 255 characters, and that text is used.
TEST(Detection, IniValuesAreCutTo255Characters)
{
    ScratchDir disc("disc");
    ScratchDir install("inst");
    ResetSettings(Form::IniFile, disc.path());
    TextCopy(Settings.ApplicationName, "a");
    Touch(install, "a");
    std::string usable = PaddedDir(install.path(), 255);
    std::unique_ptr<Record> record =
        WriteRecord(Form::IniFile, {{"InstallDir", usable + "zzzz"}, {"CdDir", std::string(300, 'c')}});

    Detect();

    EXPECT_EQ(0, Launcher.installNeeded);
    EXPECT_EQ(usable, Utf8(Launcher.installDir));
    EXPECT_EQ(std::string(255, 'c'), Utf8(Launcher.cdAppDir));
}

// A directory of 255 characters fills its buffer: there is no room for the
// backslash, so it cannot be joined with anything and counts as absent.
TEST(Detection, AFullInstallationDirectoryWithoutBackslashCountsAsAbsent)
{
    for (Form form : kForms) {
        SCOPED_TRACE(FormName(form));
        ScratchDir disc("disc");
        ScratchDir install("inst");
        ResetSettings(form, disc.path());
        TextCopy(Settings.ApplicationName, "a");
        TextCopy(Settings.AppFromCd, "Y");
        Touch(install, "a");
        // Ends with "." naming the same folder: usable if it were joined.
        std::string dir = PaddedDir(install.path(), 254) + ".";
        ASSERT_EQ(255u, dir.size());
        std::unique_ptr<Record> record = WriteRecord(form, {{"InstallDir", dir}});
        const char kAfter[] = "(cdAppDir as it was)";
        TextCopy(Launcher.cdAppDir, Wide(kAfter).c_str());

        Detect();

        EXPECT_EQ(1, Launcher.installNeeded);
        EXPECT_EQ(dir, Utf8(Launcher.installDir));
        // Nothing was written past installDir into the field after it.
        EXPECT_STREQ(form == Form::IniFile ? "?" : kAfter, Utf8(Launcher.cdAppDir).c_str());
    }
}

// A name of length characters made of one letter, unique to this process.
std::string LongName(size_t length)
{
    std::string name = UniqueName("V");
    return name + std::string(length - name.size(), 'r');
}

// A record path that does not fit its 255 characters is not looked for,
// also where a record sits at the name cut to fit.
TEST(Detection, ARecordPathThatDoesNotFitIsAbsent)
{
    ScratchDir disc("disc");
    ScratchDir install("inst");
    Touch(install, "app.exe");

    {
        SCOPED_TRACE("registry");
        // "Software\" + name + "\Setup\Settings": 255 characters with a name of 231.
        struct Row {
            size_t nameLength;
            bool wholeKey; // false: too long for the registry to create (Wine takes at most 260)
        } rows[] = {{231, true}, {232, true}, {236, true}, {240, false}};
        for (const Row &row : rows) {
            SCOPED_TRACE("name of " + std::to_string(row.nameLength));
            ResetSettings(Form::CurrentUser, disc.path());
            std::string name = LongName(row.nameLength);
            TextCopy(Settings.IniFileName, name.c_str());
            std::string full = "Software\\" + name + "\\Setup\\Settings";
            RegistryKey top(HKEY_CURRENT_USER, "Software\\" + name);
            // The key at the cut name first: it may be the record key's parent.
            std::unique_ptr<RegistryKey> cut;
            if (full.size() > 255) {
                cut = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, full.substr(0, 255));
                cut->SetString("InstallDir", install.path());
            }
            std::unique_ptr<RegistryKey> record;
            if (row.wholeKey) {
                record = std::make_unique<RegistryKey>(HKEY_CURRENT_USER, full);
                record->SetString("InstallDir", install.path());
            }

            Detect();

            EXPECT_EQ(full.size() <= 255 ? 0 : 1, Launcher.installNeeded);
        }
    }
    {
        SCOPED_TRACE("INI file");
        // The whole path fits with a name of this length.
        size_t fits = 255 - WindowsDir().size() - 1;
        for (size_t nameLength : {fits, fits + 1, fits + 6}) {
            SCOPED_TRACE("name of " + std::to_string(nameLength));
            ResetSettings(Form::IniFile, disc.path());
            std::string name = LongName(nameLength);
            TextCopy(Settings.IniFileName, name.c_str());
            // A longer name does not fit a path at all: only its cut form exists.
            WindowsFile file(name.substr(0, fits), "[Setup]\r\nInstallDir=" + install.path() + "\r\n");

            Detect();

            EXPECT_EQ(nameLength == fits ? 0 : 1, Launcher.installNeeded);
        }
    }
}

// What GetWindowsDirectoryW reports in the next test, and the text it
// leaves in the buffer: the real Windows directory, as stale contents might.
UINT windowsDirResult;
std::wstring windowsDirText;

UINT WINAPI UnobtainableWindowsDir(LPWSTR buffer, UINT size)
{
    TextCopy(buffer, size, windowsDirText.c_str());
    return windowsDirResult;
}

// Without a Windows directory there is no INI record: a failed call, or one
// that reports a longer directory than its buffer holds and so filled nothing.
TEST(Detection, WithoutTheWindowsDirectoryTheIniRecordIsAbsent)
{
    struct Row {
        const char *name;
        UINT result;
        int installNeeded;
    } rows[] = {
        {"the directory", static_cast<UINT>(WindowsDir().size()), 0},
        {"failed", 0, 1},
        {"longer than the buffer", 300, 1},
        {"exactly the buffer", 260, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir disc("disc");
        ScratchDir install("inst");
        ResetSettings(Form::IniFile, disc.path());
        Touch(install, "app.exe");
        std::unique_ptr<Record> record = WriteRecord(Form::IniFile, {{"InstallDir", install.path()}});
        windowsDirResult = row.result;
        windowsDirText = Wide(WindowsDir());

        {
            ImportPatch unobtainable("GetWindowsDirectoryW", &UnobtainableWindowsDir);
            Detect();
        }

        EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
    }
}

// Content-check paths hold 259 characters. A path that would be longer
// fails its check: a path cut to fit would name another file, and such a
// file is placed at each cut name here.
TEST(Detection, ContentPathsThatDoNotFitFailTheirCheck)
{
    struct Row {
        const char *name;
        size_t moduleDirLength;  // 0: the disc folder as it is
        size_t installDirLength; // 0: the installation folder as it is
        const char *tarnCourses;
        const char *tarnQuennet;
        const char *pellora;
        const char *discCourse; // nullptr: no repository on the disc
        const char *decoy;      // file of the installation at the cut name; nullptr: none
        const char *discDecoy;  // file of the disc at the cut name
        int installNeeded;
    } rows[] = {
        {"search pattern of 259", 240, 0, "Y", "?", "?", "a.course", nullptr, nullptr, 0},
        {"search pattern of 260", 241, 0, "Y", "?", "?", "a.course", nullptr, nullptr, 1},
        // Without courses on the disc the base is never joined with a name.
        {"repository base of 259", 0, 248, "Y", "?", "?", nullptr, nullptr, nullptr, 0},
        {"repository base of 260", 0, 249, "Y", "?", "?", nullptr, nullptr, nullptr, 1},
        {"course probe of 259", 0, 240, "Y", "?", "?", "a.course", nullptr, nullptr, 0},
        {"course probe of 260", 0, 240, "Y", "?", "?", "ab.course", "repository\\ab.cours", nullptr, 1},
        {"library probe of 259", 0, 244, "Y", "Y", "?", nullptr, nullptr, nullptr, 0},
        {"library probe of 263", 0, 248, "Y", "Y", "?", nullptr, "lib\\quennet", nullptr, 1},
        {"disk.ini path of 259", 251, 0, "?", "?", "Y", nullptr, nullptr, nullptr, 0},
        {"disk.ini path of 260", 252, 0, "?", "?", "Y", nullptr, nullptr, "disk.in", 1},
        {"pellora.ini path of 259", 0, 248, "?", "?", "Y", nullptr, nullptr, nullptr, 0},
        {"pellora.ini path of 260", 0, 249, "?", "?", "Y", nullptr, "pellora.in", nullptr, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir disc("disc");
        ScratchDir install("inst");
        std::string moduleDir = row.moduleDirLength ? PaddedDir(disc.path(), row.moduleDirLength) : disc.path();
        std::string installDir =
            row.installDirLength ? PaddedDir(install.path(), row.installDirLength) : install.path();
        ResetSettings(Form::CurrentUser, moduleDir);
        ASSERT_EQ(moduleDir, Utf8(Launcher.moduleDir));
        TextCopy(Settings.ApplicationName, "a");
        TextCopy(Settings.TarnCoursesCheck, row.tarnCourses);
        TextCopy(Settings.TarnQuennetCheck, row.tarnQuennet);
        TextCopy(Settings.PelloraCoursesCheck, row.pellora);
        Touch(install, "a");
        if (row.discCourse) {
            Touch(disc, std::string("repository\\") + row.discCourse);
            Touch(install, std::string("repository\\") + row.discCourse);
        }
        Touch(install, "lib\\quennet.jar");
        disc.Write("disk.ini", "[course]\r\nname=alpha\r\n");
        install.Write("pellora.ini", "[courses]\r\ninstalled=alpha\r\n");
        if (row.decoy)
            install.Write(row.decoy, "[courses]\r\ninstalled=alpha\r\n");
        if (row.discDecoy)
            disc.Write(row.discDecoy, "[course]\r\nname=alpha\r\n");
        std::unique_ptr<Record> record = WriteRecord(Form::CurrentUser, {{"InstallDir", installDir}});

        CallLog log;
        Detect();

        EXPECT_EQ(row.installNeeded, Launcher.installNeeded);
        EXPECT_EQ(installDir, Utf8(Launcher.installDir));
        EXPECT_TRUE(log.calls().openSearches.empty());
    }
}

} // namespace
