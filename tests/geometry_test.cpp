// The launcher window's geometry on a real window: sized around the backdrop,
// centred on the screen, its caption and button captions, and the buttons
// spread along the bottom by the worked layouts.
#include "tests/launcher_window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Place {
    int x, y, width, height;
};

bool operator==(const Place &a, const Place &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::ostream &operator<<(std::ostream &out, const Place &place)
{
    return out << "(" << place.x << ", " << place.y << ") " << place.width << " x " << place.height;
}

// Where a button stands in its parent's client area.
Place PlaceOf(HWND window, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(window, id), &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

std::string TextOf(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A backdrop of the given size: only its size matters to the geometry.
class Backdrop {
public:
    Backdrop(int width, int height) : bitmap_(CreateBitmap(width, height, 1, 1, nullptr)) {}
    ~Backdrop() { DeleteObject(bitmap_); }
    HBITMAP handle() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

class GeometryTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLauncherRecords(); }
};

struct Layout {
    const char *name;
    int charWidth, textHeight;
    SIZE backdrop;
    const char *language;
    int bothTypes;
    bool threeButtons;
    SIZE client;
    int buttonWidth, buttonHeight, y;
    int x100, x102, x101; // x102 only with three buttons
};

const Layout kLayouts[] = {
    // charWidth 6, textHeight 13, a 300 x 140 backdrop: client 306 x 171, row at 148.
    {"English, factor 12, two", 6, 13, {300, 140}, "E", 0, false, {306, 171}, 72, 19, 148, 40, 0, 193},
    {"other letter (D), factor 12, two", 6, 13, {300, 140}, "D", 0, false, {306, 171}, 72, 19, 148, 40, 0, 193},
    {"lower-case g is not G, factor 12", 6, 13, {300, 140}, "g", 0, false, {306, 171}, 72, 19, 148, 40, 0, 193},
    {"R, factor 13, two", 6, 13, {300, 140}, "R", 0, false, {306, 171}, 78, 19, 148, 37, 0, 190},
    {"G, factor 15, two", 6, 13, {300, 140}, "G", 0, false, {306, 171}, 90, 19, 148, 31, 0, 184},
    {"bothTypes, factor 15, two", 6, 13, {300, 140}, "E", 1, false, {306, 171}, 90, 19, 148, 31, 0, 184},
    {"R with bothTypes stays 13, two", 6, 13, {300, 140}, "R", 1, false, {306, 171}, 78, 19, 148, 37, 0, 190},
    {"English, factor 12, three", 6, 13, {300, 140}, "E", 0, true, {306, 171}, 72, 19, 148, 15, 117, 219},
    {"R, factor 13, three", 6, 13, {300, 140}, "R", 0, true, {306, 171}, 78, 19, 148, 12, 114, 216},
    {"G, factor 15, three", 6, 13, {300, 140}, "G", 0, true, {306, 171}, 90, 19, 148, 6, 108, 210},
    {"bothTypes, factor 15, three", 6, 13, {300, 140}, "?", 1, true, {306, 171}, 90, 19, 148, 6, 108, 210},
    // Wider buttons than their slots: slotOffset (102 - 105) / 2 is -1, not -2.
    {"charWidth 7, textHeight 16, factor 15, three", 7, 16, {300, 140}, "G", 0, true, {306, 176}, 105, 24, 148,
     -1, 101, 203},
    // The Italian backdrop makes a smaller window.
    {"Italian 213 x 100, two", 6, 13, {213, 100}, "I", 0, false, {219, 131}, 72, 19, 108, 18, 0, 127},
    {"Italian 213 x 100, three", 6, 13, {213, 100}, "I", 0, true, {219, 131}, 72, 19, 108, 0, 73, 146},
    // A client width of 3n + 2: two thirds divided once puts the right-hand
    // button at 205 + 15, one pixel right of twice the slot (204 + 15).
    {"client width 308, three", 6, 13, {302, 140}, "E", 0, true, {308, 171}, 72, 19, 148, 15, 117, 220},
};

TEST_F(GeometryTest, WorkedLayouts)
{
    for (const Layout &row : kLayouts) {
        SCOPED_TRACE(row.name);
        ResetLauncherRecords();
        Launcher.charWidth = row.charWidth;
        Launcher.textHeight = row.textHeight;
        TextCopy(Settings.Language, row.language);
        Settings.bothTypes = row.bothTypes;
        TextCopy(Settings.DemoMovie, row.threeButtons ? "intro.exe" : "?");
        DecideFromSettings();
        Backdrop backdrop(row.backdrop.cx, row.backdrop.cy);
        Launcher.backdropBitmap = backdrop.handle();

        LauncherWindow window;
        ASSERT_NE(nullptr, window.handle());
        SizeAndCenterWindow(window.handle());

        SIZE client = ClientSize(window.handle());
        EXPECT_EQ(row.client.cx, client.cx);
        EXPECT_EQ(row.client.cy, client.cy);
        EXPECT_EQ((Place{row.x100, row.y, row.buttonWidth, row.buttonHeight}), PlaceOf(window.handle(), IDB_ACTION));
        EXPECT_EQ((Place{row.x101, row.y, row.buttonWidth, row.buttonHeight}), PlaceOf(window.handle(), IDB_QUIT));
        if (row.threeButtons)
            EXPECT_EQ((Place{row.x102, row.y, row.buttonWidth, row.buttonHeight}),
                      PlaceOf(window.handle(), IDB_EXTRA));
        else
            EXPECT_EQ(nullptr, window.Button(IDB_EXTRA));
    }
}

TEST_F(GeometryTest, EveryWmSizeLaysTheButtonsOutAgain)
{
    Launcher.charWidth = 6;
    Launcher.textHeight = 13;
    Backdrop backdrop(300, 140);
    Launcher.backdropBitmap = backdrop.handle();
    LauncherWindow window;
    ASSERT_NE(nullptr, window.handle());
    SizeAndCenterWindow(window.handle());

    // The kind of sizing in wParam is not looked at; both halves of lParam
    // are signed 16-bit numbers.
    struct Row {
        const char *name;
        WPARAM kind;
        WORD width, height;
        Place action, quit;
    } rows[] = {
        {"zero size", SIZE_RESTORED, 0, 0, {-36, -23, 72, 19}, {-36, -23, 72, 19}},
        {"real size again", SIZE_RESTORED, 306, 171, {40, 148, 72, 19}, {193, 148, 72, 19}},
        {"zero size when minimised", SIZE_MINIMIZED, 0, 0, {-36, -23, 72, 19}, {-36, -23, 72, 19}},
        // -6 and -1: slotWidth -3, slotOffset (-3 - 72) / 2 = -37 (truncated toward zero).
        {"negative width and height", SIZE_RESTORED, 0xFFFA, 0xFFFF, {-37, -24, 72, 19}, {-40, -24, 72, 19}},
        {"real size, maximised", SIZE_MAXIMIZED, 306, 171, {40, 148, 72, 19}, {193, 148, 72, 19}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(0, SendMessageA(window.handle(), WM_SIZE, row.kind, MAKELPARAM(row.width, row.height)));
        EXPECT_EQ(row.action, PlaceOf(window.handle(), IDB_ACTION));
        EXPECT_EQ(row.quit, PlaceOf(window.handle(), IDB_QUIT));
    }
}

TEST_F(GeometryTest, TheWindowIsCentredAroundTheBackdropWithTheTitle)
{
    struct Row {
        const char *name;
        SIZE backdrop;
        int charWidth, textHeight;
    } rows[] = {
        {"300 x 140, font 6 x 13", {300, 140}, 6, 13},
        {"300 x 140, font 7 x 16", {300, 140}, 7, 16},
        {"213 x 100, font 6 x 13", {213, 100}, 6, 13},
        {"odd sizes", {301, 141}, 7, 15},
    };
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ResetLauncherRecords();
        TextCopy(Settings.Title, "Tolvane Premium & Co  ");
        Launcher.charWidth = row.charWidth;
        Launcher.textHeight = row.textHeight;
        Backdrop backdrop(row.backdrop.cx, row.backdrop.cy);
        Launcher.backdropBitmap = backdrop.handle();
        LauncherWindow window;
        ASSERT_NE(nullptr, window.handle());
        EXPECT_EQ("", TextOf(window.handle()));

        SizeAndCenterWindow(window.handle());

        EXPECT_EQ("Tolvane Premium & Co  ", TextOf(window.handle()));
        SIZE client = ClientSize(window.handle());
        EXPECT_EQ(row.backdrop.cx + 6, client.cx);
        EXPECT_EQ((3 * row.textHeight) / 2 + row.backdrop.cy + 12, client.cy);
        RECT outer = {};
        GetWindowRect(window.handle(), &outer);
        EXPECT_EQ((screenWidth - (outer.right - outer.left)) / 2, outer.left);
        EXPECT_EQ((screenHeight - (outer.bottom - outer.top)) / 2, outer.top);
        // Sized and placed, but still hidden: WinMain shows it.
        EXPECT_FALSE(IsWindowVisible(window.handle()));
    }
}

TEST_F(GeometryTest, AWindowLargerThanTheScreenStandsAtNegativeCoordinates)
{
    Launcher.charWidth = 6;
    Launcher.textHeight = 13;
    LauncherWindow window;
    ASSERT_NE(nullptr, window.handle());

    // A backdrop that makes the outer window 5 pixels wider and higher than
    // the screen: (-5) / 2 is -2, not -3.
    RECT frame = {0, 0, 100, 100};
    AdjustWindowRectEx(&frame, GetWindowLongA(window.handle(), GWL_STYLE), FALSE,
                       GetWindowLongA(window.handle(), GWL_EXSTYLE));
    int frameWidth = frame.right - frame.left - 100;
    int frameHeight = frame.bottom - frame.top - 100;
    int width = GetSystemMetrics(SM_CXSCREEN) + 5 - frameWidth - 6;
    int height = GetSystemMetrics(SM_CYSCREEN) + 5 - frameHeight - 12 - 19;
    Backdrop backdrop(width, height);
    Launcher.backdropBitmap = backdrop.handle();

    SizeAndCenterWindow(window.handle());

    RECT outer = {};
    GetWindowRect(window.handle(), &outer);
    EXPECT_EQ(-2, outer.left);
    EXPECT_EQ(-2, outer.top);
}

TEST_F(GeometryTest, ButtonCaptionsAndFont)
{
    struct Row {
        int installNeeded;
        const char *action; // the caption of button 100
    } rows[] = {{1, "Installieren"}, {0, "Starten"}};
    for (const Row &row : rows) {
        SCOPED_TRACE("installNeeded " + std::to_string(row.installNeeded));
        ResetLauncherRecords();
        ASSERT_EQ(1, LoadFontMetrics());
        Launcher.installNeeded = row.installNeeded;
        TextCopy(Launcher.captionAction, "Installieren");
        TextCopy(Launcher.captionStart, "Starten");
        TextCopy(Launcher.captionQuit, "Abbrechen");
        TextCopy(Launcher.captionExtra, "Intro ansehen");
        TextCopy(Settings.DemoMovie, "intro.exe");
        DecideSettings();
        Backdrop backdrop(300, 140);
        Launcher.backdropBitmap = backdrop.handle();

        LauncherWindow window;
        ASSERT_NE(nullptr, window.handle());
        // Button 100 gets its text only when the window is sized.
        EXPECT_EQ("", TextOf(window.Button(IDB_ACTION)));
        EXPECT_EQ("Abbrechen", TextOf(window.Button(IDB_QUIT)));
        EXPECT_EQ("Intro ansehen", TextOf(window.Button(IDB_EXTRA)));

        SizeAndCenterWindow(window.handle());

        EXPECT_EQ(row.action, TextOf(window.Button(IDB_ACTION)));
        for (int id : {IDB_ACTION, IDB_QUIT, IDB_EXTRA}) {
            SCOPED_TRACE("button " + std::to_string(id));
            HWND button = window.Button(id);
            EXPECT_EQ(reinterpret_cast<LRESULT>(Launcher.buttonFont), SendMessageA(button, WM_GETFONT, 0, 0));
            // No tab stop, no default-button style: the keys are the subclass's.
            EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON), GetWindowLongA(button, GWL_STYLE));
            EXPECT_EQ(0, GetWindowLongA(button, GWL_EXSTYLE));
        }
        DeleteObject(Launcher.buttonFont);
    }
}

} // namespace
