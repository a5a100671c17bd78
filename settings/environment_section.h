#ifndef TAMSIL_ENVIRONMENT_SECTION_H
#define TAMSIL_ENVIRONMENT_SECTION_H

#include <stddef.h>

// The section [Environment] of the settings file, edited by hand: each key
// names a variable of the client's environment, and its value is the
// client's value of it.

enum EnvironmentCapacity
{
    ENVIRONMENT_VARIABLE_LIMIT = 32,
    ENVIRONMENT_NAMES_LIMIT = 4000,   // bytes of all the names together, without their NULs
    // The reader's list of keys: each name and its NUL, and the list's own
    // NUL. A list that fills all but two bytes may have been cut, which
    // only more names than the limits allow can do.
    ENVIRONMENT_NAMES_CAPACITY = ENVIRONMENT_NAMES_LIMIT + ENVIRONMENT_VARIABLE_LIMIT + 3,
    ENVIRONMENT_VALUE_LIMIT = 4095,   // bytes of one value as read
    // The reader may cut a value before it drops its quotes, so it gets
    // room for them; a value it gives back longer than the limit is refused.
    ENVIRONMENT_VALUE_CAPACITY = ENVIRONMENT_VALUE_LIMIT + 3
};

// The section as the profile reader gives it: the keys in the file's order,
// each with its value (blanks at both ends and one pair of enclosing quotes
// dropped, as for every setting). Count is -1 when the keys do not all fit.
struct EnvironmentSection
{
    int Count;
    char Names[ENVIRONMENT_NAMES_CAPACITY];
    const char* Keys[ENVIRONMENT_VARIABLE_LIMIT];
    char Values[ENVIRONMENT_VARIABLE_LIMIT][ENVIRONMENT_VALUE_CAPACITY];
};

enum EnvironmentFault
{
    ENVIRONMENT_USABLE,
    ENVIRONMENT_SECTION_FULL,     // more keys, or longer names, than the limits
    ENVIRONMENT_KEY_UNNAMEABLE,   // empty, or beginning with "=": no variable has such a name
    ENVIRONMENT_VALUE_TOO_LONG
};

// Splits the reader's list of keys, length bytes each ended by a NUL (with
// one more NUL at list[length]), into keys. The number of keys, or -1 when
// there are more than limit. An empty key counts as one.
int SplitKeyList(const char* list, size_t length, const char** keys, int limit);

// The first fault of the section, in the file's order; *key is the index of
// the key it lies in, for the faults of a key.
EnvironmentFault FindEnvironmentFault(const EnvironmentSection* section, int* key);

#endif
