// INI files at any path: read as the ANSI calls read them, values and names
// in bytes of the system's code page, while the file's path is UTF-16 and so
// may hold any letter.
#pragma once

#include <windows.h>

// As GetPrivateProfileStringA(section, key, fallback, out, size, path): the
// value cut to size - 1 bytes, or with a null section or key the names there.
DWORD ReadProfileText(const char *section, const char *key, const char *fallback, char *out, DWORD size,
                      const wchar_t *path);
// As GetPrivateProfileIntA.
UINT ReadProfileNumber(const char *section, const char *key, INT fallback, const wchar_t *path);
