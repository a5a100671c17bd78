#ifndef TAMSIL_LOGON_SCRIPT_FILE_H
#define TAMSIL_LOGON_SCRIPT_FILE_H

#include "client/command_line_composition.h"

// The log-on script on disk: it holds the password in clear, so it lives in
// the user's temporary folder only from just before the client starts until
// just after it ends.

// The start of every log-on script's name; the temporary-name service adds
// one to four hexadecimal digits and ".tmp". The sweep for stale log-on
// scripts looks for these names.
#define LOGON_SCRIPT_PREFIX "lg"

// The folder log-on scripts go to: the system's temporary directory. False,
// after reporting why, when there is no usable one.
bool FindLogonScriptFolder(char* folder, size_t capacity);

// Reserves a new empty log-on script, its name starting "lg", in the
// system's temporary directory: never in the WorkingDirectory setting,
// which others may read.
bool ReserveLogonScript(char (&path)[SCRIPT_PATH_CAPACITY]);

// Writes into the reserved log-on script the log-on (the host's, as the
// run took it: see CopyHostLogon) and the script file to run with the
// options, then keeps it open, sharing it for reading only, until it is
// deleted: the client can read it, but no sweep of another editor's run can
// take it. False, with the log-on script deleted, when it could not be
// opened or fully written.
bool WriteLogonScript(const PL_HOSTINFO* logon, const char* path, const char* scriptPath);

// Closes and deletes the log-on script, once no other program holds it. It
// holds the password, so a failure is always reported, whatever was shown
// before, at the end of the run (see HoldRunFailure); a file already gone
// counts as deleted. One that stays is the run's until ForgetLogonScript.
void DeleteLogonScript(const char* path);

// A run the host abandoned: its log-on script, when it has one (one that
// could not be deleted too, whose report the abandoned run drops), is
// closed and deleted, silently.
void DeleteAbandonedLogonScript(void);

// The run is over: a log-on script that stays has been reported, and is the
// user's to delete.
void ForgetLogonScript(void);

#endif
