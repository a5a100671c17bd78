#ifndef TAMSIL_EIGHT_BIT_PATH_H
#define TAMSIL_EIGHT_BIT_PATH_H

#include <stddef.h>

// The plug-in works with 8-bit paths in the system code page, but a folder
// may be named with characters that code page lacks (a user name in Cyrillic
// letters on a Western machine). For a path the system gives in UTF-16, this
// gives an 8-bit path naming the same file: the path itself when it converts
// without loss, which is byte for byte what the 8-bit calls give; else the
// short form of its folder with its own last element (none for a path that
// ends in a separator), when that converts; the file need not be there yet.
// False, with an empty result, when neither fits the capacity; GetLastError
// then gives ERROR_NO_UNICODE_TRANSLATION when neither form has an 8-bit
// form at all, ERROR_BUFFER_OVERFLOW when one has but is too long.
bool EightBitPath(const wchar_t* path, char* eightBitPath, size_t capacity);

// A path for a message, as the 8-bit calls show it: "?" for each character
// the system code page lacks; cut to the capacity.
void PathAsShown(const wchar_t* path, char* shown, size_t capacity);

// Whether text in UTF-16 converts to the system code page exactly: each
// character to a form of its own there that converts back to it, never to
// a look-alike (an L for an L with a stroke) or the default character.
bool HeldBySystemCodePage(const wchar_t* text);

// Whether byte is the first of a double-byte character of the system code
// page, whose second byte is no backslash, whatever its value (a
// LeadByteTest, see common/lead_byte.h).
bool IsSystemLeadByte(unsigned char byte);

#endif
