#include "common/bounded_text.h"

#include <string.h>

size_t FieldLength(const char* field, size_t width)
{
    const void* end = memchr(field, '\0', width);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - field) : width;
}

bool CopyField(char* dest, size_t capacity, const char* field, size_t width)
{
    if (capacity == 0)
        return false;
    size_t length = FieldLength(field, width);
    bool fits = length < capacity;
    if (!fits)
        length = capacity - 1;
    memcpy(dest, field, length);
    dest[length] = '\0';
    return fits;
}

bool CopyText(char* dest, size_t capacity, const char* source)
{
    // Scans no further than the capacity, so a long source is never read to
    // its end.
    return CopyField(dest, capacity, source, capacity);
}

bool AppendText(char* dest, size_t capacity, const char* source)
{
    size_t used = FieldLength(dest, capacity);
    if (used >= capacity)
        return false;
    return CopyText(dest + used, capacity - used, source);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool HasBlank(const char* text)
{
    return strchr(text, ' ') != NULL || strchr(text, '\t') != NULL;
}
