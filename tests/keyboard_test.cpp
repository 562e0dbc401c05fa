// The buttons' keyboard handling on a real, shown launcher window: the focus
// tables, Enter and Escape, keys passed on to the platform's button, the
// focus coming back on activation, and no button subclassed unless all exist.
#include "tests/launcher_window.h"
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// What reached the launcher window. Commands other than Quit would start
// programs, so they are recorded and not handed on.
struct Command {
    int id;
    int notification;
    HWND control;
};
std::vector<Command> commands;
int closes = 0;

LRESULT CALLBACK RecordingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        if (LOWORD(wParam) != IDB_QUIT)
            return 0;
    }
    if (message == WM_CLOSE)
        ++closes;
    return LauncherWndProc(window, message, wParam, lParam);
}

// Key messages that reached the platform's button procedure, and whether the
// button still existed then.
struct BaseKey {
    WPARAM key;
    bool buttonAlive;
};
std::vector<BaseKey> baseKeys;
WNDPROC platformButtonProc = nullptr;

LRESULT CALLBACK SpyingBaseProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        baseKeys.push_back({wParam, IsWindow(button) != FALSE});
    return CallWindowProcA(platformButtonProc, button, message, wParam, lParam);
}

const char *KeyName(WPARAM key)
{
    switch (key) {
    case VK_TAB: return "Tab";
    case VK_RIGHT: return "Right";
    case VK_LEFT: return "Left";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Escape";
    case VK_UP: return "Up";
    case VK_DOWN: return "Down";
    case VK_SPACE: return "Space";
    default: return "other key";
    }
}

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        commands.clear();
        closes = 0;
        baseKeys.clear();
    }
    void TearDown() override { DeleteObject(backdrop_); }

    // A shown, active launcher window with two or three buttons, its
    // buttons' base procedure watched.
    std::unique_ptr<LauncherWindow> Open(bool threeButtons)
    {
        ResetLauncherRecords();
        Launcher.charWidth = 6;
        Launcher.textHeight = 13;
        Launcher.backdropBitmap = backdrop_;
        TextCopy(Settings.DemoMovie, threeButtons ? "intro.exe" : "?");
        DecideFromSettings();
        auto window = std::make_unique<LauncherWindow>(RecordingWndProc);
        if (!window->handle())
            return window;
        platformButtonProc = Launcher.buttonBaseProc;
        Launcher.buttonBaseProc = SpyingBaseProc;
        SizeAndCenterWindow(window->handle());
        ShowWindow(window->handle(), SW_SHOW);
        SetForegroundWindow(window->handle());
        Settle([&] { return GetFocus() == window->Button(IDB_ACTION); });
        return window;
    }

    template <typename Condition>
    static bool Settle(Condition condition)
    {
        return WaitUntil(
            [&] {
                PumpMessages();
                return condition();
            },
            5000);
    }

    // Sets the focus on a button, which records itself as focusedButton.
    static void FocusOn(const LauncherWindow &window, int id)
    {
        SetFocus(window.Button(id));
        Settle([&] { return GetFocus() == window.Button(id); });
    }

    // The key as the message loop delivers it: to the button with the focus.
    static void Press(WPARAM key)
    {
        SendMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        PumpMessages();
    }

    static int FocusedId() { return GetFocus() ? GetDlgCtrlID(GetFocus()) : 0; }

private:
    HBITMAP backdrop_ = CreateBitmap(300, 140, 1, 1, nullptr);
};

struct FocusMove {
    bool threeButtons;
    int focusOn;      // the button that has the focus and gets the key
    int recorded;     // focusedButton when the key arrives
    WPARAM key;
    int target;
};

