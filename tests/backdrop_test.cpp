// The window's resources: the backdrop chosen by language and installation
// state, the disc's bitmap file, the embedded bitmaps as stored in the
// module, and the button font with its metrics.
#include "tests/launcher_window.h"
#include "tests/support/support.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A bitmap's pixels as 24-bit rows, top to bottom, with its size.
struct Pixels {
    LONG width = 0, height = 0;
    std::vector<unsigned char> bgr;
    bool operator==(const Pixels &other) const
    {
        return width == other.width && height == other.height && bgr == other.bgr;
    }
};

Pixels PixelsOf(HBITMAP bitmap)
{
    Pixels pixels;
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    pixels.bgr.resize(((info.bmWidth * 3 + 3) & ~3) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.bgr.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

const int kEmbeddedIds[] = {IDB_PROMPT_ENGLISH, IDB_PROMPT_ITALIAN, IDB_PROMPT_RUSSIAN, IDB_PROMPT_GERMAN,
                            IDB_PROMPT_FRENCH};

// The embedded bitmap whose picture this is, or 0.
int EmbeddedIdOf(HBITMAP bitmap)
{
    Pixels loaded = PixelsOf(bitmap);
    for (int id : kEmbeddedIds) {
        HBITMAP embedded = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        bool same = PixelsOf(embedded) == loaded;
        DeleteObject(embedded);
        if (same)
            return id;
    }
    return 0;
}

// A pattern for a disc's bitmap file that shows its rows' order and padding.
COLORREF Pattern(int x, int y)
{
    return RGB(200 - x - y, y * 9, x * 5);
}

class BackdropTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Release(); }

    void Reset()
    {
        Release();
        ResetLauncherRecords();
        TextCopy(Launcher.moduleDir, Wide(disc.path()).c_str());
    }
    // The picture chosen from the settings as set.
    static int Load()
    {
        DecideFromSettings();
        return LoadBackdrop();
    }
    void Release()
    {
        if (Launcher.backdropBitmap)
            DeleteObject(Launcher.backdropBitmap);
        Launcher.backdropBitmap = nullptr;
    }

    ScratchDir disc{"backdrop"};
};

TEST_F(BackdropTest, InstallOfferedShowsThePromptOfTheLanguage)
{
    disc.Write("art\\disc.bmp", BmpFile(37, 23, Pattern));
    struct Row {
        const char *language;
        int id;
    } rows[] = {
        {"I", IDB_PROMPT_ITALIAN}, {"Italiano", IDB_PROMPT_ITALIAN}, {"R", IDB_PROMPT_RUSSIAN},
        {"Russian", IDB_PROMPT_RUSSIAN}, {"G", IDB_PROMPT_GERMAN}, {"F", IDB_PROMPT_FRENCH},
        {"r", IDB_PROMPT_ENGLISH}, {"i", IDB_PROMPT_ENGLISH}, {"g", IDB_PROMPT_ENGLISH},
        {"f", IDB_PROMPT_ENGLISH}, {"D", IDB_PROMPT_ENGLISH}, {"E", IDB_PROMPT_ENGLISH},
        {"?", IDB_PROMPT_ENGLISH}, {"", IDB_PROMPT_ENGLISH},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("Language \"") + row.language + "\"");
        Reset();
        TextCopy(Settings.Language, row.language);
        TextCopy(Settings.Bitmap, "art\\disc.bmp"); // not consulted for the prompt
        ASSERT_EQ(1, Launcher.installNeeded);
        ASSERT_EQ(0, Settings.bothTypes);

        EXPECT_EQ(1, Load());
        EXPECT_EQ(row.id, EmbeddedIdOf(Launcher.backdropBitmap));
    }
}

TEST_F(BackdropTest, TheItalianPromptIsSmaller)
{
    TextCopy(Settings.Language, "I");
    ASSERT_EQ(1, Load());
    BITMAP info = {};
    ASSERT_NE(0, GetObjectA(Launcher.backdropBitmap, sizeof info, &info));
    EXPECT_EQ(213, info.bmWidth);
    EXPECT_EQ(100, info.bmHeight);
}

