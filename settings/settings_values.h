#ifndef TAMSIL_SETTINGS_VALUES_H
#define TAMSIL_SETTINGS_VALUES_H

#include <stddef.h>

// How a setting's value is stored as text in the settings file and read
// back.

// A stored flag as the settings file holds it: a signed decimal with leading
// blanks skipped and digits up to the first non-digit, so "1" and "10" are
// on and "0", "yes" and "true" are off.
int FlagFromText(const char* text);

// The text a flag is stored as: "1" when on, "0" when off.
const char* FlagToText(int flag);

// The text to write for a setting so that the platform's profile reader,
// which trims blanks and tabs at both ends of a value and then drops one
// pair of matching quotes (" or ') around what is left, gives back exactly
// value: a value in such quotes, or with a blank or tab at either end, goes
// inside one more pair of double quotes, any other unchanged. stored holds
// up to two bytes more than value. False, with an empty result, when it does
// not fit.
bool ValueToStore(const char* value, char* stored, size_t capacity);

#endif
