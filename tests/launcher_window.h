// A launcher window made inside the test process the way WinMain makes it:
// the launcher's class and styles, with LauncherWndProc or a test procedure
// that hands on to it.
#pragma once

#include "base/text.h"
#include "config/config.h"
#include "launcher/startup.h"
#include "launcher/window.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "tests/support/support.h"
#include "ui/ui.h"

#include <windows.h>

#include <initializer_list>

// What the launcher decides from the settings as they are, as its start-up
// would: what the values mean, the language's row and captions, the presses.
inline void DecideFromSettings()
{
    DecideSettings();
    SetCaptionsByLanguage();
    PlanPresses();
}

// The records as at program start, with every optional setting absent ("?")
// and the test executable, which carries the launcher's resources, as
// module; and the launcher's decisions from them.
inline void ResetLauncherRecords()
{
    Settings = LauncherSettings{};
    Launcher = LauncherState{};
    Plan = LauncherPlan{};
    for (char *field : {Settings.Bitmap, Settings.Audio, Settings.Language, Settings.DemoMovie, Settings.BitmapText})
        TextCopy(field, 2, "?");
    TextCopy(Settings.Title, "Tolvane");
    Launcher.appInstance = GetModuleHandleA(nullptr);
    DecideFromSettings();
}

class LauncherWindow {
public:
    explicit LauncherWindow(WNDPROC procedure = LauncherWndProc)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        windowClass.lpszClassName = L"" LAUNCHER_CLASS;
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, L"" LAUNCHER_CLASS, L"",
                                  WS_CLIPCHILDREN | WS_CAPTION | DS_MODALFRAME, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    ~LauncherWindow()
    {
        if (IsWindow(window_))
            DestroyWindow(window_);
        UnregisterClassW(L"" LAUNCHER_CLASS, GetModuleHandleA(nullptr));
        DropQuitMessage();
    }
    LauncherWindow(const LauncherWindow &) = delete;
    LauncherWindow &operator=(const LauncherWindow &) = delete;

    HWND handle() const { return window_; }
    HWND Button(int id) const { return GetDlgItem(window_, id); }

    // WM_DESTROY posts the quit message; true when it was there, with code 0.
    static bool DropQuitMessage()
    {
        MSG message;
        bool quit = false;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            quit = message.wParam == 0;
        return quit;
    }

private:
    HWND window_;
};
