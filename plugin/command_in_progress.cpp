#include "plugin/command_in_progress.h"

#include <windows.h>

#include "platform/abandon_guard.h"

bool DialogLeftOnScreen;

static bool CommandInProgress;
static void (*AbandonCommand)(void);

// The host abandoned the command in progress: what it left is cleaned up,
// and the next command runs as usual.
static void CommandAbandoned(void)
{
    if (AbandonCommand)
        AbandonCommand();
    CommandInProgress = false;
}

// The command in progress may have been left by a host that jumps past its
// frames without the platform's unwind: it is cleaned up as abandoned now.
static void CleanUpLeftCommand(const void* stackMark)
{
    if (CommandInProgress && GuardedCallWasLeft(stackMark))
        CommandAbandoned();
}

bool CleanUpCommandLeftUnderWindow(void)
{
    // Known left by its record, the command's record is also taken off the
    // chain where a live link still names it; else its record on the chain
    // above here, read through live frames only, tells that it still runs.
    char stackMark = 0;
    if (!CommandInProgress)
        return true;
    if (!GuardedCallWasLeft(&stackMark) && GuardedCallRunsAbove(&stackMark))
        return false;
    CommandAbandoned();
    return true;
}

void RunOneCommand(void (*command)(void), void (*abandoned)(void))
{
    // The left command's frames lay below this same frame, so below the
    // mark when this pick comes from no deeper in the host's stack.
    char stackMark = 0;
    CleanUpLeftCommand(&stackMark);
    if (CommandInProgress || DialogLeftOnScreen) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    CommandInProgress = true;
    AbandonCommand = abandoned;
    CallGuardedAgainstAbandon(command, CommandAbandoned);
    CommandInProgress = false;
}
