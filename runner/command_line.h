#ifndef TAMSIL_COMMAND_LINE_H
#define TAMSIL_COMMAND_LINE_H

#include <stddef.h>

#include "plugin/host_record.h"
#include "settings/settings_record.h"

enum
{
    // The script path as the platform names a reserved file.
    SCRIPT_PATH_CAPACITY = 260,
    // The script path as it goes on the line: in quotes at worst.
    SCRIPT_ARGUMENT_CAPACITY = SCRIPT_PATH_CAPACITY + 2,
    // The client as it goes on the line: in quotes at worst.
    CLIENT_ARGUMENT_CAPACITY = SETTINGS_PATH_CAPACITY + 2,
    // The log-on word on the line at its longest: each byte of the user,
    // the password, its two quotes and the connect identifier written twice
    // at worst (a quote as \", a backslash doubled before one), "/" and "@"
    // once, and the word in double quotes, which takes a blank written once.
    LOGON_WORD_CAPACITY = 2 * (HOST_USER_WIDTH + 2 + HOST_PASSWORD_WIDTH
                               + (SETTINGS_PATH_CAPACITY - 1)) + 3
                          + 1,                                // NUL
    // The longest line there can be: every setting and host field at its
    // capacity, with the separators and the client and script path quoted.
    COMMAND_LINE_CAPACITY = (CLIENT_ARGUMENT_CAPACITY - 1)    // client
                            + 1 + (LOGON_WORD_CAPACITY - 1)   // blank, log-on
                            + 2 + (SCRIPT_ARGUMENT_CAPACITY - 1) // " @", script
                            + 1 + (SETTINGS_OPTIONS_CAPACITY - 1) // blank, options
                            + 1,                              // NUL
    // The log-on script at its longest, every field at its capacity.
    LOGON_SCRIPT_CAPACITY = 14                                // "set echo off" CR LF
                            + 8 + HOST_USER_WIDTH             // "connect ", user
                            + 1 + 2 + HOST_PASSWORD_WIDTH     // "/", password in quotes
                            + 1 + (SETTINGS_PATH_CAPACITY - 1) // "@", connect identifier
                            + 3 + (SCRIPT_ARGUMENT_CAPACITY - 1) // CR LF "@", script
                            + 1 + (SETTINGS_OPTIONS_CAPACITY - 1) // blank, options
                            + 2 + 1                           // CR LF, NUL
};

#define MASKED_PASSWORD "********"

// How the script path goes on the client's command line so that the client
// takes it for one path: unchanged when it has no blank, else its short form
// when that has none, else in double quotes. shortPath is empty when the
// volume gives no short form. False when the result does not fit.
bool ScriptArgument(const char* scriptPath, const char* shortPath,
                    char* argument, size_t capacity);

// How the client program goes on the command line: a path with a blank that
// names an existing file as a whole (namesFile) goes in double quotes, so
// the platform starts that file and not the first word of its path; any
// other value, and one that holds a quote already, goes in as typed, so
// that "sqlplus -L" keeps its option. False when the result does not fit.
bool ClientArgument(const char* sqlPlus, bool namesFile, char* argument, size_t capacity);

// Whether the last element of a program's path holds a ".": when it does
// not, the platform starts the file of that name with ".exe" appended.
bool ProgramHasExtension(const char* program);

// Whether the password goes to the client in double quotes: SQL*Plus splits
// a log-on at "/" and "@", so one with any byte beyond the ASCII letters,
// the digits, "_", "$" and "#" is quoted. One holding a quote cannot be (no
// database takes one) and goes as it is.
bool QuotesPassword(const char* password);

// The client's command line: the client argument, the log-on of the host's
// current connection (when it has a user), " @" and the script argument, a
// blank and the options. A log-on whose password is quoted is written so
// that the client's C runtime gives it back exactly: each quote as \", a run
// of backslashes doubled right before a quote, and the whole word in double
// quotes when it holds a blank or a tab. Nothing else is quoted or escaped.
// With maskPassword a non-empty password is shown as eight asterisks, for
// messages the user may copy or show around; the quoting is still decided
// on the real password. False, with the line cut, when it does not fit.
// isLeadByte, when given, tells the first bytes of the system code page's
// double-byte characters, which the client's runtime reads with the byte
// after them as one character, even one of the value of a backslash.
typedef bool (*LeadByteTest)(unsigned char byte);
bool ComposeCommandLine(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* clientArgument, const char* scriptArgument, bool maskPassword,
                        char* line, size_t capacity, LeadByteTest isLeadByte = NULL);

// Whether the password goes to the client in a log-on script instead of on
// its command line: the setting asks for it, and the host's connection has
// both a user and a password.
bool HidesPassword(const SettingsRecord* settings, const PL_HOSTINFO* host);

// The first part of the log-on script that holds "&", which the client reads
// in any script line as a substitution variable, so that the log-on script
// cannot carry it: "password", "user name", "connect identifier", "options"
// or "script folder" (short names keep "&", so no form of the script's path
// avoids it); null when none does.
const char* LogonScriptPartWithAmpersand(const SettingsRecord* settings, const PL_HOSTINFO* host,
                                         const char* scriptFolder);

// The log-on script that the client runs instead of taking the log-on from
// its command line: "set echo off", so that no profile's echo shows the
// password, "connect" and the log-on (the password quoted as on the line,
// with nothing escaped), then "@", the script argument, a blank and the
// options, each line ended by CR LF. False, with the text cut, when it does
// not fit.
bool ComposeLogonScript(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* scriptArgument, char* text, size_t capacity);

// Whether text, the whole content of a file, has the shape of a log-on
// script that ComposeLogonScript writes: an optional line "set echo off",
// one line that begins with "connect ", one that begins with "@", each ended
// by CR LF, and nothing after them; no NUL, and no longer than the longest
// log-on script. What a line holds beyond its start is not looked at, as
// the user's texts may hold anything.
bool HasLogonScriptShape(const char* text, size_t length);

// The line that starts the client on the log-on script without a log-on of
// its own: the client argument, " /nolog @" and the log-on script's argument.
bool ComposeNologLine(const char* clientArgument, const char* logonArgument,
                      char* line, size_t capacity);

#endif
