// checkdisc: what the launcher will do with a disc on this machine, and why.
//
//   checkdisc [--json] [--strict] [--language TAG] [DISC_FOLDER]
//
// Runs the launcher's own start-up steps on the disc, as launcher.exe in the
// disc's root would when AutoPlay starts it there, and reports what they
// found; it changes nothing (no registry write, no program started, no window
// shown). Then it looks at the disc the way a disc maker would want it
// looked at: keys the launcher reads differently from how they look, files
// the configuration names that are not there, limits that cut.
// Without a folder it checks the one it sits in, so it can travel on the disc.
// With --language, for a user whose display language is TAG (pt-BR), not
// this machine's.
//
// Exit status: 0 when the launcher shows its window or starts the application
// at once; 1 when it ends without a window or with the edition warning (with
// --strict, also when there is any warning); 2 when there is no readable
// VESK.INI, or the arguments are wrong.
#include "checker/report.h"
#include "checker/languages.h"
#include "checker/lint.h"
#include "checker/signatures.h"
#include "checker/picture_size.h"
#include "checker/windows_differences.h"
#include "base/process.h"
#include "base/system_dlls.h"
#include "base/text.h"
#include "config/config.h"
#include "install/install.h"
#include "launcher/startup.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "ui/ui.h"

#include <shlwapi.h>
#include <string.h>
#include <wchar.h>

