// Bounded copy, append and format into fixed-size text buffers.
#include "launcher/launcher.h"

#include <stdarg.h>
#include <stdio.h>

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

bool TextFormat(char *dst, size_t size, const char *format, ...)
{
    if (size == 0)
        return false;
    va_list args;
    va_start(args, format);
    int wanted = vsnprintf(dst, size, format, args);
    va_end(args);
    // Some C libraries answer -1, not the length wanted, when the text is cut.
    dst[size - 1] = '\0';
    return wanted >= 0 && static_cast<size_t>(wanted) < size;
}
