// The disc's picture against the bytes it needs. Flat artwork saved as a
// 24-bit bitmap takes three bytes a pixel where a palette of 256 colours,
// run-length encoded, takes a fraction of one and looks the same; a CD drive
// reads every byte of it before the launcher's window shows. The picture is
// judged by the 256 colours it uses most: when every pixel has one of them
// within a few levels, it fits a palette; a photograph does not, and is left
// alone.
#include "checker/picture_size.h"
#include "base/text.h"
#include "checker/report.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"
#include "ui/ui.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <stdlib.h>
#include <unordered_map>

namespace {

const int kSeveralTimes = 3;
// The mean difference a channel may take and the picture still look the same.
const double kLooksTheSame = 3.0;
// What a CD drive reads, in bytes a second: a slow drive, then a fast one.
const double kSlowDrive = 1.5e6, kFastDrive = 3.6e6;

// The bytes of the RLE8 runs of rows of palette indices: runs of three or
// more as two bytes, what lies between them in absolute mode (two bytes,
// the indices, padded to a word) or, under three, two bytes each, and each
// row's end-of-line or end-of-bitmap.
size_t Rle8Bytes(const std::vector<unsigned char> &indices, int width, int height)
{
    size_t bytes = 0;
    auto literal = [&](size_t count) {
        for (; count > 0; count -= std::min<size_t>(count, 255)) {
            size_t chunk = std::min<size_t>(count, 255);
            bytes += chunk >= 3 ? 2 + chunk + chunk % 2 : 2 * chunk;
        }
    };
    for (int y = 0; y < height; ++y) {
        const unsigned char *row = &indices[static_cast<size_t>(y) * width];
        size_t pending = 0;
        for (int x = 0; x < width;) {
            int end = x;
            while (end < width && end - x < 255 && row[end] == row[x])
                ++end;
            if (end - x >= 3) {
                literal(pending);
                pending = 0;
                bytes += 2;
            } else {
                pending += end - x;
            }
            x = end;
        }
        literal(pending);
        bytes += 2;
    }
    return bytes;
}

int Distance(DWORD a, DWORD b)
{
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) + abs(GetBValue(a) - GetBValue(b));
}

// The bytes the picture needs as an 8-bit bitmap file that looks the same,
// or 0 when no palette of 256 colours would do.
size_t BytesNeeded(HBITMAP picture)
{
    BITMAP size = {};
    if (!GetObjectW(picture, sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight <= 0)
        return 0;
    int width = size.bmWidth, height = size.bmHeight;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, picture, 0, height, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        return 0;

    std::unordered_map<DWORD, size_t> counts;
    for (DWORD &pixel : pixels)
        ++counts[pixel &= 0xFFFFFF];
    std::vector<std::pair<size_t, DWORD>> byUse;
    for (const auto &entry : counts)
        byUse.push_back({entry.second, entry.first});
    // The most used first; equal counts by colour, so every run judges alike.
    std::sort(byUse.begin(), byUse.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    size_t paletteSize = std::min<size_t>(byUse.size(), 256);
    std::unordered_map<DWORD, unsigned char> nearest;
    double difference[3] = {}; // red, green, blue
    for (const auto &entry : byUse) {
        DWORD colour = entry.second;
        size_t best = 0;
        for (size_t i = 1; i < paletteSize && Distance(colour, byUse[best].second) > 0; ++i) {
            if (Distance(colour, byUse[i].second) < Distance(colour, byUse[best].second))
                best = i;
        }
        nearest[colour] = static_cast<unsigned char>(best);
        DWORD chosen = byUse[best].second;
        double count = static_cast<double>(entry.first);
        difference[0] += count * abs(GetRValue(colour) - GetRValue(chosen));
        difference[1] += count * abs(GetGValue(colour) - GetGValue(chosen));
        difference[2] += count * abs(GetBValue(colour) - GetBValue(chosen));
    }
    for (double channel : difference) {
        if (channel / static_cast<double>(pixels.size()) > kLooksTheSame)
            return 0;
    }
    std::vector<unsigned char> indices(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        indices[i] = nearest[pixels[i]];
    size_t plain = static_cast<size_t>((width + 3) & ~3) * height;
    size_t header = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + 4 * paletteSize;
    return header + std::min(plain, Rle8Bytes(indices, width, height));
}

} // namespace

void LintPictureSize(std::vector<std::string> &warnings)
{
    wchar_t path[256];
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!Plan.settingsLoaded || !DiscPicturePath(path) || !GetFileAttributesExW(path, GetFileExInfoStandard, &file))
        return; // LintDisc says what is wrong with it
    HANDLE picture = LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!picture)
        return;
    size_t needed = BytesNeeded(static_cast<HBITMAP>(picture));
    DeleteObject(picture);
    double bytes = static_cast<double>(file.nFileSizeLow) + 4294967296.0 * file.nFileSizeHigh;
    if (needed == 0 || bytes < kSeveralTimes * static_cast<double>(needed))
        return;
    long long more = static_cast<long long>(bytes) - static_cast<long long>(needed);
    auto ms = [&](double bytesPerSecond) { return std::to_string(std::lround(1000 * more / bytesPerSecond)); };
    std::string times = std::to_string(std::lround(10 * bytes / static_cast<double>(needed)));
    times.insert(times.size() - 1, ".");
    std::string text = "Bitmap: " + Utf8(path) + " is " + std::to_string(static_cast<long long>(bytes)) +
                       " bytes, " + times + " times what it needs: as an 8-bit bitmap of at most 256 colours (RLE8 "
                       "where it pays) it would take " + std::to_string(needed) +
                       " bytes and look the same (a 256-colour BMP with RLE compression; scripts/compact-bmp "
                       "writes one). A CD drive reads the whole "
                       "picture before the window shows: " + std::to_string(more) + " bytes more, " +
                       ms(kFastDrive) + " to " + ms(kSlowDrive) +
                       " ms at 3.6 to 1.5 MB/s, and longer while a cold drive spins up";
    warnings.push_back(text);
}
