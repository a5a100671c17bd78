#ifndef TAMSIL_CLIENT_PROCESS_H
#define TAMSIL_CLIENT_PROCESS_H

enum ClientRun
{
    CLIENT_NOT_STARTED,   // the launch failure has been shown
    CLIENT_NOT_AWAITED,   // shown too; the client may still be at work
    CLIENT_ENDED
};

// Starts the client and waits, without a time limit, until it has ended; its
// exit code is looked at only when ShowExitCode asks, and held for the end
// of the run (see HoldExitCodeReport). The client gets the script file with
// the host's current log-on on its command line or, when logonScriptPath is
// not empty, "/nolog" and that log-on script, which logs on and runs the
// script.
ClientRun RunClient(const char* scriptPath, const char* logonScriptPath);

#endif
