// The launcher window: its font, backdrop and sound, its geometry and
// painting, its buttons and their keyboard handling.
#pragma once

#include <windows.h>

// Start-up steps; each returns 1 to go on, 0 to stop.
int  LoadFontMetrics();
int  LoadBackdrop();
// Finds the start-up sound's file, when Install is offered; PlayStartupSound
// plays it, once the window shows.
void FindStartupSound();
void PlayStartupSound();

// Geometry and painting.
int  ButtonWidth();
int  ButtonHeight();
void SizeAndCenterWindow(HWND window);
void LayoutButtons(HWND window, int clientWidth, int clientHeight);
void PaintBackdrop(HWND window);

// Window procedure and buttons.
LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonSubclassProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
int  CreateButtons(HWND window);
// Shows a caption, bytes of its language's code page, as the words it means
// on any Windows.
void SetCaption(HWND button, const char *caption);
void RestoreFocus(HWND window);
