#include "common/format_text.h"

#include <stdarg.h>
#include <stdio.h>

bool FormatText(char* dest, size_t capacity, const char* format, ...)
{
    if (capacity == 0)
        return false;
    va_list arguments;
    va_start(arguments, format);
#ifdef _WIN32
    // The system's runtime writes at most count bytes, leaves the text
    // unended when it fills them, and gives -1 for a text it cut: the last
    // byte is kept for the NUL.
    int length = _vsnprintf(dest, capacity - 1, format, arguments);
    dest[capacity - 1] = '\0';
#else
    int length = vsnprintf(dest, capacity, format, arguments);
#endif
    va_end(arguments);
    return length >= 0 && static_cast<size_t>(length) < capacity;
}
