// The launcher's run-time record: its folders, whether Install is needed, the
// captions, and what its window is made of; shared by every step of its life.
#pragma once

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
    // Folders in UTF-16, so that any letter of their names is kept.
    wchar_t   moduleDir[256] = L"";
    int       installNeeded  = 1;
    wchar_t   installDir[256] = L"";
    wchar_t   cdAppDir[256]   = L"";
    // Built in or written on the disc (Plan.captions says which, and their
    // code pages), 63 bytes at most.
    char      captionAction[64] = "";
    char      captionStart[64]  = "";
    char      captionQuit[64]   = "";
    char      captionExtra[64]  = "";
    char      conflictFormat[256] = "";
    UINT      captionCodePage = 1252; // the code page the built-in captions and warning are written in
    // The code pages VESK.INI's values are held in: the names it gives (files,
    // registry keys, a window class) in the system's, as Windows reads them,
    // and the texts of [Window] the user sees or hears in its language's (the
    // system's, when the profile calls decoded the file); both CP_UTF8 for a
    // file written in UTF-8.
    UINT      nameCodePage = CP_ACP;
    UINT      textCodePage = 1252;
    HFONT     buttonFont     = nullptr;
    int       charWidth      = 0;
    int       textHeight     = 0;
    HBITMAP   backdropBitmap = nullptr;
    int       focusedButton  = IDB_ACTION;
    WNDPROC   buttonBaseProc = nullptr;
};

extern LauncherState Launcher;

// A name VESK.INI gives, to be joined to UTF-16 in the code page it was read in.
inline Ansi IniName(const char *name)
{
    return {name, Launcher.nameCodePage};
}
