// The launcher window as a user sees it, from outside the real launcher.exe:
// its size and place, title, buttons and captions in each language, the
// backdrop painted in its grey margin, the keys sent to its buttons, and a
// screenshot of each language saved in the build folder by snap.exe.
#include "tests/support/e2e.h"
#include "tests/support/png.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const COLORREF kLightGrey = RGB(192, 192, 192); // the LTGRAY_BRUSH stock brush

struct Look {
    const char *name;     // of the language, and of its screenshot
    const char *language; // the Language value; nullptr: no such line
    bool threeButtons;
    int bitmapId;
    SIZE backdrop;
    int widthFactor;
    const wchar_t *action, *quit, *extra;
};

const Look kEnglish = {"english", "E", false, 101, {300, 140}, 12, L"Install", L"Quit", nullptr};
const Look kItalian = {"italian", "I", false, 113, {213, 100}, 12, L"Installa", L"Esci", nullptr};
const Look kGerman = {"german", "G", false, 118, {300, 140}, 15, L"Installieren", L"Abbrechen", nullptr};
const Look kFrench = {"french", "F", false, 119, {300, 140}, 12, L"Installer", L"Quitter", nullptr};
// Установка, Выход
const Look kRussian = {"russian", "R", false, 114, {300, 140}, 13,
                       L"\x0423\x0441\x0442\x0430\x043D\x043E\x0432\x043A\x0430", L"\x0412\x044B\x0445\x043E\x0434",
                       nullptr};
const Look kDefault = {"default", nullptr, false, 101, {300, 140}, 12, L"Install", L"Quit", nullptr};
const Look kEnglishThree = {"english, three buttons", "E", true, 101, {300, 140}, 12, L"Install", L"Quit",
                            L"Start From CD"};
const Look kGermanThree = {"german, three buttons", "G", true, 118, {300, 140}, 15, L"Installieren", L"Abbrechen",
                           L"View Intro"};

std::string DiscIni(const Look &look, const std::string &extraWindow = "", const std::string &extraProgram = "")
{
    std::string window = "[Window]\r\nTitle=Tolvane\r\n" + extraWindow;
    if (look.language)
        window += std::string("Language=") + look.language + "\r\n";
    if (look.threeButtons)
        window += "DemoMovie=intro.exe\r\n";
    return window + "[Program]\r\nApplication name=app.exe\r\nInstaller=setup.exe\r\n" + extraProgram +
           "[RegIni]\r\nIni file name=TolvaneTestRecord\r\nKey install dir=InstallDir\r\nSection name=Setup\r\n";
}

// The launcher's button font measured here: the prefix's font mapper picks
// the face for Verdana, so the sizes are those of this machine.
struct Metrics {
    int charWidth, textHeight;
};
Metrics ButtonFontMetrics()
{
    LOGFONTA description = {};
    description.lfHeight = -11;
    description.lfWeight = FW_LIGHT;
    description.lfQuality = PROOF_QUALITY;
    description.lfPitchAndFamily = FF_MODERN | DEFAULT_PITCH;
    lstrcpyA(description.lfFaceName, "Verdana");
    HFONT font = CreateFontIndirectA(&description);
    HDC screen = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    DeleteDC(screen);
    DeleteObject(font);
    return {metrics.tmAveCharWidth, metrics.tmHeight};
}

std::string Narrow(const std::wstring &text)
{
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], static_cast<int>(utf8.size()), nullptr,
                                    nullptr) - 1);
    return utf8;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

RECT ClientOnScreen(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&client), 2);
    return client;
}

