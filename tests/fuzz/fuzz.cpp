// The fuzz campaign (scripts/fuzz runs it under Wine; the test run runs a
// short one):
//
//   fuzz.exe [CASES] [SEED] [--from N] [--case N] [--keep FOLDER]
//
// Generates CASES inputs (default 200) from SEED (default a fixed one, so a
// run can be repeated), numbered from N with --from (default 0), across four
// classes: the configuration file, the installation record and edition
// values in the registry, the disc's content and course lists, and the
// picture and sound files. Runs the real launcher.exe on each, one at a time
// with a time limit, closes what it shows, and sorts the run: ended normally
// (0 or -1), crashed, hung, or wrote something other than the two empty
// vendor keys (to the registry or to the disc's folder). Prints a table,
// writes a reproducer for every failure into the FOLDER given with --keep
// (default: fuzz-failures beside fuzz.exe), and exits 1 when there was one.
// --case N runs the case of that number alone.
#include "tests/support/e2e.h"
#include "tests/support/random.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <map>
#include <string>
#include <vector>

namespace {

const char kRecordName[] = "VeskFuzz";
const char kEditionKey[] = "SOFTWARE\\Quillmoor\\Tolvane\\Settings";

// One generated case: the disc's files, the machine's registry values and
// files, and a name for its class.
struct Case {
    const char *kind = "";
    std::map<std::string, std::string> discFiles;      // relative to the disc's root
    std::map<std::string, std::string> installedFiles; // relative to the installation folder
    struct Value {
        HKEY root;
        std::string key, name, data;
        DWORD type;
    };
    std::vector<Value> values;  // "%INSTALL%" in data stands for the installation folder
    std::string windowsIniFile; // the record's INI file in the Windows folder, when used
    std::string windowsIniText;
};

std::string Ini(const std::map<std::string, std::map<std::string, std::string>> &sections)
{
    std::string text;
    for (const auto &section : sections) {
        text += "[" + section.first + "]\r\n";
        for (const auto &key : section.second)
            text += key.first + "=" + key.second + "\r\n";
    }
    return text;
}

const std::vector<std::string> kFlags = {"Y", "N", "Yes", "y", "1", "", "?", "Yo", "No", "C", "CURRENT"};

// A configuration that reads: every key, with values the launcher may meet.
std::map<std::string, std::map<std::string, std::string>> BaseConfig(Random &r)
{
    return {
        {"Window",
         {{"Title", r.Chance(80) ? "Tolvane Premium" : r.Text(r.Length())},
          {"Bitmap", r.Chance(70) ? "back.bmp" : r.Text(r.Length())},
          {"Audio", r.Chance(70) ? "sound.wav" : r.Text(r.Length())},
          {"Language", r.Pick<std::string>({"E", "R", "G", "F", "I", "D", "r", "?", "", "Russian"})},
          {"DemoMovie", r.Chance(50) ? "intro.exe /x" : r.Text(r.Length())},
          {"WrongCD", r.Pick(kFlags)},
          {"DemoTitle", r.Chance(70) ? "Tolvane Starter Edition" : r.Text(r.Length())},
          {"PremiumTitle", r.Chance(70) ? "Tolvane Premium" : r.Text(r.Length())},
          {"BitmapText", r.Chance(50) ? "Tolvane is installed." : r.Text(r.Length())}}},
        {"Program",
         {{"Application name", r.Chance(80) ? "app.exe" : r.Text(r.Length())},
          {"Installer", r.Chance(80) ? "setup.exe /S" : r.Text(r.Length())},
          {"AppWindowClass", r.Pick<std::string>({"VeskFuzzNoSuchClass", "", "?", r.Text(r.Length())})},
          {"AppToFront", r.Pick(kFlags)},
          {"AppFromCd", r.Pick(kFlags)},
          {"RunImmediately", r.Chance(80) ? "N" : r.Pick(kFlags)},
          {"bothTypes", r.Pick<std::string>({"0", "1", "yes", "-1", "99999999999", ""})}}},
        {"RegIni",
         {{"Ini file name", r.Chance(85) ? kRecordName : r.Text(r.Length())},
          {"Section name", r.Chance(85) ? "S" : r.Text(r.Length())},
          {"Key install dir", r.Chance(85) ? "InstallDir" : r.Text(r.Length())},
          {"CDValue", r.Chance(85) ? "CDDir" : r.Text(r.Length())},
          {"UseRegistry", r.Chance(70) ? "Y" : r.Pick(kFlags)},
          {"RegTopKey", r.Chance(70) ? "C" : r.Pick(kFlags)},
          {"TarnCoursesCheck", r.Pick(kFlags)},
          {"TarnQuennetCheck", r.Pick(kFlags)},
          {"PelloraCoursesCheck", r.Pick(kFlags)}}},
    };
}

// The record the base configuration names, pointing at the installation.
void InstalledRecord(Random &r, Case &c)
{
    HKEY root = r.Chance(80) ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    std::string key = std::string("Software\\") + kRecordName + "\\S\\Settings";
    c.values.push_back({root, key, "InstallDir", "%INSTALL%", REG_SZ});
    c.installedFiles["app.exe"] = "MZ";
    c.windowsIniFile = std::string(kRecordName);
    c.windowsIniText = "[S]\r\nInstallDir=%INSTALL%\r\nCDDir=C:\\\r\n";
}

std::string Bitmap(Random &r)
{
    std::string bmp = BmpHeaders(static_cast<int>(r.Below(400)) + 1, static_cast<int>(r.Below(200)) + 1);
    bmp += r.Bytes(r.Below(20000));
    // Headers that lie: sizes, depths, compressions, offsets.
    for (int i = 0, n = static_cast<int>(r.Below(6)); i < n; ++i)
        bmp[r.Below(54)] = static_cast<char>(r.Next());
    if (r.Chance(20))
        bmp.resize(r.Below(bmp.size()));
    return bmp;
}

std::string Sound(Random &r)
{
    std::string wav = "RIFF" + r.Bytes(4) + "WAVEfmt " + r.Bytes(r.Below(64)) + "data" + r.Bytes(r.Below(4000));
    return r.Chance(20) ? r.Bytes(r.Below(2000)) : wav;
}

Case Generate(uint64_t seed, uint64_t index)
{
    Random r(seed * 0x100000001B3ull + index);
    Case c;
    auto config = BaseConfig(r);
    c.discFiles["back.bmp"] = BmpFile(4, 4, [](int, int) { return RGB(1, 2, 3); });
    c.discFiles["sound.wav"] = Sound(r);
    if (r.Chance(60))
        InstalledRecord(r, c);

    switch (index % 4) {
    case 0: {
        c.kind = "configuration";
        for (auto &section : config) {
            for (auto &key : section.second) {
                if (r.Chance(10))
                    key.second = r.Text(r.Length());
                else if (r.Chance(5))
                    key.second = "%s%n%x%p%08x%s";
            }
        }
        if (r.Chance(20))
            config["Window"].erase(r.Chance(50) ? "Title" : "Bitmap");
        if (r.Chance(10))
            config[r.Text(r.Below(40))][r.Text(r.Below(40))] = r.Text(r.Length());
        std::string text = Ini(config);
        if (r.Chance(15)) {
            // UTF-16 with its byte-order mark, as Notepad may save it.
            std::string wide = "\xFF\xFE";
            for (char ch : text)
                wide += std::string{ch, '\0'};
            text = wide;
        } else if (r.Chance(10)) {
            text = r.Bytes(r.Below(70000));
        } else if (r.Chance(10)) {
            for (int i = 0; i < 2000; ++i)
                text += r.Text(r.Below(80)) + "\r\n";
        }
        c.discFiles["VESK.INI"] = text;
        return c;
    }
    case 1: {
        c.kind = "record";
        static const std::vector<DWORD> types = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD,
                                                 REG_NONE, REG_QWORD};
        for (const char *name : {"InstallDir", "CDDir"}) {
            std::string data = r.Chance(50) ? "%INSTALL%" : r.Bytes(r.Length());
            if (r.Chance(30))
                data += std::string(1, '\0');
            c.values.push_back({r.Chance(70) ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                                std::string("Software\\") + kRecordName + "\\S\\Settings", name, data, r.Pick(types)});
        }
        for (const char *edition : {"Demo", "Launcher", "Simple", "Base", "Premium"}) {
            if (r.Chance(30))
                c.values.push_back({HKEY_CURRENT_USER, kEditionKey, edition, r.Bytes(r.Length()), r.Pick(types)});
        }
        c.windowsIniFile = kRecordName;
        c.windowsIniText = "[S]\r\nInstallDir=" + (r.Chance(50) ? std::string("%INSTALL%") : r.Text(r.Length())) +
                           "\r\nCDDir=" + r.Text(r.Length()) + "\r\n";
        break;
    }
    case 2: {
        c.kind = "content";
        InstalledRecord(r, c);
        config["RegIni"]["TarnCoursesCheck"] = r.Pick<std::string>({"Y", "N", "Y"});
        config["RegIni"]["TarnQuennetCheck"] = r.Pick(kFlags);
        config["RegIni"]["PelloraCoursesCheck"] = r.Pick(kFlags);
        size_t courses = r.Chance(10) ? 2000 + r.Below(1000) : r.Below(20);
        for (size_t i = 0; i < courses; ++i) {
            std::string name = r.Chance(80) ? "c" + std::to_string(i) : r.Text(1 + r.Below(150));
            for (char &ch : name) {
                if (strchr("\\/:*?\"<>|", ch) || static_cast<unsigned char>(ch) < 32)
                    ch = '_';
            }
            c.discFiles["repository\\" + name + ".course"] = "";
            if (r.Chance(90))
                c.installedFiles["repository\\" + name + ".course"] = "";
        }
        if (r.Chance(50))
            c.installedFiles["lib\\quennet.jar"] = "";
        std::string list;
        for (size_t i = 0, n = r.Below(300); i < n; ++i)
            list += r.Pick<std::string>({",", ", ", ",,", "c" + std::to_string(i), r.Text(r.Below(8))});
        c.discFiles["disk.ini"] = "[course]\r\nname=" + list + "\r\n";
        c.installedFiles["pellora.ini"] = "[courses]\r\ninstalled=" + (r.Chance(50) ? list : r.Text(r.Length())) + "\r\n";
        break;
    }
    default:
        c.kind = "picture and sound";
        config["Window"]["Bitmap"] = "back.bmp";
        config["Window"]["Audio"] = "sound.wav";
        config["Program"]["bothTypes"] = r.Pick<std::string>({"0", "1"});
        c.discFiles["back.bmp"] = Bitmap(r);
        break;
    }
    c.discFiles["VESK.INI"] = Ini(config);
    return c;
}

