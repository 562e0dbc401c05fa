// The launcher's plan: what start-up found and everything it decided, made
// before any effect it decides. The launcher's effects read it and decide
// nothing; the disc checker prints it. The settings' bytes as read stay in
// Settings, the folders and captions in Launcher.
#pragma once

#include "base/profile.h"

#include <windows.h>

// How start-up ends: with the window, with the installed application started
// instead, or without the window for one reason.
enum class StartupEnd {
    Window,             // the launcher window shows
    StartNow,           // RunImmediately: the application starts instead (the window when it can't)
    OldPlatform,        // older than Windows 95 / NT 4.0: a message says so
    OutsideInstaller,   // an InstallShield installer's window is open
    LauncherRunning,    // another launcher's window is open; it comes to the front
    PathTooLong,        // the launcher's folder, or it with VESK.INI, does not fit 255 characters
    NoConfig,           // no readable VESK.INI beside the launcher
    MissingKey,         // a required key is missing, empty or begins with "?"
    EditionConflict,    // another edition is installed: the warning
    ApplicationRunning, // the application runs; AppToFront brings it forward
    NoFont,             // the button font could not be made or measured
    NoBitmap,           // the picture could not be loaded
    WrongDisc,          // WrongCD, and the application is not installed
};

// The installation record as detection found it.
enum class RecordFinding {
    NotRead,   // detection did not run, or the record's place did not fit its buffer
    NoKey,     // the registry key could not be opened
    NoValue,   // the value is missing, unreadable, not text or longer than 255 characters
    Unset,     // the value is empty or begins with "?"
    NoRoom,    // no room for the installation folder's final backslash
    Present,
};

// The registry view detection read the record from last.
enum class RecordView {
    Own,       // the program's own: on 64-bit Windows the 32-bit one, where 32-bit installers write
    SixtyFour, // the 64-bit view, looked at when the own view holds no record
};

// The records below start with every field zero (Window, NotRead, Own, no
// handle, empty texts, false) and are cleared by assigning {}: a fill, where
// member initialisers would have the compiler copy a template of each
// record, kept in the program's data, over it.

// What VESK.INI's values mean: each decided once, where the file is read,
// from its first byte ("?" first: not set).
struct SettingsMeaning {
    bool hasBitmap;           // Bitmap
    bool hasAudio;            // Audio
    bool hasExtraButton;      // DemoMovie, also when empty: the third button
    bool hasBitmapText;       // BitmapText
    bool pelloraCoursesCheck; // the content checks
    bool tarnCoursesCheck;
    bool tarnQuennetCheck;
    bool appToFront;
    bool wrongDisc;           // WrongCD
    bool appFromCd;
    bool runImmediately;
    bool recordInIniFile;     // UseRegistry N: the record is an INI file, else in the registry
    bool recordOfCurrentUser; // RegTopKey C: under HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE
};

// What a value of Language means: one row of the table in config/, the
// row of every other value included. Two values where bothTypes decides:
// [0] without it, [1] with it.
struct LanguageRow {
    char letter;             // 0: the row of every other value
    const char *name;
    const char *action;      // the captions, in the row's code page
    const char *start;
    const char *quit;
    const char *extra[2];
    const char *conflict;    // the edition warning: the installed edition's title, then Title
    UINT codePage;
    int prompt;              // the built-in picture, and the string of the words it shows
    const char *promptName;  // the language its words are in
    int widthFactor[2];      // a button's width in average characters
};

// A text the user sees: its bytes, and the code page they are written in.
struct ShownText {
    const char *text;
    UINT codePage;
};

// How a language section of VESK.INI was chosen for a display language.
enum class SectionMatch {
    None,          // no display language has a section: [Window] alone serves
    WholeTag,      // [Window.pt-BR] for pt-BR
    LanguageAlone, // [Window.pt] for pt-PT
};

// How a content check of detection went.
enum class ContentCheck { NotMade, Passed, Failed };

