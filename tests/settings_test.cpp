// Reading VESK.INI: required values in order with an early stop, defaults,
// flags, and each value cut to its field's size.
#include "launcher/startup.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings = LauncherSettings{};
        Launcher = LauncherState{};
        Plan = LauncherPlan{};
        TextCopy(Launcher.moduleDir, Wide(disc.path()).c_str());
    }

    int Load(const std::string &ini)
    {
        disc.Write("VESK.INI", ini);
        return LoadLauncherSettings();
    }

    static bool AllZero(const void *from, const void *to)
    {
        for (auto *p = static_cast<const char *>(from); p != to; ++p) {
            if (*p)
                return false;
        }
        return true;
    }

        VendorKeysSetAside vendorKeys; // first: no edition recorded on this machine decides the result
    ScratchDir disc{"settings"};
};

const char kRequired[] =
    "[Window]\r\nTitle=Tolvane Premium\r\n"
    "[Program]\r\nApplication name=app.exe\r\nInstaller=setup.exe /s\r\n"
    "[RegIni]\r\nIni file name=Tolvane\r\nKey install dir=Dir\r\nSection name=Main\r\n";

// The required values with more lines in each section (a profile reader
// takes only the first section of a name).
std::string Ini(const std::string &window, const std::string &program = "", const std::string &regIni = "")
{
    return "[Window]\r\nTitle=Tolvane Premium\r\n" + window +
           "[Program]\r\nApplication name=app.exe\r\nInstaller=setup.exe /s\r\n" + program +
           "[RegIni]\r\nIni file name=Tolvane\r\nKey install dir=Dir\r\nSection name=Main\r\n" + regIni;
}

TEST_F(SettingsTest, RequiredValuesAreReadWithOptionalDefaults)
{
    ASSERT_EQ(1, Load(kRequired));
    EXPECT_STREQ("Tolvane Premium", Settings.Title);
    EXPECT_STREQ("app.exe", Settings.ApplicationName);
    EXPECT_STREQ("Tolvane", Settings.IniFileName);
    EXPECT_STREQ("Dir", Settings.KeyInstallDir);
    EXPECT_STREQ("Main", Settings.SectionName);
    EXPECT_STREQ("setup.exe /s", Settings.Installer);
    for (const char *field : {Settings.Bitmap, Settings.Audio, Settings.Language, Settings.PelloraCoursesCheck,
                              Settings.TarnCoursesCheck, Settings.TarnQuennetCheck, Settings.AppToFront,
                              Settings.DemoMovie, Settings.WrongCD, Settings.AppFromCd, Settings.RunImmediately,
                              Settings.CDValue, Settings.UseRegistry, Settings.RegTopKey, Settings.BitmapText})
        EXPECT_STREQ("?", field);
    EXPECT_EQ(0, Settings.bothTypes);
    EXPECT_STREQ("Tolvane Starter Edition", Settings.DemoTitle);
    EXPECT_STREQ("Tolvane Launcher", Settings.FreeTitle);
    EXPECT_STREQ("Tolvane Compact", Settings.SimpleTitle);
    EXPECT_STREQ("Tolvane", Settings.BaseTitle);
    EXPECT_STREQ("Tolvane Premium", Settings.PremiumTitle);
    EXPECT_STREQ("Install", Launcher.captionAction);
}

TEST_F(SettingsTest, WithoutTheFileNothingAfterTheTitleIsRead)
{
    EXPECT_EQ(0, LoadLauncherSettings());
    EXPECT_STREQ("?", Settings.Title);
    EXPECT_TRUE(AllZero(Settings.ApplicationName, &Settings + 1));
    EXPECT_STREQ("", Launcher.captionAction);
    EXPECT_STREQ("", Launcher.conflictFormat);
}

