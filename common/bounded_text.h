#ifndef TAMSIL_BOUNDED_TEXT_H
#define TAMSIL_BOUNDED_TEXT_H

#include <stddef.h>

// Every copy into a fixed buffer goes through these. They always leave the
// destination ended by a NUL (when the capacity is not 0) and report whether
// the whole source fitted; a false result means the text was cut.

// Copies source into dest, whose capacity counts the NUL.
bool CopyText(char* dest, size_t capacity, const char* source);

// Appends source to the text already in dest.
bool AppendText(char* dest, size_t capacity, const char* source);

// Copies at most width bytes of a field that need not end in a NUL: it stops
// at the first NUL inside the width and never reads past it.
bool CopyField(char* dest, size_t capacity, const char* field, size_t width);

// Length of a field that need not end in a NUL: up to the first NUL inside
// the width, else the whole width.
size_t FieldLength(const char* field, size_t width);

// True when c is a blank (space or tab).
bool IsBlank(char c);

// True when text holds a blank.
bool HasBlank(const char* text);

#endif
