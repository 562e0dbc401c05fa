// The launcher window's procedure, and the starts it makes as the plan says.
#pragma once

#include "records/plan.h"

#include <windows.h>

LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A button pressed: what the plan says its press does.
void OnCommand(WORD notification, HWND window, WORD controlId);
// Makes the planned starts in turn until one succeeds; when none does and
// the plan reports it, the failure message, owned by window, names the last.
// False when nothing started.
bool MakeStarts(const StartPlan &plan, HWND window);
