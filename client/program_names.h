#ifndef TAMSIL_PROGRAM_NAMES_H
#define TAMSIL_PROGRAM_NAMES_H

#include <stddef.h>

#include "common/lead_byte.h"

// What the platform's process creation would take for the client's program
// and where it would look for it, read from the client argument and from
// PATH without asking the platform; the search itself, which never looks in
// the host's current folder, is in client_search.h.

// The program's name in a line that begins with the client argument, as
// argument[*start, end), end returned: the text inside its quotes when it
// begins with one, else its first word. The platform would try longer
// words of an unquoted value too, but the rest of one it found that way
// would reach the client as its first arguments. The second byte of a
// double-byte character of a system code page is 0x40 or more, never taken
// for a blank, a tab or a quote.
size_t ProgramNameIn(const char* argument, size_t* start);

// Whether a program's name holds a folder, absolute or relative; one that
// does is used as it is, never searched for. The second byte of a
// double-byte character (see isLeadByte) is part of it, whatever its value.
bool NamesFolder(const char* name, size_t length, LeadByteTest isLeadByte);

// The folders of a PATH value, in turn, as path[*start, *end); *end is 0
// before the first. Empty elements and those that are no full path (".",
// "bin", "\bin", "C:bin") are skipped: each names a folder that depends on
// the current one. False when no folder is left.
bool NextPathFolder(const wchar_t* path, size_t* start, size_t* end);

#endif
