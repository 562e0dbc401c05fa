// INI files at any path: read as the ANSI calls read them, values and names
// in bytes of the system's code page, while the file's path is UTF-16 and so
// may hold any letter; or, for a file written in UTF-8, in UTF-8.
#pragma once

#include <windows.h>
#include <stddef.h>

// As GetPrivateProfileStringA(section, key, fallback, out, size, path): the
// value cut to size - 1 bytes, or with a null section or key the names there.
DWORD ReadProfileText(const char *section, const char *key, const char *fallback, char *out, DWORD size,
                      const wchar_t *path);
// As GetPrivateProfileIntA.
UINT ReadProfileNumber(const char *section, const char *key, INT fallback, const wchar_t *path);

// How a profile file is written, told from its bytes.
enum class ProfileEncoding {
    CodePage,      // no byte-order mark, and not UTF-8: bytes of some code page, read in the system's
    Utf8,          // no byte-order mark, valid UTF-8 with letters beyond ASCII (Notepad's way)
    ByteOrderMark, // UTF-8 or UTF-16 marked so: the profile calls decode it themselves
};
ProfileEncoding ProfileEncodingOf(const char *bytes, size_t length);

// A profile file read once, whole, and its values read in its encoding: a
// UTF-8 file from its own bytes, whatever the system's code page (which may
// take two bytes for a letter and so not give the bytes back); any other as
// the ANSI calls read it.
class ProfileFile {
public:
    explicit ProfileFile(const wchar_t *path);
    ~ProfileFile();
    ProfileFile(const ProfileFile &) = delete;
    ProfileFile &operator=(const ProfileFile &) = delete;

    ProfileEncoding encoding() const { return encoding_; }
    // As ReadProfileText for one key; in UTF-8 for a UTF-8 file, cut after
    // the last whole letter that fits.
    DWORD ReadText(const char *section, const char *key, const char *fallback, char *out, DWORD size) const;
    // As ReadProfileNumber.
    UINT ReadNumber(const char *section, const char *key, INT fallback) const;

private:
    const wchar_t *path_;
    char *bytes_ = nullptr;
    size_t length_ = 0;
    ProfileEncoding encoding_ = ProfileEncoding::CodePage;
};
