// The disc as a disc maker wants it looked at: the keys of VESK.INI as
// written against as the launcher reads them, and the files and limits the
// launcher will meet. The launcher's own decisions are not made again here;
// this only reads what they found and the files beside them.
#include "checker/lint.h"
#include "checker/report.h"
#include "base/process.h"
#include "base/profile.h"
#include "base/text.h"
#include "config/config.h"
#include "install/install.h"
#include "launcher/startup.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "ui/ui.h"

#include <ctype.h>
#include <string.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool OneOf(const std::string &value, std::initializer_list<const char *> words)
{
    for (const char *word : words) {
        if (Lower(value) == word)
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> ProfileNames(const char *section, const wchar_t *path)
{
    // Read as the launcher reads the file.
    ProfileFile file(path);
    std::vector<char> names(65536);
    DWORD length = file.ReadText(section, nullptr, "", names.data(), static_cast<DWORD>(names.size()));
    file.Close();
    std::vector<std::string> list;
    for (const char *name = names.data(); name < names.data() + length && *name; name += strlen(name) + 1)
        list.push_back(name);
    return list;
}

bool WrittenValue(const char *section, const char *key, std::string &value)
{
    for (const std::string &name : ProfileNames(section, Plan.configPath)) {
        if (lstrcmpiA(name.c_str(), key) == 0) {
            ProfileFile file(Plan.configPath);
            std::vector<char> text(65536);
            file.ReadText(section, key, "", text.data(), static_cast<DWORD>(text.size()));
            file.Close();
            value = text.data();
            return true;
        }
    }
    return false;
}

namespace {

bool WrittenValue(const SettingKey &k, std::string &value)
{
    return ::WrittenValue(k.section, k.key, value);
}

// Was the key read before start-up ended?
bool ReadByLauncher(size_t index)
{
    return Plan.keysRead & (1ull << index);
}

std::string Quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

// How the launcher takes a value that it tests on one letter, and a warning
// where that is not what the value seems to say.
std::string ReadAs(const SettingKey &k, const std::string &value, std::vector<std::string> &warnings)
{
    std::string where = "[" + std::string(k.section) + "] " + k.key + "=" + value;
    bool taken = k.meaning && *k.meaning;
    if (k.letter == 'Y') {
        if (!taken && OneOf(value, {"y", "yes", "1", "true", "on"}))
            warnings.push_back(where + " reads as no: only a capital Y at the start means yes");
        if (taken && !OneOf(value, {"y", "yes"}))
            warnings.push_back(where + " reads as yes only because it begins with a capital Y");
        return taken ? "yes" : "no";
    }
    if (k.letter == 'N') {
        if (!taken && OneOf(value, {"n", "no", "0", "false", "off"}))
            warnings.push_back(where + " reads as the registry record: only a capital N at the start means "
                                       "the INI file");
        return taken ? "the record is an INI file" : "the record is in the registry";
    }
    if (k.letter == 'C') {
        if (!taken && Lower(value).find("current_user") != std::string::npos)
            warnings.push_back(where + " reads as HKEY_LOCAL_MACHINE: only a capital C at the start means "
                                       "HKEY_CURRENT_USER");
        return taken ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
    }
    return "";
}

// What the launcher makes of Language, and a warning where a small letter
// was meant as a capital.
std::string LanguageAs(const std::string &value, std::vector<std::string> &warnings)
{
    const LanguageRow *row = LanguageOf(value.c_str());
    std::string capital = value.substr(0, 1);
    CharUpperBuffA(&capital[0], static_cast<DWORD>(capital.size()));
    const LanguageRow *meant = LanguageOf(capital.c_str());
    if (meant != row && meant->letter)
        warnings.push_back("[Window] Language=" + value + " reads as " + row->name + ": only the capital " +
                           capital + " selects " + meant->name);
    return row->name;
}

// Letters that differ between two names, a small count meaning a typing slip.
size_t Distance(const std::string &a, const std::string &b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min(std::min(row[j] + 1, row[j - 1] + 1),
                              diagonal + (tolower(a[i - 1]) == tolower(b[j - 1]) ? 0 : 1));
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Keys the launcher never reads: unknown, misspelt, or in another section.
void LintKeyNames(std::vector<std::string> &warnings)
{
    for (const std::string &section : ProfileNames(nullptr, Plan.configPath)) {
        bool known = _strnicmp(section.c_str(), "Window.", 7) == 0 && section.size() > 7;
        for (size_t i = 0; i < SettingKeyCount; ++i)
            known = known || lstrcmpiA(section.c_str(), SettingKeys[i].section) == 0;
        if (!known) {
            warnings.push_back("section [" + section + "] is not read by the launcher");
            continue;
        }
        // A language section sets what is seen and heard, in place of [Window]'s.
        bool languageSection = _strnicmp(section.c_str(), "Window.", 7) == 0;
        for (const std::string &key : ProfileNames(section.c_str(), Plan.configPath)) {
            if (languageSection) {
                bool shown = false;
                for (size_t i = 0; i < SectionKeyCount; ++i)
                    shown = shown || lstrcmpiA(key.c_str(), SectionKeys[i]) == 0;
                if (!shown)
                    warnings.push_back(key + " under [" + section + "] is not read: a language section sets only " +
                                       "what is seen and heard (Title, Language, Bitmap, BitmapText, Audio, the "
                                       "captions, ConflictText and the edition titles)");
                continue;
            }
            const SettingKey *here = nullptr, *elsewhere = nullptr, *similar = nullptr;
            for (size_t i = 0; i < SettingKeyCount; ++i) {
                const SettingKey &k = SettingKeys[i];
                if (lstrcmpiA(key.c_str(), k.key) == 0)
                    (lstrcmpiA(section.c_str(), k.section) == 0 ? here : elsewhere) = &k;
                else if (Distance(key, k.key) <= 2)
                    similar = &k;
            }
            if (here)
                continue;
            if (elsewhere)
                warnings.push_back(key + " under [" + section + "] is not read: the launcher reads it under [" +
                                   elsewhere->section + "]");
            else if (similar)
                warnings.push_back("unknown key \"" + key + "\" under [" + section + "]: did you mean \"" +
                                   similar->key + "\" under [" + similar->section + "]?");
            else
                warnings.push_back("unknown key \"" + key + "\" under [" + section + "]");
        }
    }
}

// A program named by the configuration, as the launcher starts it: too
// long, or not there. A web page is not on the disc.
void LintProgram(const char *key, const ProgramStart &start, std::vector<std::string> &warnings)
{
    if (!start.fits) {
        warnings.push_back(std::string(key) + ": the command line " + Utf8(start.commandLine) +
                           "... is longer than 255 characters; the launcher reports it cannot start it");
        return;
    }
    if (!start.programFile[0]) {
        // The folder, and the value's first word.
        std::wstring line = start.commandLine;
        line = line.substr(0, line.find(L' ', start.valueAt));
        warnings.push_back(std::string(key) + ": " + Utf8(line.c_str()) + " is not on the disc");
    }
}

// A file name with letters beyond ASCII is the same file only where the
// code page holds its letters: Windows turns VESK.INI's bytes into letters
// by the code page of the Windows it runs on. In UTF-8 every letter holds.
void LintLettersBeyondAscii(std::vector<std::string> &warnings)
{
    if (Launcher.nameCodePage == CP_UTF8)
        return;
    const std::pair<const char *, const char *> names[] = {
        {"Installer", Settings.Installer}, {"Application name", Settings.ApplicationName},
        {"DemoMovie", Settings.DemoMovie}, {"Bitmap", Settings.Bitmap}, {"Audio", Settings.Audio}};
    for (const auto &[key, name] : names) {
        bool beyond = false;
        for (const char *c = name; *c; ++c)
            beyond = beyond || static_cast<unsigned char>(*c) >= 0x80;
        if (beyond)
            warnings.push_back(std::string(key) + "=" + Utf8(name, Launcher.nameCodePage) +
                               " has letters beyond ASCII: the launcher "
                               "finds that file only on a Windows whose code page holds them (here " +
                               std::to_string(GetACP()) + "); name the disc's files in ASCII letters, or save "
                               "VESK.INI as UTF-8");
    }
}

// A text of VESK.INI that the user sees or hears, not a name or a flag.
bool IsWords(const SettingKey &k)
{
    for (const char *text : {Settings.Title, Settings.DemoTitle, Settings.FreeTitle, Settings.SimpleTitle,
                             Settings.BaseTitle, Settings.PremiumTitle, Settings.BitmapText}) {
        if (k.field == text)
            return true;
    }
    return false;
}

// The value the launcher holds, in its letters: a caption or the warning as
// shown, built in or written on the disc.
std::string Held(const SettingKey &k)
{
    if (!k.field)
        return std::to_string(Settings.bothTypes);
    const char *captions[] = {Launcher.captionAction, Launcher.captionStart, Launcher.captionQuit,
                              Launcher.captionExtra, Launcher.conflictFormat};
    for (int i = 0; i < 5; ++i) {
        if (k.field == captions[i] && Plan.captions[i].text)
            return Utf8(Plan.captions[i].text, Plan.captions[i].codePage);
    }
    return Utf8(k.field, IsWords(k) ? Launcher.textCodePage : Launcher.nameCodePage);
}

// The letters of a UTF-8 text that the disc language's code page lacks:
// they would be lost in a file saved in that code page. (A file in that code
// page holds only its letters: each of its bytes is one.)
std::wstring LettersOutside(const char *utf8, UINT languageCodePage)
{
    std::wstring outside;
    wchar_t wide[256];
    TextToWide(wide, utf8, CP_UTF8);
    for (const wchar_t *letter = wide; *letter; ++letter) {
        char bytes[8];
        BOOL lost = FALSE;
        WideCharToMultiByte(languageCodePage, WC_NO_BEST_FIT_CHARS, letter, 1, bytes, sizeof bytes, nullptr, &lost);
        if (lost && outside.find(*letter) == std::wstring::npos)
            outside += *letter;
    }
    return outside;
}

} // namespace

void ReportEncoding(std::vector<std::string> &warnings)
{
    std::string systems = std::to_string(GetACP());
    std::string language = std::to_string(Launcher.captionCodePage);
    switch (Plan.configEncoding) {
    case ProfileEncoding::Utf8:
        Entry("encoding", "VESK.INI read as", "UTF-8", "every text and file name in its own letters");
        break;
    case ProfileEncoding::ByteOrderMark:
        Entry("encoding", "VESK.INI read as", "its byte-order mark, by the profile calls",
              "texts and file names then in this Windows' code page, " + systems);
        break;
    default:
        Entry("encoding", "VESK.INI read as", "code page " + language + ", the disc's language",
              "file names in this Windows' code page, " + systems);
    }
    if (!Plan.settingsLoaded || Launcher.textCodePage != CP_UTF8)
        return;
    for (size_t i = 0; i < SettingKeyCount; ++i) {
        const SettingKey &k = SettingKeys[i];
        if (!IsWords(k))
            continue;
        std::wstring outside = LettersOutside(k.field, Launcher.captionCodePage);
        if (outside.empty())
            continue;
        warnings.push_back("[" + std::string(k.section) + "] " + k.key + "=" + Utf8(k.field, CP_UTF8) +
                           " has letters that code page " + language + ", the disc's language, lacks (" +
                           Utf8(outside.c_str()) + "): shown right from this UTF-8 file, lost if it is saved in "
                           "code page " + language);
    }
}

bool IsFile(const std::wstring &path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DiscFolder(const wchar_t *argument, wchar_t (&disc)[MAX_PATH], std::string &problem)
{
    wchar_t path[MAX_PATH];
    DWORD length = argument ? GetFullPathNameW(argument, MAX_PATH, path, nullptr)
                            : GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        problem = "the path " + (argument ? Utf8(argument) : std::string("of checkdisc.exe")) +
                  " is longer than 259 characters";
        return false;
    }
    if (!argument)
        *(wcsrchr(path, L'\\') + 1) = L'\0';
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        problem = "there is no folder " + Utf8(path);
        return false;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        problem = Utf8(path) + " is a file, not a disc's folder";
        return false;
    }
    if (!TextCopy(disc, path) || (disc[wcslen(disc) - 1] != L'\\' && !TextAppend(disc, L"\\"))) {
        problem = "the path " + Utf8(path) + " is longer than 259 characters";
        return false;
    }
    return true;
}

bool ConfigReadable(const wchar_t *disc, std::string &problem)
{
    std::wstring path = std::wstring(disc) + L"" CONFIG_FILE_NAME;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        problem = "there is no " CONFIG_FILE_NAME " in " + Utf8(disc);
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        problem = Utf8(path.c_str()) + " is a folder, not a file";
        return false;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        problem = Utf8(path.c_str()) + " cannot be read";
        return false;
    }
    CloseHandle(file);
    return true;
}

void ReportSettings(std::vector<std::string> &warnings)
{
    BeginGroup("keys", "VESK.INI, as the launcher reads it");
    if (!Plan.configPath[0]) {
        Say("not read: start-up ends before");
        EndGroup();
        return;
    }
    std::vector<std::string> notInFile, notRead;
    for (size_t i = 0; i < SettingKeyCount; ++i) {
        const SettingKey &k = SettingKeys[i];
        std::string label = "[" + std::string(k.section) + "] " + k.key;
        std::string written;
        bool inFile = WrittenValue(k, written);
        if (!inFile)
            notInFile.push_back(k.key);
        if (!ReadByLauncher(i)) {
            notRead.push_back(k.key);
            continue;
        }
        std::string held = Held(k);
        std::string note = inFile ? "" : "not in the file: default";
        if (k.field && inFile && written.size() >= k.size) {
            note = "cut after " + std::to_string(k.size - 1) + " characters";
            warnings.push_back(label + " is " + note + ": the launcher reads " + Quoted(held));
        }
        // Judged by what is written; the launcher looks at the first character only.
        std::string seen = inFile ? written : std::string(k.fallback);
        std::string meaning = k.letter ? ReadAs(k, seen, warnings)
                              : k.field == Settings.Language ? LanguageAs(seen, warnings)
                                                             : "";
        if (!k.field && inFile && Settings.bothTypes == 0 && OneOf(written, {"yes", "y", "true", "on"}))
            warnings.push_back("[Program] bothTypes=" + written + " reads as 0: only a number other than 0 counts");
        if (!meaning.empty())
            note += (note.empty() ? "" : "; ") + meaning;
        Entry(k.key, "", held);
        Say(label + ": " + (k.field ? Quoted(held) : held) + (note.empty() ? "" : " (" + note + ")"));
    }
    List("notInFile", "Keys not in the file (their defaults are used)", notInFile);
    List("notRead", "Keys not read (start-up ends before)", notRead);
    EndGroup();
    LintKeyNames(warnings);
}

std::string VendorKeysNow()
{
    auto exists = [](HKEY root) {
        HKEY key;
        if (RegOpenKeyExA(root, "SOFTWARE\\Quillmoor", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    };
    bool user = exists(HKEY_CURRENT_USER), machine = exists(HKEY_LOCAL_MACHINE);
    if (user && machine)
        return "both exist already";
    if (!user && !machine)
        return "both would be created";
    return std::string(user ? "the machine's" : "the user's") + " would be created";
}

void LintDisc(const wchar_t *disc, bool strict, std::vector<std::string> &warnings)
{
    std::wstring root = disc;
    if (!IsFile(root + L"launcher.exe"))
        warnings.push_back("there is no launcher.exe in the disc's folder");
    std::wstring autorun = root + L"autorun.inf";
    wchar_t open[MAX_PATH] = L"";
    if (!IsFile(autorun))
        warnings.push_back("there is no autorun.inf: Windows will not offer to run the launcher when the disc "
                           "goes in");
    else if (GetPrivateProfileStringW(L"autorun", L"open", L"", open, MAX_PATH, autorun.c_str()),
             lstrcmpiW(open, L"launcher.exe") != 0)
        warnings.push_back("autorun.inf does not start launcher.exe: its [autorun] open= is \"" + Utf8(open) + "\"");
    if (!Plan.settingsLoaded)
        return;

    for (const DiscProgram &program : DiscPrograms())
        LintProgram(program.key, program.start, warnings);
    if (!Launcher.installNeeded)
        LintProgram("Application name", FindLauncherStart(Plan.presses[0].starts[0].what), warnings);
    LintLettersBeyondAscii(warnings);

    wchar_t path[256];
    if (!Plan.settings.hasBitmap) {
        warnings.push_back("no Bitmap: once Tolvane is installed (or with bothTypes) the launcher ends without a "
                           "window");
    } else {
        if (!DiscPicturePath(path)) {
            warnings.push_back("Bitmap: the path is longer than 255 characters; the launcher cannot load it");
        } else if (!IsFile(path)) {
            warnings.push_back("Bitmap: " + Utf8(path) + " is not on the disc");
        } else if (HANDLE picture = LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)) {
            DeleteObject(picture);
        } else {
            warnings.push_back("Bitmap: " + Utf8(path) + " is no bitmap Windows can load (a 24-bit BMP is safest)");
        }
        if (strict && (!Plan.settings.hasBitmapText || !Settings.BitmapText[0]))
            warnings.push_back("Bitmap: the picture's words are not available to screen readers; BitmapText would "
                               "give them");
    }
    wchar_t sound[MAX_PATH];
    if (Plan.settings.hasAudio && !FindSoundFile(sound))
        warnings.push_back("Audio: " + Utf8(Settings.Audio, Launcher.nameCodePage) +
                           " is not found from the disc's root: silence");

    InstallationForStart start;
    if (Plan.settings.tarnCoursesCheck && start.known && start.found.coursesOnDisc == 0)
        warnings.push_back("TarnCoursesCheck: the disc has no repository\\*.course, so the check always passes");
    if (start.found.courseList == ContentCheck::Failed)
        warnings.push_back("PelloraCoursesCheck: no installation passes it, as " + Utf8(start.found.firstMissing) +
                           " gives no course (disk.ini's [course] name=): Install is always offered");
}

InstallationForStart::InstallationForStart()
{
    if (!Plan.detection.recordPlace[0] || Plan.detection.record == RecordFinding::NotRead)
        return;
    std::vector<wchar_t> list(32768);
    known = true;
    counts = NeedsOfAnInstallation(folder, list.data(), list.size(), found);
    for (const wchar_t *path = list.data(); *path;) {
        const wchar_t *text = path + wcslen(path) + 1;
        files.push_back({path, text});
        path = text + wcslen(text) + 1;
    }
}

std::vector<DiscProgram> DiscPrograms()
{
    std::vector<DiscProgram> programs;
    if (!Plan.settingsLoaded)
        return programs;
    // Install's start also where Start is offered here.
    StartPlan install, extra;
    PlanPress(Press::Action, true, install);
    PlanPress(Press::Extra, true, extra);
    programs.push_back({"Installer", Utf8(Settings.Installer, Launcher.nameCodePage),
                        FindLauncherStart(install.starts[0].what)});
    if (Plan.settings.hasExtraButton)
        programs.push_back({"DemoMovie", Utf8(Settings.DemoMovie, Launcher.nameCodePage),
                            FindLauncherStart(extra.starts[0].what)});
    return programs;
}
