#ifndef TAMSIL_MODULE_STATE_H
#define TAMSIL_MODULE_STATE_H

#include <windows.h>

#include "plugin/host_record.h"

// Module-wide state: one instance per loaded module, zero at load, kept until
// unload. Every export runs on the host's user-interface thread, so nothing
// here is locked; but a message box or the dialog lets the host act under
// it, so a command can be picked again while one is in progress.

enum { TEXT_BUFFER_SIZE = 102400 };

extern HINSTANCE ModuleInstance;
extern const PL_HOSTINFO* HostRecord;   // null until the host installs us
extern int32_t EditorId;
extern char TextBuffer[TEXT_BUFFER_SIZE + 1];

// One command at a time: OnCall and OnSettings share the buffers above, so a
// command picked while another is in progress (under one of its message
// boxes or the dialog) must change nothing. RunOneCommand beeps a warning
// and returns while a command is in progress; else it runs command as the
// one in progress. Should the host abandon it (an exception raised in one of
// the host's entries and caught by the host around ours), abandoned, when
// not null, cleans up what it left during the host's unwind, and the next
// command runs as usual, however deep in its stack the host calls from. A
// host that leaves the command without the unwind has abandoned called at
// its next command instead, and that command runs, unless picked from
// deeper in its stack than the left command's own frame: such a pick looks
// like one made under the command still in progress, and beeps. A command
// whose thread has ended was left too, and the next command, from any
// thread, runs; one in progress on another thread that lives beeps.
void RunOneCommand(void (*command)(void), void (*abandoned)(void));

// Called by a window of the command in progress (the settings dialog) as
// the user closes it: when a host that jumps past commands has left that
// command, its window has no loop left to close it, and the command is
// cleaned up as abandoned now, as the next command would. The window's
// handler runs deeper in the stack than the command's frames while it
// runs, and from the host's own loop once they are gone.
void CleanUpCommandLeftUnderWindow(void);

// Set while the settings dialog of an abandoned command is still on screen,
// without the loop of its command: commands beep, as under the dialog of a
// command in progress, until the user closes it.
extern bool DialogLeftOnScreen;

#endif
