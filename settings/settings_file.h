#ifndef TAMSIL_SETTINGS_FILE_H
#define TAMSIL_SETTINGS_FILE_H

#include "settings/environment_section.h"
#include "settings/settings_record.h"

// The settings, module-wide: as the last LoadSettings read them, for the
// run and the dialog alike.
extern SettingsRecord PluginSettings;

// The settings file beside the module, as computed by the last LoadSettings.
extern char SettingsFilePath[PATH_CAPACITY + 1];

// The section [Environment], as read by the last LoadSettings.
extern EnvironmentSection EnvironmentSettings;

enum SettingsLoad
{
    SETTINGS_LOADED,
    SETTINGS_UNREADABLE,   // the file is there but cannot be read
    SETTINGS_UTF8_BYTE_ORDER_MARK,   // its first section would be ignored
    SETTINGS_UNREAD_ENCODING,        // none of it would be read
    SETTINGS_SECOND_BYTE_ORDER_MARK, // its first section would be ignored
    SETTINGS_UNHELD_CHARACTERS       // a value would be read as other characters
};

// Fills PluginSettings and EnvironmentSettings from the settings file; a
// missing file or key gives the default. A file that is there but cannot be
// read, that begins with a UTF-8 byte-order mark or with two marks before a
// section header, or is saved in an encoding of which Windows reads nothing
// (UTF-16 big-endian or without a mark, UTF-32), is not read at all; one
// saved as Unicode whose values the system code page does not all hold is
// refused after reading. The result says why, and TextBuffer holds the text
// to show the user.
SettingsLoad LoadSettings(void);

// Writes the six settings the dialog edits to the settings file (any other
// key stays as the file has it), stopping at the first write that fails. False when a write failed; GetLastError then tells why.
bool SaveSettings(void);

#endif
