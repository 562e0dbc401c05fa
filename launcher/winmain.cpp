// Entry point: the guards, the start-up chain, the immediate start, and the
// launcher window's life from creation to the end of the message loop.
#include "launcher/startup.h"
#include "launcher/window.h"
#include "base/system_dlls.h"
#include "records/plan.h"
#include "records/state.h"
#include "ui/ui.h"

namespace {

// A window of the Unicode kind: its title keeps letters that the system's
// code page lacks, which a window of the ANSI kind would store as "?".
void RegisterLauncherClass(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc   = LauncherWndProc;
    windowClass.hInstance     = instance;
    windowClass.hCursor       = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = L"" LAUNCHER_CLASS;
    RegisterClassW(&windowClass); // a failure shows as a failed CreateWindowExW
}

int RunMessageLoop()
{
    MSG message;
    bool drawn = false;
    for (;;) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // The first time nothing is left to do, the window is drawn: the
            // sound starts now, its library no longer holding the window back.
            if (!drawn) {
                drawn = true;
                PlayStartupSound();
                continue;
            }
            WaitMessage();
            continue;
        }
        if (message.message == WM_QUIT)
            return static_cast<int>(message.wParam);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int)
{
    RestrictDllSearch(); // before anything can load a DLL
    Launcher.appInstance = instance;

    StartupEnd end = DecideStartup();
    ActOnStartup();
    if (end == StartupEnd::OldPlatform)
        return 0;
    if (end == StartupEnd::StartNow && MakeStarts(Plan.immediate, nullptr))
        return 0;
    // When the immediate start fails, the window shows instead.
    if (end != StartupEnd::Window && end != StartupEnd::StartNow)
        return -1;

    if (!previousInstance)
        RegisterLauncherClass(instance);
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, L"" LAUNCHER_CLASS, L"",
                                  WS_CLIPCHILDREN | WS_CAPTION | DS_MODALFRAME,
                                  0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window)
        return -1;
    SizeAndCenterWindow(window);
    ShowWindow(window, SW_SHOW);

    int exitCode = RunMessageLoop();

    if (Launcher.buttonFont) {
        DeleteObject(Launcher.buttonFont);
        Launcher.buttonFont = nullptr;
    }
    if (Launcher.backdropBitmap) {
        DeleteObject(Launcher.backdropBitmap);
        Launcher.backdropBitmap = nullptr;
    }
    return exitCode;
}