// An embedded backdrop as the launcher's module holds it, decoded by the
// system (it is run-length encoded) into 24-bit rows.
Image EmbeddedBackdrop(const std::string &exePath, int id)
{
    Image image;
    HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return image;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_BITMAP);
    const BYTE *data = found ? static_cast<const BYTE *>(LockResource(LoadResource(module, found))) : nullptr;
    if (data) {
        const auto *stored = reinterpret_cast<const BITMAPINFO *>(data);
        const BITMAPINFOHEADER &header = stored->bmiHeader;
        DWORD colours = header.biClrUsed ? header.biClrUsed : header.biBitCount <= 8 ? 1u << header.biBitCount : 0;
        const BYTE *bits = data + header.biSize + colours * sizeof(RGBQUAD);
        BITMAPINFO rows = {};
        rows.bmiHeader.biSize = sizeof rows.bmiHeader;
        rows.bmiHeader.biWidth = header.biWidth;
        rows.bmiHeader.biHeight = -header.biHeight; // top-down
        rows.bmiHeader.biPlanes = 1;
        rows.bmiHeader.biBitCount = 24;
        void *pixels = nullptr;
        HDC memory = CreateCompatibleDC(nullptr);
        HBITMAP section = CreateDIBSection(memory, &rows, DIB_RGB_COLORS, &pixels, nullptr, 0);
        HGDIOBJ previous = SelectObject(memory, section);
        if (section && StretchDIBits(memory, 0, 0, header.biWidth, header.biHeight, 0, 0, header.biWidth,
                                     header.biHeight, bits, stored, DIB_RGB_COLORS, SRCCOPY) == header.biHeight) {
            image.width = header.biWidth;
            image.height = header.biHeight;
            size_t stride = (header.biWidth * 3 + 3) & ~3;
            for (int y = 0; y < image.height; ++y) {
                const BYTE *row = static_cast<const BYTE *>(pixels) + y * stride;
                for (int x = 0; x < image.width; ++x) {
                    image.rgb.push_back(row[3 * x + 2]);
                    image.rgb.push_back(row[3 * x + 1]);
                    image.rgb.push_back(row[3 * x]);
                }
            }
        }
        SelectObject(memory, previous);
        DeleteObject(section);
        DeleteDC(memory);
    }
    FreeLibrary(module);
    return image;
}

Image Crop(const Image &from, int left, int top, int width, int height)
{
    Image part;
    if (left < 0 || top < 0 || left + width > from.width || top + height > from.height)
        return part;
    part.width = width;
    part.height = height;
    for (int y = top; y < top + height; ++y)
        part.rgb.insert(part.rgb.end(), from.Pixel(left, y), from.Pixel(left, y) + width * 3);
    return part;
}

// A launcher started on a disc of the given look, its window shown.
class ShownLauncher {
public:
    explicit ShownLauncher(const Look &look, const std::string &ini = "",
                           const std::function<void(const Disc &)> &prepare = nullptr)
    {
        disc_.WriteIni(ini.empty() ? DiscIni(look) : ini);
        if (prepare)
            prepare(disc_);
        disc_.AddProbe("setup.exe");
        if (process_.Start(disc_.Launcher(), disc_.probeLog()))
            window_ = process_.WaitForWindow(kLauncherClass);
    }
    HWND window() const { return window_; }
    HWND Button(int id) const { return GetDlgItem(window_, id); }
    LauncherProcess &process() { return process_; }
    const Disc &disc() const { return disc_; }

private:
    Disc disc_;
    LauncherProcess process_;
    HWND window_ = nullptr;
};

