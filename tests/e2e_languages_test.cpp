// One disc for every market, as each user sees it: launcher.exe started with
// the user's display language shows the title and the captions of the
// language section that language chooses, and the disc checker says which
// section that is. Wine takes a program's display language from its LANG or
// LC_ALL, which it inherits from the program that starts it; a Windows
// program's environment does not set it for those it starts. So this test
// runs once for each display language (tests/CMakeLists.txt), and checks
// the row of its own.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
        const char *language; // the display language, as Windows names it
        const char *section;  // as the checker names it
        const char *title;
        const char *buttons; // 100 | 102 | 101
    } rows[] = {
        {"es-ES", "Window.es", "Tolvane Español", "Instalar | Ver | Salir"},
        {"es-MX", "Window.es", "Tolvane Español", "Instalar | Ver | Salir"},
        {"pt-BR", "Window.pt-BR", "Tolvane Brasil", "Instalar | View Intro | Sair"},
        {"pt-PT", "Window.pt", "Tolvane Portugal", "Instalar PT | View Intro | Sair"},
        {"de-DE", "Window", "Tolvane", "Install | View Intro | Quit"},
        {"en-US", "Window", "Tolvane", "Install | View Intro | Quit"},
        {"ru-RU", "Window.ru", "Толване", "Установка | View Intro | Выход"},
    };
    wchar_t languages[256] = L"";
    ULONG count = 0, size = 255;
    ASSERT_TRUE(GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, languages, &size));
    const Row *row = nullptr;
    for (const Row &candidate : rows) {
        if (Utf8(languages) == candidate.language)
            row = &candidate;
    }
    ASSERT_NE(nullptr, row) << "no row for the display language " << Utf8(languages);
    SCOPED_TRACE(row->language);
    Disc disc;
    disc.WriteIni(kMarkets);
    CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
    EXPECT_EQ(row->section, JsonText(checked.out, "/language/section")) << checked.out;

    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
    HWND window = launcher.WaitForWindow(kLauncherClass);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(row->title, Utf8(ShownText(window)));
    std::string buttons;
    for (int id : {100, 102, 101})
        buttons += (buttons.empty() ? "" : " | ") + Utf8(ShownText(GetDlgItem(window, id)));
    EXPECT_EQ(row->buttons, buttons);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, launcher.WaitForExit());
}

} // namespace
