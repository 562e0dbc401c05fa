// The launcher window's procedure, and the buttons' commands it hands on.
#pragma once

#include <windows.h>

LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Starts what a pressed button stands for, then closes the launcher unless
// the third button is to stay for another press.
void OnCommand(WORD notification, HWND window, WORD controlId);
