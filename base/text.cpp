// Bounded copy, append and format into fixed-size text buffers.
#include "base/text.h"

#include <stdarg.h>
#include <string.h>

bool TextCopy(char *dst, size_t size, const char *src)
{
    if (size == 0)
        return false;
    size_t i = 0;
    for (; i + 1 < size && src[i]; ++i)
        dst[i] = src[i];
    dst[i] = '\0';
    return src[i] == '\0';
}

bool TextAppend(char *dst, size_t size, const char *src)
{
    size_t used = 0;
    while (used < size && dst[used])
        ++used;
    if (used == size)
        return false; // not terminated: nothing may be appended safely
    return TextCopy(dst + used, size - used, src);
}

// Appends at most length characters of src.
static bool AppendPart(char *dst, size_t size, const char *src, size_t length)
{
    size_t used = 0;
    while (used < size && dst[used])
        ++used;
    if (used == size)
        return false;
    size_t room = size - used - 1;
    size_t copied = length < room ? length : room;
    for (size_t i = 0; i < copied && src[i]; ++i)
        dst[used++] = src[i];
    dst[used] = '\0';
    return copied == length;
}

bool TextFormat(char *dst, size_t size, const char *format, ...)
{
    if (size == 0)
        return false;
    dst[0] = '\0';
    va_list args;
    va_start(args, format);
    bool fits = true;
    for (;;) {
        const char *mark = strstr(format, "%s");
        fits = AppendPart(dst, size, format, mark ? static_cast<size_t>(mark - format) : strlen(format)) && fits;
        if (!mark)
            break;
        fits = TextAppend(dst, size, va_arg(args, const char *)) && fits;
        format = mark + 2;
    }
    va_end(args);
    return fits;
}

bool TextAppendWide(wchar_t *dst, size_t size, const char *src, size_t length, UINT codePage)
{
    size_t used = 0;
    while (used < size && dst[used])
        ++used;
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