// What installation detection found, besides installNeeded and the folders.
struct DetectionFindings {
    HKEY recordRoot;   // registry form; null for the INI form
    wchar_t recordPlace[256]; // the registry key under recordRoot, or the INI file's path
    RecordFinding record;
    RecordView view; // registry form: where record was found, or last looked for
    bool programFound;           // the application's program is in the installation folder
    ContentCheck courseFiles;    // TarnCoursesCheck: the disc's repository\*.course installed
    int coursesOnDisc;           // the files of the disc's repository it looked for
    ContentCheck library;        // TarnQuennetCheck: lib\quennet.jar installed
    ContentCheck courseList;     // PelloraCoursesCheck: disk.ini's names in pellora.ini
    wchar_t firstMissing[260];   // what the check that failed missed first: a file's path or a course name
};

// The launcher's starts, each a value of VESK.INI run from a folder
// (FindLauncherStart says which file that is, when it is made).
enum class LauncherStart { Install, Start, StartFromCdAppDir, ThirdButton };

// One start: the folder made current before it (null: the one the launcher
// was started in, left as it is), whether the program's window shows, and
// how long the launcher then waits until it is ready for input (0: not).
struct PlannedStart {
    LauncherStart what;
    const wchar_t *folder;
    bool showsWindow;
    WORD waitsMs;
};

// What a press of a button does, or the immediate start: its starts in
// turn until one succeeds; when none does, the failure message, or nothing
// (the immediate start: the window shows instead); then, however they went,
// the launcher closes or stays.
struct StartPlan {
    PlannedStart starts[2];
    BYTE count;
    bool reportsFailure;
    bool closesLauncher;
};

// Bits of LauncherPlan::shownFromDisc besides the captions'.
enum : BYTE { ShownTitle = 1 << 5, ShownBitmapText = 1 << 6 };

struct LauncherPlan {
    StartupEnd end;
    // Guards.
    int  platformVersion;  // the major version GetVersion reports
    HWND outsideInstaller; // a window of class InstallShield_Win
    HWND otherLauncher;    // a launcher window already open
    // Configuration.
    wchar_t configPath[256];
    ProfileEncoding configEncoding; // how VESK.INI is written
    const char *missingKey; // the first required key that failed
    bool settingsLoaded;    // every required key read: the vendor keys are due
    unsigned long long keysRead; // bit i: the key SettingKeys[i] was read
    char appWindowClass[128];
    SettingsMeaning settings;
    // What is seen and heard, in the user's display language: the language
    // section chosen ("Window.pt"; empty: [Window] alone serves), the display
    // language it serves, and what it sets.
    const wchar_t *displayLanguages; // the display languages asked for; null: the user's
    char section[32];
    char displayLanguage[32];
    SectionMatch match;
    bool sectionSetsLanguage;
    char sectionLanguage[8];
    UINT sectionCodePage;    // of the section's texts
    char sectionTitle[256];
    ShownText captions[5];   // action, start, quit, extra, and the warning's format: built in or the disc's
    ShownText title;         // the window's title: the section's Title, else [Window]'s
    ShownText bitmapText;    // the picture's words, for screen readers
    BYTE shownFromDisc;      // which of those are written on the disc: bit i for captions[i], ShownTitle...
    const LanguageRow *language; // in effect: the section's Language, else [Window]'s; never null once read
    int widthFactor;
    // Registry checks.
    const char *editionValue; // the edition recorded ("Demo" ...), the last in table order
    const char *installedTitle; // its title, from the settings
    wchar_t conflictMessage[256]; // the warning, cut at 255 characters
    HWND runningApplication;
    HWND toFront;     // the window brought to the front: another launcher's, or the application's
    bool restoreFirst; // the application's is restored first
    DetectionFindings detection;
    // Picture and sound.
    int  backdropResource;   // the built-in picture's ID; 0 for the disc's, DiscPicturePath
    const char *sound;       // what the sound library is handed: Audio, as read
    bool soundPlays;         // Install is offered and the sound's file was found
    // What each button does (100, 101, 102) and the immediate start.
    StartPlan presses[3];
    StartPlan immediate;
};

extern LauncherPlan Plan;

// Sets Plan.end and returns 0, which ends the start-up chain: the one way
// start-up ends, with the window or without.
int  EndStartup(StartupEnd why);
