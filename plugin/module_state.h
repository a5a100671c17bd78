#ifndef TAMSIL_MODULE_STATE_H
#define TAMSIL_MODULE_STATE_H

#include <windows.h>

#include "plugin/host_record.h"
#include "settings/settings_record.h"

// Module-wide state: one instance per loaded module, zero at load, kept until
// unload. Every export runs on the host's user-interface thread, so nothing
// here is locked; but a message box or the dialog lets the host act under
// it, so a command can be picked again while one is in progress.

enum { TEXT_BUFFER_SIZE = 102400 };

extern HINSTANCE ModuleInstance;
extern const PL_HOSTINFO* HostRecord;   // null until the host installs us
extern int32_t EditorId;
extern SettingsRecord PluginSettings;
extern char TextBuffer[TEXT_BUFFER_SIZE + 1];

// One command at a time: OnCall and OnSettings share the buffers above, so a
// command picked while another is in progress (under one of its message
// boxes or the dialog) must change nothing. BeginCommand is false, with a
// warning beep, while a command is in progress; else it marks one begun
// until EndCommand.
bool BeginCommand(void);
void EndCommand(void);

#endif
