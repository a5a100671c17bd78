#include "settings/settings_encoding.h"

#include <string.h>

static const unsigned char UTF8_MARK[] = {0xEF, 0xBB, 0xBF};
static const unsigned char UTF16_MARK[] = {0xFF, 0xFE};   // U+FEFF, little-endian

// FE FF is UTF-16 big-endian; FF FE 00 00 and 00 00 FE FF are UTF-32 (the
// first begins with the UTF-16 little-endian mark, but no setting of it is
// read). Any other file without a mark that holds a NUL in its head is
// UTF-16 without a mark, of which Windows reads no setting: every character
// of the first 128 has a NUL byte in it, and a file whose first line is in
// another script (a comment in Japanese) has one at its line's end. A file
// shorter than 4 bytes holds no setting in any encoding: only FE FF is
// refused among them, as it always was, and FF FE alone is an empty UTF-16
// little-endian file.
const char* UnreadEncoding(const unsigned char* head, size_t length)
{
    if (length >= 2 && head[0] == 0xFE && head[1] == 0xFF)
        return "UTF-16 big-endian";
    if (length < 4)
        return NULL;
    if (memcmp(head, "\xFF\xFE\0\0", 4) == 0 || memcmp(head, "\0\0\xFE\xFF", 4) == 0)
        return "UTF-32";
    if (ByteOrderMarkOf(head, length) == MARK_NONE && memchr(head, 0, length) != NULL)
        return "UTF-16 without a byte-order mark";
    return NULL;
}

SettingsFileMark ByteOrderMarkOf(const unsigned char* head, size_t length)
{
    if (length >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
        return MARK_UTF8;
    if (length >= 2 && head[0] == 0xFF && head[1] == 0xFE)
        return MARK_UTF16;
    return MARK_NONE;
}

// The profile reader skips the blanks that begin a line, and one mark at
// the file's start; any other mark is a character of the line, so a "["
// after it begins no section header.
size_t ScanFirstLineLead(const unsigned char* bytes, size_t length, SettingsFileMark mark,
                         FirstLineLead* lead)
{
    bool wide = mark == MARK_UTF16;
    const unsigned char* markBytes = wide ? UTF16_MARK : UTF8_MARK;
    size_t markLength = wide ? sizeof UTF16_MARK : sizeof UTF8_MARK, unit = wide ? 2 : 1;
    size_t at = 0;
    while (length - at >= unit) {
        size_t left = length - at;
        if (memcmp(bytes + at, markBytes, left < markLength ? left : markLength) == 0) {
            if (left < markLength)
                break;   // a mark may go on in the bytes after
            ++lead->Marks;
            at += markLength;
            continue;
        }
        unsigned character = bytes[at] | (wide ? bytes[at + 1] << 8 : 0);
        if (character != ' ' && character != '\t') {
            lead->End = character == '[' ? LEAD_SECTION : LEAD_OTHER;
            return at;
        }
        at += unit;
    }
    lead->End = LEAD_GOES_ON;
    return at;
}
