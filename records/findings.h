// What start-up found, step by step, and how it ends: filled by the deciding
// steps, read by the launcher's effects and by the disc checker's report.
#pragma once

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

// One content check of detection, and the first thing it missed.
struct ContentCheck {
    bool ran    = false;
    bool passed = false;
    wchar_t firstMissing[260] = L""; // a file's path or a course name
};

// What installation detection found, besides installNeeded and the folders.
struct DetectionFindings {
    HKEY recordRoot = nullptr;   // registry form; null for the INI form
    wchar_t recordPlace[256] = L""; // the registry key under recordRoot, or the INI file's path
    RecordFinding record = RecordFinding::NotRead;
    RecordView view = RecordView::Own; // registry form: where record was found, or last looked for
    wchar_t programFound[MAX_PATH] = L""; // where the application's program was found
    ContentCheck courseFiles;    // TarnCoursesCheck: the disc's repository\*.course installed
    ContentCheck library;        // TarnQuennetCheck: lib\quennet.jar installed
    ContentCheck courseList;     // PelloraCoursesCheck: disk.ini's names in pellora.ini
};

// What start-up found, step by step, before the launcher does anything about
// it: the launcher acts on it (ActOnStartup), the disc checker reports it.
// What the two shared records hold already is not repeated here.
struct StartupFindings {
    StartupEnd end = StartupEnd::Window;
    // Guards.
    int  platformVersion  = 0;       // the major version GetVersion reports
    HWND outsideInstaller = nullptr; // a window of class InstallShield_Win
    HWND otherLauncher    = nullptr; // a launcher window already open
    // Configuration.
    wchar_t configPath[256]  = L"";
    const char *missingKey   = nullptr; // the first required key that failed
    bool settingsLoaded      = false;   // every required key read: the vendor keys are due
    char appWindowClass[128] = "";
    // Registry checks.
    const char *editionValue   = nullptr; // the edition recorded ("Demo" ...), the last in table order
    const char *installedTitle = nullptr; // its title, from the settings
    wchar_t conflictMessage[256] = L""; // the warning, cut at 255 characters
    HWND runningApplication    = nullptr;
    DetectionFindings detection;
    // Picture and sound.
    int  backdropResource = 0;   // the built-in picture's ID; 0 for a file
    wchar_t backdropPath[256] = L"";   // the picture's file
    wchar_t soundFile[MAX_PATH] = L""; // the sound file found; empty: silence
};

extern StartupFindings Found;

// Sets Found.end and returns 0, which ends the start-up chain.
int  EndStartup(StartupEnd why);
