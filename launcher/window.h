// The launcher window's procedure, and the buttons' commands it hands on.
#pragma once

#include <windows.h>

LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A button pressed: the installer, the application or the third program
// started, then the launcher closed (after the third button only with
// bothTypes).
void OnCommand(WORD notification, HWND window, WORD controlId);
