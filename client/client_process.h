#ifndef TAMSIL_CLIENT_PROCESS_H
#define TAMSIL_CLIENT_PROCESS_H

#include <stddef.h>

enum ClientRun
{
    CLIENT_NOT_STARTED,   // the launch failure has been shown
    CLIENT_NOT_AWAITED,   // shown too; the client may still be at work
    CLIENT_ENDED
};

// Decides, before the run makes anything, the client's program as it goes
// on the line. A batch file is run by the command interpreter, which looks
// a name without a folder up again, in the current folder first, and reads
// "%", "^", "&", "|", "<" and ">" on the line as its own. So a batch file is
// looked for now (see FindClientProgram; the client's environment is set
// for the search and put back), and one found goes on the line by its full
// path in quotes; a search that failed is reported as the client starts,
// and nothing starts. And a batch file's line as it would be started must
// hold none of those characters: it is checked with the folder of the
// script file, or of the log-on script, in the file's place, as the
// platform makes the file's name of none of them. The log-on script's
// folder is asked of findLogonScriptFolder, given when the password goes in
// one (NULL otherwise), and only for a batch file. False, after telling the
// user, when the line holds one, or when that folder cannot be found. Any
// other client is looked for as it starts.
typedef bool (*FolderFinder)(char* folder, size_t capacity);
bool ChooseClientProgram(const char* scriptFolder, FolderFinder findLogonScriptFolder);

// Starts the client and waits, without a time limit, until it has ended; its
// exit code is looked at only when ShowExitCode asks, and held for the end
// of the run (see HoldExitCodeReport). The client, as ChooseClientProgram
// decided it, gets the script file with the host's current log-on on its
// command line or, when logonScriptPath is not empty, "/nolog" and that
// log-on script, which logs on and runs the script.
ClientRun RunClient(const char* scriptPath, const char* logonScriptPath);

#endif
