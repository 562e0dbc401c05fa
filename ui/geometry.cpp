// The window's geometry, texts and picture: sized around the backdrop,
// centred on the screen, titled, the buttons' captions shown in their
// language and the buttons spread along the bottom, backdrop painted at the top.
//
// Every quotient here is a signed integer division truncating toward zero,
// as C++ divides ints.
#include "ui/ui.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

int ButtonWidth()
{
    return Launcher.charWidth * Plan.widthFactor;
}

int ButtonHeight()
{
    return (3 * Launcher.textHeight) / 2;
}

static SIZE BackdropSize()
{
    BITMAP bitmap = {};
    GetObjectA(Launcher.backdropBitmap, sizeof bitmap, &bitmap);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

void SetCaption(HWND button, ShownText caption)
{
    wchar_t text[64];
    TextToWide(text, caption.text, caption.codePage);
    SetWindowTextW(button, text);
}

void SizeAndCenterWindow(HWND window)
{
    int screenWidth  = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    wchar_t title[256];
    TextToWide(title, Plan.title.text, Plan.title.codePage);
    SetWindowTextW(window, title);
    SIZE backdrop = BackdropSize();

    if (HWND action = GetDlgItem(window, IDB_ACTION))
        SetCaption(action, Plan.captions[Launcher.installNeeded ? 0 : 1]);

    RECT frame = {0, 0, backdrop.cx + 6, ButtonHeight() + backdrop.cy + 12};
    AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), FALSE, GetWindowLongA(window, GWL_EXSTYLE));
    int width  = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    // Not yet visible: no repaint. The WM_SIZE that follows lays out the buttons.
    MoveWindow(window, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height, FALSE);
}

void LayoutButtons(HWND window, int clientWidth, int clientHeight)
{
    int buttonWidth  = ButtonWidth();
    int buttonHeight = ButtonHeight();
    int y = clientHeight - buttonHeight - 4;

    struct {
        int id;
        int x;
    } places[3];
    int count;
    if (Plan.settings.hasExtraButton) {
        int slotWidth  = clientWidth / 3;
        int slotOffset = (slotWidth - buttonWidth) / 2;
        // Two thirds divided once, not twice one third: the right-hand
        // button may stand one pixel further right.
        places[0] = {IDB_ACTION, slotOffset};
        places[1] = {IDB_QUIT, (2 * clientWidth) / 3 + slotOffset};
        places[2] = {IDB_EXTRA, slotWidth + slotOffset};
        count = 3;
    } else {
        int slotWidth  = clientWidth / 2;
        int slotOffset = (slotWidth - buttonWidth) / 2;
        places[0] = {IDB_ACTION, slotOffset};
        places[1] = {IDB_QUIT, slotWidth + slotOffset};
        count = 2;
    }
    for (int i = 0; i < count; ++i) {
        if (HWND button = GetDlgItem(window, places[i].id))
            MoveWindow(button, places[i].x, y, buttonWidth, buttonHeight, TRUE);
    }
}

void PaintBackdrop(HWND window)
{
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    SIZE backdrop = BackdropSize();

    // Read from the brush the window class paints with, so both greys agree.
    LOGBRUSH grey = {};
    GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof grey, &grey);

    HDC source = CreateCompatibleDC(target);
    HGDIOBJ previousBitmap = SelectObject(source, Launcher.backdropBitmap);
    COLORREF previousColour = SetBkColor(target, grey.lbColor);
    BitBlt(target, 3, 4, backdrop.cx, backdrop.cy, source, 0, 0, SRCCOPY);
    SetBkColor(target, previousColour);
    SelectObject(source, previousBitmap);
    DeleteDC(source);
    EndPaint(window, &paint);
}
