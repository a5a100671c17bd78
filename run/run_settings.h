#ifndef TAMSIL_RUN_SETTINGS_H
#define TAMSIL_RUN_SETTINGS_H

#include "settings/settings_record.h"

// The settings file gives back every value exactly as the user typed it,
// blanks at its ends and enclosing quotes included. A run takes from the
// client's path, the connect string and the working directory only what can
// name something: blanks and tabs at their ends never can (the profile
// reader used to drop them, and runs relied on that), and a folder name
// never holds a double quote, so one pair enclosing the whole working
// directory is dropped, as typed around a folder with blanks. A client path
// left empty is the default client. The options go to the client as typed.
void TakeSettingsForRun(SettingsRecord* settings);

#endif
