// The launcher's run-time record, its start-up chain, its commands, and the
// bounded text helpers every part of the program writes its buffers with.
#pragma once

#include <windows.h>
#include <stddef.h>

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
    HFONT     buttonFont     = nullptr;
    int       charWidth      = 0;
    int       textHeight     = 0;
    HBITMAP   backdropBitmap = nullptr;
    int       focusedButton  = IDB_ACTION;
    WNDPROC   buttonBaseProc = nullptr;
};

extern LauncherState Launcher;

// Start-up and commands.
int  InitLauncher();
int  LocateModuleDir();
// Cuts a module path just after its last separator (\ or /) and upper-cases
// it; 0 when no separator follows the first character.
int  KeepDirectoryPart(char *path, DWORD length);
void OnCommand(WORD notification, HWND window, WORD controlId);

// Starts directory + program (which may carry arguments) as its own process,
// showing its window normally when asked, and waits up to idleWaitMs (0: not
// at all) until it is ready for input. False when it was not started, also
// when the command line does not fit its 256 bytes.
bool StartProgram(const char *directory, const char *program, bool showWindow, DWORD idleWaitMs);
// Starts a command line through the shell, which asks the user's consent for a
// program that must run elevated; the current directory is passed on.
bool StartWithConsent(const char *commandLine, DWORD idleWaitMs);

// Bounded text: each writes at most size bytes, always NUL-terminates, and
// returns false when the whole text did not fit (the buffer then holds what
// fitted).
bool TextCopy(char *dst, size_t size, const char *src);
bool TextAppend(char *dst, size_t size, const char *src);
bool TextFormat(char *dst, size_t size, const char *format, ...);

template <size_t N> bool TextCopy(char (&dst)[N], const char *src) { return TextCopy(dst, N, src); }
template <size_t N> bool TextAppend(char (&dst)[N], const char *src) { return TextAppend(dst, N, src); }
template <size_t N, typename... Args>
bool TextFormat(char (&dst)[N], const char *format, Args... args) { return TextFormat(dst, N, format, args...); }

// Copies the first length characters of src (all of it when shorter); false
// when they did not fit.
template <size_t N> bool TextCopyPrefix(char (&dst)[N], const char *src, size_t length)
{
    TextCopy(dst, length < N ? length + 1 : N, src);
    return length < N;
}

// Joins texts into dst by plain concatenation; false when they do not fit.
template <size_t N, typename... Parts>
bool TextJoin(char (&dst)[N], const char *first, Parts... rest)
{
    bool fits = TextCopy(dst, N, first);
    ((fits = TextAppend(dst, N, rest) && fits), ...);
    return fits;
}
