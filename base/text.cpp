// Bounded copy, append and format into fixed-size text buffers, of bytes or
// of UTF-16 alike.
#include "base/text.h"

#include <stdarg.h>

namespace {

template <typename Char> size_t Used(const Char *dst, size_t size)
{
    size_t used = 0;
    while (used < size && dst[used])
        ++used;
    return used;
}

template <typename Char> bool Copy(Char *dst, size_t size, const Char *src)
{
    if (size == 0)
        return false;
    size_t i = 0;
    for (; i + 1 < size && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
    return src[i] == 0;
}

template <typename Char> bool Append(Char *dst, size_t size, const Char *src)
{
    size_t used = Used(dst, size);
    if (used == size)
        return false; // not terminated: nothing may be appended safely
    return Copy(dst + used, size - used, src);
}

// Appends at most length characters of src.
template <typename Char> bool AppendPart(Char *dst, size_t size, const Char *src, size_t length)
{
    size_t used = Used(dst, size);
    if (used == size)
        return false;
    size_t room = size - used - 1;
    size_t copied = length < room ? length : room;
    for (size_t i = 0; i < copied && src[i]; ++i)
        dst[used++] = src[i];
    dst[used] = 0;
    return copied == length;
}

template <typename Char> bool Format(Char *dst, size_t size, const Char *format, va_list args)
{
    if (size == 0)
        return false;
    dst[0] = 0;
    bool fits = true;
    for (;;) {
        const Char *mark = format;
        while (*mark && !(mark[0] == '%' && mark[1] == 's'))
            ++mark;
        fits = AppendPart(dst, size, format, static_cast<size_t>(mark - format)) && fits;
        if (!*mark)
            break;
        fits = Append(dst, size, va_arg(args, const Char *)) && fits;
        format = mark + 2;
    }
    return fits;
}

} // namespace

bool TextCopy(char *dst, size_t size, const char *src) { return Copy(dst, size, src); }
bool TextCopy(wchar_t *dst, size_t size, const wchar_t *src) { return Copy(dst, size, src); }
bool TextAppend(char *dst, size_t size, const char *src) { return Append(dst, size, src); }
bool TextAppend(wchar_t *dst, size_t size, const wchar_t *src) { return Append(dst, size, src); }

bool TextCopy(wchar_t *dst, size_t size, Ansi src)
{
    if (size == 0)
        return false;
    dst[0] = L'\0';
    return TextAppend(dst, size, src);
}

bool TextAppend(wchar_t *dst, size_t size, Ansi src)
{
    return TextAppendWide(dst, size, src.text, lstrlenA(src.text), src.codePage);
}

bool TextFormat(char *dst, size_t size, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    bool fits = Format(dst, size, format, args);
    va_end(args);
    return fits;
}

bool TextFormat(wchar_t *dst, size_t size, const wchar_t *format, ...)
{
    va_list args;
    va_start(args, format);
    bool fits = Format(dst, size, format, args);
    va_end(args);
    return fits;
}

bool TextAppendWide(wchar_t *dst, size_t size, const char *src, size_t length, UINT codePage)
{
    size_t used = Used(dst, size);
    if (used == size)
        return false;
    wchar_t converted[512];
    size_t taken = length < 511 ? length : 511;
    int count = taken ? MultiByteToWideChar(codePage, 0, src, static_cast<int>(taken), converted, 511) : 0;
    size_t room = size - used - 1;
    size_t copied = static_cast<size_t>(count) < room ? static_cast<size_t>(count) : room;
    for (size_t i = 0; i < copied; ++i)
        dst[used++] = converted[i];
    dst[used] = L'\0';
    return taken == length && copied == static_cast<size_t>(count);
}
