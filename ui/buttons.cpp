// The launcher window's buttons: made with the window, and the keyboard
// handling a plain (non-dialog) window has to provide itself.
#include "ui/ui.h"
#include "records/plan.h"
#include "records/state.h"

namespace {

bool HasExtraButton()
{
    return Plan.settings.hasExtraButton;
}

// The buttons are Unicode windows, the only kind that shows a caption of
// another code page than the system's; everything else stays ANSI.
HWND CreateButton(HWND window, int id)
{
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, ButtonWidth(),
                                  ButtonHeight(), window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  Launcher.appInstance, nullptr);
    if (button)
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(Launcher.buttonFont), 0);
    return button;
}

WNDPROC Subclass(HWND button)
{
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonSubclassProc)));
}

// The button the focus moves to from focusedButton: two buttons toggle; three
// step through 100, 102, 101, wrapping at either end.
int FocusTarget(WPARAM key)
{
    if (!HasExtraButton())
        return Launcher.focusedButton == IDB_ACTION ? IDB_QUIT : IDB_ACTION;
    static const int order[3] = {IDB_ACTION, IDB_EXTRA, IDB_QUIT};
    int place = Launcher.focusedButton == IDB_ACTION ? 0 : Launcher.focusedButton == IDB_EXTRA ? 1 : 2;
    return order[(place + (key == VK_LEFT ? 2 : 1)) % 3];
}

void MoveFocus(HWND window, WPARAM key)
{
    HWND target = GetDlgItem(window, FocusTarget(key));
    if (target && IsWindowVisible(target) && IsWindowEnabled(target))
        SetFocus(target);
}

} // namespace

int CreateButtons(HWND window)
{
    HWND action = CreateButton(window, IDB_ACTION);
    if (!action)
        return 0;
    HWND quit = CreateButton(window, IDB_QUIT);
    if (!quit)
        return 0;
    SetCaption(quit, Plan.captions[2]);
    // No button is subclassed until all exist.
    if (HasExtraButton()) {
        HWND extra = CreateButton(window, IDB_EXTRA);
        if (!extra)
            return 0;
        SetCaption(extra, Plan.captions[3]);
        Subclass(extra);
    }
    // All three share the BUTTON class and so its procedure.
    Launcher.buttonBaseProc = Subclass(action);
    Subclass(quit);
    return 1;
}

LRESULT CALLBACK ButtonSubclassProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    int id = GetDlgCtrlID(button);
    if (message == WM_SETFOCUS)
        Launcher.focusedButton = id;
    // The button that has the focus first says what the picture says too.
    if (message == WM_GETOBJECT && id == IDB_ACTION) {
        if (LRESULT described = DescribedClientObject(button, wParam, lParam))
            return described;
    }
    if (message == WM_KEYDOWN) {
        HWND window = GetParent(button);
        switch (wParam) {
        case VK_TAB:
        case VK_RIGHT:
        case VK_LEFT:
            MoveFocus(window, wParam);
            break;
        case VK_ESCAPE:
            SendMessageA(window, WM_CLOSE, 0, 0);
            break;
        case VK_RETURN:
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            break;
        }
        // Escape, or a command that closed the launcher, destroyed the button.
        if (!IsWindow(button))
            return 0;
    }
    return CallWindowProcW(Launcher.buttonBaseProc, button, message, wParam, lParam);
}

void RestoreFocus(HWND window)
{
    if (HWND button = GetDlgItem(window, Launcher.focusedButton))
        SetFocus(button);
}
