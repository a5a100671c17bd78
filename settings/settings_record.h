#ifndef TAMSIL_SETTINGS_RECORD_H
#define TAMSIL_SETTINGS_RECORD_H

#include <stddef.h>

enum SettingsCapacity
{
    SETTINGS_PATH_CAPACITY = 260,    // paths, the connect string, the client
    SETTINGS_OPTIONS_CAPACITY = 127,
    SETTINGS_FLAG_CAPACITY = 3,      // a flag is read from at most 2 characters
    SETTINGS_NLS_LANG_CAPACITY = 64
};

// The settings kept in the settings file. Every text ends in a NUL within
// its capacity. HidePassword, NlsLang and ShowExitCode have no field in the
// settings dialog, which leaves them in the file as they are.
struct SettingsRecord
{
    char Options[SETTINGS_OPTIONS_CAPACITY];
    char ConnectString[SETTINGS_PATH_CAPACITY];
    int ReadOnly;
    int DeleteTemp;
    char SqlPlus[SETTINGS_PATH_CAPACITY];
    char WorkingDirectory[SETTINGS_PATH_CAPACITY];
    int HidePassword;
    char NlsLang[SETTINGS_NLS_LANG_CAPACITY];
    int ShowExitCode;
    bool NlsLangTooLong;   // the file holds more than NlsLang can: a run refuses it
};

#define SETTINGS_DEFAULT_SQLPLUS "sqlplus"

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
