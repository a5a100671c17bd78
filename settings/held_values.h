#ifndef TAMSIL_HELD_VALUES_H
#define TAMSIL_HELD_VALUES_H

#include <stddef.h>
#include <wchar.h>

// A settings file saved as Unicode is read by the 8-bit profile calls in
// the system code page, with a look-alike (an L for an L with a stroke) or
// "?" for each character that code page lacks: a client's path would name
// another program. So each value read from such a file is read again in
// UTF-16 and checked here; the first that the code page does not hold
// exactly is kept, by its place, for the message that refuses the file.

// Starts the checks of one reading of the file at path: none is made when
// unicode is false, as an 8-bit file is read as written.
void StartHeldValueChecks(const wchar_t* path, bool unicode);

// Checks the value of key in section, as far as a read into capacity bytes
// takes it.
void CheckValueHeld(const char* section, const char* key, size_t capacity);

// Checks the names of the keys of section, as far as a list of capacity
// bytes takes them.
void CheckKeyNamesHeld(const char* section, size_t capacity);

// The first setting checked since the start that the code page does not
// hold, as "[Section] Key", or "[Section]" for a name; NULL when none.
const char* FirstUnheldSetting(void);

#endif
