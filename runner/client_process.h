#ifndef TAMSIL_CLIENT_PROCESS_H
#define TAMSIL_CLIENT_PROCESS_H

// Starts the client and waits, without a time limit, until it has ended; its
// exit status is not looked at. The client gets the script file with the
// host's current log-on on its command line or, when logonScriptPath is not
// empty, "/nolog" and that log-on script, which logs on and runs the script.
// False, after showing the launch failure, when it could not be started.
bool RunClient(const char* scriptPath, const char* logonScriptPath);

#endif
