// INI files at any path, read as the ANSI calls read them, or from their own
// bytes when they are UTF-8.
#include "base/profile.h"
#include "base/text.h"

#include <string.h>

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

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

// Valid UTF-8 as Unicode defines it: no byte that begins no letter, no
// letter cut short, written longer than need be, a surrogate or beyond
// U+10FFFF; and no NUL, which no text file holds.
bool ValidUtf8(const unsigned char *bytes, size_t length, bool &beyondAscii)
{
    beyondAscii = false;
    for (size_t i = 0; i < length;) {
        unsigned char lead = bytes[i];
        if (lead == 0)
            return false;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        beyondAscii = true;
        size_t following = lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
                         : lead >= 0xF0 && lead <= 0xF4 ? 3 : 0;
        if (following == 0 || length - i <= following)
            return false;
        // The second byte's range rules out the long forms and the surrogates.
        unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        if (bytes[i + 1] < low || bytes[i + 1] > high)
            return false;
        for (size_t k = 2; k <= following; ++k) {
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF)
                return false;
        }
        i += following + 1;
    }
    return true;
}

// A name of the file against one asked for, case ignored as the profile
// calls ignore it; the names asked for are ASCII.
bool SameName(const char *name, size_t length, const char *wanted)
{
    size_t i = 0;
    for (; i < length && wanted[i]; ++i) {
        char a = name[i], b = wanted[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return i == length && !wanted[i];
}

// Finds a value the way the profile calls do: lines end at CR or LF; blanks
// around a line, a name and a value do not count; "[name]" opens a section,
// up to its last "]"; a key's line is name=value, and a line without "="
// holds no value; of sections or keys of one name, the first counts; a
// value in matching quotes is given without them.
bool FindValue(const char *bytes, size_t length, const char *section, const char *key, const char *&value,
               size_t &valueLength)
{
    const char *end = bytes + length;
    bool inSection = false;
    for (const char *next = bytes; next < end;) {
        const char *line = next;
        while (next < end && *next != '\n' && *next != '\r')
            ++next;
        const char *lineEnd = next;
        while (next < end && (*next == '\n' || *next == '\r'))
            ++next;
        while (line < lineEnd && Blank(*line))
            ++line;
        while (lineEnd > line && Blank(lineEnd[-1]))
            --lineEnd;
        if (line == lineEnd)
            continue;
        if (*line == '[') {
            const char *close = lineEnd - 1;
            while (close > line && *close != ']')
                --close;
            if (close > line) {
                if (inSection)
                    return false; // the first section of the name has ended
                const char *name = line + 1, *nameEnd = close;
                while (name < nameEnd && Blank(*name))
                    ++name;
                while (nameEnd > name && Blank(nameEnd[-1]))
                    --nameEnd;
                inSection = SameName(name, static_cast<size_t>(nameEnd - name), section);
                continue;
            }
        }
        if (!inSection)
            continue;
        const char *equals = line;
        while (equals < lineEnd && *equals != '=')
            ++equals;
        const char *nameEnd = equals;
        while (nameEnd > line && Blank(nameEnd[-1]))
            --nameEnd;
        if (!SameName(line, static_cast<size_t>(nameEnd - line), key))
            continue;
        if (equals == lineEnd)
            return false; // a name alone reads as absent
        value = equals + 1;
        while (value < lineEnd && Blank(*value))
            ++value;
        valueLength = static_cast<size_t>(lineEnd - value);
        if (valueLength >= 2 && (*value == '"' || *value == '\'') && value[valueLength - 1] == *value) {
            ++value;
            valueLength -= 2;
        }
        return true;
    }
    return false;
}

// The longest start of a UTF-8 text that fits room bytes and ends with a
// whole letter.
size_t WholeLetters(const char *text, size_t length, size_t room)
{
    if (length <= room)
        return length;
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

// The number a value begins with, as the profile calls read it: blanks, a
// sign, and digits, in hexadecimal after 0x, octal after 0o, binary after 0b.
UINT LeadingNumber(const char *text, size_t length)
{
    size_t i = 0;
    while (i < length && Blank(text[i]))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < length && text[i] == '0') {
        char mark = text[i + 1];
        base = mark == 'x' || mark == 'X' ? 16 : mark == 'o' || mark == 'O' ? 8 : mark == 'b' || mark == 'B' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    UINT number = 0;
    for (; i < length; ++i) {
        char c = text[i];
        unsigned digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                       : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
        if (digit >= base)
            break;
        number = number * base + digit;
    }
    return negative ? 0u - number : number;
}

} // namespace

ProfileEncoding ProfileEncodingOf(const char *bytes, size_t length)
{
    auto begins = [&](const char *mark, size_t size) { return length >= size && memcmp(bytes, mark, size) == 0; };
    if (begins("\xEF\xBB\xBF", 3) || begins("\xFF\xFE", 2) || begins("\xFE\xFF", 2))
        return ProfileEncoding::ByteOrderMark;
    bool beyondAscii = false;
    if (ValidUtf8(reinterpret_cast<const unsigned char *>(bytes), length, beyondAscii) && beyondAscii)
        return ProfileEncoding::Utf8;
    return ProfileEncoding::CodePage;
}

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
    if (size == 0)
        return 0;
    const char *value = fallback;
    size_t length = strlen(fallback);
    FindValue(bytes_, length_, section, key, value, length);
    length = encoding_ == ProfileEncoding::Utf8 ? WholeLetters(value, length, size - 1)
                                                : (length < size - 1 ? length : size - 1);
    memcpy(out, value, length);
    out[length] = '\0';
    return static_cast<DWORD>(length);
}

UINT ProfileFile::ReadNumber(const char *section, const char *key, INT fallback) const
{
    if (!OwnBytes())
        return ReadProfileNumber(section, key, fallback, path_);
    const char *value = nullptr;
    size_t length = 0;
    if (!FindValue(bytes_, length_, section, key, value, length) || length == 0)
        return static_cast<UINT>(fallback);
    return LeadingNumber(value, length);
}
