#ifndef TAMSIL_CLIENT_PROCESS_H
#define TAMSIL_CLIENT_PROCESS_H

#include <stddef.h>

#include "plugin/host_record.h"

enum ClientRun
{
    CLIENT_NOT_STARTED,   // the launch failure has been shown
    CLIENT_NOT_AWAITED,   // shown too; the client may still be at work
    CLIENT_ENDED
};

// Takes the client's program as SqlPlus names it and as it goes on the
// line, before the run makes anything. True when it is a batch file, which
// the platform would run by the command interpreter, as "cmd.exe /c" and
// the line, with the line read again by the interpreter's own rules; such a
// client is started through the interpreter itself (see
// ComposeInterpreterLine), and every path on its line is full (see
// FindBatchFile), as the interpreter may not run in the host's current
// folder. Any other client starts from its line alone, as it always did.
bool TakeClientProgram(void);

// Decides, before the run makes anything, the client's program as it goes
// on the line. A batch file is looked for now (see FindBatchFile; the
// client's environment is set for the search and put back), and one found
// goes on the line by its full path in quotes; a search that failed is
// reported as the client starts, and nothing starts. The interpreter reads
// "%", "^", "&", "|", "<" and ">" on the line as its own, so a batch file's
// line as it would be started must hold none of them: it is checked with
// the folder of the script file, or of the log-on script, in the file's
// place, as the platform makes the file's name of none of them. The log-on
// script's folder is asked of findLogonScriptFolder, given when the password
// goes in one (NULL otherwise), and only for a batch file. False, after
// telling the user, when the line holds one, or when that folder cannot be
// found. Any other client is looked for as it starts. logon: the host's
// log-on as the run took it (see CopyHostLogon).
typedef bool (*FolderFinder)(char* folder, size_t capacity);
bool ChooseClientProgram(const PL_HOSTINFO* logon, const char* scriptFolder,
                         FolderFinder findLogonScriptFolder);

// Starts the client and waits, without a time limit, until it has ended; its
// exit code is looked at only when ShowExitCode asks, and held for the end
// of the run (see HoldExitCodeReport). The client, as ChooseClientProgram
// decided it, gets the script file with the log-on on its command line or,
// when logonScriptPath is not empty, "/nolog" and that log-on script, which
// logs on and runs the script.
ClientRun RunClient(const PL_HOSTINFO* logon, const char* scriptPath, const char* logonScriptPath);

#endif