namespace {

// How each end of start-up is reported.
struct Ending {
    StartupEnd end;
    const char *outcome; // "window", "start", "conflict" or "silent"
    const char *reason;  // a short stable word; empty for the window and the start
    const char *why;     // for a person
};

const Ending kEnds[] = {
    {StartupEnd::Window, "window", "", "the launcher shows its window"},
    {StartupEnd::StartNow, "start", "", "the launcher starts the installed application at once, without a window"},
    {StartupEnd::OldPlatform, "silent", "old-platform",
     "this Windows is older than Windows 95 / NT 4.0: the launcher only says so in a message"},
    {StartupEnd::OutsideInstaller, "silent", "outside-installer", "an InstallShield installer's window is open"},
    {StartupEnd::LauncherRunning, "silent", "launcher-running",
     "another launcher's window is open; that one comes to the front"},
    {StartupEnd::PathTooLong, "silent", "path-too-long",
     "the disc's folder followed by VESK.INI is longer than 255 characters"},
    {StartupEnd::NoConfig, "silent", "no-config", "there is no readable VESK.INI beside the launcher"},
    {StartupEnd::MissingKey, "silent", "missing-key", "a required key is missing, empty or begins with \"?\""},
    {StartupEnd::EditionConflict, "conflict", "edition-conflict",
     "another edition of Tolvane is installed: the launcher shows its warning and ends"},
    {StartupEnd::ApplicationRunning, "silent", "application-running",
     "the application is running (a window of its class is open)"},
    {StartupEnd::NoFont, "silent", "no-font", "the button font could not be made"},
    {StartupEnd::NoBitmap, "silent", "no-bitmap", "the picture the window needs cannot be loaded"},
    {StartupEnd::WrongDisc, "silent", "wrong-disc", "WrongCD is set and Tolvane is not installed"},
};

const Ending &ReportOf(StartupEnd end)
{
    for (const Ending &row : kEnds) {
        if (row.end == end)
            return row;
    }
    return kEnds[0];
}

std::string Number(long value)
{
    char text[16];
    wsprintfA(text, "%ld", value);
    return text;
}

const char *RootName(HKEY root)
{
    return root == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// The disc's picture, as the launcher loads it.
std::string DiscPicture()
{
    wchar_t path[256];
    return DiscPicturePath(path) ? Utf8(path) : "";
}

// The application's program, where detection found it.
std::string InstalledProgram()
{
    wchar_t file[MAX_PATH];
    return FindInstalledProgram(file) ? Utf8(file) : "";
}

// The immediate start as the launcher will make it, or why it will fail (the
// window shows then).
struct ImmediateStart {
    bool works = false;
    std::string commandLine;
    std::string problem;
};

ImmediateStart PredictImmediateStart()
{
    ImmediateStart start;
    ProgramStart found = FindLauncherStart(Plan.immediate.starts[0].what);
    start.commandLine = Utf8(found.commandLine);
    if (!found.fits)
        start.problem = "its command line is longer than 255 characters";
    else if (!found.programFile[0])
        start.problem = "no program file in " + start.commandLine;
    start.works = start.problem.empty();
    return start;
}

// The verdict: what the user will see, first, and unmissable.
void ReportVerdict(StartupEnd end, std::vector<std::string> &warnings)
{
    ImmediateStart start;
    if (end == StartupEnd::StartNow) {
        start = PredictImmediateStart();
        if (!start.works) {
            warnings.push_back("RunImmediately: the immediate start of " + start.commandLine + " will fail (" +
                               start.problem + "), so the window shows instead");
            end = StartupEnd::Window;
        }
    }
    const Ending &verdict = ReportOf(end);
    Entry("outcome", "", verdict.outcome);
    Entry("reason", "", verdict.reason);

    if (end == StartupEnd::StartNow) {
        Say("VERDICT: " + std::string(verdict.why) + ".");
        Entry("commandLine", "Command line", start.commandLine);
        Entry("directory", "Current folder", Utf8(Launcher.installDir));
        return;
    }
    if (end == StartupEnd::EditionConflict) {
        Say("VERDICT: " + std::string(verdict.why) + ".");
        Entry("caption", "Warning's caption", Utf8(Plan.title.text, Plan.title.codePage));
        Entry("message", "Warning", Utf8(Plan.conflictMessage));
        return;
    }
    if (end != StartupEnd::Window) {
        std::string why = verdict.why;
        if (end == StartupEnd::MissingKey)
            why = std::string("the required key \"") + Plan.missingKey + "\" is missing, empty or begins with \"?\"";
        Say("VERDICT: the launcher ends without a window: " + why + ".");
        Entry("why", "", why);
        return;
    }

    bool install = Launcher.installNeeded != 0;
    Say("VERDICT: the launcher shows its window, offering " + std::string(install ? "Install" : "Start") + ".");
    Entry("offer", "", install ? "install" : "start");
    Entry("title", "Title", Utf8(Plan.title.text, Plan.title.codePage));
    auto caption = [](int i) { return Utf8(Plan.captions[i].text, Plan.captions[i].codePage); };
    std::vector<std::string> buttons = {caption(install ? 0 : 1)};
    if (Plan.settings.hasExtraButton)
        buttons.push_back(caption(3));
    buttons.push_back(caption(2));
    List("buttons", "Buttons, left to right", buttons);
    BITMAP size = {};
    GetObjectA(Launcher.backdropBitmap, sizeof size, &size);
    Entry("picture", "Picture",
          Plan.backdropResource ? "the built-in " + std::string(Plan.language->promptName) + " prompt"
                                : DiscPicture(),
          Number(size.bmWidth) + " x " + Number(size.bmHeight) + " pixels");
    Entry("pictureSize", "", Number(size.bmWidth) + " x " + Number(size.bmHeight));
    wchar_t words[256];
    BackdropWords(words);
    if (words[0]) {
        Entry("description", "Description for screen readers", Utf8(words));
    } else {
        NullEntry("description");
        Say("Description for screen readers: none; BitmapText would give them the picture's words");
    }
    // What the launcher hands the sound library, and the file it finds.
    wchar_t soundFile[MAX_PATH];
    Entry("sound", "Sound",
          !install                  ? "none: there is a sound only while Install is offered"
          : !Plan.settings.hasAudio ? "none: Audio is not set"
          : !Plan.soundPlays        ? "none: no file " + Utf8(Plan.sound, Launcher.nameCodePage) + " found from the disc's root"
                                    : Utf8(Plan.sound, Launcher.nameCodePage),
          Plan.soundPlays && FindSoundFile(soundFile) ? "the file " + Utf8(soundFile) : "");
}

std::string EditionText()
{
    if (!Plan.editionValue) {
        std::string values;
        for (size_t i = 0; i < EditionCount; ++i)
            values += (i == 0 ? "" : i + 1 == EditionCount ? " or " : ", ") + std::string(Editions[i].value);
        return "none recorded (no value " + values + " under HKEY_CURRENT_USER\\" + EditionSettingsKey + ")";
    }
    std::string text =
        std::string(Plan.editionValue) + ", titled \"" + Utf8(Plan.installedTitle, Launcher.textCodePage) + "\"";
    if (strcmp(Plan.installedTitle, Settings.Title) == 0)
        return text + ": the edition on this disc";
    return text + ": not this disc's Title \"" + Utf8(Settings.Title, Launcher.textCodePage) +
           "\", so the launcher warns and ends";
}

void ReportMachine()
{
    BeginGroup("machine", "This machine");
    Entry("windowsVersion", "Windows version", Number(Plan.platformVersion) +
                                                   (Plan.platformVersion < 4 ? " (too old)" : " (new enough)"));
    Entry("outsideInstaller", "InstallShield installer's window",
          Plan.outsideInstaller ? "open: the launcher ends at once" : "none");
    if (Plan.end == StartupEnd::OutsideInstaller || Plan.end == StartupEnd::OldPlatform) {
        EndGroup();
        return;
    }
    Entry("otherLauncher", "Another launcher's window",
          Plan.otherLauncher ? "open: it comes to the front and this launcher ends" : "none");
    if (!Plan.settingsLoaded) {
        EndGroup();
        return;
    }
    Entry("vendorKeys", "Vendor keys the launcher creates",
          std::string("HKEY_CURRENT_USER\\") + VendorKey + " and HKEY_LOCAL_MACHINE\\" + VendorKey + " (" +
              VendorKeysNow() + ")");
    Entry("edition", "Edition recorded", EditionText());
    if (Plan.end == StartupEnd::EditionConflict) {
        EndGroup();
        return;
    }
    std::string running;
    if (!Plan.appWindowClass[0])
        running = "not looked for (AppWindowClass is empty)";
    else if (!Plan.runningApplication)
        running = "no window of class \"" + Utf8(Plan.appWindowClass, Launcher.nameCodePage) + "\"";
    else
        running = "a window of class \"" + Utf8(Plan.appWindowClass, Launcher.nameCodePage) +
                  "\" is open: the launcher ends" +
                  (Plan.toFront ? " and brings it to the front (AppToFront)"
                                : " and leaves it as it is (AppToFront is not Y)");
    Entry("application", "Running application", running);
    EndGroup();
}

// The registry view the record came from; on 64-bit Windows the launcher
// looks in the 64-bit one only when its own holds no record.
void ReportRecordView(const DetectionFindings &found)
{
    bool present = found.record == RecordFinding::Present;
    bool sixtyFour = found.view == RecordView::SixtyFour;
    if (present && found.recordRoot)
        Entry("record_view", "", sixtyFour ? "64-bit" : "32-bit");
    else
        NullEntry("record_view");
    if (!found.recordRoot || found.record == RecordFinding::NotRead)
        return;
    if (!RunsUnderWow64())
        Say("Registry view: the only one (32-bit Windows)");
    else if (present)
        Say(sixtyFour ? "Registry view: 64-bit, where a 64-bit installer writes (the 32-bit view holds no record)"
                      : "Registry view: 32-bit, the launcher's own");
    else
        Say("Registry view: looked for in both, the 32-bit and the 64-bit view");
}

std::string CheckText(ContentCheck check, const char *what, const DetectionFindings &found)
{
    if (check == ContentCheck::NotMade)
        return "not made";
    if (check == ContentCheck::Passed)
        return std::string("passed: ") + what;
    return std::string("failed: missing ") + Utf8(found.firstMissing);
}

// The installation that makes Start appear on this machine, as detection
// would find it: what a preview of Start, or a test, sets up.
void ReportInstallationForStart()
{
    InstallationForStart start;
    if (!start.known) {
        NullEntry("forStart");
        return;
    }
    const DetectionFindings &found = Plan.detection;
    std::string key = Utf8(Settings.KeyInstallDir, Launcher.nameCodePage);
    std::string folder = Utf8(start.folder);
    BeginGroup("forStart", "To offer Start here, an installation needs");
    BeginGroup("record", "");
    if (found.recordRoot) {
        Entry("root", "", RootName(found.recordRoot));
        Entry("key", "", Utf8(found.recordPlace));
        Entry("value", "", key);
        Say("The record: " + std::string(RootName(found.recordRoot)) + "\\" + Utf8(found.recordPlace) +
            ", value \"" + key + "\" naming its folder, such as " + folder);
    } else {
        std::string section = Utf8(Settings.SectionName, Launcher.nameCodePage);
        Entry("file", "", Utf8(found.recordPlace));
        Entry("section", "", section);
        Entry("key", "", key);
        Say("The record: " + Utf8(found.recordPlace) + ", [" + section + "] " + key + "= naming its folder, such as " +
            folder);
    }
    EndGroup();
    Entry("folder", "", folder);
    BeginObjects("files", "In that folder");
    for (const auto &[path, text] : start.files)
        Object({{"path", Utf8(path.c_str())}, {"text", Utf8(text.c_str())}},
               Utf8(path.c_str()) + (text.empty() ? "" : ", holding " + Utf8(text.c_str())));
    EndObjects();
    if (!start.counts)
        Entry("why", "No installation passes the content check",
              "missing " + Utf8(start.found.firstMissing) + " on the disc");
    EndGroup();
}

void ReportDetection()
{
    const DetectionFindings &found = Plan.detection;
    BeginGroup("installation", "Installation");
    std::string place = found.recordRoot ? std::string(RootName(found.recordRoot)) + "\\" + Utf8(found.recordPlace)
                                         : Utf8(found.recordPlace);
    Entry("recordForm", "Record", found.recordRoot ? "registry" : "INI file in the Windows folder");
    std::string entry = std::string(found.recordRoot ? "value \"" : "key \"") +
                        Utf8(Settings.KeyInstallDir, Launcher.nameCodePage) + "\"";
    if (!found.recordRoot)
        entry += " in section [" + Utf8(Settings.SectionName, Launcher.nameCodePage) + "]";
    Entry("recordPlace", "Read from", place + ", " + entry);
    const char *record = "";
    switch (found.record) {
    case RecordFinding::NotRead: record = "not read: its place does not fit 255 characters"; break;
    case RecordFinding::NoKey: record = "absent: the key is missing"; break;
    case RecordFinding::NoValue: record = "absent: no such value (or not text, or longer than 255 characters)"; break;
    case RecordFinding::Unset: record = "absent: the value is empty or begins with \"?\""; break;
    case RecordFinding::NoRoom: record = "absent: the folder leaves no room for its final backslash"; break;
    case RecordFinding::Present: record = "present"; break;
    }
    Entry("record", "Record found", record);
    ReportRecordView(found);
    if (found.record == RecordFinding::Present) {
        Entry("installDir", "Installation folder", Utf8(Launcher.installDir));
        if (Plan.settings.appFromCd) {
            Entry("program", "Program", "not looked for: AppFromCd=Y, the record alone counts");
        } else {
            Entry("program", "Program",
                  found.programFound ? "found: " + InstalledProgram()
                                        : "not found: no " + Utf8(Settings.ApplicationName, Launcher.nameCodePage) +
                                              " in the folder");
            if (found.programFound) {
                Entry("courseFiles", "TarnCoursesCheck",
                      CheckText(found.courseFiles, "every course file installed", found));
                Entry("library", "TarnQuennetCheck", CheckText(found.library, "lib\\quennet.jar installed", found));
                Entry("courseList", "PelloraCoursesCheck", CheckText(found.courseList, "every course listed", found));
            }
        }
    }
    Entry("installed", "Tolvane counts as", Launcher.installNeeded ? "not installed: Install is offered"
                                                                   : "installed: Start is offered");
    ReportInstallationForStart();
    EndGroup();
}

// The program this machine opens a file's type or a web address's scheme
// with, as Explorer would; empty when none.
std::string OpenedBy(const ProgramStart &start)
{
    std::wstring kind;
    if (start.kind == StartKind::WebPage) {
        kind.assign(start.programFile, wcscspn(start.programFile, L":"));
    } else {
        const wchar_t *name = wcsrchr(start.programFile, L'\\');
        const wchar_t *dot = wcsrchr(name ? name : start.programFile, L'.');
        kind = dot ? dot : L".";
    }
    auto query = SystemFunction<decltype(&AssocQueryStringW)>("shlwapi.dll", "AssocQueryStringW");
    wchar_t program[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!query || query(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_EXECUTABLE, kind.c_str(), nullptr, program, &size) != S_OK)
        return "";
    return Utf8(program);
}

// How each start is named in the report.
struct StartName {
    const char *key;
    const char *label;
};

StartName NameOf(LauncherStart what)
{
    switch (what) {
    case LauncherStart::Install: return {"install", "Install"};
    case LauncherStart::Start: return {"start", "Start"};
    case LauncherStart::StartFromCdAppDir: return {"startFromCdAppDir", "Start, when that fails,"};
    default: return {"extra", "Third button"};
    }
}

// One start as the launcher will make it: the file that runs, or the file or
// web page that opens and with what, its arguments and its current folder;
// or why it fails; then what follows it.
void ReportStart(StartName name, const StartPlan &plan, BYTE index, const wchar_t *startedIn,
                 std::vector<std::string> &warnings)
{
    const PlannedStart &planned = plan.starts[index];
    ProgramStart start = FindLauncherStart(planned.what);
    std::string commandLine = Utf8(start.commandLine);
    std::string directory = Utf8(planned.folder ? planned.folder : startedIn);
    std::optional<std::string> program, arguments, opens, openedBy;
    std::string line = std::string(name.label) + ": ";
    if (!start.fits) {
        line += "fails: the command line " + commandLine + "... is longer than 255 characters";
    } else if (!start.programFile[0]) {
        line += "fails: no program file in " + commandLine;
    } else {
        program = Utf8(start.programFile);
        arguments = Utf8(start.arguments());
        const char *const kinds[] = {"program", "file", "webPage"};
        opens = kinds[static_cast<int>(start.kind)];
        if (start.kind == StartKind::Program) {
            line += "runs " + *program;
        } else {
            std::string by = OpenedBy(start);
            if (!by.empty())
                openedBy = by;
            std::string what = start.kind == StartKind::WebPage ? "the web page " + *program : *program;
            line += "opens " + what + (by.empty() ? ", but nothing on this machine opens it" : " with " + by);
            if (by.empty())
                warnings.push_back(std::string(name.label) + ": no program on this machine opens " + what +
                                   "; the launcher reports it cannot start it");
        }
        if (start.kind != StartKind::WebPage)
            line += (arguments->empty() ? ", no arguments" : ", arguments " + *arguments) + ", in " + directory;
    }
    bool last = index + 1 == plan.count;
    const char *whenItFails = !last ? "next" : plan.reportsFailure ? "message" : "window";
    if (planned.waitsMs)
        line += "; waits up to " + Number(planned.waitsMs / 1000) + " s until it is ready";
    if (!last)
        line += "; if it fails, the next";
    else if (plan.reportsFailure)
        line += "; if it fails, a message says so";
    else
        line += "; if it fails, the window shows instead";
    line += plan.closesLauncher ? "; then the launcher closes" : "; the launcher stays open";
    Object({{"button", std::string(name.key)}, {"opens", opens}, {"program", program}, {"openedBy", openedBy},
            {"arguments", arguments}, {"directory", directory}, {"commandLine", commandLine},
            Literal("showsWindow", planned.showsWindow), Literal("waitsMs", static_cast<long>(planned.waitsMs)),
            {"whenItFails", std::string(whenItFails)}, Literal("closesLauncher", plan.closesLauncher)},
           line);
}

// What each start of the plan runs, the file itself: only the value's
// words are searched, never the folder's. A start without a folder of its
// own runs in the one the launcher was started in.
void ReportStarts(const wchar_t *startedIn, std::vector<std::string> &warnings)
{
    BeginObjects("starts", "What the buttons start");
    if (Plan.end == StartupEnd::StartNow)
        ReportStart({"immediate", "Immediate start"}, Plan.immediate, 0, startedIn, warnings);
    const StartPlan *presses[] = {&Plan.presses[0], Plan.settings.hasExtraButton ? &Plan.presses[2] : nullptr};
    for (const StartPlan *plan : presses) {
        for (BYTE i = 0; plan && i < plan->count; ++i)
            ReportStart(NameOf(plan->starts[i].what), *plan, i, startedIn, warnings);
    }
    EndObjects();
}

// The disc's programs a press may start, whatever this machine offers, each
// by its name on the disc: what a disc's signing takes.
void ReportDiscPrograms()
{
    BeginObjects("discPrograms", "Programs of the disc");
    const wchar_t *folder = Launcher.moduleDir;
    for (const DiscProgram &program : DiscPrograms()) {
        const ProgramStart &start = program.start;
        std::optional<std::string> file, opens;
        std::string line = std::string(program.key) + "=" + program.value + ": ";
        if (start.fits && start.programFile[0]) {
            const char *const kinds[] = {"program", "file", "webPage"};
            opens = kinds[static_cast<int>(start.kind)];
            size_t inFolder = _wcsnicmp(start.programFile, folder, wcslen(folder)) == 0 ? wcslen(folder) : 0;
            if (start.kind != StartKind::WebPage)
                file = Utf8(start.programFile + inFolder);
            line += start.kind == StartKind::WebPage ? "a web page" : *file;
        } else {
            line += "names no file on the disc";
        }
        Object({{"key", std::string(program.key)}, {"value", program.value}, {"file", file}, {"opens", opens}}, line);
    }
    EndObjects();
}

int Usage()
{
    const char text[] = "usage: checkdisc [--json] [--strict] [--language TAG] [DISC_FOLDER]\n";
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, sizeof text - 1, &written, nullptr);
    return 2;
}

int Refuse(const std::string &why)
{
    std::string line = "checkdisc: " + why + "\n";
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return 2;
}

} // namespace

