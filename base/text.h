// Bounded text: each writes at most size characters, always NUL-terminates,
// and returns false when the whole text did not fit (the buffer then holds
// what fitted). Every fixed buffer of the program is written through these:
// texts in bytes of a code page (char), paths in UTF-16 (wchar_t).
#pragma once

#include <windows.h>
#include <stddef.h>

// A text of bytes joined to UTF-16: by default of the system's code page,
// converted as Windows converts what its ANSI calls are given; what VESK.INI
// names, beside the folders Windows gives, is in the code page it was read in.
struct Ansi {
    const char *text;
    UINT codePage = CP_ACP;
};

bool TextCopy(char *dst, size_t size, const char *src);
bool TextCopy(wchar_t *dst, size_t size, const wchar_t *src);
bool TextCopy(wchar_t *dst, size_t size, Ansi src);
bool TextAppend(char *dst, size_t size, const char *src);
bool TextAppend(wchar_t *dst, size_t size, const wchar_t *src);
bool TextAppend(wchar_t *dst, size_t size, Ansi src);
// Replaces each "%s" of format, in order, with the next argument, taken
// literally: the one conversion the launcher's texts have.
bool TextFormat(char *dst, size_t size, const char *format, ...);
bool TextFormat(wchar_t *dst, size_t size, const wchar_t *format, ...);
// Appends length bytes of src, a text of the given code page, as Unicode.
bool TextAppendWide(wchar_t *dst, size_t size, const char *src, size_t length, UINT codePage);

template <typename Char, size_t N, typename Text> bool TextCopy(Char (&dst)[N], Text src)
{
    return TextCopy(dst, N, src);
}
template <typename Char, size_t N, typename Text> bool TextAppend(Char (&dst)[N], Text src)
{
    return TextAppend(dst, N, src);
}
template <typename Char, size_t N, typename... Args>
bool TextFormat(Char (&dst)[N], const Char *format, Args... args)
{
    return TextFormat(dst, N, format, args...);
}

template <size_t N> bool TextToWide(wchar_t (&dst)[N], const char *src, UINT codePage)
{
    dst[0] = L'\0';
    return TextAppendWide(dst, N, src, lstrlenA(src), codePage);
}

// Copies the first length characters of src (all of it when shorter); false
// when they did not fit.
template <typename Char, size_t N> bool TextCopyPrefix(Char (&dst)[N], const Char *src, size_t length)
{
    TextCopy(dst, length < N ? length + 1 : N, src);
    return length < N;
}

// Joins texts into dst by plain concatenation; false when they do not fit.
template <typename Char, size_t N, typename First, typename... Parts>
bool TextJoin(Char (&dst)[N], First first, Parts... rest)
{
    bool fits = TextCopy(dst, N, first);
    ((fits = TextAppend(dst, N, rest) && fits), ...);
    return fits;
}