const FocusMove kFocusMoves[] = {
    // Two buttons: every key toggles.
    {false, 100, 100, VK_TAB, 101},
    {false, 100, 100, VK_RIGHT, 101},
    {false, 100, 100, VK_LEFT, 101},
    {false, 101, 101, VK_TAB, 100},
    {false, 101, 101, VK_RIGHT, 100},
    {false, 101, 101, VK_LEFT, 100},
    {false, 101, 0, VK_TAB, 100},
    {false, 101, 555, VK_LEFT, 100},
    // Three buttons in the order 100, 102, 101, wrapping at either end.
    {true, 100, 100, VK_TAB, 102},
    {true, 100, 100, VK_RIGHT, 102},
    {true, 100, 100, VK_LEFT, 101},
    {true, 102, 102, VK_TAB, 101},
    {true, 102, 102, VK_RIGHT, 101},
    {true, 102, 102, VK_LEFT, 100},
    {true, 101, 101, VK_TAB, 100},
    {true, 101, 101, VK_RIGHT, 100},
    {true, 101, 101, VK_LEFT, 102},
    {true, 102, 555, VK_TAB, 100},
    {true, 102, 0, VK_RIGHT, 100},
    {true, 101, 555, VK_LEFT, 102},
    // The move starts from the recorded button, not from the one that got the key.
    {true, 101, 100, VK_TAB, 102},
};

TEST_F(KeyboardTest, FocusMovesByTheTables)
{
    for (bool threeButtons : {false, true}) {
        auto window = Open(threeButtons);
        ASSERT_NE(nullptr, window->handle());
        ASSERT_EQ(IDB_ACTION, FocusedId()) << "the first activation puts the focus on button 100";
        for (const FocusMove &row : kFocusMoves) {
            if (row.threeButtons != threeButtons)
                continue;
            SCOPED_TRACE(std::string(threeButtons ? "three" : "two") + " buttons, focus on " +
                         std::to_string(row.focusOn) + ", focusedButton " + std::to_string(row.recorded) + ", " +
                         KeyName(row.key));
            FocusOn(*window, row.focusOn);
            ASSERT_EQ(row.focusOn, Launcher.focusedButton);
            Launcher.focusedButton = row.recorded;
            baseKeys.clear();

            Press(row.key);

            EXPECT_EQ(row.target, FocusedId());
            EXPECT_EQ(row.target, Launcher.focusedButton);
            // The key goes on to the platform's button handling as well.
            ASSERT_EQ(1u, baseKeys.size());
            EXPECT_EQ(row.key, baseKeys[0].key);
        }
        EXPECT_TRUE(commands.empty());
        EXPECT_EQ(0, closes);
    }
}

TEST_F(KeyboardTest, ShiftCtrlAndAltAreNotLookedAt)
{
    auto window = Open(true);
    ASSERT_NE(nullptr, window->handle());
    struct Row {
        const char *name;
        BYTE keys[2];
        WPARAM key;
        int target;
    } rows[] = {
        {"Shift+Tab", {VK_SHIFT, VK_LSHIFT}, VK_TAB, 102},
        {"Shift+Left", {VK_SHIFT, VK_LSHIFT}, VK_LEFT, 101},
        {"Ctrl+Tab", {VK_CONTROL, VK_LCONTROL}, VK_TAB, 102},
        {"Alt+Right", {VK_MENU, VK_LMENU}, VK_RIGHT, 102},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        FocusOn(*window, IDB_ACTION);
        BYTE state[256];
        GetKeyboardState(state);
        BYTE saved[2] = {state[row.keys[0]], state[row.keys[1]]};
        state[row.keys[0]] = state[row.keys[1]] = 0x80;
        SetKeyboardState(state);
        ASSERT_TRUE(GetKeyState(row.keys[0]) < 0);

        Press(row.key);

        state[row.keys[0]] = saved[0];
        state[row.keys[1]] = saved[1];
        SetKeyboardState(state);
        EXPECT_EQ(row.target, FocusedId());
    }
}

