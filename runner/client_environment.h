#ifndef TAMSIL_CLIENT_ENVIRONMENT_H
#define TAMSIL_CLIENT_ENVIRONMENT_H

// The client starts with the host's environment. When NlsLang is set, that
// environment holds the client's NLS_LANG from just before the client is
// started until just after, and the host's own value at every other time.

// False, after telling the user, when NlsLang asks for the character set of
// a system code page that has none known. Called before anything is made.
bool CheckNlsLang(void);

// Puts the NLS_LANG that NlsLang asks for into the host's environment,
// keeping the host's own value (or that there was none); nothing when
// NlsLang is empty. False, with the last error set, when it could not.
bool SetClientNlsLang(void);

// Gives the host its own NLS_LANG back after SetClientNlsLang. The last
// error is kept, for the report of a client that did not start.
void PutBackHostNlsLang(void);

#endif
