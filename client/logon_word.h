#ifndef TAMSIL_LOGON_WORD_H
#define TAMSIL_LOGON_WORD_H

#include <stddef.h>

#include "common/lead_byte.h"
#include "plugin/host_record.h"
#include "settings/settings_record.h"

// The log-on of the host's current connection as the client takes it,
// "user/password@connect", on its command line and in a log-on script.

enum
{
    // The log-on word on the line at its longest: each byte of the user,
    // the password, its two quotes and the connect identifier written twice
    // at worst (a quote as \", a backslash doubled before one), "/" and "@"
    // once, and the word in double quotes, which takes a blank written once.
    LOGON_WORD_CAPACITY = 2 * (HOST_USER_WIDTH + 2 + HOST_PASSWORD_WIDTH
                               + (SETTINGS_TEXT_CAPACITY - 1)) + 3
                          + 1                                 // NUL
};

#define MASKED_PASSWORD "********"

// The host's current connection, as the log-on carries it.
struct Logon
{
    char user[HOST_USER_WIDTH + 1];
    char password[HOST_PASSWORD_WIDTH + 1];
    char database[HOST_DATABASE_WIDTH + 1];
    const char* connect;   // the connect string when set, else the database
};

// Reads the host's current connection, with the connect string of the
// settings in place of the host's database when it is set.
void ReadLogon(const SettingsRecord* settings, const PL_HOSTINFO* host, Logon* logon);

// Whether the password goes to the client in double quotes: SQL*Plus splits
// a log-on at "/" and "@", so one with any byte beyond the ASCII letters,
// the digits, "_", "$" and "#" is quoted. One holding a quote cannot be (no
// database takes one) and goes as it is.
bool PasswordNeedsQuotes(const char* password);

// Appends the log-on of the host's current connection: user, "/" and the
// password when there is one, "@" and the connect identifier. onLine
// escapes it for the command line when the password is quoted; a password
// that needs no quotes leaves the word as it always was; in an escaped word
// a connect identifier in one pair of enclosing quotes goes as the client's
// runtime reads it from a plain word, so that the client reads the same
// whatever the password. With maskPassword a non-empty password is written
// as eight asterisks. False when it does not fit. isLeadByte: see
// common/lead_byte.h.
bool AppendLogon(char* text, size_t capacity, const SettingsRecord* settings,
                 const PL_HOSTINFO* host, bool maskPassword, bool onLine,
                 LeadByteTest isLeadByte);

#endif
