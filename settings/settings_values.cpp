#include "settings/settings_values.h"

#include <string.h>

#include "common/bounded_text.h"

int FlagFromText(const char* text)
{
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' ||
           *text == '\v' || *text == '\f')
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    // The text comes from a 3-byte buffer, so it cannot overflow; the bound
    // keeps a longer caller safe all the same.
    long value = 0;
    for (; *text >= '0' && *text <= '9' && value < 100000000L; ++text)
        value = value * 10 + (*text - '0');
    return static_cast<int>(negative ? -value : value);
}

const char* FlagToText(int flag)
{
    return flag != 0 ? "1" : "0";
}

bool ValueToStore(const char* value, char* stored, size_t capacity)
{
    size_t length = strlen(value);
    bool enclosed = length >= 2 && (value[0] == '"' || value[0] == '\'') &&
                    value[length - 1] == value[0];
    // The reader trims blanks at both ends before it looks for the quotes,
    // so only quotes keep them.
    bool edgeBlank = length > 0 && (IsBlank(value[0]) || IsBlank(value[length - 1]));
    bool fits = enclosed || edgeBlank ? CopyText(stored, capacity, "\"") && AppendText(stored, capacity, value) &&
                               AppendText(stored, capacity, "\"")
                         : CopyText(stored, capacity, value);
    if (!fits && capacity > 0)
        stored[0] = '\0';
    return fits;
}
