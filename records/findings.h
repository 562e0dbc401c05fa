// What start-up found, step by step, and how it ends: filled by the deciding
// steps, read by the launcher's effects and by the disc checker's report.
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
// handle, empty texts) and are cleared by assigning {}: a fill, where member
// initialisers would have the compiler copy a template of each record, kept
// in the program's data, over it.

// One content check of detection, and the first thing it missed.
struct ContentCheck {
    bool ran;
    bool passed;
    wchar_t firstMissing[260]; // a file's path or a course name
};

// What installation detection found, besides installNeeded and the folders.
struct DetectionFindings {
    HKEY recordRoot;   // registry form; null for the INI form
    wchar_t recordPlace[256]; // the registry key under recordRoot, or the INI file's path
    RecordFinding record;
    RecordView view; // registry form: where record was found, or last looked for
    wchar_t programFound[MAX_PATH]; // where the application's program was found
    ContentCheck courseFiles;    // TarnCoursesCheck: the disc's repository\*.course installed
    ContentCheck library;        // TarnQuennetCheck: lib\quennet.jar installed
    ContentCheck courseList;     // PelloraCoursesCheck: disk.ini's names in pellora.ini
};

// What start-up found, step by step, before the launcher does anything about
// it: the launcher acts on it (ActOnStartup), the disc checker reports it.
// What the two shared records hold already is not repeated here.
struct StartupFindings {
    StartupEnd end;
    // Guards.
    int  platformVersion;       // the major version GetVersion reports
    HWND outsideInstaller; // a window of class InstallShield_Win
    HWND otherLauncher; // a launcher window already open
    // Configuration.
    wchar_t configPath[256];
    ProfileEncoding configEncoding; // how VESK.INI is written
    const char *missingKey; // the first required key that failed
    bool settingsLoaded;   // every required key read: the vendor keys are due
    char appWindowClass[128];
    // Registry checks.
    const char *editionValue; // the edition recorded ("Demo" ...), the last in table order
    const char *installedTitle; // its title, from the settings
    wchar_t conflictMessage[256]; // the warning, cut at 255 characters
    HWND runningApplication;
    DetectionFindings detection;
    // Picture and sound.
    int  backdropResource;   // the built-in picture's ID; 0 for a file
    wchar_t backdropPath[256];   // the picture's file
    wchar_t soundFile[MAX_PATH]; // the sound file found; empty: silence
};

extern StartupFindings Found;

// Sets Found.end and returns 0, which ends the start-up chain.
int  EndStartup(StartupEnd why);
