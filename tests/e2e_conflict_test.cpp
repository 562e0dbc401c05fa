// launcher.exe beside another installed edition and beside a running copy of
// the application: the warning as a user of each language sees it, and the
// launcher ending without its window.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

const char kLauncherClass[] = "KOV:Autoplay";
const char kVendorKey[]     = "SOFTWARE\\Quillmoor";
const char kProductKey[]    = "SOFTWARE\\Quillmoor\\Tolvane";
const char kSettingsKey[]   = "SOFTWARE\\Quillmoor\\Tolvane\\Settings";
const char kAppClass[]      = "TolvaneTestMainWindow";

// The launcher leaves its vendor key behind and the settings key needs the
// keys above it: what did not exist before a test is removed after it.
class VendorKeysRestored {
public:
    VendorKeysRestored()
    {
        for (Tracked &key : keys_)
            key.existed = KeyExists(key.root, key.subKey);
    }
    ~VendorKeysRestored()
    {
        for (auto key = std::rbegin(keys_); key != std::rend(keys_); ++key) {
            if (!key->existed)
                DeleteKeyTree(key->root, key->subKey);
        }
    }
    VendorKeysRestored(const VendorKeysRestored &) = delete;
    VendorKeysRestored &operator=(const VendorKeysRestored &) = delete;

private:
    struct Tracked {
        HKEY root;
        const char *subKey;
        bool existed;
    } keys_[4] = {
        {HKEY_CURRENT_USER, kVendorKey, false},
        {HKEY_CURRENT_USER, kProductKey, false},
        {HKEY_LOCAL_MACHINE, kVendorKey, false},
        {HKEY_LOCAL_MACHINE, kProductKey, false},
    };
};

