#ifndef TAMSIL_MODULE_STATE_H
#define TAMSIL_MODULE_STATE_H

#include <windows.h>

#include "plugin/host_record.h"

// Module-wide state: one instance per loaded module, zero at load, kept until
// unload. Every export runs on the host's user-interface thread, so nothing
// here is locked; but a message box or the dialog lets the host act under
// it, so a command can be picked again while one is in progress (see
// plugin/command_in_progress.h).

enum { TEXT_BUFFER_SIZE = 102400 };

extern HINSTANCE ModuleInstance;
extern const PL_HOSTINFO* HostRecord;   // null until the host installs us
extern int32_t EditorId;
extern char TextBuffer[TEXT_BUFFER_SIZE + 1];

#endif
