// The launcher window's parts: its font, backdrop and sound, its geometry,
// texts and painting, its buttons and their keyboard handling. The window
// procedure that calls on them is the launcher's own (launcher/window.cpp).
#pragma once

#include "records/plan.h"

#include <windows.h>

// Start-up steps; each returns 1 to go on, 0 when it ended start-up.
int  LoadFontMetrics();
int  LoadBackdrop();
// The disc's picture, Bitmap, joined to the launcher's folder as it is
// loaded; false when Bitmap is not set or the path does not fit.
bool DiscPicturePath(wchar_t (&path)[256]);
// The words the backdrop shows, for screen readers: the built-in prompt's
// own (its bitmap's string), or BitmapText, in the disc's language, for a
// picture of the disc; empty when there are none.
void BackdropWords(wchar_t (&words)[256]);
// Decides the start-up sound: Audio as read, played when Install is offered
// and its file is found; PlayStartupSound plays it, once the window shows.
void FindStartupSound();
void PlayStartupSound();
// The file of the Audio sound where the launcher looks for it; false when
// there is none.
bool FindSoundFile(wchar_t (&file)[MAX_PATH]);

// Geometry, texts and painting. SizeAndCenterWindow also gives the window
// its title and the action button its caption, Install or Start.
int  ButtonWidth();
int  ButtonHeight();
void SizeAndCenterWindow(HWND window);
void LayoutButtons(HWND window, int clientWidth, int clientHeight);
void PaintBackdrop(HWND window);
// Shows a caption, bytes of its code page, as the words it means on any
// Windows.
void SetCaption(HWND button, ShownText caption);

// WM_GETOBJECT for the window or the action button: the system's own
// accessible object of its client area, with the backdrop's words as its
// description; 0, for the system to answer, for any other object, without
// words, or when the accessibility library is missing.
LRESULT DescribedClientObject(HWND window, WPARAM flags, LPARAM objectId);

// Buttons.
LRESULT CALLBACK ButtonSubclassProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
int  CreateButtons(HWND window);
void RestoreFocus(HWND window);
