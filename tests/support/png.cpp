// Screen capture into a 24-bit DIB section, and a minimal PNG encoder.
#include "tests/support/png.h"

#include <stdio.h>

Image CaptureScreen(const RECT &area)
{
    Image image;
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return image;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && memory) {
        HGDIOBJ previous = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            image.width = width;
            image.height = height;
            image.rgb.resize(static_cast<size_t>(width) * height * 3);
            size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
            for (int y = 0; y < height; ++y) {
                const unsigned char *bgr = static_cast<const unsigned char *>(bits) + y * stride;
                unsigned char *rgb = &image.rgb[static_cast<size_t>(y) * width * 3];
                for (int x = 0; x < width; ++x) {
                    rgb[3 * x] = bgr[3 * x + 2];
                    rgb[3 * x + 1] = bgr[3 * x + 1];
                    rgb[3 * x + 2] = bgr[3 * x];
                }
            }
        }
        SelectObject(memory, previous);
    }
    if (dib)
        DeleteObject(dib);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

namespace {

unsigned long Crc32(const std::string &bytes)
{
    static unsigned long table[256];
    if (!table[1]) {
        for (unsigned long n = 0; n < 256; ++n) {
            unsigned long c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320UL ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    unsigned long crc = 0xFFFFFFFFUL;
    for (unsigned char byte : bytes)
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFUL;
}

void PutBigEndian(std::string &out, unsigned long value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string &out, const char *type, const std::string &data)
{
    PutBigEndian(out, data.size());
    std::string typed = std::string(type, 4) + data;
    out += typed;
    PutBigEndian(out, Crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(const std::string &raw)
{
    std::string out = "\x78\x01";
    const size_t most = 65535;
    size_t offset = 0;
    do {
        size_t length = raw.size() - offset < most ? raw.size() - offset : most;
        bool last = offset + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>((~length >> 8) & 0xFF);
        out.append(raw, offset, length);
        offset += length;
    } while (offset < raw.size());

    unsigned long a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

} // namespace

std::string EncodePng(const Image &image)
{
    std::string png = "\x89PNG\r\n\x1A\n";

    std::string header;
    PutBigEndian(header, image.width);
    PutBigEndian(header, image.height);
    header += '\x08'; // bits per sample
    header += '\x02'; // RGB
    header += '\x00'; // deflate
    header += '\x00'; // adaptive filtering
    header += '\x00'; // not interlaced
    PutChunk(png, "IHDR", header);

    // Each row starts with its filter type: 0, none.
    std::string raw;
    size_t rowBytes = static_cast<size_t>(image.width) * 3;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char *>(&image.rgb[y * rowBytes]), rowBytes);
    }
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", "");
    return png;
}

bool WritePng(const std::string &path, const Image &image)
{
    if (image.empty())
        return false;
    std::string png = EncodePng(image);
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    return fclose(file) == 0 && written;
}
