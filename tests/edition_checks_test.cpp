// The last steps of reading the configuration, against the real registry and
// real windows: the vendor keys, the refusal to install beside another
// edition (with the warning a user sees), and giving way to a running copy of
// the application.
#include "launcher/startup.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "tests/support/e2e.h"
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kVendorKey[]   = "SOFTWARE\\Quillmoor";
const char kSettingsKey[] = "SOFTWARE\\Quillmoor\\Tolvane\\Settings";

// Subkeys plus values of a key; -1 when it cannot be opened.
int EntriesOf(HKEY root, const char *subKey)
{
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD subKeys = 0, values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return static_cast<int>(subKeys + values);
}

bool CanCreateKeysIn(HKEY root)
{
    HKEY key;
    if (RegOpenKeyExA(root, "SOFTWARE", 0, KEY_CREATE_SUB_KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// What a message box of this process showed before it was answered.
struct ShownBox {
    bool shown = false;
    std::string caption;
    std::string text;
    bool warningIcon = false;
    bool hasOwner = false;
};

BOOL CALLBACK MatchWarningIcon(HWND child, LPARAM lParam)
{
    if (ClassOf(child) != "Static" || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    *reinterpret_cast<bool *>(lParam) = shown && shown == LoadIconA(nullptr, IDI_WARNING);
    return FALSE;
}

// Answers the message box that the code under test shows on this thread:
// a modal box blocks its caller, so another thread reads it and presses OK.
class MessageBoxWatcher {
public:
    MessageBoxWatcher() : thread_([this] { Watch(); }) {}
    ~MessageBoxWatcher()
    {
        if (thread_.joinable())
            Stop();
    }
    // Called when the code under test has returned: a box it showed has
    // been answered by then, and none will come.
    ShownBox Stop()
    {
        done_ = true;
        thread_.join();
        return box_;
    }

private:
    void Watch()
    {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                found = FindWindowOf(GetCurrentProcessId(), "#32770", true);
                return found != nullptr || done_;
            },
            20000);
        if (!found)
            return;
        box_.shown = true;
        box_.caption = WindowText(found);
        box_.text = MessageBoxText(found);
        EnumChildWindows(found, MatchWarningIcon, reinterpret_cast<LPARAM>(&box_.warningIcon));
        box_.hasOwner = GetWindow(found, GW_OWNER) != nullptr;
        DismissMessageBox(found);
    }

    std::atomic<bool> done_{false};
    ShownBox box_;
    std::thread thread_; // last: starts once the rest exists
};

// Waits, handling this thread's windows' messages meanwhile.
template <typename Condition>
bool PumpUntil(Condition condition, DWORD timeoutMs = 5000)
{
    return WaitUntil(
        [&] {
            PumpMessages();
            return condition();
        },
        timeoutMs);
}

std::string English(const std::string &installed, const std::string &title)
{
    return "Attention! Another version of the program \"" + installed +
           "\" is installed on your computer.\nPlease remove before installing \"" + title + "\".";
}

std::string German(const std::string &installed, const std::string &title)
{
    return "Achtung, es ist bereits eine andere Programmversion von Tolvane auf Ihrem Rechner installiert.\n"
           "Bitte deinstallieren Sie zun\xE4"
           "chst \"" +
           installed + "\" und wiederholen Sie dann die Installation von \"" + title + "\".";
}

class EditionChecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings = LauncherSettings{};
        Launcher = LauncherState{};
        Plan = LauncherPlan{};
        TextCopy(Launcher.moduleDir, Wide(disc.path()).c_str());
    }

    struct Outcome {
        int result;
        ShownBox box;
    };
    Outcome Load(const std::string &ini)
    {
        SetUp();
        disc.Write("VESK.INI", ini);
        MessageBoxWatcher watcher;
        int result = LoadLauncherSettings();
        ActOnStartup();
        return {result, watcher.Stop()};
    }

    void ExpectConflict(const Outcome &outcome, const std::string &caption, const std::string &text)
    {
        EXPECT_EQ(0, outcome.result);
        ASSERT_TRUE(outcome.box.shown);
        EXPECT_EQ(caption, outcome.box.caption);
        EXPECT_EQ(text, outcome.box.text);
        EXPECT_TRUE(outcome.box.warningIcon);
        EXPECT_FALSE(outcome.box.hasOwner);
    }

    VendorKeysSetAside vendorKeys; // first: the test starts without the vendor's keys
    ScratchDir disc{"edition"};
};

class RunningApplication : public EditionChecks {};

const char kAppClass[] = "TolvaneTestMainWindow";

