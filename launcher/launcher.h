// The launcher's run-time record, what its start-up found, the start-up
// chain and its effects, and the commands.
#pragma once

#include "base/process.h"
#include "base/system_dlls.h"
#include "base/text.h"

#include <windows.h>

#define LAUNCHER_CLASS "KOV:Autoplay"

enum ButtonId {
    IDB_ACTION = 100, // Install or Start
    IDB_QUIT   = 101,
    IDB_EXTRA  = 102, // the third button, only when DemoMovie is set
};

struct LauncherState {
    HINSTANCE appInstance    = nullptr;
    char      moduleDir[256] = "";
    int       installNeeded  = 1;
    char      installDir[256] = "";
    char      cdAppDir[256]   = "";
    char      captionAction[20] = "";
    char      captionStart[20]  = "";
    char      captionQuit[20]   = "";
    char      captionExtra[20]  = "";
    char      conflictFormat[256] = "";
    UINT      captionCodePage = 1252; // the code page the captions and conflictFormat are written in
    HFONT     buttonFont     = nullptr;
    int       charWidth      = 0;
    int       textHeight     = 0;
    HBITMAP   backdropBitmap = nullptr;
    int       focusedButton  = IDB_ACTION;
    WNDPROC   buttonBaseProc = nullptr;
};

extern LauncherState Launcher;

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

// One content check of detection, and the first thing it missed.
struct ContentCheck {
    bool ran    = false;
    bool passed = false;
    char firstMissing[260] = ""; // a file's path or a course name
};

// What installation detection found, besides installNeeded and the folders.
struct DetectionFindings {
    HKEY recordRoot = nullptr;   // registry form; null for the INI form
    char recordPlace[256] = "";  // the registry key under recordRoot, or the INI file's path
    RecordFinding record = RecordFinding::NotRead;
    char programFound[MAX_PATH] = ""; // where the application's program was found
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
    char configPath[256]     = "";
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
    char backdropPath[256] = ""; // the picture's file
    char soundFile[MAX_PATH] = ""; // the sound file found; empty: silence
};

extern StartupFindings Found;

// Start-up: what it finds, then what the launcher does about it.
// Runs every deciding step in order, up to the first that ends start-up, and
// returns how it ends (also in Found.end). Changes nothing: no message, no
// registry write, no window brought forward, no program started. The
// launcher's folder is that of launcherFile, or of this program when null.
StartupEnd DecideStartup(const char *launcherFile = nullptr);
// The effects of what start-up found, before any window of the launcher
// exists: the version message, another launcher or the application brought
// forward, the vendor keys, the edition warning.
void ActOnStartup();
// Starts the installed application at once (RunImmediately); false when it
// could not be started.
bool StartApplicationNow();
// Sets Found.end and returns 0, which ends the start-up chain.
int  EndStartup(StartupEnd why);

// The start-up chain from the launcher's folder to the sound; 0 when a step
// ended start-up (Found.end says why).
int  InitLauncher(const char *launcherFile = nullptr);
int  LocateModuleDir();
// Takes the launcher's folder from its file's path; 0 when it does not fit.
int  LocateDiscDir(const char *launcherFile);
// Cuts a module path just after its last separator (\ or /) and upper-cases
// it; 0 when no separator follows the first character.
int  KeepDirectoryPart(char *path, DWORD length);
void OnCommand(WORD notification, HWND window, WORD controlId);
