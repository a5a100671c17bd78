#ifndef TAMSIL_COMMAND_LINE_COMPOSITION_H
#define TAMSIL_COMMAND_LINE_COMPOSITION_H

#include <stddef.h>

#include "client/logon_word.h"
#include "common/path_capacity.h"
#include "plugin/host_record.h"
#include "settings/settings_record.h"

// What goes on the client's command line, composed from the settings, the
// host's log-on and what the file system says of the client's and the
// script's paths (see command_line_quoting.h); nothing here asks the
// platform.

enum
{
    // The script path as the platform names a reserved file.
    SCRIPT_PATH_CAPACITY = PATH_CAPACITY,
    // The script path as it goes on the line: in quotes at worst.
    SCRIPT_ARGUMENT_CAPACITY = SCRIPT_PATH_CAPACITY + 2,
    // The client as it goes on the line: in quotes at worst.
    CLIENT_ARGUMENT_CAPACITY = SETTINGS_TEXT_CAPACITY + 2,
    // The client as it starts: a batch file found by the search is named
    // by its full path in quotes, in place of its name of one byte or more.
    STARTED_CLIENT_CAPACITY = CLIENT_ARGUMENT_CAPACITY + PATH_CAPACITY,
    // The longest line there can be: every setting and host field at its
    // capacity, with the separators and the client and script path quoted.
    COMMAND_LINE_CAPACITY = (STARTED_CLIENT_CAPACITY - 1)     // client
                            + 1 + (LOGON_WORD_CAPACITY - 1)   // blank, log-on
                            + 2 + (SCRIPT_ARGUMENT_CAPACITY - 1) // " @", script
                            + 1 + (SETTINGS_OPTIONS_CAPACITY - 1) // blank, options
                            + 1,                              // NUL
    // The line that starts a batch file through the command interpreter:
    // the interpreter's path in quotes, its switches, and the client's line
    // in one more pair of quotes.
    INTERPRETER_LINE_CAPACITY = 1 + (PATH_CAPACITY - 1) + 25  // "cmd.exe" /d ... /c "
                                + (COMMAND_LINE_CAPACITY - 1) + 1 // line, quote
                                + 1                           // NUL
};

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

// Whether the program of a line that begins with the client argument (see
// ProgramNameIn) is a batch file: its name, without the dots and blanks at
// its end, which the platform drops from a file's name, ends in ".bat" or
// ".cmd", in any case. The platform runs such a file by the command
// interpreter, as "cmd.exe /c" and the line, which the interpreter reads
// again by rules of its own.
bool IsBatchProgram(const char* clientArgument);

// The client argument with its program's name, and the quotes around it,
// replaced by program (a full path) in double quotes; the rest as it is.
// False, with the result cut, when it does not fit.
bool NameProgramByPath(const char* clientArgument, const char* program,
                       char* argument, size_t capacity);

// The first character of a line that the command interpreter reads as its
// own, inside quotes or not: "%" (a variable's value, even in quotes), "^",
// "&", "|", "<" or ">"; NUL when there is none. The interpreter reads the
// line in UTF-16, so the second byte of a double-byte character (isLeadByte,
// when given, tells the system code page's) is none of them; the second
// form reads the line as the interpreter gets it, converted.
char InterpreterCharacterIn(const char* line, LeadByteTest isLeadByte);
char InterpreterCharacterIn(const wchar_t* line);

// The line that starts a batch file through the command interpreter itself
// (interpreter, its full path), so that the client's line reaches the batch
// file whole: "/d" runs no AutoRun command of the registry first (one may
// change the folder), "/e:on" gives the extensions a wrapper's "%*" needs,
// "/v:off" leaves "!" as typed, and "/s /c" takes off only the pair of
// quotes that encloses the client's line. Started by the platform's own
// rule instead, as "cmd.exe /c" and the line, the interpreter would take off
// the line's first and last quote, which are not a pair as soon as the line
// holds a quoted word after the program. False, with the line cut, when it
// does not fit.
bool ComposeInterpreterLine(const char* interpreter, const char* clientLine, char* line,
                            size_t capacity);

// The client's command line: the client argument, the log-on of the host's
// current connection (when it has a user), " @" and the script argument, a
// blank and the options. A log-on whose password is quoted is written so
// that the client's C runtime gives it back exactly: each quote as \", a run
// of backslashes doubled right before a quote, and the whole word in double
// quotes when it holds a blank or a tab. Nothing else is quoted or escaped.
// With maskPassword a non-empty password is shown as eight asterisks, for
// messages the user may copy or show around; the quoting is still decided
// on the real password. False, with the line cut, when it does not fit.
// isLeadByte tells the system code page's double-byte characters apart (see
// AppendLogon).
bool ComposeCommandLine(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* clientArgument, const char* scriptArgument, bool maskPassword,
                        char* line, size_t capacity, LeadByteTest isLeadByte = NULL);

// The line that starts the client on the log-on script without a log-on of
// its own: the client argument, " /nolog @" and the log-on script's argument.
bool ComposeNologLine(const char* clientArgument, const char* logonArgument,
                      char* line, size_t capacity);

#endif
