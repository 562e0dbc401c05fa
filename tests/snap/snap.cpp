// Saves a screenshot of the launcher window as a PNG file, for runs where
// nobody looks at a screen (Xvfb):
//
//   snap.exe OUT.png [--close] [--wait SECONDS]
//
// Waits up to SECONDS (default 30) for a visible "KOV:Autoplay" window, has
// it painted, takes its rectangle from the screen once its captures have
// agreed for a quarter of a second, and writes OUT.png. With --close it then closes the launcher with
// WM_CLOSE and waits for the window to go.
//
// Exit codes: 0 written (and closed), 1 bad command line, 2 no launcher
// window in time, 3 no steady picture or the file could not be written,
// 4 the window did not close in time.
#include "tests/support/png.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kLauncherClass[] = "KOV:Autoplay";
const DWORD kSteadyMs = 250;

// Polls condition until it holds or limitMs have passed since start.
template <typename Condition>
bool PollUntil(Condition condition, DWORD start, DWORD limitMs)
{
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= limitMs)
            return false;
        Sleep(50);
    }
}

int Usage()
{
    fprintf(stderr, "usage: snap.exe OUT.png [--close] [--wait SECONDS]\n");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    const char *out = nullptr;
    bool close = false;
    DWORD limitMs = 30000;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--close") == 0) {
            close = true;
        } else if (strcmp(argv[i], "--wait") == 0 && i + 1 < argc) {
            int seconds = atoi(argv[++i]);
            if (seconds <= 0)
                return Usage();
            limitMs = static_cast<DWORD>(seconds) * 1000;
        } else if (argv[i][0] != '-' && !out) {
            out = argv[i];
        } else {
            return Usage();
        }
    }
    if (!out)
        return Usage();

    DWORD start = GetTickCount();
    HWND window = nullptr;
    if (!PollUntil(
            [&] {
                window = FindWindowA(kLauncherClass, nullptr);
                return window && IsWindowVisible(window);
            },
            start, limitMs)) {
        fprintf(stderr, "snap: no visible %s window within %lu s\n", kLauncherClass, limitMs / 1000);
        return 2;
    }

    // Above other windows without taking the focus from its buttons, then
    // painted now, frame and buttons included (the launcher answers at once).
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

    // The display may show the paint a moment later, and a slow machine may
    // pause the launcher between its backdrop and a button: take the picture
    // once the captures have agreed for a quarter of a second.
    Image previous, picture;
    DWORD unchangedSince = GetTickCount();
    bool steady = PollUntil(
        [&] {
            RECT area;
            if (!GetWindowRect(window, &area))
                return false;
            previous = picture;
            picture = CaptureScreen(area);
            if (picture.empty() || !(picture == previous))
                unchangedSince = GetTickCount();
            return !picture.empty() && GetTickCount() - unchangedSince >= kSteadyMs;
        },
        start, limitMs);
    if (!steady) {
        fprintf(stderr, "snap: the window's picture did not settle\n");
        return 3;
    }
    if (!WritePng(out, picture)) {
        fprintf(stderr, "snap: cannot write %s\n", out);
        return 3;
    }
    printf("%s: %dx%d\n", out, picture.width, picture.height);

    if (close) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (!PollUntil([&] { return !IsWindow(window); }, GetTickCount(), limitMs)) {
            fprintf(stderr, "snap: the launcher window did not close\n");
            return 4;
        }
    }
    return 0;
}
