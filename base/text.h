// Bounded text: each writes at most size bytes, always NUL-terminates, and
// returns false when the whole text did not fit (the buffer then holds what
// fitted). Every fixed buffer of the program is written through these.
#pragma once

#include <windows.h>
#include <stddef.h>

bool TextCopy(char *dst, size_t size, const char *src);
bool TextAppend(char *dst, size_t size, const char *src);
// Replaces each "%s" of format, in order, with the next argument, taken
// literally: the one conversion the launcher's texts have.
bool TextFormat(char *dst, size_t size, const char *format, ...);
// Appends length bytes of src, a text of the given code page, as Unicode.
bool TextAppendWide(wchar_t *dst, size_t size, const char *src, size_t length, UINT codePage);

template <size_t N> bool TextCopy(char (&dst)[N], const char *src) { return TextCopy(dst, N, src); }
template <size_t N> bool TextAppend(char (&dst)[N], const char *src) { return TextAppend(dst, N, src); }
template <size_t N, typename... Args>
bool TextFormat(char (&dst)[N], const char *format, Args... args) { return TextFormat(dst, N, format, args...); }

template <size_t N> bool TextToWide(wchar_t (&dst)[N], const char *src, UINT codePage)
{
    dst[0] = L'\0';
    return TextAppendWide(dst, N, src, lstrlenA(src), codePage);
}

// Copies the first length characters of src (all of it when shorter); false
// when they did not fit.
template <size_t N> bool TextCopyPrefix(char (&dst)[N], const char *src, size_t length)
{
    TextCopy(dst, length < N ? length + 1 : N, src);
    return length < N;
}

// Joins texts into dst by plain concatenation; false when they do not fit.
template <size_t N, typename... Parts>
bool TextJoin(char (&dst)[N], const char *first, Parts... rest)
{
    bool fits = TextCopy(dst, N, first);
    ((fits = TextAppend(dst, N, rest) && fits), ...);
    return fits;
}
