// INI files at any path, read as the ANSI calls read them.
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
