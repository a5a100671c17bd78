#ifndef TAMSIL_LOGON_SCRIPT_TEXT_H
#define TAMSIL_LOGON_SCRIPT_TEXT_H

#include <stddef.h>

#include "client/command_line_composition.h"
#include "plugin/host_record.h"
#include "settings/settings_record.h"

// The log-on script's shape, written and recognised from one definition:
// the script the client runs instead of taking the log-on from its command
// line, which holds the password in clear.

enum
{
    // The log-on script at its longest, every field at its capacity.
    LOGON_SCRIPT_CAPACITY = 14                                // "set echo off" CR LF
                            + 8 + HOST_USER_WIDTH             // "connect ", user
                            + 1 + 2 + HOST_PASSWORD_WIDTH     // "/", password in quotes
                            + 1 + (SETTINGS_TEXT_CAPACITY - 1) // "@", connect identifier
                            + 3 + (SCRIPT_ARGUMENT_CAPACITY - 1) // CR LF "@", script
                            + 1 + (SETTINGS_OPTIONS_CAPACITY - 1) // blank, options
                            + 2 + 1                           // CR LF, NUL
};

// Whether the password goes to the client in a log-on script instead of on
// its command line: the setting asks for it, and the host's connection has
// both a user and a password.
bool PasswordGoesInLogonScript(const SettingsRecord* settings, const PL_HOSTINFO* host);

// The first part of the log-on script that holds "&", which the client reads
// in any script line as a substitution variable, so that the log-on script
// cannot carry it: "password", "user name", "connect identifier", "Options
// setting" or "script folder" (short names keep "&", so no form of the script's path
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

#endif