TEST_F(EditionChecks, WithoutTheSettingsKeyTheVendorKeysAreCreatedAndNothingIsShown)
{
    // The fixture has set the vendor's keys aside, so that their creation shows.
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        ASSERT_EQ(-1, EntriesOf(root, kVendorKey));

    Outcome outcome = Load(IniWithTitle("Tolvane Premium"));
    EXPECT_EQ(1, outcome.result);
    EXPECT_FALSE(outcome.box.shown);
    EXPECT_EQ(0, EntriesOf(HKEY_CURRENT_USER, kVendorKey));
    // Where this prefix lets a program create keys under the local machine.
    EXPECT_EQ(CanCreateKeysIn(HKEY_LOCAL_MACHINE) ? 0 : -1, EntriesOf(HKEY_LOCAL_MACHINE, kVendorKey));
}

TEST_F(EditionChecks, TheLastEditionFoundIsTheInstalledOne)
{
    struct Value {
        const char *name;
        DWORD type;
    };
    struct Row {
        const char *name;
        std::vector<Value> values;
        const char *title;
        const char *window;    // more lines of [Window]
        const char *installed; // nullptr: no conflict
    } rows[] = {
        {"key without values", {}, "Tolvane Premium", "", nullptr},
        {"other values only", {{"Edition", REG_SZ}, {"PremiumPlus", REG_SZ}}, "Tolvane Premium", "", nullptr},
        {"Premium on a Premium disc", {{"Premium", REG_SZ}}, "Tolvane Premium", "", nullptr},
        {"Demo on a Premium disc", {{"Demo", REG_SZ}}, "Tolvane Premium", "", "Tolvane Starter Edition"},
        {"Launcher on a Premium disc", {{"Launcher", REG_SZ}}, "Tolvane Premium", "", "Tolvane Launcher"},
        {"Simple on a Base disc", {{"Simple", REG_SZ}}, "Tolvane", "", "Tolvane Compact"},
        {"Base on a Premium disc", {{"Base", REG_SZ}}, "Tolvane Premium", "", "Tolvane"},
        {"Demo and Premium on a Premium disc", {{"Demo", REG_SZ}, {"Premium", REG_SZ}}, "Tolvane Premium", "",
         nullptr},
        {"Demo and Premium on a Starter disc", {{"Demo", REG_SZ}, {"Premium", REG_SZ}}, "Tolvane Starter Edition", "",
         "Tolvane Premium"},
        {"Demo and Base on a Base disc", {{"Base", REG_SZ}, {"Demo", REG_SZ}}, "Tolvane", "", nullptr},
        {"Demo and Base on a Premium disc", {{"Demo", REG_SZ}, {"Base", REG_SZ}}, "Tolvane Premium", "", "Tolvane"},
        {"all five on a Base disc",
         {{"Premium", REG_SZ}, {"Base", REG_SZ}, {"Simple", REG_SZ}, {"Launcher", REG_SZ}, {"Demo", REG_SZ}},
         "Tolvane", "", "Tolvane Premium"},
        {"title differing in case", {{"Premium", REG_SZ}}, "Tolvane premium", "", "Tolvane Premium"},
        {"title with more after it", {{"Base", REG_SZ}}, "Tolvane 2", "", "Tolvane"},
        {"titles from the file", {{"Premium", REG_SZ}}, "Tolvane Gold", "PremiumTitle=Tolvane Gold\r\n", nullptr},
        {"titles from the file, other edition", {{"Simple", REG_SZ}}, "Tolvane Gold",
         "PremiumTitle=Tolvane Gold\r\nSimpleTitle=Tolvane Light\r\n", "Tolvane Light"},
        {"any type of data", {{"Premium", REG_DWORD}}, "Tolvane Starter Edition", "", "Tolvane Premium"},
        {"no data at all", {{"Launcher", REG_BINARY}}, "Tolvane Premium", "", "Tolvane Launcher"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RegistryKey settings(HKEY_CURRENT_USER, kSettingsKey);
        for (const Value &value : row.values) {
            if (value.type == REG_DWORD)
                settings.SetDword(value.name, 0);
            else if (value.type == REG_BINARY)
                settings.SetBytes(value.name, "", 0, REG_BINARY);
            else
                settings.SetString(value.name, "1");
        }
        Outcome outcome = Load(IniWithTitle(row.title, std::string("Language=E\r\n") + row.window));
        if (row.installed) {
            ExpectConflict(outcome, row.title, English(row.installed, row.title));
        } else {
            EXPECT_EQ(1, outcome.result);
            EXPECT_FALSE(outcome.box.shown) << outcome.box.text;
        }
    }
}

TEST_F(EditionChecks, OnlyTheCurrentUsersSettingsCount)
{
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    RegistryKey machine(HKEY_LOCAL_MACHINE, kSettingsKey);
    for (const char *value : {"Demo", "Launcher", "Simple", "Base", "Premium"})
        machine.SetString(value, "1");

    Outcome outcome = Load(IniWithTitle("Tolvane Elsewhere"));
    EXPECT_EQ(1, outcome.result);
    EXPECT_FALSE(outcome.box.shown) << outcome.box.text;
}

// The message buffer holds 255 characters: a longer message is cut there,
// however long the titles are, and the titles are never read as a format.
TEST_F(EditionChecks, TheMessageIsCutToItsBufferAndShowsTitlesLiterally)
{
    const std::string title63(63, 'i');
    struct Row {
        const char *name;
        std::string installed;
        std::string title;
        const char *language;
        std::string fullText;
    } rows[] = {
        {"English, exactly 255", title63, std::string(81, 't'), "E", English(title63, std::string(81, 't'))},
        {"English, 256", title63, std::string(82, 't'), "E", English(title63, std::string(82, 't'))},
        {"longest format and titles", title63, std::string(255, 't'), "G", German(title63, std::string(255, 't'))},
        {"format-like titles", "%n%s%08x%n", "%s%n%x%p%%", "E", English("%n%s%08x%n", "%s%n%x%p%%")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RegistryKey settings(HKEY_CURRENT_USER, kSettingsKey);
        settings.SetString("Demo", "1");
        Outcome outcome = Load(IniWithTitle(
            row.title, "Language=" + std::string(row.language) + "\r\nDemoTitle=" + row.installed + "\r\n"));
        ExpectConflict(outcome, row.title, row.fullText.substr(0, 255));
    }
}

TEST_F(EditionChecks, AConflictEndsStartUpBeforeTheRunningApplicationIsLookedFor)
{
    ForeignWindow app(kAppClass);
    ASSERT_NE(nullptr, app.handle());
    ShowWindow(app.handle(), SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(app.handle()) != FALSE; }));
    RegistryKey settings(HKEY_CURRENT_USER, kSettingsKey);
    settings.SetString("Demo", "1");

    Outcome outcome = Load(IniWithTitle("Tolvane Premium", "Language=E\r\n",
                                        "AppWindowClass=" + std::string(kAppClass) + "\r\nAppToFront=Y\r\n"));
    ExpectConflict(outcome, "Tolvane Premium", English("Tolvane Starter Edition", "Tolvane Premium"));
    PumpMessages();
    EXPECT_TRUE(IsIconic(app.handle()));
}

