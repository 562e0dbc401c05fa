// The INI reader against the profile calls, in bulk:
//
//   ini_property.exe [FILES] [SEED] [--from N] [--case N] [--keep FOLDER]
//   ini_property.exe --half 1252|1251
//
// Generates FILES random INI-like files (default 2,000) from SEED (default a
// fixed one), numbered from N with --from: sections, keys, blanks, tabs,
// quotes, comments, CR and LF alone, Ctrl-Z, bytes 0x80 to 0xFF, long lines,
// numbers, values at and around the buffer's size. Each is written to a
// file, and every answer the reader gives on its bytes is compared with
// GetPrivateProfileStringA's and GetPrivateProfileIntA's on the file: the
// list of sections, the keys of each section, each key's value at several
// buffer sizes, its number. A difference prints the smallest file that still
// shows it, which is kept in FOLDER (default: ini-differences beside the
// program), and the exit code is 1. --case N compares one file alone.
//
// --half, as the test run calls it, compares the first half of the files
// under code page 1252 or the second under 1251, which the process must
// have: of 2,000 files, or of the FILES and SEED that scripts/fuzz --profile
// writes into ini-property-campaign beside the program for a longer run.
//
// Under a code page of one byte a letter: one of two bytes a letter differs
// by design, as the reader keeps the bytes that the profile calls decode and
// encode again.
#include "base/ini.h"
#include "tests/support/random.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// One question put to both: a value (section and key), a list of keys (key
// null) or of sections (section null), with a fallback and a buffer size.
struct Question {
    bool hasSection = true, hasKey = true;
    std::string section, key, fallback;
    DWORD size = 0;
};

// Where Wine reads otherwise than Windows, and so than the reader, which
// reads as Windows does: known from Windows' documentation and from Wine's
// own tests of the profile calls, which pass on Windows.
// - A list that does not fit ends with a second NUL on Windows, with one
//   under Wine: the second is not compared.
// - An empty section name finds the section "[]" on Windows, the keys
//   before the first section under Wine: no such name is asked for.
// - A value in quotes whose text fills the buffer exactly is given whole on
//   Windows, as only a text too long for the buffer is cut; under Wine
//   without its last byte.
bool AskedOnWindowsOnly(const std::string &section)
{
    return section.find_first_not_of(" \t\x0B\x0C\x1A") == std::string::npos;
}
bool QuotedFillsBuffer(const IniFile &file, const Question &q)
{
    IniLine line;
    return q.hasSection && q.hasKey && FindIniKey(file, q.section.c_str(), q.key.c_str(), line) && line.value &&
           line.valueLength >= 2 && (line.value[0] == '"' || line.value[0] == '\'') &&
           line.value[line.valueLength - 1] == line.value[0] && line.valueLength - 2 + 1 == q.size;
}


// The answer's text as bytes a person can read.
std::string Shown(const char *bytes, size_t length)
{
    std::string shown;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        char hex[8];
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        }
    }
    return shown;
}
std::string Shown(const std::string &bytes)
{
    return Shown(bytes.data(), bytes.size());
}

std::string Described(const Question &q)
{
    std::string text = q.hasSection ? "[" + Shown(q.section) + "]" : "(null section)";
    text += q.hasKey ? " " + Shown(q.key) : " (null key)";
    return text + ", fallback \"" + Shown(q.fallback) + "\", size " + std::to_string(q.size);
}

std::wstring Folder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"vesk-ini-property-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
}