// What a user sees of the window, checked against the look.
void ExpectLook(const Look &look, ShownLauncher &launcher)
{
    HWND window = launcher.window();
    Metrics font = ButtonFontMetrics();
    int buttonWidth = font.charWidth * look.widthFactor;
    int buttonHeight = (3 * font.textHeight) / 2;
    SCOPED_TRACE("font " + std::to_string(font.charWidth) + " x " + std::to_string(font.textHeight));

    EXPECT_EQ(L"Tolvane", ShownText(window));
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(look.backdrop.cx + 6, client.right);
    EXPECT_EQ(buttonHeight + look.backdrop.cy + 12, client.bottom);
    RECT outer = {};
    GetWindowRect(window, &outer);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2, outer.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2, outer.top);

    // The buttons, left to right, along the bottom.
    struct Expected {
        int id;
        const wchar_t *caption;
        int x;
    };
    std::vector<Expected> buttons;
    if (look.threeButtons) {
        int slot = client.right / 3, offset = (slot - buttonWidth) / 2;
        buttons.push_back({100, look.action, offset});
        buttons.push_back({102, look.extra, slot + offset});
        buttons.push_back({101, look.quit, (2 * client.right) / 3 + offset});
    } else {
        int slot = client.right / 2, offset = (slot - buttonWidth) / 2;
        buttons.push_back({100, look.action, offset});
        buttons.push_back({101, look.quit, slot + offset});
    }
    int children = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(static_cast<int>(buttons.size()), children);
    for (const Expected &expected : buttons) {
        SCOPED_TRACE("button " + std::to_string(expected.id));
        HWND button = launcher.Button(expected.id);
        ASSERT_NE(nullptr, button);
        EXPECT_EQ("Button", ClassOf(button));
        EXPECT_TRUE(IsWindowVisible(button));
        EXPECT_EQ(Narrow(expected.caption), Narrow(ShownText(button)));
        RECT place = {};
        GetWindowRect(button, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&place), 2);
        EXPECT_EQ(expected.x, place.left);
        EXPECT_EQ(look.backdrop.cy + 8, place.top);
        EXPECT_EQ(buttonWidth, place.right - place.left);
        EXPECT_EQ(buttonHeight, place.bottom - place.top);
    }

    EXPECT_TRUE(WaitUntil([&] { return FocusOf(window) == launcher.Button(100); }, 5000))
        << "the focus starts on button 100";

    // The backdrop at (3, 4) of the client area, light grey around it.
    Image backdrop = EmbeddedBackdrop(launcher.disc().Launcher(), look.bitmapId);
    ASSERT_EQ(look.backdrop.cx, backdrop.width);
    ASSERT_EQ(look.backdrop.cy, backdrop.height);
    Image shot;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shot = CaptureScreen(ClientOnScreen(window));
            return Crop(shot, 3, 4, backdrop.width, backdrop.height) == backdrop;
        },
        10000))
        << "the backdrop is not painted at (3, 4)";
    ASSERT_FALSE(shot.empty());
    int bmW = backdrop.width, bmH = backdrop.height;
    struct Point {
        const char *where;
        int x, y;
    } margins[] = {
        {"top left", 0, 0},         {"left", 2, bmH / 2},       {"top", bmW / 2, 3},
        {"right", bmW + 3, bmH / 2}, {"right edge", bmW + 5, 0}, {"under the picture", bmW / 2, bmH + 5},
        {"bottom", bmW / 2, client.bottom - 1},
    };
    for (const Point &point : margins) {
        SCOPED_TRACE(point.where);
        EXPECT_EQ(kLightGrey, shot.Colour(point.x, point.y));
    }
}

// Runs snap.exe with its arguments; its exit code as RunCommand reports it.
DWORD RunSnap(const std::string &arguments)
{
    return RunCommand("\"" + BuildDir() + "snap.exe\" " + arguments, 60000);
}

// Saves build/screenshot-NAME.png with snap.exe, which then closes the
// launcher, and checks the file against the window as captured here.
void SaveScreenshot(const Look &look, ShownLauncher &launcher)
{
    HWND window = launcher.window();
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(window) == launcher.Button(100); }, 5000));
    RECT outer = {};
    GetWindowRect(window, &outer);
    // Painted now, buttons included, and taken once the captures have agreed
    // for a quarter of a second, as snap.exe does: a capture between the
    // backdrop's and a button's paint would show a window the user never sees.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Image seen, previous;
    Image backdrop = EmbeddedBackdrop(launcher.disc().Launcher(), look.bitmapId);
    DWORD unchangedSince = GetTickCount();
    ASSERT_TRUE(WaitUntil(
        [&] {
            previous = seen;
            seen = CaptureScreen(outer);
            Image client = CaptureScreen(ClientOnScreen(window));
            if (!(seen == previous) || !(Crop(client, 3, 4, backdrop.width, backdrop.height) == backdrop))
                unchangedSince = GetTickCount();
            return GetTickCount() - unchangedSince >= 250;
        },
        10000));

    // Saved aside, then put in place whole: both Windows' runs save it.
    ScratchDir folder("snap");
    std::string saved = folder / "shot.png";
    EXPECT_EQ(0u, RunSnap("\"" + saved + "\" --close --wait 20"));
    EXPECT_EQ(0u, launcher.process().WaitForExit());

    std::string png = ReadTextFile(saved);
    ASSERT_FALSE(png.empty()) << saved;
    EXPECT_EQ(EncodePng(seen), png) << "snap.exe saw another picture than the window shown";
    std::string path = BuildDir() + "screenshot-" + look.name + ".png";
    EXPECT_TRUE(MoveFileExA(saved.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) << path;
}

