// An INI file's bytes read as the profile calls read them, without Windows.
#include "base/ini.h"

#include <string.h>

namespace {

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

void Trim(const char *&start, const char *&end)
{
    while (start < end && Blank(*start))
        ++start;
    while (end > start && Blank(end[-1]))
        --end;
}

// A name of the file against one asked for, the case of ASCII letters
// ignored, as the profile calls ignore it, and blanks around the name asked
// for where they ignore those.
bool SameName(const char *name, size_t length, const char *wanted, bool trimmed = true)
{
    const char *wantedEnd = wanted + strlen(wanted);
    if (trimmed)
        Trim(wanted, wantedEnd);
    if (static_cast<size_t>(wantedEnd - wanted) != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char a = name[i], b = wanted[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

// How much of a text fits room bytes: in UTF-8, up to the last whole letter.
size_t Fitting(const char *text, size_t length, size_t room, bool utf8)
{
    if (length <= room)
        return length;
    size_t cut = room;
    while (utf8 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

// A value in matching quotes is given without them.
void Unquote(const char *&value, size_t &length)
{
    if (length >= 2 && (*value == '"' || *value == '\'') && value[length - 1] == *value) {
        ++value;
        length -= 2;
    }
}

// A value or fallback into out, without its quotes.
uint32_t CopyValue(const char *value, size_t length, bool utf8, char *out, uint32_t size)
{
    Unquote(value, length);
    length = Fitting(value, length, size - 1, utf8);
    memcpy(out, value, length);
    out[length] = '\0';
    return static_cast<uint32_t>(length);
}

// The names of the file's sections, or of one section's keys, each ended by
// a NUL and the list by a second one. A list that does not fit is cut to
// size - 2 bytes, and two NULs end it.
uint32_t ListNames(const IniFile &file, const char *section, char *out, uint32_t size)
{
    size_t total = 0;
    bool inSection = false, afterEmptyName = false;
    const char *next = file.bytes, *end = file.bytes + file.length;
    auto put = [&](char c) {
        if (total + 2 < size)
            out[total] = c;
        ++total;
    };
    for (IniLine line; NextIniLine(next, end, line);) {
        if (line.section && section) {
            if (inSection)
                break; // the first section of the name has ended
            // The section asked for as it is given, blanks and all.
            inSection = SameName(line.name, line.nameLength, section, false);
            afterEmptyName = false;
            continue;
        }
        // Of a section's lines, those that set a value and are no comment;
        // of empty names in a row, the first.
        bool listed = section ? inSection && line.value && !(line.nameLength > 0 && line.name[0] == ';') &&
                                    !(line.nameLength == 0 && afterEmptyName)
                              : line.section && line.nameLength > 0;
        if (!line.section && !(line.nameLength == 0 && afterEmptyName))
            afterEmptyName = line.nameLength == 0;
        for (size_t i = 0; listed && i < line.nameLength; ++i)
            put(line.name[i]);
        if (listed)
            put('\0');
    }
    if (total + 2 <= size) {
        out[total] = '\0';
        return static_cast<uint32_t>(total);
    }
    out[size - 1] = '\0';
    if (size >= 2)
        out[size - 2] = '\0';
    return size >= 2 ? size - 2 : 0;
}

} // namespace

bool IsUtf8(const char *text, size_t length, bool &beyondAscii)
{
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
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

ProfileEncoding ProfileEncodingOf(const char *bytes, size_t length)
{
    auto begins = [&](const char *mark, size_t size) { return length >= size && memcmp(bytes, mark, size) == 0; };
    if (begins("\xEF\xBB\xBF", 3) || begins("\xFF\xFE", 2) || begins("\xFE\xFF", 2))
        return ProfileEncoding::ByteOrderMark;
    bool beyondAscii = false;
    if (IsUtf8(bytes, length, beyondAscii) && beyondAscii)
        return ProfileEncoding::Utf8;
    return ProfileEncoding::CodePage;
}

// Lines end at CR or LF; blanks around a line, a name and a value do not
// count; "[name]" opens a section, up to its last "]"; any other line is a
// key's, up to its first "=", or a name alone.
bool NextIniLine(const char *&next, const char *end, IniLine &line)
{
    while (next < end) {
        const char *start = next;
        while (next < end && *next != '\n' && *next != '\r')
            ++next;
        const char *stop = next;
        while (next < end && (*next == '\n' || *next == '\r'))
            ++next;
        Trim(start, stop);
        if (start == stop)
            continue;
        line = IniLine{};
        const char *close = stop - 1;
        while (*start == '[' && close > start && *close != ']')
            --close;
        if (*start == '[' && close > start) {
            line.section = true;
            const char *name = start + 1;
            Trim(name, close);
            line.name = name;
            line.nameLength = static_cast<size_t>(close - name);
            return true;
        }
        const char *equals = static_cast<const char *>(memchr(start, '=', static_cast<size_t>(stop - start)));
        const char *nameEnd = equals ? equals : stop;
        while (nameEnd > start && Blank(nameEnd[-1]))
            --nameEnd;
        line.name = start;
        line.nameLength = static_cast<size_t>(nameEnd - start);
        if (equals) {
            const char *value = equals + 1;
            Trim(value, stop);
            line.value = value;
            line.valueLength = static_cast<size_t>(stop - value);
        }
        return true;
    }
    return false;
}

// Of sections or keys of one name, the first counts.
bool FindIniKey(const IniFile &file, const char *section, const char *key, IniLine &found)
{
    bool inSection = false;
    const char *next = file.bytes, *end = file.bytes + file.length;
    for (IniLine line; NextIniLine(next, end, line);) {
        if (line.section) {
            if (inSection)
                return false; // the first section of the name has ended
            inSection = SameName(line.name, line.nameLength, section);
        } else if (inSection && SameName(line.name, line.nameLength, key)) {
            found = line;
            return true;
        }
    }
    return false;
}

uint32_t ReadIniText(const IniFile &file, const char *section, const char *key, const char *fallback, char *out,
                     uint32_t size)
{
    if (size == 0)
        return 0;
    if (!section)
        return ListNames(file, section, out, size);
    size_t length = strlen(fallback);
    if (!key) {
        // A section's keys, or the fallback where the list begins empty.
        uint32_t listed = ListNames(file, section, out, size);
        return out[0] ? listed : CopyValue(fallback, length, file.utf8, out, size);
    }
    IniLine line;
    // A name alone reads as absent.
    if (FindIniKey(file, section, key, line) && line.value)
        return CopyValue(line.value, line.valueLength, file.utf8, out, size);
    // Spaces at the end of a value's fallback do not count.
    while (length > 0 && fallback[length - 1] == ' ')
        --length;
    return CopyValue(fallback, length, file.utf8, out, size);
}

// Blanks, a sign, and digits, in hexadecimal after 0x, octal after 0o,
// binary after 0b (small letters only); a NUL ends the value.
uint32_t ReadIniNumber(const IniFile &file, const char *section, const char *key, int32_t fallback)
{
    IniLine line;
    if (!FindIniKey(file, section, key, line) || !line.value)
        return static_cast<uint32_t>(fallback);
    const char *text = line.value;
    size_t length = line.valueLength;
    Unquote(text, length);
    if (length == 0)
        return static_cast<uint32_t>(fallback);
    // Control characters count as blanks here.
    size_t i = 0;
    while (i < length && text[i] && static_cast<unsigned char>(text[i]) <= ' ')
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < length && text[i] == '0') {
        char mark = text[i + 1];
        base = mark == 'x' ? 16 : mark == 'o' ? 8 : mark == 'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    uint32_t number = 0;
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
