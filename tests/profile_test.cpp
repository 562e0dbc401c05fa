// Reading a profile file by its encoding: which files are taken for UTF-8,
// and a UTF-8 file's values found as the profile calls find them.
#include "base/profile.h"
#include "tests/support/support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Named(ProfileEncoding encoding)
{
    switch (encoding) {
    case ProfileEncoding::Utf8: return "UTF-8";
    case ProfileEncoding::ByteOrderMark: return "byte-order mark";
    default: return "code page";
    }
}

ProfileEncoding EncodingOf(const std::string &bytes)
{
    return ProfileEncodingOf(bytes.data(), bytes.size());
}

TEST(ProfileEncoding, UTF8IsTakenOnlyForValidUTF8BeyondAscii)
{
    const struct {
        const char *name;
        std::string bytes;
        ProfileEncoding expected;
    } rows[] = {
        {"empty", "", ProfileEncoding::CodePage},
        {"ASCII", "[Window]\r\nTitle=Tolvane\r\n", ProfileEncoding::CodePage},
        {"UTF-8 Cyrillic", "Title=\xD0\xA2\xD0\xBE\xD0\xBB\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xB5\r\n", ProfileEncoding::Utf8},
        {"UTF-8 e acute", "Title=Caf\xC3\xA9\r\n", ProfileEncoding::Utf8},
        {"UTF-8, a letter of four bytes", "Title=\xF0\x9F\x98\x80\r\n", ProfileEncoding::Utf8},
        {"Windows-1251 Cyrillic", "Title=\xD2\xEE\xEB\xE2\xE0\xED\xE5 \xC4\xE5\xEC\xEE\r\n", ProfileEncoding::CodePage},
        {"Windows-1252 e acute", "Title=Caf\xE9\r\n", ProfileEncoding::CodePage},
        {"Windows-1252 e acute in a word", "Start=D\xE9marrer\r\n", ProfileEncoding::CodePage},
        {"UTF-8 mark", "\xEF\xBB\xBF[Window]\r\nTitle=Caf\xC3\xA9\r\n", ProfileEncoding::ByteOrderMark},
        {"UTF-16 little-endian mark", std::string("\xFF\xFE[\0", 4), ProfileEncoding::ByteOrderMark},
        {"UTF-16 big-endian mark", std::string("\xFE\xFF\0[", 4), ProfileEncoding::ByteOrderMark},
        {"a long form of /", "Title=\xC0\xAF\xC3\xA9", ProfileEncoding::CodePage},
        {"a long form of three bytes", "Title=\xE0\x80\xAF\xC3\xA9", ProfileEncoding::CodePage},
        {"a surrogate", "Title=\xED\xA0\x80\xC3\xA9", ProfileEncoding::CodePage},
        {"beyond U+10FFFF", "Title=\xF4\x90\x80\x80", ProfileEncoding::CodePage},
        {"a letter cut short at the end", "Title=\xE2\x82", ProfileEncoding::CodePage},
        {"a letter cut short by a blank", "Title=\xE2\x82 x", ProfileEncoding::CodePage},
        {"a lone continuation byte", "Title=\xA9", ProfileEncoding::CodePage},
        {"a NUL byte", std::string("Title=\xC3\xA9\0", 9), ProfileEncoding::CodePage},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Named(row.expected), Named(EncodingOf(row.bytes)));
    }
}

// A letter of Windows-1251 or -1252 beyond ASCII, followed by a letter or a
// blank, is never UTF-8: the letters are bytes 0xC0 to 0xFF, which in UTF-8
// begin a letter and must be followed by bytes 0x80 to 0xBF, which in these
// code pages are signs and rare letters, never the next letter of a word.
TEST(ProfileEncoding, WordsOfWindows1251And1252AreNeverUTF8)
{
    int taken = 0;
    for (int first = 0xC0; first <= 0xFF; ++first) {
        for (int second = 0xC0; second <= 0xFF; ++second) {
            // Two Cyrillic letters (Windows-1251), or two accented Latin ones (1252).
            std::string pair = "Title=x" + std::string(1, static_cast<char>(first)) +
                               std::string(1, static_cast<char>(second)) + "x\r\n";
            taken += EncodingOf(pair) == ProfileEncoding::Utf8;
        }
        for (const char *after : {"a", " ", "\r\n", ""}) {
            std::string word = "Title=x" + std::string(1, static_cast<char>(first)) + after;
            taken += EncodingOf(word) == ProfileEncoding::Utf8;
        }
    }
    EXPECT_EQ(0, taken);
}

