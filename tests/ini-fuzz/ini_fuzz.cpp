// The INI reader under libFuzzer, built natively with clang and its
// address and undefined-behaviour sanitizers (tests/host/CMakeLists.txt;
// scripts/fuzz --reader runs a campaign, the test run a short one).
//
// An input is a file's bytes. Each is read as the launcher and the checker
// read it: its encoding told, its lines, the list of sections, a section's
// keys, a value and a number, of a name it holds, one of the launcher's or
// its first line taken as a name, into a buffer of some size (its last two
// bytes choose which). What must always hold, beside no report from a
// sanitizer:
// - an answer is NUL-terminated within its buffer, a list by two NULs where
//   the buffer holds them, and is bytes of the file or of the fallback;
// - in a file called UTF-8, a value is cut only after a whole letter;
// - a file is called UTF-8 exactly when an independent decoder finds it
//   valid UTF-8 with letters beyond ASCII, no NUL and no byte-order mark;
// - the same question gives the same answer twice.
#include "base/ini.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

void Fail(const char *what, const std::string &detail)
{
    fprintf(stderr, "ini_fuzz: %s: %s\n", what, detail.c_str());
    abort();
}

// UTF-8 decoded letter by letter into code points, unlike the reader's
// test of byte ranges: true when every letter is whole, in its shortest
// form, no surrogate and within U+10FFFF.
bool DecodesAsUtf8(const unsigned char *bytes, size_t length, bool &beyondAscii, bool &nul)
{
    beyondAscii = nul = false;
    size_t i = 0;
    while (i < length) {
        unsigned lead = bytes[i];
        uint32_t point;
        size_t count;
        if (lead < 0x80) {
            nul = nul || lead == 0;
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            point = lead & 0x1F;
            count = 2;
        } else if ((lead & 0xF0) == 0xE0) {
            point = lead & 0x0F;
            count = 3;
        } else if ((lead & 0xF8) == 0xF0) {
            point = lead & 0x07;
            count = 4;
        } else {
            return false;
        }
        if (i + count > length)
            return false;
        for (size_t k = 1; k < count; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
            point = point << 6 | (bytes[i + k] & 0x3F);
        }
        static const uint32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < shortest[count] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
            return false;
        beyondAscii = true;
        i += count;
    }
    return true;
}

bool Contains(const std::string &text, const char *part, size_t length)
{
    return length == 0 || text.find(std::string(part, length)) != std::string::npos;
}

// A list's names each end with a NUL and the list with a second, within
// the buffer; a list of no names, or one cut to nothing, is one NUL.
bool ListEnded(const char *out, uint32_t length, uint32_t size)
{
    return length == 0 || (out[length - 1] == '\0' && out[length] == '\0') ||
           (length + 1 < size && out[length] == '\0' && out[length + 1] == '\0');
}

// One question, twice, into a buffer of exactly its size, so that the
// address sanitizer sees any byte written beyond it.
void Ask(const IniFile &file, const std::string &bytes, const char *section, const char *key, const char *fallback,
         uint32_t size)
{
    std::string answers[2];
    for (std::string &answer : answers) {
        char *out = static_cast<char *>(malloc(size ? size : 1));
        uint32_t length = ReadIniText(file, section, key, fallback, out, size);
        if (size == 0 && length != 0)
            Fail("an answer in no buffer", std::to_string(length));
        if (size > 0 && (length >= size || out[length] != '\0'))
            Fail("an answer not NUL-terminated within its buffer",
                 std::to_string(length) + " of " + std::to_string(size));
        answer.assign(out, size ? length + 1 : 0);
        bool list = !section || (!key && !Contains(fallback, out, length));
        if (list && !ListEnded(out, length, size))
            Fail("a list not ended by two NULs", std::to_string(length) + " of " + std::to_string(size));
        // The value, or each name of a list, is bytes of the file or the fallback.
        for (size_t at = 0; at < length;) {
            size_t part = list ? strnlen(out + at, length - at) : length;
            if (!Contains(bytes, out + at, part) && !Contains(fallback, out + at, part))
                Fail("an answer that is neither the file's bytes nor the fallback", answer);
            at += part + 1;
        }
        bool beyondAscii, nul;
        if (file.utf8 && !list && !DecodesAsUtf8(reinterpret_cast<const unsigned char *>(out), length, beyondAscii, nul))
            Fail("a UTF-8 value cut inside a letter", answer);
        if (section && key)
            answer += std::to_string(ReadIniNumber(file, section, key, static_cast<int32_t>(size) - 3));
        free(out);
    }
    if (answers[0] != answers[1])
        Fail("the same question answered twice differs", answers[0] + " / " + answers[1]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string bytes(reinterpret_cast<const char *>(data), size);
    ProfileEncoding encoding = ProfileEncodingOf(bytes.data(), bytes.size());
    bool beyondAscii, nul;
    bool decodes = DecodesAsUtf8(data, size, beyondAscii, nul);
    bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || bytes.compare(0, 2, "\xFF\xFE") == 0 ||
                  bytes.compare(0, 2, "\xFE\xFF") == 0;
    if ((encoding == ProfileEncoding::Utf8) != (decodes && beyondAscii && !nul && !marked))
        Fail("the encoding told otherwise than an independent decoder tells it",
             std::to_string(static_cast<int>(encoding)));
    IniFile file = {bytes.data(), bytes.size(), encoding == ProfileEncoding::Utf8};

    // The names the file holds, one of the launcher's, an empty one, and
    // the first line's bytes taken as a name.
    std::vector<std::string> sections = {"Window", ""}, keys = {"Title", ""};
    const char *next = bytes.data(), *end = bytes.data() + bytes.size();
    IniLine line;
    while (NextIniLine(next, end, line)) {
        if (line.name < bytes.data() || line.name + line.nameLength > end ||
            (line.value && (line.value < line.name || line.value + line.valueLength > end)))
            Fail("a line's name or value beyond the file", std::to_string(line.name - bytes.data()));
        (line.section ? sections : keys).push_back(std::string(line.name, line.nameLength).c_str());
    }
    sections.push_back(bytes.substr(0, bytes.find_first_of("\r\n")).c_str());

    // Which names, buffer size and fallback are asked for is told by the
    // file's last bytes, which the fuzzer changes as it changes the rest.
    unsigned pick = size > 0 ? data[size - 1] : 0, sizePick = size > 1 ? data[size - 2] : 0;
    const std::string &section = sections[pick % sections.size()];
    const std::string &key = keys[(pick / 8 + sizePick) % keys.size()];
    IniLine found;
    size_t length = FindIniKey(file, section.c_str(), key.c_str(), found) && found.value ? found.valueLength : 4;
    // No byte, one, two, the answer's length and around it, or any.
    uint32_t sizes[] = {0, 1, 2, 3, static_cast<uint32_t>(length), static_cast<uint32_t>(length + 1),
                        static_cast<uint32_t>(length + 2), 8, 256, sizePick};
    uint32_t bufferSize = sizes[sizePick % (sizeof sizes / sizeof sizes[0])];
    const char *fallbacks[] = {"?", "", "Tolvane Starter Edition", "\"q\"", "d  "};
    const char *fallback = fallbacks[pick % 5];
    Ask(file, bytes, section.c_str(), key.c_str(), fallback, bufferSize);
    Ask(file, bytes, section.c_str(), nullptr, fallback, bufferSize);
    Ask(file, bytes, nullptr, nullptr, fallback, pick % 2 ? bufferSize : static_cast<uint32_t>(size + 2));
    return 0;
}
