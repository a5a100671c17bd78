#ifndef TAMSIL_STALE_LOGON_SCRIPTS_H
#define TAMSIL_STALE_LOGON_SCRIPTS_H

// A run that never ended (the editor ended while it waited, the user logged
// off, the machine stopped) leaves its log-on script, with the password in
// clear, in the temporary folder. Deletes every file there named as a run
// names its log-on script ("lg", one to four hexadecimal digits, ".tmp")
// whose whole content has a log-on script's shape, that was last written
// more than a minute ago, and that no program has open; never a folder or a
// link, nor a link's target. Silent: a file that cannot be deleted is left
// for the next run.
void SweepStaleLogonScripts(void);

#endif
