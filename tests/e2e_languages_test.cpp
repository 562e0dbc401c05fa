// One disc for every market, as each user sees it: launcher.exe started with
// the user's display language, which Wine takes from the program's LANG,
// shows the title and the captions of the language section that language
// chooses, and the disc checker says which section that is.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// LANG and LC_ALL of the programs this test starts, while it lives.
class DisplayLanguage {
public:
    explicit DisplayLanguage(const std::string &locale)
    {
        for (int i = 0; i < 2; ++i) {
            wchar_t value[64] = L"";
            had_[i] = GetEnvironmentVariableW(kNames[i], value, 64) != 0;
            before_[i] = value;
            SetEnvironmentVariableW(kNames[i], Wide(locale).c_str());
        }
    }
    ~DisplayLanguage()
    {
        for (int i = 0; i < 2; ++i)
            SetEnvironmentVariableW(kNames[i], had_[i] ? before_[i].c_str() : nullptr);
    }
    DisplayLanguage(const DisplayLanguage &) = delete;
    DisplayLanguage &operator=(const DisplayLanguage &) = delete;

private:
    static constexpr const wchar_t *kNames[2] = {L"LANG", L"LC_ALL"};
    bool had_[2];
    std::wstring before_[2];
};

const char kMarkets[] =
    "[Window]\r\nTitle=Tolvane\r\nDemoMovie=intro.exe\r\n"
    "[Window.es]\r\nTitle=Tolvane Espa\xC3\xB1ol\r\nInstallCaption=Instalar\r\nExtraCaption=Ver\r\n"
    "QuitCaption=Salir\r\n"
    "[Window.pt-BR]\r\nTitle=Tolvane Brasil\r\nInstallCaption=Instalar\r\nQuitCaption=Sair\r\n"
    "[Window.pt]\r\nTitle=Tolvane Portugal\r\nInstallCaption=Instalar PT\r\nQuitCaption=Sair\r\n"
    "[Window.ru]\r\nTitle=\xD0\xA2\xD0\xBE\xD0\xBB\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xB5\r\nLanguage=R\r\n"
    "[Program]\r\nApplication name=app.exe\r\nInstaller=setup.exe\r\n"
    "[RegIni]\r\nIni file name=TolvaneTestRecord\r\nKey install dir=InstallDir\r\nSection name=Setup\r\n";

TEST(Languages, EachUserSeesTheSectionOfTheirDisplayLanguage)
{
    struct Row {
        const char *locale;
        const char *section; // as the checker names it
        const char *title;
        const char *buttons; // 100 | 102 | 101
    } rows[] = {
        {"es_ES.UTF-8", "Window.es", "Tolvane Español", "Instalar | Ver | Salir"},
        {"es_MX.UTF-8", "Window.es", "Tolvane Español", "Instalar | Ver | Salir"},
        {"pt_BR.UTF-8", "Window.pt-BR", "Tolvane Brasil", "Instalar | View Intro | Sair"},
        {"pt_PT.UTF-8", "Window.pt", "Tolvane Portugal", "Instalar PT | View Intro | Sair"},
        {"de_DE.UTF-8", "Window", "Tolvane", "Install | View Intro | Quit"},
        {"C.UTF-8", "Window", "Tolvane", "Install | View Intro | Quit"},
        {"ru_RU.UTF-8", "Window.ru", "Толване", "Установка | View Intro | Выход"},
    };
    Disc disc;
    disc.WriteIni(kMarkets);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.locale);
        DisplayLanguage language(row.locale);
        CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
        EXPECT_EQ(row.section, JsonText(checked.out, "/language/section")) << checked.out;

        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
        HWND window = launcher.WaitForWindow(kLauncherClass);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(row.title, Utf8(ShownText(window)));
        std::string buttons;
        for (int id : {100, 102, 101})
            buttons += (buttons.empty() ? "" : " | ") + Utf8(ShownText(GetDlgItem(window, id)));
        EXPECT_EQ(row.buttons, buttons);
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, launcher.WaitForExit());
    }
}

} // namespace