// Each required value missing, empty or "?"-marked stops the load at once:
// the fields after it stay untouched.
TEST_F(SettingsTest, TheFirstBadRequiredValueStopsTheLoad)
{
    struct Row {
        const char *name;
        const char *replace;
        const char *with;
        const void *firstUnread;
    } rows[] = {
        {"empty Title", "Title=Tolvane Premium", "Title=", Settings.ApplicationName},
        {"Title ?", "Title=Tolvane Premium", "Title=?Tolvane", Settings.ApplicationName},
        {"no Application name", "Application name=app.exe", "", Settings.IniFileName},
        {"empty Ini file name", "Ini file name=Tolvane", "Ini file name=", Settings.KeyInstallDir},
        {"Key install dir ?", "Key install dir=Dir", "Key install dir=?", Settings.SectionName},
        {"no Section name", "Section name=Main", "", Settings.Installer},
        {"Installer ?setup.exe", "Installer=setup.exe /s", "Installer=?setup.exe", Settings.Bitmap},
        {"no Installer", "Installer=setup.exe /s", "", Settings.Bitmap},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        std::string ini = kRequired;
        ini.replace(ini.find(row.replace), strlen(row.replace), row.with);
        ini.insert(ini.find("[Program]"), "Bitmap=b.bmp\r\nLanguage=E\r\n");
        EXPECT_EQ(0, Load(ini));
        EXPECT_TRUE(AllZero(row.firstUnread, &Settings + 1));
        EXPECT_STREQ("", Launcher.captionQuit);
    }
}

TEST_F(SettingsTest, RegTopKeyIsReadOnlyWithoutACapitalNInUseRegistry)
{
    struct Row {
        const char *useRegistry; // nullptr: key absent
        const char *regTopKey;
    } rows[] = {
        {"N", ""}, {"No", ""}, {"n", "CURRENT"}, {"no", "CURRENT"}, {nullptr, "CURRENT"}, {"", "CURRENT"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.useRegistry ? row.useRegistry : "(absent)");
        SetUp();
        std::string ini = std::string(kRequired) + "RegTopKey=CURRENT\r\n";
        if (row.useRegistry)
            ini += std::string("UseRegistry=") + row.useRegistry + "\r\n";
        ASSERT_EQ(1, Load(ini));
        EXPECT_STREQ(row.regTopKey, Settings.RegTopKey);
    }
}

TEST_F(SettingsTest, BothTypesIsALeadingNumber)
{
    struct Row {
        const char *line;
        int expected;
    } rows[] = {{"bothTypes=1\r\n", 1}, {"bothTypes=yes\r\n", 0}, {"", 0}, {"bothTypes=2x\r\n", 2}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.line);
        SetUp();
        ASSERT_EQ(1, Load(Ini("", row.line)));
        EXPECT_EQ(row.expected, Settings.bothTypes);
    }
}

TEST_F(SettingsTest, ValuesAreCutToTheirFieldSize)
{
    std::string longTitle(70, 'd');
    std::string longBitmap(300, 'b');
    ASSERT_EQ(1, Load(Ini("DemoTitle=" + longTitle + "\r\nLanguage=Germanisch\r\nBitmap=" + longBitmap + "\r\n", "",
                          "RegTopKey=HKEY_CURRENT_USER_X\r\n")));
    EXPECT_EQ(longTitle.substr(0, 63), Settings.DemoTitle);
    EXPECT_STREQ("Germani", Settings.Language);
    EXPECT_EQ(longBitmap.substr(0, 255), Settings.Bitmap);
    EXPECT_STREQ("HKEY_CURRENT_US", Settings.RegTopKey);
}

TEST_F(SettingsTest, AnEmptyValueIsEmptyNotUnset)
{
    ASSERT_EQ(1, Load(Ini("DemoMovie=\r\nPremiumTitle=\r\n")));
    EXPECT_STREQ("", Settings.DemoMovie);
    EXPECT_STREQ("", Settings.PremiumTitle);
}

TEST_F(SettingsTest, KeysAndSectionsMatchInAnyCase)
{
    ASSERT_EQ(1, Load("[WINDOW]\r\ntitle=T\r\n[program]\r\nAPPLICATION NAME=a.exe\r\ninstaller=s.exe\r\n"
                      "[regini]\r\nini file name=I\r\nkey install dir=K\r\nsection name=S\r\n"));
    EXPECT_STREQ("a.exe", Settings.ApplicationName);
}

TEST_F(SettingsTest, AConfigPathLongerThanItsBufferIsRefused)
{
    // moduleDir of 250 characters leaves no room for "VESK.INI".
    std::string dir = "C:\\" + std::string(246, 'x') + "\\";
    TextCopy(Launcher.moduleDir, Wide(dir).c_str());
    EXPECT_EQ(0, LoadLauncherSettings());
    EXPECT_STREQ("", Settings.Title);
}

} // namespace
