// INI files at any path: read as the ANSI calls read them, values and names
// in bytes of the system's code page, while the file's path is UTF-16 and so
// may hold any letter; or from the file's own bytes, kept as written.
#pragma once

#include "base/ini.h"

#include <windows.h>
#include <stddef.h>

// As GetPrivateProfileStringA(section, key, fallback, out, size, path): the
// value cut to size - 1 bytes, or with a null section or key the names there.
DWORD ReadProfileText(const char *section, const char *key, const char *fallback, char *out, DWORD size,
                      const wchar_t *path);
// As GetPrivateProfileIntA.
UINT ReadProfileNumber(const char *section, const char *key, INT fallback, const wchar_t *path);

// A profile file read once, whole, and its values found in its own bytes as
// the profile calls find them, each value's bytes kept as written: UTF-8 as
// UTF-8, a code page's bytes as that code page's, whatever the system's. The
// profile calls would decode them in the system's code page and encode them
// again, which need not give the same bytes back (a code page of two bytes
// a letter has bytes that begin no letter), and a UTF-8 file's letters would
// be only those of the system's code page. A file with a byte-order mark, or
// too large to hold, is left to the profile calls, which decode it. Close
// frees the bytes.
class ProfileFile {
public:
    explicit ProfileFile(const wchar_t *path);
    ProfileFile(const ProfileFile &) = delete;
    ProfileFile &operator=(const ProfileFile &) = delete;
    void Close();

    ProfileEncoding encoding() const { return encoding_; }
    // As ReadProfileText; a UTF-8 value is cut after the last whole letter
    // that fits.
    DWORD ReadText(const char *section, const char *key, const char *fallback, char *out, DWORD size) const;
    // As ReadProfileNumber.
    UINT ReadNumber(const char *section, const char *key, INT fallback) const;

private:
    bool OwnBytes() const { return bytes_ && encoding_ != ProfileEncoding::ByteOrderMark; }

    const wchar_t *path_;
    char *bytes_ = nullptr;
    size_t length_ = 0;
    ProfileEncoding encoding_ = ProfileEncoding::CodePage;
};
