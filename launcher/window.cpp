// The launcher window's procedure: a dispatch table that hands each message
// to the function handling it, the buttons' commands included.
#include "launcher/window.h"
#include "ui/ui.h"

static LRESULT OnCreate(HWND window)
{
    // -1 makes the platform destroy the window and CreateWindowExW give null.
    return CreateButtons(window) ? 0 : -1;
}

static LRESULT OnDestroy()
{
    PostQuitMessage(0);
    return 0;
}

static LRESULT OnSize(HWND window, LPARAM lParam)
{
    LayoutButtons(window, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
}

static LRESULT OnGetObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT described = DescribedClientObject(window, wParam, lParam))
        return described;
    return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
}

LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:   return OnCreate(window);
    case WM_DESTROY:  return OnDestroy();
    case WM_SIZE:     return OnSize(window, lParam);
    case WM_SETFOCUS: RestoreFocus(window); return 0;
    case WM_PAINT:    PaintBackdrop(window); return 0;
    case WM_COMMAND:  OnCommand(HIWORD(wParam), window, LOWORD(wParam)); return 0;
    case WM_GETOBJECT: return OnGetObject(window, wParam, lParam);
    default:          return DefWindowProcW(window, message, wParam, lParam);
    }
}
