// Screenshots: a rectangle of the screen taken as 24-bit pixels, and written
// as a PNG file. The PNG is stored without compression (deflate's stored
// blocks), which keeps the writer small and needs no library.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // rows top to bottom, 3 bytes a pixel (R, G, B), no padding

    bool empty() const { return rgb.empty(); }
    const unsigned char *Pixel(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    COLORREF Colour(int x, int y) const { return RGB(Pixel(x, y)[0], Pixel(x, y)[1], Pixel(x, y)[2]); }
    bool operator==(const Image &other) const
    {
        return width == other.width && height == other.height && rgb == other.rgb;
    }
};

// The pixels on the screen inside area (screen coordinates), as they are
// shown, windows on top included; an empty image when the capture failed.
Image CaptureScreen(const RECT &area);

// The image as the bytes of a PNG file (8-bit RGB, not interlaced).
std::string EncodePng(const Image &image);
bool WritePng(const std::string &path, const Image &image);
