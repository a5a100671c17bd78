#ifndef TAMSIL_CLIENT_PROCESS_H
#define TAMSIL_CLIENT_PROCESS_H

// Starts the client on the script file with the host's current log-on and
// waits, without a time limit, until it has ended; its exit status is not
// looked at. False, after showing the launch failure, when it could not be
// started.
bool RunClient(const char* scriptPath);

#endif