std::string Replace(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Everything a case puts on the machine, removed when it goes.
class Machine {
public:
    Machine(const Case &c, const std::string &install) : iniFile_(WindowsDir() + "\\" + c.windowsIniFile)
    {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            DeleteKeyTree(root, std::string("Software\\") + kRecordName);
        DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Quillmoor\\Tolvane");
        for (const Case::Value &v : c.values) {
            HKEY key;
            if (RegCreateKeyExA(v.root, v.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
                ERROR_SUCCESS)
                continue;
            std::string data = Replace(v.data, "%INSTALL%", install);
            if (v.data == "%INSTALL%")
                data += '\0';
            RegSetValueExA(key, v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE *>(data.data()),
                           static_cast<DWORD>(data.size()));
            RegCloseKey(key);
        }
        if (!c.windowsIniFile.empty())
            WriteTextFile(iniFile_, Replace(c.windowsIniText, "%INSTALL%", install));
    }
    ~Machine()
    {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            DeleteKeyTree(root, std::string("Software\\") + kRecordName);
        DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Quillmoor\\Tolvane");
        DeleteFileA(iniFile_.c_str());
    }
    Machine(const Machine &) = delete;
    Machine &operator=(const Machine &) = delete;

private:
    std::string iniFile_;
};

void WriteFiles(const std::string &folder, const std::map<std::string, std::string> &files)
{
    for (const auto &file : files) {
        std::string path = folder + file.first;
        MakeDirs(path.substr(0, path.find_last_of('\\')));
        HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            continue; // a name the file system refuses is no case
        DWORD written;
        WriteFile(out, file.second.data(), static_cast<DWORD>(file.second.size()), &written, nullptr);
        CloseHandle(out);
    }
}

// Tells whether anything below a key changed while it was armed.
class RegistryWatch {
public:
    RegistryWatch(HKEY root, const char *subKey) : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        RegOpenKeyExA(root, subKey, 0, KEY_NOTIFY, &key_);
        RegNotifyChangeKeyValue(key_, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event_, TRUE);
    }
    ~RegistryWatch()
    {
        RegCloseKey(key_);
        CloseHandle(event_);
    }
    RegistryWatch(const RegistryWatch &) = delete;
    RegistryWatch &operator=(const RegistryWatch &) = delete;
    bool Changed() const { return WaitForSingleObject(event_, 0) == WAIT_OBJECT_0; }

private:
    HANDLE event_;
    HKEY key_ = nullptr;
};

bool VendorKeyEmpty(HKEY root)
{
    HKEY key;
    if (RegOpenKeyExA(root, "SOFTWARE\\Quillmoor", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD subKeys = 0, values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return subKeys == 0 && values == 0;
}

void EnsureVendorKey(HKEY root)
{
    HKEY key;
    if (RegCreateKeyExA(root, "SOFTWARE\\Quillmoor", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
}

enum Outcome { Normal, Crashed, Hung, Wrote, OutcomeCount };
const char *const kOutcomeNames[] = {"ended normally", "crashed", "hung", "wrote"};

struct Result {
    Outcome outcome;
    std::string detail;
};

// Runs the launcher on a case, answering what it shows, within a time limit.
Result Run(const Case &c)
{
    Disc disc; // sets the vendor's keys aside for the run and puts them back
    ScratchDir installation("fuzzinst");
    WriteFiles(disc.root(), c.discFiles);
    WriteFiles(installation.path(), c.installedFiles);
    Machine machine(c, installation.path());
    // The two empty vendor keys are the launcher's only trace: made first, so
    // that creating them again changes nothing a watch would see.
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        EnsureVendorKey(root);
    bool edition = false;
    for (const Case::Value &v : c.values)
        edition = edition || v.key == kEditionKey;
    std::string before = FolderListing(disc.root()) + FolderListing(installation.path());

    Result result{Normal, ""};
    DWORD code = STILL_ACTIVE;
    {
        // The whole of the user's registry, and the machine's software. Not
        // the machine's System and Hardware keys: Wine's display and sound
        // drivers record their devices there whenever a program starts them.
        RegistryWatch user(HKEY_CURRENT_USER, nullptr), local(HKEY_LOCAL_MACHINE, "SOFTWARE");
        LauncherProcess launcher;
        if (!launcher.Start(disc.Launcher(), disc.probeLog()))
            return {Crashed, "could not start"};
        // Its windows are looked at only once it waits for input (its window
        // or a message box is up) or has ended, and then at most every 50 ms:
        // on an emulated machine each look takes time from the launcher.
        DWORD start = GetTickCount();
        WaitForInputIdle(launcher.handle(), 10000);
        while (launcher.Running() && GetTickCount() - start < 10000) {
            if (HWND window = launcher.FindWindowOfClass(kLauncherClass)) {
                if (IsWindowVisible(window))
                    PostMessageA(window, WM_CLOSE, 0, 0);
            }
            if (HWND box = FindWindowOf(launcher.pid(), "#32770", true))
                DismissMessageBox(box);
            WaitForSingleObject(launcher.handle(), 50); // at once when it ends
        }
        code = launcher.WaitForExit(0);
        if (code == STILL_ACTIVE)
            return {Hung, "still running after 10 s"};
        if (user.Changed() || local.Changed())
            result = {Wrote, "the registry changed"};
    }
    if (code != 0 && code != static_cast<DWORD>(-1)) {
        char text[32];
        snprintf(text, sizeof text, "exit code 0x%08lX", code);
        return {Crashed, text};
    }
    if (result.outcome == Wrote)
        return result;
    if (!edition && !(VendorKeyEmpty(HKEY_CURRENT_USER) && VendorKeyEmpty(HKEY_LOCAL_MACHINE)))
        return {Wrote, "a vendor key is not empty"};
    std::string after = FolderListing(disc.root()) + FolderListing(installation.path());
    if (after != before)
        return {Wrote, "the disc's or the installation's files changed"};
    return result;
}

// The case's files and registry values, and how to run it again.
void KeepReproducer(const std::string &folder, uint64_t seed, uint64_t index, const Case &c, const Result &result)
{
    std::string dir = folder + "case-" + std::to_string(seed) + "-" + std::to_string(index) + "\\";
    MakeDirs(dir);
    WriteFiles(dir + "disc\\", c.discFiles);
    WriteFiles(dir + "installation\\", c.installedFiles);
    std::string text = std::string(kOutcomeNames[result.outcome]) + ": " + result.detail + "\r\nclass: " + c.kind +
                       "\r\nagain: scripts/fuzz 1 " + std::to_string(seed) + " --case " + std::to_string(index) +
                       "\r\n";
    for (const Case::Value &v : c.values)
        text += std::string(v.root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") + v.key + " " + v.name + " type " +
                std::to_string(v.type) + ", " + std::to_string(v.data.size()) + " bytes\r\n";
    if (!c.windowsIniFile.empty())
        text += "Windows folder file " + c.windowsIniFile + ":\r\n" + c.windowsIniText;
    WriteTextFile(dir + "README.txt", text);
}

} // namespace

int main(int argc, char **argv)
{
    uint64_t cases = 200, seed = 20261208, only = 0, from = 0;
    bool single = false;
    std::string keep = BuildDir() + "fuzz-failures\\";
    std::vector<const char *> numbers;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--case") == 0 && i + 1 < argc) {
            single = true;
            only = strtoull(argv[++i], nullptr, 10);
        } else if (strcmp(argv[i], "--from") == 0 && i + 1 < argc) {
            from = strtoull(argv[++i], nullptr, 10);
        } else if (strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
            keep = std::string(argv[++i]) + "\\";
        } else {
            numbers.push_back(argv[i]);
        }
    }
    if (numbers.size() > 0)
        cases = strtoull(numbers[0], nullptr, 10);
    if (numbers.size() > 1)
        seed = strtoull(numbers[1], nullptr, 10);

    std::map<std::string, std::vector<int>> table;
    int failures = 0;
    DWORD started = GetTickCount();
    for (uint64_t i = single ? only : from; single ? i == only : i < from + cases; ++i) {
        Case c = Generate(seed, i);
        Result result = Run(c);
        std::vector<int> &row = table[c.kind];
        row.resize(OutcomeCount);
        ++row[result.outcome];
        if (result.outcome != Normal) {
            ++failures;
            printf("case %llu (%s): %s, %s\n", static_cast<unsigned long long>(i), c.kind,
                   kOutcomeNames[result.outcome], result.detail.c_str());
            KeepReproducer(keep, seed, i, c, result);
        }
    }

    printf("%-20s %15s %8s %6s %6s\n", "input class", kOutcomeNames[0], kOutcomeNames[1], kOutcomeNames[2],
           kOutcomeNames[3]);
    int total[OutcomeCount] = {};
    for (const auto &row : table) {
        printf("%-20s %15d %8d %6d %6d\n", row.first.c_str(), row.second[0], row.second[1], row.second[2],
               row.second[3]);
        for (int o = 0; o < OutcomeCount; ++o)
            total[o] += row.second[o];
    }
    printf("%-20s %15d %8d %6d %6d\n", "all", total[0], total[1], total[2], total[3]);
    printf("seed %llu, %d cases in %.0f s; %d failures%s\n", static_cast<unsigned long long>(seed),
           total[0] + total[1] + total[2] + total[3], (GetTickCount() - started) / 1000.0, failures,
           failures ? (", reproducers in " + keep).c_str() : "");
    return failures ? 1 : 0;
}
