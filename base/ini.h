// An INI file's bytes read as the Windows profile calls read them: its
// lines, a section and a key found, a value cut to a buffer, the number a
// value begins with, the lists of sections and keys, and how the file is
// written. No Windows header and only fixed-size types, so that the same
// code builds for the launcher and natively, where a fuzzer tries it.
#pragma once

#include <stddef.h>
#include <stdint.h>

// How a profile file is written, told from its bytes.
enum class ProfileEncoding {
    CodePage,      // no byte-order mark, and not UTF-8: bytes of some code page, read in the system's
    Utf8,          // no byte-order mark, valid UTF-8 with letters beyond ASCII (Notepad's way)
    ByteOrderMark, // UTF-8 or UTF-16 marked so: the profile calls decode it themselves
};
ProfileEncoding ProfileEncodingOf(const char *bytes, size_t length);

// Valid UTF-8 as Unicode defines it: no byte that begins no letter, no
// letter cut short, written longer than need be, a surrogate or beyond
// U+10FFFF; and no NUL, which no text file holds. beyondAscii tells whether
// it holds a letter of more than one byte.
bool IsUtf8(const char *bytes, size_t length, bool &beyondAscii);

// One line that is not blank, as the profile calls take it: a section's
// header, "[name]", or a key's line, "name=value", or a name alone, whose
// value is null. Names and values without the blanks around them; a value
// as written, its quotes kept.
struct IniLine {
    bool section;
    const char *name;
    size_t nameLength;
    const char *value;
    size_t valueLength;
};
// The line that starts at or after next, which then points past it; false
// at end.
bool NextIniLine(const char *&next, const char *end, IniLine &line);

// A file's bytes; in UTF-8 a value is cut only after a whole letter.
struct IniFile {
    const char *bytes;
    size_t length;
    bool utf8;
};
// The line of the first key of that name in the first section of that
// name, names compared as the profile calls compare them; false when none.
bool FindIniKey(const IniFile &file, const char *section, const char *key, IniLine &line);
// As GetPrivateProfileStringA(section, key, fallback, out, size): the value
// without its quotes, or the fallback, cut to size - 1 bytes; with a null
// section the sections' names, with a null key those of the section's keys,
// each ended by a NUL and the list by a second one. The bytes written,
// without the last NUL.
uint32_t ReadIniText(const IniFile &file, const char *section, const char *key, const char *fallback, char *out,
                     uint32_t size);
// As GetPrivateProfileIntA: the number the value begins with, or fallback
// where the key is absent or its value empty.
uint32_t ReadIniNumber(const IniFile &file, const char *section, const char *key, int32_t fallback);