// A value is found in the file's bytes as the profile calls find it in the
// same file: each case is written after a comment line holding "é" in UTF-8,
// or in Windows-1252, or nothing beyond ASCII, and read both ways.
TEST(ProfileFile, ValuesAreFoundAsTheProfileCallsFindThem)
{
    ScratchDir folder("profile");
    const struct {
        const char *name;
        std::string lines;
        const char *section;
        const char *key;
    } rows[] = {
        {"plain", "[Window]\r\nTitle=Tolvane\r\n", "Window", "Title"},
        {"blanks around", "  [Window]  \r\n  Title  =   Tolvane Demo   \r\n", "Window", "Title"},
        {"tabs around", "[Window]\r\n\tTitle\t=\tTolvane\t\r\n", "Window", "Title"},
        {"names in another case", "[WINDOW]\r\ntitle=x\r\n", "Window", "Title"},
        {"lines ending in LF", "[Window]\nTitle=x\nBitmap=y\n", "Window", "Bitmap"},
        {"lines ending in CR", "[Window]\rTitle=x\rBitmap=y\r", "Window", "Bitmap"},
        {"no line end at the end", "[Window]\r\nTitle=x", "Window", "Title"},
        {"in double quotes", "[Window]\r\nTitle=\"Tolvane Demo\"\r\n", "Window", "Title"},
        {"in single quotes", "[Window]\r\nTitle='Tolvane'\r\n", "Window", "Title"},
        {"quotes that differ", "[Window]\r\nTitle=\"Tolvane'\r\n", "Window", "Title"},
        {"blanks in quotes", "[Window]\r\nTitle=\" a \"\r\n", "Window", "Title"},
        {"empty quotes", "[Window]\r\nTitle=\"\"\r\n", "Window", "Title"},
        {"one quote", "[Window]\r\nTitle=\"\r\n", "Window", "Title"},
        {"a quote inside", "[Window]\r\nTitle=\"a\"b\"\r\n", "Window", "Title"},
        {"empty value", "[Window]\r\nTitle=\r\nBitmap=b\r\n", "Window", "Title"},
        {"a name without =", "[Window]\r\nTitle\r\n", "Window", "Title"},
        {"a name without =, then with", "[Window]\r\nTitle\r\nTitle=x\r\n", "Window", "Title"},
        {"a key twice", "[Window]\r\nTitle=a\r\nTitle=b\r\n", "Window", "Title"},
        {"a section twice", "[Window]\r\nA=1\r\n[Program]\r\nB=2\r\n[Window]\r\nTitle=second\r\n", "Window", "Title"},
        {"= in the value", "[Program]\r\nInstaller=setup.exe /a=b\r\n", "Program", "Installer"},
        {"== at the start", "[Window]\r\nTitle==x\r\n", "Window", "Title"},
        {"a blank in the name", "[Program]\r\nApplication name=app.exe\r\n", "Program", "Application name"},
        {"two blanks in the name", "[Program]\r\nApplication  name=app.exe\r\n", "Program", "Application name"},
        {"blanks inside brackets", "[ Window ]\r\nTitle=x\r\n", "Window", "Title"},
        {"text after the bracket", "[Window] ; the window\r\nTitle=x\r\n", "Window", "Title"},
        {"a bracket in the text after", "[Window] ; [x]\r\nTitle=x\r\n", "Window", "Title"},
        {"a header without its bracket", "[Window]\r\n[Program\r\nTitle=x\r\n", "Window", "Title"},
        {"a comment line", "[Window]\r\n;Title=x\r\nTitle=y\r\n", "Window", "Title"},
        {"a key before any section", "Title=x\r\n[Window]\r\nTitle=y\r\n", "Window", "Title"},
        {"a key absent", "[Window]\r\nBitmap=x\r\n", "Window", "Title"},
        {"a section absent", "[Program]\r\nTitle=x\r\n", "Window", "Title"},
        {"a key in another section", "[Window]\r\n[Program]\r\nTitle=x\r\n", "Window", "Title"},
        {"a value cut to the buffer", "[Window]\r\nTitle=0123456789abcdefghij\r\n", "Window", "Title"},
        {"a quoted value cut", "[Window]\r\nTitle=\"0123456789abcdefghij\"\r\n", "Window", "Title"},
        {"end of file mark", "[Window]\r\nTitle=x\x1A", "Window", "Title"},
        {"blank lines between", "[Window]\r\n   \r\n\r\nTitle=x\r\n", "Window", "Title"},
    };
    const struct {
        const char *comment;
        ProfileEncoding encoding;
    } files[] = {
        {"; \xC3\xA9\r\n", ProfileEncoding::Utf8},
        {"; \xE9\r\n", ProfileEncoding::CodePage},
        {"", ProfileEncoding::CodePage},
    };
    for (const auto &row : rows) {
        for (const auto &kind : files) {
            SCOPED_TRACE(std::string(row.name) + ", after \"" + kind.comment + "\"");
            std::string path = folder.Write("case.ini", kind.comment + row.lines);
            std::wstring widePath = Wide(path);
            ProfileFile file(widePath.c_str());
            EXPECT_EQ(Named(kind.encoding), Named(file.encoding()));
            char expected[16], actual[16];
            DWORD expectedLength = ReadProfileText(row.section, row.key, "default", expected, sizeof expected,
                                                   widePath.c_str());
            DWORD actualLength = file.ReadText(row.section, row.key, "default", actual, sizeof actual);
            file.Close();
            EXPECT_EQ(std::string(expected), std::string(actual));
            EXPECT_EQ(expectedLength, actualLength);
        }
    }
}

