#ifndef TAMSIL_STALE_LOGON_SCRIPTS_H
#define TAMSIL_STALE_LOGON_SCRIPTS_H

// A run that never ended (the editor ended while it waited, the user logged
// off, the machine stopped) leaves its log-on script, with the password in
// clear, in the temporary folder. Deletes every "lg*.tmp" there that begins
// as a log-on script does, was last written more than a minute ago, and that
// no program has open. Silent: a file that cannot be deleted is left for
// the next run.
void SweepStaleLogonScripts(void);

#endif