TEST_F(BackdropTest, InstalledOrBothTypesShowsTheDiscsBitmapFile)
{
    disc.Write("art\\disc.bmp", BmpFile(37, 23, Pattern));
    HBITMAP expected = static_cast<HBITMAP>(
        LoadImageA(nullptr, (disc.path() + "art\\disc.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(nullptr, expected);
    Pixels file = PixelsOf(expected);
    DeleteObject(expected);

    struct Row {
        const char *name;
        int installNeeded;
        int bothTypes;
        const char *language;
    } rows[] = {
        {"installed, English", 0, 0, "E"},
        {"installed, Russian", 0, 0, "R"},
        {"installed, Italian", 0, 0, "I"},
        {"Install offered, bothTypes", 1, 1, "G"},
        {"installed, bothTypes", 0, 1, "?"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        Launcher.installNeeded = row.installNeeded;
        Settings.bothTypes = row.bothTypes;
        TextCopy(Settings.Language, row.language);
        TextCopy(Settings.Bitmap, "art\\disc.bmp");

        EXPECT_EQ(1, Load());
        Pixels loaded = PixelsOf(Launcher.backdropBitmap);
        EXPECT_EQ(37, loaded.width);
        EXPECT_EQ(23, loaded.height);
        EXPECT_TRUE(loaded == file);
    }
}

TEST_F(BackdropTest, WithoutAUsableBitmapFileStartUpStops)
{
    disc.Write("notes.txt", "not a picture\r\n");
    disc.Write("art\\disc.bmp", BmpFile(37, 23, Pattern));
    struct Row {
        const char *name;
        int installNeeded;
        int bothTypes;
        const char *bitmap;
    } rows[] = {
        {"absent", 0, 0, "?"},
        {"first character ?", 0, 0, "?art\\disc.bmp"},
        {"absent, bothTypes", 1, 1, "?"},
        {"empty: the launcher's folder itself", 0, 0, ""},
        {"not a bitmap", 0, 0, "notes.txt"},
        {"missing", 0, 0, "art\\missing.bmp"},
        {"a folder", 1, 1, "art"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Reset();
        Launcher.installNeeded = row.installNeeded;
        Settings.bothTypes = row.bothTypes;
        TextCopy(Settings.Bitmap, row.bitmap);

        EXPECT_EQ(0, Load());
        EXPECT_EQ(nullptr, Launcher.backdropBitmap);
    }
}

TEST_F(BackdropTest, APromptThatCannotBeLoadedStopsStartUp)
{
    // A module without the launcher's bitmaps.
    Launcher.appInstance = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(0, Load());
    EXPECT_EQ(nullptr, Launcher.backdropBitmap);
}

TEST_F(BackdropTest, AJoinedPathLongerThan255CharactersIsNotLoaded)
{
    // A folder whose name makes moduleDir + "NAME\a.bmp" exactly 255 characters.
    std::string folder(255 - disc.path().size() - 6, 'b');
    disc.Write(folder + "\\a.bmp", BmpFile(8, 8, Pattern));
    struct Row {
        size_t length;
        std::string bitmap;
        int result;
    } rows[] = {
        {255, folder + "\\a.bmp", 1},
        // Cut to its buffer, this would name the 255-character file above.
        {256, folder + "\\a.bmpx", 0},
        {300, folder + "\\a.bmp" + std::string(45, 'x'), 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.length) + " characters");
        Reset();
        Launcher.installNeeded = 0;
        ASSERT_TRUE(TextCopy(Settings.Bitmap, row.bitmap.c_str()));
        ASSERT_EQ(row.length, wcslen(Launcher.moduleDir) + row.bitmap.size());

        EXPECT_EQ(row.result, Load());
        EXPECT_EQ(row.result == 1, Launcher.backdropBitmap != nullptr);
    }
}

// The language tags a resource is stored under.
BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    reinterpret_cast<std::vector<WORD> *>(found)->push_back(language);
    return TRUE;
}

TEST_F(BackdropTest, EmbeddedBitmapsAreStoredOnceAndCompactly)
{
    // Once each, under English (UK), as 8-bit bitmaps with their own
    // palettes, run-length encoded: every byte of launcher.exe is read from
    // the disc before its window shows.
    const WORD englishUk = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
    ASSERT_EQ(2057, englishUk);
    struct Row {
        int id;
        LONG width, height;
    } rows[] = {
        {IDB_PROMPT_ENGLISH, 300, 140}, {IDB_PROMPT_ITALIAN, 213, 100}, {IDB_PROMPT_RUSSIAN, 300, 140},
        {IDB_PROMPT_GERMAN, 300, 140},  {IDB_PROMPT_FRENCH, 300, 140},
    };
    HMODULE module = GetModuleHandleA(nullptr);
    for (const Row &row : rows) {
        SCOPED_TRACE("bitmap " + std::to_string(row.id));
        std::vector<WORD> languages;
        EnumResourceLanguagesA(module, RT_BITMAP, MAKEINTRESOURCEA(row.id), AddLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(std::vector<WORD>{englishUk}, languages);

        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(row.id), RT_BITMAP);
        ASSERT_NE(nullptr, found);
        DWORD size = SizeofResource(module, found);
        const char *data = static_cast<const char *>(LockResource(LoadResource(module, found)));
        ASSERT_NE(nullptr, data);
        ASSERT_LE(sizeof(BITMAPINFOHEADER), size);
        BITMAPINFOHEADER header;
        memcpy(&header, data, sizeof header);
        EXPECT_EQ(sizeof header, header.biSize);
        EXPECT_EQ(row.width, header.biWidth);
        EXPECT_EQ(row.height, header.biHeight);
        EXPECT_EQ(1, header.biPlanes);
        EXPECT_EQ(8, header.biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RLE8), header.biCompression);
        EXPECT_EQ(2834, header.biXPelsPerMeter);
        EXPECT_EQ(2834, header.biYPelsPerMeter);
        EXPECT_LT(0u, header.biClrUsed);
        EXPECT_GE(256u, header.biClrUsed);
        // The palette, then the runs, and nothing after them: a third of a
        // byte a pixel at most, where 24 bits took three.
        EXPECT_EQ(sizeof header + 4 * header.biClrUsed + header.biSizeImage, size);
        EXPECT_GE(static_cast<DWORD>(row.width * row.height / 3), header.biSizeImage);

        // It decodes at its size, with the colours of its palette.
        HBITMAP loaded = LoadBitmapA(module, MAKEINTRESOURCEA(row.id));
        Pixels pixels = PixelsOf(loaded);
        DeleteObject(loaded);
        EXPECT_EQ(row.width, pixels.width);
        EXPECT_EQ(row.height, pixels.height);
        const auto *palette = reinterpret_cast<const RGBQUAD *>(data + sizeof header);
        size_t stride = (row.width * 3 + 3) & ~3;
        size_t outside = 0;
        for (LONG y = 0; y < pixels.height; ++y) {
            for (LONG x = 0; x < pixels.width; ++x) {
                const unsigned char *p = &pixels.bgr[y * stride + x * 3];
                const RGBQUAD *end = palette + header.biClrUsed;
                outside += std::find_if(palette, end, [&](const RGBQUAD &c) {
                               return c.rgbBlue == p[0] && c.rgbGreen == p[1] && c.rgbRed == p[2];
                           }) == end;
            }
        }
        EXPECT_EQ(0u, outside) << "pixels whose colour is not in the palette";
    }
}

TEST(Font, TheButtonFontIsLightVerdanaMeasuredOnTheDisplay)
{
    ResetLauncherRecords();
    ASSERT_EQ(1, LoadFontMetrics());
    ASSERT_NE(nullptr, Launcher.buttonFont);

    LOGFONTA font = {};
    ASSERT_EQ(static_cast<int>(sizeof font), GetObjectA(Launcher.buttonFont, sizeof font, &font));
    EXPECT_EQ(-11, font.lfHeight);
    EXPECT_EQ(0, font.lfWidth);
    EXPECT_EQ(0, font.lfEscapement);
    EXPECT_EQ(0, font.lfOrientation);
    EXPECT_EQ(300, font.lfWeight);
    EXPECT_EQ(0, font.lfItalic);
    EXPECT_EQ(0, font.lfUnderline);
    EXPECT_EQ(0, font.lfStrikeOut);
    EXPECT_EQ(ANSI_CHARSET, font.lfCharSet);
    EXPECT_EQ(OUT_DEFAULT_PRECIS, font.lfOutPrecision);
    EXPECT_EQ(CLIP_DEFAULT_PRECIS, font.lfClipPrecision);
    EXPECT_EQ(PROOF_QUALITY, font.lfQuality);
    EXPECT_EQ(0x30, font.lfPitchAndFamily);
    EXPECT_STREQ("Verdana", font.lfFaceName);

    // The metrics are the font's as the screen shows it, whatever face the
    // font mapper gave for Verdana.
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, Launcher.buttonFont);
    TEXTMETRICA metrics = {};
    ASSERT_TRUE(GetTextMetricsA(screen, &metrics));
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(metrics.tmAveCharWidth, Launcher.charWidth);
    EXPECT_EQ(metrics.tmHeight, Launcher.textHeight);
    EXPECT_LT(0, Launcher.charWidth);
    EXPECT_LT(0, Launcher.textHeight);
    DeleteObject(Launcher.buttonFont);
}

TEST(Font, WhenGdiHasNoRoomStartUpStopsWithTheMetricsUnset)
{
    // Every GDI handle of the process taken, then none or one given back:
    // with none the font can't be made; with one the font is made but the
    // display context to measure it can't be.
    struct Row {
        const char *name;
        size_t freed;
        bool fontMade;
    } rows[] = {{"no room for the font", 0, false}, {"no room for the display context", 1, true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ResetLauncherRecords();
        std::vector<HRGN> filler;
        while (filler.size() < 1000000) {
            HRGN region = CreateRectRgn(0, 0, 1, 1);
            if (!region)
                break;
            filler.push_back(region);
        }
        for (size_t i = 0; i < row.freed && !filler.empty(); ++i) {
            DeleteObject(filler.back());
            filler.pop_back();
        }

        int result = LoadFontMetrics();
        HFONT font = Launcher.buttonFont;

        if (font)
            DeleteObject(font);
        for (HRGN region : filler)
            DeleteObject(region);
        ASSERT_GT(1000000u, filler.size()) << "GDI never ran out of handles";
        EXPECT_EQ(0, result);
        EXPECT_EQ(row.fontMade, font != nullptr);
        EXPECT_EQ(0, Launcher.charWidth);
        EXPECT_EQ(0, Launcher.textHeight);
    }
}

} // namespace
