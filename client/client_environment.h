#ifndef TAMSIL_CLIENT_ENVIRONMENT_H
#define TAMSIL_CLIENT_ENVIRONMENT_H

// The client starts with the host's environment, changed as the section
// [Environment] of the settings file and NlsLang ask. The host's own
// environment holds the client's values from just before the client is
// started until just after, and its own values at every other time. A
// variable the host has is changed under the host's own spelling of its
// name, so that its environment comes back exactly, names included.

// Takes the client's variables from the settings, each value expanded from
// the host's environment. False, after telling the user, when the settings
// ask for what cannot be given whole. Called before anything is made.
bool CheckClientEnvironment(void);

// A batch file's command interpreter looks a program that the batch file
// names without a folder (a wrapper's own "sqlplus %*") up in its current
// folder first, unless its environment holds
// NoDefaultCurrentDirectoryInExePath: the client of a batch file gets it,
// as "1", unless [Environment] names that variable. Called after
// CheckClientEnvironment, before the client's environment is set.
void KeepInterpreterOutOfCurrentFolder(void);

// Keeps the host's value of each variable the client gets, then puts the
// client's values into the host's environment. False, with the last error
// set, when a value of the host's could not be read or a variable could not
// be set; PutBackHostEnvironment then undoes what was done.
bool SetClientEnvironment(void);

// Gives the host its own values back after SetClientEnvironment. The last
// error is kept, for the report of a client that did not start.
void PutBackHostEnvironment(void);

#endif
