#include "client/program_names.h"

#include <string.h>

#include "common/bounded_text.h"

size_t ProgramNameIn(const char* argument, size_t* start)
{
    *start = argument[0] == '"' ? 1 : 0;
    size_t end = *start;
    while (argument[end] != '\0' && (*start ? argument[end] != '"' : !IsBlank(argument[end])))
        ++end;
    return end;
}

bool NamesFolder(const char* name, size_t length, LeadByteTest isLeadByte)
{
    // From the first byte: only there does a character surely begin.
    for (size_t at = 0; at < length; ++at) {
        char c = name[at];
        if (c == '\\' || c == '/' || c == ':')
            return true;
        if (isLeadByte && at + 1 < length && isLeadByte(static_cast<unsigned char>(c)))
            ++at;
    }
    return false;
}

static bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool NextPathFolder(const wchar_t* path, size_t* start, size_t* end)
{
    for (size_t at = *end; path[at] != L'\0';) {
        if (path[at] == L';')
            ++at;
        const wchar_t* folder = path + at;
        *start = at;
        while (path[at] != L'\0' && path[at] != L';')
            ++at;
        *end = at;
        // A share (\\server\share), or a drive's root and what is under it.
        if (at - *start >= 3 && ((IsSeparator(folder[0]) && IsSeparator(folder[1])) ||
                                 (folder[1] == L':' && IsSeparator(folder[2]))))
            return true;
    }
    return false;
}
