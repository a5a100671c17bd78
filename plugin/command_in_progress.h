#ifndef TAMSIL_COMMAND_IN_PROGRESS_H
#define TAMSIL_COMMAND_IN_PROGRESS_H

// The command in progress, and the clean-up of one the host left.

// One command at a time: OnCall and OnSettings share the module-wide buffers,
// so a command picked while another is in progress (under one of its message
// boxes or the dialog) must change nothing. RunOneCommand beeps a warning and
// returns while a command is in progress; else it runs command as the one in
// progress. Should the host abandon it (an exception raised in one of the
// host's entries and caught by the host around ours), abandoned, when not
// null, cleans up what it left during the host's unwind, and the next command
// runs as usual, however deep in its stack the host calls from. A host that
// leaves the command without the unwind has abandoned called at its next
// command instead, and that command runs, unless picked from deeper in its
// stack than the left command's own frame: such a pick looks like one made
// under the command still in progress, and beeps. A command whose thread has
// ended was left too, and the next command, from any thread, runs; one in
// progress on another thread that lives beeps.
void RunOneCommand(void (*command)(void), void (*abandoned)(void));

// Called by the window of the command in progress (the settings dialog)
// when a message it posted itself as the user closed it reaches it: the
// command's loop, which ends the window before any such message comes, is
// gone, unless a loop of the host's own (a box of its own) runs under it
// and handed the message on. True when the command was left, and it is
// then cleaned up as abandoned, as the next command would, or when none is
// in progress; false while it still runs under this call.
bool CleanUpCommandLeftUnderWindow(void);

// Set while the settings dialog of an abandoned command is still on screen,
// without the loop of its command: commands beep, as under the dialog of a
// command in progress, until the user closes it.
extern bool DialogLeftOnScreen;

#endif
