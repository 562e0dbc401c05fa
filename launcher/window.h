// The launcher window's procedure, and the buttons' commands it hands on.
#pragma once

#include "base/process.h"

#include <windows.h>

LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A button pressed: the installer, the application or the third program
// started, then the launcher closed (after the third button only with
// bothTypes).
void OnCommand(WORD notification, HWND window, WORD controlId);

// The launcher's starts, each from its folder with its value: Install and
// the third button may also open a file, the third button a web page; the
// application starts as a program only. The disc checker asks the same.
enum class LauncherStart { Install, Start, StartFromCdAppDir, ThirdButton };
ProgramStart FindLauncherStart(LauncherStart which);
