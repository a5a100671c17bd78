#ifndef TAMSIL_SETTINGS_ENCODING_H
#define TAMSIL_SETTINGS_ENCODING_H

#include <stddef.h>

// What the first bytes of the settings file tell of how the platform's
// profile reader takes it. The file is read in settings_file.cpp.

enum SettingsFileMark
{
    MARK_NONE,    // read as 8-bit text, in the system code page
    MARK_UTF8,    // read as 8-bit text too, the mark included
    MARK_UTF16    // UTF-16 little-endian, read as Unicode
};

// The bytes of a settings file's head read to tell its encoding: a file
// without a mark that holds a NUL among them is no 8-bit text.
enum { SETTINGS_HEAD_CAPACITY = 4096 };

// The name of the encoding a file whose head is these bytes is saved in, when
// Windows reads no setting of it; NULL when it reads the file as text.
const char* UnreadEncoding(const unsigned char* head, size_t length);

// The byte-order mark a file whose head is these bytes begins with.
SettingsFileMark ByteOrderMarkOf(const unsigned char* head, size_t length);

enum LeadEnd
{
    LEAD_GOES_ON,   // only marks and blanks so far: the bytes after tell
    LEAD_SECTION,   // a section header's "["
    LEAD_OTHER      // anything else: the line is no section header
};

// How the first line of a file with a mark begins: the marks (the first one
// included) and blanks before its first other character, and that character.
struct FirstLineLead
{
    int Marks;
    LeadEnd End;
};

// Scans the first line of a file with this mark from its start, or on from
// where an earlier scan of it stopped, through these bytes: the number of
// bytes scanned, which leaves a part of a mark or character at the end for
// the scan of the bytes after.
size_t ScanFirstLineLead(const unsigned char* bytes, size_t length, SettingsFileMark mark,
                         FirstLineLead* lead);

#endif