TEST(ProfileFile, NumbersAreReadAsTheProfileCallsReadThem)
{
    ScratchDir folder("profile");
    for (const char *line : {"bothTypes=1", "bothTypes=yes", "bothTypes= 12abc", "bothTypes=-3", "bothTypes=0x10",
                             "bothTypes=", "bothTypes=+7", "Other=4", "bothTypes=4294967295", "bothTypes=\"5\""}) {
        SCOPED_TRACE(line);
        std::string path = folder.Write("case.ini", "; \xC3\xA9\r\n[Program]\r\n" + std::string(line) + "\r\n");
        std::wstring widePath = Wide(path);
        ProfileFile file(widePath.c_str());
        EXPECT_EQ(ReadProfileNumber("Program", "bothTypes", 9, widePath.c_str()),
                  file.ReadNumber("Program", "bothTypes", 9));
        file.Close();
    }
}

// Letters beyond ASCII keep their bytes whatever the system's code page:
// UTF-8 cut after the last whole letter that fits, a code page's bytes as
// they are.
TEST(ProfileFile, ValuesBeyondAsciiKeepTheirBytes)
{
    ScratchDir folder("profile");
    const struct {
        const char *name;
        std::string value;
        DWORD size;
        std::string expected;
    } rows[] = {
        // "Толване", seven letters of two bytes each.
        {"whole", "\xD0\xA2\xD0\xBE\xD0\xBB\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xB5", 256,
         "\xD0\xA2\xD0\xBE\xD0\xBB\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xB5"},
        {"cut between letters", "\xD0\xA2\xD0\xBE\xD0\xBB\xD0\xB2", 6, "\xD0\xA2\xD0\xBE"},
        {"cut inside a letter", "\xD0\xA2\xD0\xBE\xD0\xBB\xD0\xB2", 5, "\xD0\xA2\xD0\xBE"},
        {"cut inside a letter of four bytes", "a\xF0\x9F\x98\x80", 4, "a"},
        // "Толване" in Windows-1251, and "Démarrer" in Windows-1252.
        {"Windows-1251", "\xD2\xEE\xEB\xE2\xE0\xED\xE5", 256, "\xD2\xEE\xEB\xE2\xE0\xED\xE5"},
        {"Windows-1251 cut", "\xD2\xEE\xEB\xE2\xE0\xED\xE5", 4, "\xD2\xEE\xEB"},
        {"Windows-1252", "D\xE9marrer", 256, "D\xE9marrer"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::string path = folder.Write("case.ini", "[Window]\r\nTitle=" + row.value + "\r\n");
        std::wstring widePath = Wide(path);
        ProfileFile file(widePath.c_str());
        char out[256];
        DWORD length = file.ReadText("Window", "Title", "?", out, row.size);
        file.Close();
        EXPECT_EQ(row.expected, std::string(out));
        EXPECT_EQ(row.expected.size(), length);
    }
}

} // namespace