TEST_F(KeyboardTest, AHiddenDisabledOrMissingTargetKeepsTheFocus)
{
    struct Row {
        const char *name;
        bool threeButtons;
        int focusOn;
        WPARAM key;
        int blocked;
        void (*block)(HWND);
    } rows[] = {
        {"hidden 102, Tab from 100", true, 100, VK_TAB, 102, [](HWND b) { ShowWindow(b, SW_HIDE); }},
        {"disabled 102, Right from 100", true, 100, VK_RIGHT, 102, [](HWND b) { EnableWindow(b, FALSE); }},
        {"disabled 101, Tab from 102", true, 102, VK_TAB, 101, [](HWND b) { EnableWindow(b, FALSE); }},
        {"missing 102, Tab from 100", true, 100, VK_TAB, 102, [](HWND b) { DestroyWindow(b); }},
        {"missing 102, Left from 101", true, 101, VK_LEFT, 102, [](HWND b) { DestroyWindow(b); }},
        {"disabled 101, two buttons, Left from 100", false, 100, VK_LEFT, 101, [](HWND b) { EnableWindow(b, FALSE); }},
        {"hidden 100, two buttons, Tab from 101", false, 101, VK_TAB, 100, [](HWND b) { ShowWindow(b, SW_HIDE); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        auto window = Open(row.threeButtons);
        ASSERT_NE(nullptr, window->handle());
        FocusOn(*window, row.focusOn);
        row.block(window->Button(row.blocked));
        baseKeys.clear();

        Press(row.key);

        EXPECT_EQ(row.focusOn, FocusedId());
        EXPECT_EQ(row.focusOn, Launcher.focusedButton);
        EXPECT_EQ(1u, baseKeys.size()) << "the key is passed on";
    }
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(0, closes);
}

TEST_F(KeyboardTest, EnterSendsTheButtonsCommandToTheWindow)
{
    struct Row {
        bool threeButtons;
        int id;
    } rows[] = {{false, IDB_ACTION}, {true, IDB_ACTION}, {true, IDB_EXTRA}};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.threeButtons ? "three" : "two") + " buttons, Enter on " + std::to_string(row.id));
        commands.clear();
        auto window = Open(row.threeButtons);
        ASSERT_NE(nullptr, window->handle());
        FocusOn(*window, row.id);

        Press(VK_RETURN);

        ASSERT_EQ(1u, commands.size());
        EXPECT_EQ(row.id, commands[0].id);
        EXPECT_EQ(BN_CLICKED, commands[0].notification);
        EXPECT_EQ(window->Button(row.id), commands[0].control);
        EXPECT_EQ(row.id, FocusedId());
        EXPECT_EQ(0, closes);
    }
}

TEST_F(KeyboardTest, EnterOnQuitAndEscapeCloseTheWindow)
{
    struct Row {
        bool threeButtons;
        int focusOn;
        WPARAM key;
        bool command; // Enter on Quit goes through the Quit command
    } rows[] = {
        {false, IDB_QUIT, VK_RETURN, true},
        {true, IDB_QUIT, VK_RETURN, true},
        {false, IDB_ACTION, VK_ESCAPE, false},
        {false, IDB_QUIT, VK_ESCAPE, false},
        {true, IDB_EXTRA, VK_ESCAPE, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.threeButtons ? "three" : "two") + " buttons, " + KeyName(row.key) + " on " +
                     std::to_string(row.focusOn));
        commands.clear();
        closes = 0;
        auto window = Open(row.threeButtons);
        ASSERT_NE(nullptr, window->handle());
        FocusOn(*window, row.focusOn);
        HWND button = window->Button(row.focusOn);
        baseKeys.clear();

        SendMessageA(button, WM_KEYDOWN, row.key, 1);

        if (row.command) {
            ASSERT_EQ(1u, commands.size());
            EXPECT_EQ(IDB_QUIT, commands[0].id);
            EXPECT_EQ(BN_CLICKED, commands[0].notification);
            EXPECT_EQ(button, commands[0].control);
        } else {
            EXPECT_TRUE(commands.empty());
        }
        EXPECT_EQ(1, closes);
        EXPECT_FALSE(IsWindow(window->handle()));
        EXPECT_TRUE(LauncherWindow::DropQuitMessage()) << "WM_DESTROY posts the quit message with 0";
        // The button is gone: its key is not handed to the platform's procedure.
        EXPECT_TRUE(baseKeys.empty());
    }
}