TEST(Window, SnapReportsABadCommandLineAndAMissingWindow)
{
    ScratchDir folder("snap");
    std::string out = folder / "shot.png";
    struct Row {
        std::string arguments;
        DWORD exitCode;
    } rows[] = {
        {"", 1},
        {"\"" + out + "\" --bogus", 1},
        {"\"" + out + "\" --wait 0", 1},
        {"\"" + out + "\" --wait 1", 2}, // no launcher is running
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.arguments);
        EXPECT_EQ(row.exitCode, RunSnap(row.arguments));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(out.c_str()));
    }
}

TEST(Window, AsAUserSeesItInEachLanguage)
{
    for (const Look *look : {&kEnglish, &kItalian, &kGerman, &kFrench, &kDefault, &kEnglishThree, &kGermanThree}) {
        SCOPED_TRACE(look->name);
        ShownLauncher launcher(*look);
        ASSERT_NE(nullptr, launcher.window());
        ExpectLook(*look, launcher);
        PostMessageA(launcher.window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, launcher.process().WaitForExit());
    }
}

TEST(Window, ScreenshotsInEachLanguage)
{
    for (const Look *look : {&kEnglish, &kItalian, &kGerman, &kFrench}) {
        SCOPED_TRACE(look->name);
        ShownLauncher launcher(*look);
        ASSERT_NE(nullptr, launcher.window());
        SaveScreenshot(*look, launcher);
    }
}

// A Russian disc is meant for a Russian Windows, whose code page is 1251;
// the test run sets it (tests/CMakeLists.txt), and the launcher inherits it.
TEST(WindowRussian, AsAUserSeesItWithCodePage1251)
{
    ASSERT_EQ(1251u, GetACP()) << "run with LC_ALL=ru_RU.UTF-8";
    ShownLauncher launcher(kRussian);
    ASSERT_NE(nullptr, launcher.window());
    ExpectLook(kRussian, launcher);
    SaveScreenshot(kRussian, launcher);
}

// A Russian disc on a Western Windows (code page 1252), the common case of a
// Russian speaker with an English Windows: the captions are the words meant.
TEST(Window, ARussianDiscOnAWesternWindows)
{
    ASSERT_EQ(1252u, GetACP()) << "run under a Western locale (C.UTF-8, en_US.UTF-8, ...)";
    Look look = kRussian;
    look.name = "russian-on-western";
    ShownLauncher launcher(look);
    ASSERT_NE(nullptr, launcher.window());
    ExpectLook(look, launcher);
    SaveScreenshot(look, launcher);
}

// Western discs on a Russian Windows (code page 1251): German as it looks
// anywhere, and the French Start with its accented letter.
TEST(WindowWesternOnRussian, CaptionsAreTheWordsMeant)
{
    ASSERT_EQ(1251u, GetACP()) << "run with LC_ALL=ru_RU.UTF-8";
    {
        ShownLauncher launcher(kGermanThree);
        ASSERT_NE(nullptr, launcher.window());
        ExpectLook(kGermanThree, launcher);
    }
    ScratchDir installation("inst");
    installation.Write("app.exe", "x");
    RegistryKey record(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord");
    RegistryKey settings(HKEY_CURRENT_USER, "Software\\TolvaneTestRecord\\Setup\\Settings");
    settings.SetString("InstallDir", installation.path());
    Look french = kFrench;
    std::string ini = DiscIni(french, "Bitmap=back.bmp\r\n") + "RegTopKey=C\r\n";
    ShownLauncher launcher(french, ini, [](const Disc &disc) {
        disc.Write("back.bmp", BmpFile(2, 2, [](int, int) { return RGB(0x80, 0x80, 0x80); }));
    });
    ASSERT_NE(nullptr, launcher.window());
    EXPECT_EQ(Narrow(L"D\u00E9marrer"), Narrow(ShownText(launcher.Button(100))));
    EXPECT_EQ(Narrow(L"Quitter"), Narrow(ShownText(launcher.Button(101))));
}

TEST(Window, BothTypesShowsTheDiscsBitmapFile)
{
    Image picture;
    picture.width = 251;
    picture.height = 97;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            picture.rgb.push_back(static_cast<unsigned char>(x));
            picture.rgb.push_back(static_cast<unsigned char>(2 * y));
            picture.rgb.push_back(static_cast<unsigned char>(x + y > 200 ? 40 : 220));
        }
    }
    const Look look = {"english, bothTypes", "E", false, 0, {251, 97}, 15, L"Install", L"Quit", nullptr};
    Disc disc;
    disc.Write("art\\backdrop.bmp",
               BmpFile(picture.width, picture.height, [&](int x, int y) { return picture.Colour(x, y); }));
    disc.WriteIni(DiscIni(look, "Bitmap=art\\backdrop.bmp\r\n", "bothTypes=1\r\n"));
    LauncherProcess process;
    ASSERT_TRUE(process.Start(disc.Launcher(), disc.probeLog()));
    HWND window = process.WaitForWindow(kLauncherClass);
    ASSERT_NE(nullptr, window);

    Metrics font = ButtonFontMetrics();
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(251 + 6, client.right);
    EXPECT_EQ((3 * font.textHeight) / 2 + 97 + 12, client.bottom);
    RECT action = {};
    GetWindowRect(GetDlgItem(window, 100), &action);
    EXPECT_EQ(font.charWidth * 15, action.right - action.left);
    EXPECT_TRUE(WaitUntil(
        [&] { return Crop(CaptureScreen(ClientOnScreen(window)), 3, 4, 251, 97) == picture; }, 10000))
        << "the disc's bitmap is not painted at (3, 4)";

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, process.WaitForExit());
}

