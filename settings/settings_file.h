#ifndef TAMSIL_SETTINGS_FILE_H
#define TAMSIL_SETTINGS_FILE_H

#include "settings/settings_record.h"

// The settings file beside the module, as computed by the last LoadSettings.
extern char SettingsFilePath[SETTINGS_PATH_CAPACITY + 1];

// Fills PluginSettings from the settings file; a missing file or key gives
// the default.
void LoadSettings(void);

// Writes the six settings the dialog edits to the settings file (any other
// key stays as the file has it), stopping at the first write that fails. False when a write failed; GetLastError then tells why.
bool SaveSettings(void);

#endif
