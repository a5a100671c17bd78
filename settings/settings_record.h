#ifndef TAMSIL_SETTINGS_RECORD_H
#define TAMSIL_SETTINGS_RECORD_H

#include "common/path_capacity.h"

enum SettingsCapacity
{
    SETTINGS_TEXT_CAPACITY = PATH_CAPACITY,   // a path, the connect string, the client
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
    char ConnectString[SETTINGS_TEXT_CAPACITY];
    int ReadOnly;
    int DeleteTemp;
    char SqlPlus[SETTINGS_TEXT_CAPACITY];
    char WorkingDirectory[SETTINGS_TEXT_CAPACITY];
    int HidePassword;
    char NlsLang[SETTINGS_NLS_LANG_CAPACITY];
    int ShowExitCode;
    bool NlsLangTooLong;   // the file holds more than NlsLang can: a run refuses it
};

#define SETTINGS_DEFAULT_SQLPLUS "sqlplus"

#endif
