// INI files at any path, read as the ANSI calls read them, or from their own
// bytes when they are UTF-8.
#include "base/profile.h"
#include "base/text.h"


namespace {

// A name converted as the ANSI call converts it; null stays null.
struct WideName {
    explicit WideName(const char *name) : given(name != nullptr) { TextToWide(text, name ? name : "", CP_ACP); }
    const wchar_t *get() const { return given ? text : nullptr; }
    bool given;
    wchar_t text[512];
};

} // namespace

DWORD ReadProfileText(const char *section, const char *key, const char *fallback, char *out, DWORD size,
                      const wchar_t *path)
{
    if (size == 0)
        return 0;
    wchar_t *value = static_cast<wchar_t *>(HeapAlloc(GetProcessHeap(), 0, size * sizeof(wchar_t)));
    if (!value) {
        out[0] = '\0';
        return 0;
    }
    WideName wideSection(section), wideKey(key), wideFallback(fallback);
    DWORD length = GetPrivateProfileStringW(wideSection.get(), wideKey.get(), wideFallback.get(), value, size, path);
    // Into size - 1 bytes and a terminator: a value whose letters take two
    // bytes each may not fit, and is cut after the last letter that does.
    int bytes = 0;
    for (int taken = static_cast<int>(length); taken > 0 && bytes == 0; --taken)
        bytes = WideCharToMultiByte(CP_ACP, 0, value, taken, out, static_cast<int>(size) - 1, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, value);
    out[bytes] = '\0';
    return static_cast<DWORD>(bytes);
}

UINT ReadProfileNumber(const char *section, const char *key, INT fallback, const wchar_t *path)
{
    WideName wideSection(section), wideKey(key);
    return GetPrivateProfileIntW(wideSection.get(), wideKey.get(), fallback, path);
}

namespace {

// A VESK.INI is a few kilobytes; a larger file is left to the profile calls.
const size_t kMostBytesExamined = 1 << 20;

} // namespace

ProfileFile::ProfileFile(const wchar_t *path) : path_(path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= static_cast<LONGLONG>(kMostBytesExamined))
        bytes_ = static_cast<char *>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size.QuadPart)));
    DWORD read = 0;
    if (bytes_ && ReadFile(file, bytes_, static_cast<DWORD>(size.QuadPart), &read, nullptr)) {
        length_ = read;
        encoding_ = ProfileEncodingOf(bytes_, length_);
    }
    CloseHandle(file);
}

void ProfileFile::Close()
{
    if (bytes_)
        HeapFree(GetProcessHeap(), 0, bytes_);
    bytes_ = nullptr;
    length_ = 0;
}

DWORD ProfileFile::ReadText(const char *section, const char *key, const char *fallback, char *out, DWORD size) const
{
    if (!OwnBytes())
        return ReadProfileText(section, key, fallback, out, size, path_);
    return ReadIniText({bytes_, length_, encoding_ == ProfileEncoding::Utf8}, section, key, fallback, out, size);
}

UINT ProfileFile::ReadNumber(const char *section, const char *key, INT fallback) const
{
    if (!OwnBytes())
        return ReadProfileNumber(section, key, fallback, path_);
    return ReadIniNumber({bytes_, length_, encoding_ == ProfileEncoding::Utf8}, section, key, fallback);
}