// Each file gets a name of its own: the profile calls keep files they read,
// and know a file again by its time of writing, which two quick writes of a
// file can share.
std::string WriteCase(const std::wstring &folder, const std::string &bytes)
{
    static unsigned serial = 0;
    std::wstring path = folder + L"case-" + std::to_wstring(serial++) + L".ini";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE || !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        fprintf(stderr, "ini_property: cannot write %ls\n", path.c_str());
        exit(2);
    }
    CloseHandle(file);
    char ansi[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

// Where the reader's answer differs from the profile calls' on this file:
// empty where they agree.
std::string Difference(const std::string &bytes, const std::string &path, const Question &q)
{
    const char *section = q.hasSection ? q.section.c_str() : nullptr;
    const char *key = q.hasKey ? q.key.c_str() : nullptr;
    std::vector<char> expected(q.size + 2, '\x7F'), actual(q.size + 2, '\x7F');
    DWORD expectedLength = GetPrivateProfileStringA(section, key, q.fallback.c_str(), expected.data(), q.size,
                                                    path.c_str());
    IniFile file = {bytes.data(), bytes.size(), false};
    DWORD actualLength = ReadIniText(file, section, key, q.fallback.c_str(), actual.data(), q.size);
    // The answer and its NUL; a list's second NUL is not compared (above).
    if (QuotedFillsBuffer(file, q) && actualLength > 0 && expectedLength + 1 == actualLength) {
        actual[--actualLength] = '\0';
    }
    size_t compared = q.size == 0 ? 0 : expectedLength + 1 < q.size ? expectedLength + 1 : q.size;
    std::string text;
    if (expectedLength != actualLength || memcmp(expected.data(), actual.data(), compared) != 0) {
        text = "GetPrivateProfileStringA gives " + std::to_string(expectedLength) + " \"" +
               Shown(expected.data(), compared) + "\", the reader " + std::to_string(actualLength) + " \"" +
               Shown(actual.data(), compared) + "\"";
    }
    if (section && key) {
        INT fallback = atoi(q.fallback.c_str());
        UINT expectedNumber = GetPrivateProfileIntA(section, key, fallback, path.c_str());
        UINT actualNumber = ReadIniNumber(file, section, key, fallback);
        if (expectedNumber != actualNumber) {
            text += (text.empty() ? "" : "; ") + std::string("GetPrivateProfileIntA gives ") +
                    std::to_string(expectedNumber) + ", the reader " + std::to_string(actualNumber);
        }
    }
    return text;
}

// Names as a disc maker writes them, and as they are asked for: in another
// case, with blanks around, absent, empty; some beyond ASCII, which are asked
// for as written (the profile calls fold their case by the code page, the
// reader ASCII letters only, and the launcher's names are ASCII).
const std::vector<std::string> kSections = {"Window", "window", "WINDOW", "Program", "RegIni", "s", "S", "a b",
                                            "Caf\xE9", "\xCE\xEA\xED\xEE", "[x]", "x]", ";s", "=", "", " "};
const std::vector<std::string> kKeys = {"Title", "TITLE", "title", "Application name", "Installer", "bothTypes",
                                        "Language", "k", "K", "a b", "a  b", ";k", "#k", "[k]", "k[", "\xE9t\xE9",
                                        "\xC8\xEC\xFF", "\"k\"", "", " "};

std::string Blanks(Random &r)
{
    static const std::vector<std::string> blanks = {"", "", "", " ", "  ", "\t", " \t ", "\x0B", "\x0C", "\x1A"};
    return r.Pick(blanks);
}

// A value a disc maker may write, or a number, or bytes of any kind.
std::string Value(Random &r)
{
    static const std::vector<std::string> quotes = {"\"", "'", ""};
    switch (r.Below(9)) {
    case 0: return "";
    case 1: return r.Pick<std::string>({"Y", "N", "yes", "Tolvane Demo", "setup.exe /S", "a=b", "\"", "'", "\"\"",
                                        "''", "\"a\"b\"", "\"x'", "D\xE9marrer", "\xD2\xEE\xEB\xE2\xE0\xED\xE5",
                                        "caf\xE9 \xA0", "\xA0x\xA0", "\x85", "\x1Ax", "x\x1A\x1A"});
    case 2: { // a number, as GetPrivateProfileIntA may read it
        std::string number = r.Pick<std::string>({"", "", "-", "+", " ", "\x01", "\x1F", "- ", "--"});
        number += r.Pick<std::string>({"", "", "0x", "0X", "0o", "0b", "0B", "0"});
        size_t digits = r.Chance(20) ? r.Below(45) : r.Below(12);
        for (size_t i = 0; i < digits; ++i)
            number += r.Chance(80) ? static_cast<char>('0' + r.Below(10)) : r.Pick<char>({'a', 'F', 'z', ' ', '.'});
        return number;
    }
    case 3: { // in quotes, or with one
        std::string quote = r.Pick(quotes);
        return quote + r.Text(r.Below(20)) + (r.Chance(70) ? quote : r.Pick(quotes));
    }
    case 4: return std::string(r.Length(), static_cast<char>('a' + r.Below(26)));
    default: {
        std::string text = r.Text(r.Chance(20) ? r.Length() : r.Below(24));
        // Mostly text a line can hold; now and then a blank inside or at an end.
        return r.Chance(30) ? Blanks(r) + text + Blanks(r) : text;
    }
    }
}

// A line of any kind an INI-like file may hold, without its end.
std::string Line(Random &r, std::vector<std::string> &sections, std::vector<std::string> &keys)
{
    std::string name;
    switch (r.Below(10)) {
    case 0:
    case 1: { // a section's header, now and then with text after or no bracket
        name = r.Chance(85) ? r.Pick(kSections) : r.Text(r.Below(10));
        sections.push_back(name);
        std::string close = r.Pick<std::string>({"]", "]", "]", "] ; note", "]x]", "", "]\t"});
        return Blanks(r) + "[" + Blanks(r) + name + Blanks(r) + close + Blanks(r);
    }
    case 2: // a comment
        return r.Pick<std::string>({";", "#", "//", " ;"}) + r.Text(r.Below(30));
    case 3: // a name alone, or bytes of any kind
        if (r.Chance(50)) {
            name = r.Pick(kKeys);
            keys.push_back(name);
            return Blanks(r) + name + Blanks(r);
        }
        return r.Text(r.Below(r.Chance(10) ? 2000 : 40));
    case 4: // blanks only
        return Blanks(r) + Blanks(r);
    default: { // a key and its value
        name = r.Chance(85) ? r.Pick(kKeys) : r.Text(r.Below(10));
        size_t equals = name.find('=');
        keys.push_back(equals == std::string::npos ? name : name.substr(0, equals));
        return Blanks(r) + name + Blanks(r) + r.Pick<std::string>({"=", "=", "=", "==", "= ="}) + Blanks(r) +
               Value(r) + Blanks(r);
    }
    }
}

struct Case {
    std::string bytes;
    std::vector<Question> questions;
};

Case Generate(uint64_t seed, uint64_t index)
{
    Random r(seed * 0x100000001B3ull + index);
    Case c;
    std::vector<std::string> sections, keys;
    std::vector<std::pair<std::string, std::string>> written; // each key under its section
    size_t lines = r.Below(r.Chance(10) ? 60 : 14);
    static const std::vector<std::string> ends = {"\r\n", "\r\n", "\r\n", "\n", "\r", "\n\r", "\r\r\n", "\n\n"};
    for (size_t i = 0; i < lines; ++i) {
        size_t keysBefore = keys.size();
        c.bytes += Line(r, sections, keys);
        if (keys.size() > keysBefore)
            written.emplace_back(sections.empty() ? "" : sections.back(), keys.back());
        if (i + 1 < lines || r.Chance(70))
            c.bytes += r.Pick(ends);
    }
    if (r.Chance(5))
        c.bytes += "\x1A";

    auto question = [&](bool hasSection, const std::string &section, bool hasKey, const std::string &key) {
        Question q;
        q.hasSection = hasSection;
        q.hasKey = hasKey;
        // Names as written, in another case, with blanks around.
        q.section = hasSection && r.Chance(10) ? " " + section + "\t" : section;
        q.key = hasKey && r.Chance(10) ? "\t" + key + " " : key;
        q.fallback = r.Pick<std::string>({"?", "?", "dflt", "", "7", "-2", "d  ", "Tolvane"});
        return q;
    };
    // The list of sections; one section's keys, now and then cut short; the
    // value of each key under its section (of the first eight) and of one
    // name asked for anywhere, at sizes at and around the value's and the
    // launcher's. Each question costs the profile calls a reading of the
    // file: in the emulated machine's test run, about a second a hundred.
    c.questions.push_back(question(false, "", false, ""));
    c.questions.back().size = 65536;
    sections.push_back(r.Pick(kSections));
    keys.push_back(r.Pick(kKeys));
    const std::string &listed = r.Pick(sections);
    if (!AskedOnWindowsOnly(listed)) {
        c.questions.push_back(question(true, listed, false, ""));
        c.questions.back().size = r.Chance(80) ? 65536 : static_cast<DWORD>(r.Below(40));
    }
    if (written.size() > 8)
        written.resize(8);
    written.emplace_back(r.Pick(sections), r.Pick(keys));
    for (const auto &pair : written) {
        if (AskedOnWindowsOnly(pair.first))
            continue;
        c.questions.push_back(question(true, pair.first, true, pair.second));
        IniFile file = {c.bytes.data(), c.bytes.size(), false};
        IniLine line;
        size_t length = FindIniKey(file, pair.first.c_str(), pair.second.c_str(), line) && line.value
                            ? line.valueLength
                            : 3;
        size_t around = length + 2 - r.Below(5);
        c.questions.back().size = static_cast<DWORD>(
            r.Chance(50) ? (around > 60000 ? 1 : around) : r.Pick<size_t>({1, 2, 8, 16, 64, 128, 256, 65536}));
    }
    return c;
}

// The smallest file, line by line and then byte by byte, that still shows a
// difference for the question.
std::string Smallest(const std::wstring &folder, std::string bytes, const Question &q)
{
    for (bool removed = true; removed;) {
        removed = false;
        for (size_t unit : {size_t(64), size_t(8), size_t(1)}) {
            for (size_t at = 0; at < bytes.size();) {
                std::string smaller = bytes.substr(0, at) + bytes.substr(std::min(bytes.size(), at + unit));
                std::string path = WriteCase(folder, smaller);
                bool differs = !Difference(smaller, path, q).empty();
                DeleteFileA(path.c_str());
                if (differs) {
                    bytes = smaller;
                    removed = true;
                } else {
                    at += unit;
                }
            }
        }
    }
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    uint64_t files = 2000, seed = 20261210, from = 0;
    bool single = false;
    std::string keep;
    std::vector<const char *> numbers;
    UINT half = 0;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--half") == 0 && i + 1 < argc) {
            half = static_cast<UINT>(atoi(argv[++i]));
        } else if (strcmp(argv[i], "--case") == 0 && i + 1 < argc) {
            single = true;
            from = strtoull(argv[++i], nullptr, 10);
        } else if (strcmp(argv[i], "--from") == 0 && i + 1 < argc) {
            from = strtoull(argv[++i], nullptr, 10);
        } else if (strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
            keep = argv[++i];
        } else {
            numbers.push_back(argv[i]);
        }
    }
    if (numbers.size() > 0)
        files = strtoull(numbers[0], nullptr, 10);
    if (numbers.size() > 1)
        seed = strtoull(numbers[1], nullptr, 10);
    if (single)
        files = 1;
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string folderOfProgram(program, strrchr(program, '\\') - program);
    if (keep.empty())
        keep = folderOfProgram + "\\ini-differences";
    UINT codePage = GetACP();
    if (half) {
        FILE *campaign = fopen((folderOfProgram + "\\ini-property-campaign").c_str(), "r");
        unsigned long long count = 0, campaignSeed = 0;
        if (campaign) {
            int read = fscanf(campaign, "%llu %llu", &count, &campaignSeed);
            files = read >= 1 ? count : files;
            seed = read >= 2 ? campaignSeed : seed;
            fclose(campaign);
        }
        from = half == 1252 ? 0 : files / 2;
        files = half == 1252 ? files / 2 : files - files / 2;
        if (codePage != half) {
            fprintf(stderr, "ini_property: the code page is %u, not %u (LC_ALL picks it under Wine)\n", codePage, half);
            return 2;
        }
    }
    if (codePage != 1252 && codePage != 1251) {
        fprintf(stderr, "ini_property: the code page is %u; the reader is compared under 1252 and 1251\n", codePage);
        return 2;
    }

    std::wstring folder = Folder();
    CreateDirectoryW(folder.c_str(), nullptr);
    DWORD started = GetTickCount();
    uint64_t answers = 0, utf8 = 0;
    int status = 0;
    for (uint64_t i = from; i < from + files && status == 0; ++i) {
        Case c = Generate(seed, i);
        // A file that happens to be UTF-8 is read as UTF-8, its values cut
        // after whole letters: not the profile calls' way by design.
        if (ProfileEncodingOf(c.bytes.data(), c.bytes.size()) != ProfileEncoding::CodePage) {
            ++utf8;
            continue;
        }
        std::string path = WriteCase(folder, c.bytes);
        for (const Question &q : c.questions) {
            std::string difference = Difference(c.bytes, path, q);
            ++answers;
            if (difference.empty())
                continue;
            std::string smallest = Smallest(folder, c.bytes, q);
            std::string path2 = WriteCase(folder, smallest);
            difference = Difference(smallest, path2, q);
            DeleteFileA(path2.c_str());
            printf("case %llu (seed %llu), code page %u: %s: %s\nthe smallest file that shows it (%u bytes): \"%s\"\n",
                   static_cast<unsigned long long>(i), static_cast<unsigned long long>(seed), codePage,
                   Described(q).c_str(), difference.c_str(), static_cast<unsigned>(smallest.size()),
                   Shown(smallest).c_str());
            CreateDirectoryA(keep.c_str(), nullptr);
            std::string kept = keep + "\\case-" + std::to_string(i) + "-cp" + std::to_string(codePage) + ".ini";
            HANDLE out = CreateFileA(kept.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr);
            DWORD written = 0;
            if (out != INVALID_HANDLE_VALUE) {
                WriteFile(out, smallest.data(), static_cast<DWORD>(smallest.size()), &written, nullptr);
                CloseHandle(out);
                printf("kept as %s\n", kept.c_str());
            }
            status = 1;
            break;
        }
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
    printf("seed %llu, files %llu to %llu, code page %u: %llu answers compared, %llu files left out as UTF-8; "
           "%s in %.1f s\n",
           static_cast<unsigned long long>(seed), static_cast<unsigned long long>(from),
           static_cast<unsigned long long>(from + files - 1), codePage, static_cast<unsigned long long>(answers),
           static_cast<unsigned long long>(utf8), status ? "a difference" : "no difference",
           (GetTickCount() - started) / 1000.0);
    return status;
}