// Its arguments in UTF-16: a disc's folder may be named with any letter.
int wmain(int argc, wchar_t **argv)
{
    ReportFormat format = ReportFormat::Text;
    bool strict = false;
    const wchar_t *folderArgument = nullptr;
    std::wstring language;
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"--json") == 0)
            format = ReportFormat::Json;
        else if (wcscmp(argv[i], L"--strict") == 0)
            strict = true;
        else if (wcscmp(argv[i], L"--language") == 0 && i + 1 < argc && argv[i + 1][0])
            language = argv[++i], language.push_back(L'\0');
        else if (argv[i][0] == L'-' || folderArgument)
            return Usage();
        else
            folderArgument = argv[i];
    }

    std::string problem;
    wchar_t disc[MAX_PATH];
    if (!DiscFolder(folderArgument, disc, problem))
        return Refuse(problem);
    bool configReadable = ConfigReadable(disc, problem);

    // As AutoPlay starts the launcher: from the disc's root, which is where a
    // relative Audio name is looked for.
    SetCurrentDirectoryW(disc);
    Launcher.appInstance = GetModuleHandleA(nullptr); // carries the launcher's built-in pictures
    std::wstring launcherFile = std::wstring(disc) + L"launcher.exe";
    std::vector<std::string> warnings;
    std::vector<ShownLanguage> sections = DecideEachLanguageSection(launcherFile.c_str(), warnings);
    StartupEnd end = DecideStartup(launcherFile.c_str(), language.empty() ? nullptr : language.c_str());

    if (!configReadable)
        warnings.push_back(problem);
    LintDisc(disc, strict, warnings);
    LintPictureSize(warnings);

    BeginReport(format);
    ReportVerdict(end, warnings);
    Entry("disc", "Disc", Utf8(disc));
    // The checker is a 32-bit program like the launcher: it sees what the launcher sees.
    Entry("platform", "", RunsUnderWow64() ? "win64" : "win32");
    Say(RunsUnderWow64() ? "Windows: 64-bit Windows (the launcher runs as a 32-bit program)" : "Windows: 32-bit Windows");
    if (Plan.settingsLoaded)
        ReportLanguage(sections);
    if (configReadable)
        ReportEncoding(warnings);
    if (configReadable)
        ReportSettings(warnings);
    ReportMachine();
    if (Plan.settingsLoaded && end != StartupEnd::EditionConflict && end != StartupEnd::ApplicationRunning &&
        end != StartupEnd::NoFont)
        ReportDetection();
    if (end == StartupEnd::Window || end == StartupEnd::StartNow)
        ReportStarts(disc, warnings);
    ReportDiscPrograms();
    ReportSignatures(disc, strict, warnings);
    std::vector<std::string> windowsOnly;
    LintWindowsDifferences(disc, warnings, windowsOnly);
    List("warnings", "Warnings", warnings);
    // The text marks them in the list above; a program finds them apart.
    if (format == ReportFormat::Json)
        List("windows_only", "", windowsOnly);
    if (!EndReport())
        return 2;

    if (!configReadable)
        return 2;
    const Ending &verdict = ReportOf(end);
    bool shows = strcmp(verdict.outcome, "window") == 0 || strcmp(verdict.outcome, "start") == 0;
    return !shows || (strict && !warnings.empty()) ? 1 : 0;
}