// Which pictures cannot be loaded is the in-process tests' table; here the
// real launcher's end without one.
TEST(Window, WithoutAUsableBitmapFileNoWindowIsShown)
{
    Disc disc;
    disc.WriteIni(DiscIni(kEnglish, "Bitmap=art\\missing.bmp\r\n", "bothTypes=1\r\n"));
    LauncherProcess process;
    ASSERT_TRUE(process.Start(disc.Launcher(), disc.probeLog()));
    RunOutcome outcome = RunToEnd(process);
    EXPECT_EQ(kExitFailed, outcome.exitCode);
    EXPECT_FALSE(outcome.showedWindow || outcome.showedMessageBox) << "neither the window nor a message";
}

// Sends a key to the button that has the focus, as the keyboard would.
void PressOnFocused(HWND window, WPARAM key)
{
    HWND focused = FocusOf(window);
    ASSERT_NE(nullptr, focused);
    PostMessageA(focused, WM_KEYDOWN, key, 1);
}

// The real launcher's keys: the focus moves (every move is the in-process
// tests' table), and Enter on Quit or Escape closes it, starting nothing.
TEST(Window, TheKeysMoveTheFocusAndEnterOnQuitOrEscapeCloses)
{
    struct Step {
        WPARAM key;
        const char *name;
        int focus;
    };
    struct Row {
        WPARAM closing;
        std::vector<Step> steps;
    } rows[] = {
        {VK_RETURN, {{VK_TAB, "Tab", 102}, {VK_RIGHT, "Right", 101}}},
        {VK_ESCAPE, {{VK_LEFT, "Left", 101}, {VK_LEFT, "Left", 102}, {VK_DOWN, "Down", 102}}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.closing == VK_RETURN ? "Enter on Quit" : "Escape");
        ShownLauncher launcher(kEnglishThree);
        HWND window = launcher.window();
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(window) == launcher.Button(100); }, 5000));
        for (const Step &step : row.steps) {
            SCOPED_TRACE(step.name);
            PressOnFocused(window, step.key);
            EXPECT_TRUE(WaitUntil([&] { return FocusOf(window) == launcher.Button(step.focus); }, 5000))
                << "focus on " << GetDlgCtrlID(FocusOf(window));
        }

        PressOnFocused(window, row.closing);
        EXPECT_EQ(0u, launcher.process().WaitForExit());
        EXPECT_TRUE(ReadProbeLog(launcher.disc().probeLog()).empty());
    }
}

TEST(Window, EnterOnInstallStartsTheInstallerAndCloses)
{
    ShownLauncher launcher(kGerman);
    HWND window = launcher.window();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(window) == launcher.Button(100); }, 5000));

    PressOnFocused(window, VK_RETURN);
    std::vector<ProbeRun> runs = WaitForProbeRuns(launcher.disc().probeLog(), 1);
    ASSERT_EQ(1u, runs.size());
    const std::string installer = "setup.exe"; // the disc's Installer, after the launcher's folder
    EXPECT_EQ(installer, runs[0].commandLine.substr(runs[0].commandLine.size() - installer.size()))
        << runs[0].commandLine;
    EXPECT_EQ(0u, launcher.process().WaitForExit());
}

} // namespace