TEST_F(RunningApplication, TheConfiguredWindowClassIsLookedFor)
{
    struct Row {
        const char *name;
        const char *program;  // lines of [Program]
        const char *existing; // class of a window that exists meanwhile
        int result;
    } rows[] = {
        {"class of a window", "AppWindowClass=TolvaneTestMainWindow\r\n", kAppClass, 0},
        {"no window of the class", "AppWindowClass=TolvaneTestMainWindow\r\n", "TolvaneTestOtherWindow", 1},
        {"empty value: no search", "AppWindowClass=\r\n", "?", 1},
        {"absent key: the class ?", "", "?", 0},
        {"absent key, no window of class ?", "", kAppClass, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ForeignWindow window(row.existing);
        ASSERT_NE(nullptr, window.handle());
        Outcome outcome = Load(IniWithTitle("Tolvane Premium", "", row.program));
        EXPECT_EQ(row.result, outcome.result);
        EXPECT_FALSE(outcome.box.shown);
    }
}

TEST_F(RunningApplication, OnlyAppToFrontYRestoresTheWindowAndBringsItForward)
{
    struct Row {
        const char *appToFront; // nullptr: key absent
        bool toFront;
    } rows[] = {
        {"Y", true}, {"Yes", true}, {nullptr, false}, {"", false}, {"N", false}, {"y", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.appToFront ? std::string("AppToFront=") + row.appToFront : "no AppToFront");
        ForeignWindow app(kAppClass);
        ForeignWindow other("TolvaneTestOtherWindow");
        ASSERT_NE(nullptr, app.handle());
        ASSERT_NE(nullptr, other.handle());
        ShowWindow(app.handle(), SW_MINIMIZE);
        SetForegroundWindow(other.handle());
        ASSERT_TRUE(PumpUntil(
            [&] { return IsIconic(app.handle()) && GetForegroundWindow() == other.handle(); }));

        std::string program = "AppWindowClass=" + std::string(kAppClass) + "\r\n";
        if (row.appToFront)
            program += "AppToFront=" + std::string(row.appToFront) + "\r\n";
        Outcome outcome = Load(IniWithTitle("Tolvane Premium", "", program));
        EXPECT_EQ(0, outcome.result);
        EXPECT_FALSE(outcome.box.shown);
        if (row.toFront) {
            EXPECT_TRUE(PumpUntil(
                [&] { return !IsIconic(app.handle()) && GetForegroundWindow() == app.handle(); }));
        } else {
            PumpMessages();
            EXPECT_TRUE(IsIconic(app.handle()));
            EXPECT_EQ(other.handle(), GetForegroundWindow());
        }
    }
}

} // namespace
