// The sample disc's application: one window that says it runs and where it
// was started, which is the installation folder when the launcher's Start
// button started it. Its window class is the disc's "AppWindowClass": while
// it runs, the launcher brings it to the front instead of opening.
#include <windows.h>

namespace {

const char kWindowClass[] = "TolvaneDemoApp";
char startedIn[MAX_PATH] = "";

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    HBRUSH sky = CreateSolidBrush(RGB(0x2b, 0x5f, 0x8c));
    FillRect(dc, &area, sky);
    DeleteObject(sky);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xff, 0xff, 0xff));
    HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    char text[MAX_PATH + 128];
    wsprintfA(text, "Tolvane Demo is running.\n\nStarted in:\n%s\n\nClose this window to end it.", startedIn);
    InflateRect(&area, -16, -16);
    DrawTextA(dc, text, -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    EndPaint(window, &paint);
}

LRESULT CALLBACK AppWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:   Paint(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default:         return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    GetCurrentDirectoryA(sizeof startedIn, startedIn);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc   = AppWndProc;
    windowClass.hInstance     = instance;
    windowClass.hIcon         = LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor       = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass))
        return 1;

    const int width = 420, height = 220;
    HWND window = CreateWindowExA(0, kWindowClass, "Tolvane Demo", WS_OVERLAPPEDWINDOW,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                  instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