TEST_F(KeyboardTest, OtherKeysAreOnlyPassedOn)
{
    auto window = Open(true);
    ASSERT_NE(nullptr, window->handle());
    FocusOn(*window, IDB_EXTRA);
    // Space last: the platform's button takes it as the start of a press.
    for (WPARAM key : {static_cast<WPARAM>(VK_UP), static_cast<WPARAM>(VK_DOWN), static_cast<WPARAM>('A'),
                       static_cast<WPARAM>(VK_F1), static_cast<WPARAM>(VK_SPACE)}) {
        SCOPED_TRACE(KeyName(key));
        baseKeys.clear();
        Press(key);
        EXPECT_EQ(IDB_EXTRA, FocusedId());
        ASSERT_EQ(1u, baseKeys.size());
        EXPECT_EQ(key, baseKeys[0].key);
    }
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(0, closes);
}

TEST_F(KeyboardTest, TheFocusComesBackToTheLastButtonOnActivation)
{
    auto window = Open(true);
    ASSERT_NE(nullptr, window->handle());
    EXPECT_EQ(IDB_ACTION, FocusedId());
    Press(VK_TAB);
    ASSERT_EQ(IDB_EXTRA, FocusedId());

    // The user switches to another window and back.
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, other);
    SetForegroundWindow(other);
    EXPECT_TRUE(Settle([&] { return GetActiveWindow() == other; }));
    EXPECT_NE(window->handle(), GetParent(GetFocus()));
    EXPECT_EQ(IDB_EXTRA, Launcher.focusedButton);

    SetForegroundWindow(window->handle());
    EXPECT_TRUE(Settle([&] { return GetFocus() == window->Button(IDB_EXTRA); }))
        << "focus on " << FocusedId();

    // The window itself receiving the focus hands it on the same way.
    SetFocus(window->handle());
    PumpMessages();
    EXPECT_EQ(window->Button(IDB_EXTRA), GetFocus());
    DestroyWindow(other);
}

// Refuses the creation of one button, as if the platform could not make it.
int refusedId = 0;
std::vector<std::pair<int, bool>> subclassedWhenRefused; // (id, subclassed) of the buttons already made

LRESULT CALLBACK RefuseOneButton(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA *create = reinterpret_cast<CBT_CREATEWNDA *>(lParam)->lpcs;
        if (create->hwndParent && reinterpret_cast<INT_PTR>(create->hMenu) == refusedId) {
            for (int id : {IDB_ACTION, IDB_QUIT, IDB_EXTRA}) {
                if (HWND made = GetDlgItem(create->hwndParent, id))
                    subclassedWhenRefused.push_back(
                        {id, GetWindowLongPtrA(made, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ButtonSubclassProc)});
            }
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(KeyboardTest, NoButtonIsSubclassedUnlessAllCanBeCreated)
{
    struct Row {
        bool threeButtons;
        int refused;
        std::vector<std::pair<int, bool>> made; // what existed when the refused one was asked for
    } rows[] = {
        {false, IDB_ACTION, {}},
        {false, IDB_QUIT, {{IDB_ACTION, false}}},
        {true, IDB_QUIT, {{IDB_ACTION, false}}},
        {true, IDB_EXTRA, {{IDB_ACTION, false}, {IDB_QUIT, false}}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.threeButtons ? "three" : "two") + " buttons, " + std::to_string(row.refused) +
                     " refused");
        ResetLauncherRecords();
        TextCopy(Settings.DemoMovie, row.threeButtons ? "intro.exe" : "?");
        DecideFromSettings();
        refusedId = row.refused;
        subclassedWhenRefused.clear();
        HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseOneButton, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, hook);
        LauncherWindow window(RecordingWndProc);
        UnhookWindowsHookEx(hook);

        EXPECT_EQ(nullptr, window.handle()) << "WM_CREATE answers -1";
        EXPECT_EQ(row.made, subclassedWhenRefused);
        EXPECT_EQ(nullptr, Launcher.buttonBaseProc);
    }
}

} // namespace
