#ifndef TAMSIL_SETTINGS_RECORD_H
#define TAMSIL_SETTINGS_RECORD_H

#include <stddef.h>

enum SettingsCapacity
{
    SETTINGS_PATH_CAPACITY = 260,    // paths, the connect string, the client
    SETTINGS_OPTIONS_CAPACITY = 127,
    SETTINGS_FLAG_CAPACITY = 3       // a flag is read from at most 2 characters
};

// The six settings kept in the settings file. Every text ends in a NUL
// within its capacity.
struct SettingsRecord
{
    char Options[SETTINGS_OPTIONS_CAPACITY];
    char ConnectString[SETTINGS_PATH_CAPACITY];
    int ReadOnly;
    int DeleteTemp;
    char SqlPlus[SETTINGS_PATH_CAPACITY];
    char WorkingDirectory[SETTINGS_PATH_CAPACITY];
};

#define SETTINGS_DEFAULT_SQLPLUS "sqlplus"

// A stored flag as the settings file holds it: a signed decimal with leading
// blanks skipped and digits up to the first non-digit, so "1" and "10" are
// on and "0", "yes" and "true" are off.
int FlagFromText(const char* text);

// The text a flag is stored as: "1" when on, "0" when off.
const char* FlagToText(int flag);

// The settings file for a module: the module's path with the extension of
// its file name replaced by "ini", or ".ini" appended when the file name has
// no extension (a "." in a directory name is never taken for one). False,
// with an empty result, when the path does not fit the capacity.
bool SettingsPathFromModulePath(const char* modulePath, char* settingsPath,
                                size_t capacity);

#endif