// A window's text as the Unicode the user sees on the screen, independent of
// the code page of this test process.
std::wstring ShownText(HWND window)
{
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

// Runs the launcher to its end while this thread's windows keep answering
// (bringing one forward waits for its thread); tells whether it ever showed
// its own window.
struct Outcome {
    DWORD exitCode;
    bool showedWindow;
    bool showedMessageBox;
};
Outcome RunToEnd(LauncherProcess &launcher)
{
    bool showed = false;
    bool box = false;
    WaitUntil(
        [&] {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            showed = showed || launcher.FindWindowOfClass(kLauncherClass) != nullptr;
            box = box || launcher.FindWindowOfClass("#32770") != nullptr;
            return !launcher.Running();
        },
        15000);
    return {launcher.WaitForExit(0), showed, box};
}

// The required values, with the given title and more lines in two sections.
std::string Ini(const std::string &title, const std::string &window, const std::string &program = "")
{
    return "[Window]\r\nTitle=" + title + "\r\n" + window +
           "[Program]\r\nApplication name=app.exe\r\nInstaller=setup.exe\r\n" + program +
           "[RegIni]\r\nIni file name=TolvaneTestRecord\r\nKey install dir=Dir\r\nSection name=Main\r\n";
}

// A disc in one language, with the edition "Demo" installed: the warning as
// the user sees it on the screen, then the launcher ends without its window.
struct WarningCase {
    std::string title;
    std::string window; // more lines of [Window]
    std::wstring caption;
    std::wstring text;
};

void ExpectWarningThenEnd(const WarningCase &row)
{
    VendorKeysRestored vendorKeys;
    RegistryKey settings(HKEY_CURRENT_USER, kSettingsKey);
    settings.SetString("Demo", "1");
    Disc disc;
    disc.WriteIni(Ini(row.title, row.window));

    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
    HWND box = launcher.WaitForMessageBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(row.caption, ShownText(box));
    EXPECT_EQ(row.text, ShownText(GetDlgItem(box, 0xFFFF)));
    EXPECT_EQ(nullptr, launcher.FindWindowOfClass(kLauncherClass));
    EXPECT_TRUE(launcher.Running()) << "the launcher waits for the answer";

    DismissMessageBox(box);
    Outcome outcome = RunToEnd(launcher);
    EXPECT_EQ(kExitFailed, outcome.exitCode);
    EXPECT_FALSE(outcome.showedWindow);
}

TEST(Conflict, TheWarningIsShownInTheDiscsLanguageAndTheLauncherEnds)
{
    // The launcher inherits this process's code page, that of a Western Windows.
    ASSERT_EQ(1252u, GetACP()) << "run under a Western locale (C.UTF-8, en_US.UTF-8, ...)";
    // The longest format with the longest titles: cut to the 255 characters
    // the message buffer holds, and the launcher still ends as it should.
    const std::string title255(255, 't'), title63(63, 'i');
    const std::wstring longGerman =
        L"Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.\n"
        L"Bitte deinstallieren Sie zun\u00E4chst \"" + std::wstring(63, L'i') +
        L"\" und wiederholen Sie dann die Installation von \"" + std::wstring(255, L't') + L"\".";
    const WarningCase rows[] = {
        {"Tolvane Premium", "Language=E\r\n", L"Tolvane Premium",
         L"Attention! Another version of the program \"Tolvane Starter Edition\" is installed on your computer.\n"
         L"Please remove before installing \"Tolvane Premium\"."},
        // ... est installée sur votre ordinateur.
        {"Tolvane Premium", "Language=F\r\n", L"Tolvane Premium",
         L"Attention ! Une autre version du programme \"Tolvane Starter Edition\" est install\u00E9e sur votre "
         L"ordinateur.\nVeuillez la supprimer avant d'installer \"Tolvane Premium\"."},
        // ... deinstallieren Sie zunächst ...
        {"Tolvane Premium", "Language=German\r\n", L"Tolvane Premium",
         L"Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.\n"
         L"Bitte deinstallieren Sie zun\u00E4chst \"Tolvane Starter Edition\" und wiederholen Sie dann die "
         L"Installation von \"Tolvane Premium\"."},
        {title255, "Language=G\r\nDemoTitle=" + title63 + "\r\n", std::wstring(255, L't'), longGerman.substr(0, 255)},
    };
    for (const WarningCase &row : rows) {
        SCOPED_TRACE(row.window.substr(0, 10) + ", Title of " + std::to_string(row.title.size()) + " characters");
        ExpectWarningThenEnd(row);
    }
}

// Known difference from Windows: there the ANSI code page is a setting of the
// whole machine; under Wine each process takes it from the locale of its Unix
// environment, and a program started by a Wine program keeps its parent's
// (setting LC_ALL or LANG in the Windows environment before CreateProcessA
// does not change it). So this case runs under a Russian locale, as every
// suite whose name ends in Russian does (tests/CMakeLists.txt): the launcher
// then reads its Windows-1251 texts as on a Russian Windows.
TEST(ConflictRussian, TheWarningIsShownInRussian)
{
    ASSERT_EQ(1251u, GetACP()) << "run with LC_ALL=ru_RU.UTF-8";
    // Russian titles on the Russian disc, in its code page: "Толване" and
    // "Толване Старт".
    const std::string title = "\xD2\xEE\xEB\xE2\xE0\xED\xE5";
    const std::string demoTitle = "\xD2\xEE\xEB\xE2\xE0\xED\xE5 \xD1\xF2\xE0\xF0\xF2";
    // Внимание! Другая версия программы ("Толване Старт") установлена на Вашем компьютере. (blank, line feed)
    // Пожалуйста, удалите ее перед установкой "Толване".
    ExpectWarningThenEnd(
        {title, "Language=R\r\nDemoTitle=" + demoTitle + "\r\n", L"\u0422\u043E\u043B\u0432\u0430\u043D\u0435",
         L"\u0412\u043D\u0438\u043C\u0430\u043D\u0438\u0435! \u0414\u0440\u0443\u0433\u0430\u044F "
         L"\u0432\u0435\u0440\u0441\u0438\u044F \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u044B "
         L"(\"\u0422\u043E\u043B\u0432\u0430\u043D\u0435 \u0421\u0442\u0430\u0440\u0442\") "
         L"\u0443\u0441\u0442\u0430\u043D\u043E\u0432\u043B\u0435\u043D\u0430 \u043D\u0430 "
         L"\u0412\u0430\u0448\u0435\u043C \u043A\u043E\u043C\u043F\u044C\u044E\u0442\u0435\u0440\u0435. \n"
         L"\u041F\u043E\u0436\u0430\u043B\u0443\u0439\u0441\u0442\u0430, \u0443\u0434\u0430\u043B\u0438\u0442\u0435 "
         L"\u0435\u0435 \u043F\u0435\u0440\u0435\u0434 \u0443\u0441\u0442\u0430\u043D\u043E\u0432\u043A\u043E\u0439 "
         L"\"\u0422\u043E\u043B\u0432\u0430\u043D\u0435\"."});
}

// A top-level window of a class of its own, as the running application has.
class AppWindow {
public:
    explicit AppWindow(const char *className) : className_(className)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className_;
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, className_, "Tolvane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~AppWindow()
    {
        DestroyWindow(window_);
        UnregisterClassA(className_, GetModuleHandleA(nullptr));
    }
    AppWindow(const AppWindow &) = delete;
    AppWindow &operator=(const AppWindow &) = delete;
    HWND handle() const { return window_; }

private:
    const char *className_;
    HWND window_;
};

TEST(RunningApplication, ARunningCopyEndsTheLauncherWithoutAWindow)
{
    struct Row {
        const char *appToFront;
        bool restored;
    } rows[] = {{"Y", true}, {"N", false}};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("AppToFront=") + row.appToFront);
        VendorKeysRestored vendorKeys;
        AppWindow app(kAppClass);
        ASSERT_NE(nullptr, app.handle());
        ShowWindow(app.handle(), SW_MINIMIZE);
        ASSERT_TRUE(IsIconic(app.handle()));
        Disc disc;
        disc.WriteIni(Ini("Tolvane Premium", "Language=E\r\n",
                          "AppWindowClass=" + std::string(kAppClass) + "\r\nAppToFront=" + row.appToFront + "\r\n"));

        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
        Outcome outcome = RunToEnd(launcher);
        EXPECT_EQ(kExitFailed, outcome.exitCode);
        EXPECT_FALSE(outcome.showedWindow);
        EXPECT_FALSE(outcome.showedMessageBox);
        EXPECT_EQ(row.restored, !IsIconic(app.handle()));
        if (row.restored) {
            EXPECT_EQ(app.handle(), GetForegroundWindow());
        }
    }
}

} // namespace
