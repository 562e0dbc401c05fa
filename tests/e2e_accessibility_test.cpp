// What a screen reader is given of the launcher window, read from this
// process through MSAA as Narrator, NVDA and JAWS read it: the window's and
// the action button's name, role and description, for the built-in picture
// of each language and for a picture of the disc with and without
// BitmapText; and the disc checker saying the same beforehand.
#include "tests/support/accessible.h"
#include "tests/support/e2e.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kEnglishWords[] = "Tolvane is not installed on this computer. Would you like to install it now?";
const std::string kPicture = "Bitmap=back.bmp\r\n";

struct Row {
    const char *name;
    std::string window; // [Window] lines besides the title
    const char *action; // the action button's caption
    const char *words;  // the description; empty: none
};

TEST(Accessibility, ScreenReadersAreGivenWhatThePictureSays)
{
    const Row rows[] = {
        {"Dutch, whose picture is the English one", "Language=D\r\n", "Installeer", kEnglishWords},
        {"English", "Language=E\r\n", "Install", kEnglishWords},
        {"French", "Language=F\r\n", "Installer",
         "Tolvane n\u2019est pas install\u00E9 sur cet ordinateur. L\u2019installer maintenant\u00A0?"},
        {"German", "Language=G\r\n", "Installieren",
         "Tolvane ist auf diesem Computer nicht installiert. Jetzt installieren?"},
        {"Italian", "Language=I\r\n", "Installa", "Tolvane non \u00E8 installato su questo computer. Installarlo ora?"},
        {"Russian", "Language=R\r\n", "Установка", "Tolvane не установлен на этом компьютере. Установить сейчас?"},
        {"the disc's picture without BitmapText", kPicture, "Install", ""},
        {"the disc's picture with BitmapText", kPicture + "BitmapText=Tolvane 5 is ready.\r\n", "Install",
         "Tolvane 5 is ready."},
        // "Готово." in Windows-1251, the Russian disc's code page, on any Windows.
        {"a Russian disc's BitmapText", kPicture + "Language=R\r\nBitmapText=\xC3\xEE\xF2\xEE\xE2\xEE.\r\n",
         "Установка", "Готово."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Disc disc;
        disc.Write("back.bmp", BmpFile(30, 20, [](int, int) { return RGB(0x20, 0x40, 0x60); }));
        bool discPicture = row.window.find(kPicture) != std::string::npos;
        disc.WriteIni(MinimalIni(row.window, discPicture ? "bothTypes=1\r\n" : ""));

        CheckerRun checked = RunChecker("--json --strict " + Argument(disc.root()));
        EXPECT_EQ(*row.words ? row.words : "null", JsonText(checked.out, "/description")) << checked.out;
        std::vector<std::string> warnings = JsonList(checked.out, "/warnings");
        bool warned = std::any_of(warnings.begin(), warnings.end(), [](const std::string &warning) {
            return warning.find("not available to screen readers") != std::string::npos;
        });
        EXPECT_EQ(discPicture && !*row.words, warned) << checked.out;

        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
        HWND window = launcher.WaitForWindow(kLauncherClass);
        ASSERT_NE(nullptr, window);
        AccessibleFacts shown = ReadAccessible(window);
        AccessibleFacts action = ReadAccessible(GetDlgItem(window, 100));
        AccessibleFacts quit = ReadAccessible(GetDlgItem(window, 101));
        EXPECT_EQ(S_OK, shown.found);
        EXPECT_EQ("Tolvane Test Disc", shown.name);
        EXPECT_EQ(ROLE_SYSTEM_CLIENT, shown.role);
        EXPECT_EQ(row.words, shown.description);
        EXPECT_EQ(2, shown.children);
        EXPECT_EQ(S_OK, action.found);
        EXPECT_EQ(row.action, action.name);
        // Only the description is the launcher's; the role is the system's
        // own for a button, as Quit has it.
        EXPECT_EQ(RoleText(quit.role), RoleText(action.role));
        EXPECT_EQ(row.words, action.description);
        EXPECT_EQ("", quit.description);

        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, launcher.WaitForExit());
    }
}

} // namespace
