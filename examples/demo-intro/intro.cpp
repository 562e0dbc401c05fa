// The sample disc's intro, the program of the launcher's third button ("View
// Intro"): a sun sets over the sea in a few seconds, then a greeting shows.
// A click or any key closes it.
#include <windows.h>

namespace {

const char kWindowClass[] = "TolvaneDemoIntro";
const int kWidth = 480, kHeight = 280, kHorizon = 190;
const int kFrames = 100; // 40 ms each
int frame = 0;

void DrawScene(HDC dc)
{
    RECT sky = {0, 0, kWidth, kHorizon};
    // The sky darkens as the sun goes down.
    int dusk = frame * 60 / kFrames;
    HBRUSH brush = CreateSolidBrush(RGB(0x2b - dusk / 3, 0x5f - dusk / 2, 0x8c - dusk));
    FillRect(dc, &sky, brush);
    DeleteObject(brush);

    int sunY = 40 + frame * (kHorizon - 20) / kFrames;
    brush = CreateSolidBrush(RGB(0xf3, 0xb9, 0x4c));
    HGDIOBJ previousBrush = SelectObject(dc, brush);
    HGDIOBJ previousPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, kWidth / 2 - 40, sunY - 40, kWidth / 2 + 40, sunY + 40);
    SelectObject(dc, previousBrush);
    DeleteObject(brush);

    RECT sea = {0, kHorizon, kWidth, kHeight};
    brush = CreateSolidBrush(RGB(0x3f, 0x9b, 0xb8));
    FillRect(dc, &sea, brush);
    DeleteObject(brush);
    SelectObject(dc, previousPen);

    if (frame >= kFrames) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0xff, 0xff, 0xff));
        HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT text = {0, 60, kWidth, kHorizon};
        DrawTextA(dc, "Welcome to Tolvane.\n\nClick or press any key to go back to the disc.", -1, &text,
                  DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, previousFont);
    }
}

// Drawn off screen first, so the moving sun does not flicker.
void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP picture = CreateCompatibleBitmap(dc, kWidth, kHeight);
    HGDIOBJ previous = SelectObject(memory, picture);
    DrawScene(memory);
    BitBlt(dc, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
    EndPaint(window, &paint);
}

void OnTimer(HWND window)
{
    if (++frame >= kFrames)
        KillTimer(window, 1);
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK IntroWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:       Paint(window); return 0;
    case WM_ERASEBKGND:  return 1; // the scene covers the whole window
    case WM_TIMER:       OnTimer(window); return 0;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN: DestroyWindow(window); return 0;
    case WM_DESTROY:     PostQuitMessage(0); return 0;
    default:             return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc   = IntroWndProc;
    windowClass.hInstance     = instance;
    windowClass.hIcon         = LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor       = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass))
        return 1;

    DWORD style = WS_CAPTION | WS_SYSMENU;
    RECT frameRect = {0, 0, kWidth, kHeight};
    AdjustWindowRect(&frameRect, style, FALSE);
    int width = frameRect.right - frameRect.left, height = frameRect.bottom - frameRect.top;
    HWND window = CreateWindowExA(0, kWindowClass, "Tolvane Intro", style,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                  instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    SetTimer(window, 1, 40, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
