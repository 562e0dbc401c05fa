// A bare window: a class, a window of the launcher's size and two buttons,
// nothing else. It is the yardstick of the start-up benchmark, and the first
// window of a test run, which gets Wine's desktop ready.
//
//   bare.exe [--close]    --close: closes itself as soon as it is shown
//   bare.exe --hold       no window: keeps Wine's desktop until ended, and
//                         writes "held" to its output once it holds it
#include <windows.h>

#include <string.h>

static LRESULT CALLBACK BareWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // Wine closes its desktop a second after the last program on it ends, and
    // the next program to open a window starts it again, a second more, as a
    // child that keeps that program's output open. A program that waits on
    // the desktop keeps it for a whole test session.
    if (strstr(commandLine, "--hold")) {
        // Asking for the desktop's window starts the desktop, or joins it.
        GetDesktopWindow();
        DWORD written;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &written, nullptr);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
        return 0;
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc   = BareWndProc;
    windowClass.hInstance     = instance;
    windowClass.hCursor       = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = "VeskBareWindow";
    RegisterClassA(&windowClass);

    // The launcher's window with a 300 x 140 picture and 18-pixel buttons.
    RECT frame = {0, 0, 306, 170};
    DWORD style = WS_CLIPCHILDREN | WS_CAPTION;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, "VeskBareWindow", "Bare", style, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  nullptr);
    if (!window)
        return 1;
    CreateWindowExA(0, "BUTTON", "Install", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 34, 148, 84, 18, window, nullptr,
                    instance, nullptr);
    CreateWindowExA(0, "BUTTON", "Quit", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 187, 148, 84, 18, window, nullptr,
                    instance, nullptr);
    ShowWindow(window, SW_SHOW);
    if (strstr(commandLine, "--close"))
        PostMessageA(window, WM_CLOSE, 0, 0);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
