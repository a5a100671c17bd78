#ifndef TAMSIL_HELD_REPORTS_H
#define TAMSIL_HELD_REPORTS_H

#include "settings/environment_section.h"

// How a run tells the user what went wrong: message boxes with no owner
// window and an OK button. A box lets the user act in the editor under it,
// and a run may still hold the log-on script, which holds the password, so
// every report of a run is held and shown only once the run is over: the
// editor has its text, and the run's files are gone, before any box shows.

#define RUN_ERROR_TITLE "Execute Error!"

// Room for what stopped a run, which names at most a command line or a key
// of [Environment] and a system text.
enum { STOP_REPORT_CAPACITY = ENVIRONMENT_NAMES_LIMIT + 512 };

// What a held failure is about. The box lists what stopped the run first,
// then a log-on script that could not be deleted, then a script file that
// could not be deleted, whatever order the run held them in.
enum RunFailureKind
{
    RUN_STOPPED,
    LOGON_SCRIPT_KEPT,
    SCRIPT_FILE_KEPT
};

// Holds a failure of the run, shown in one box with the error icon titled
// "Execute Error!". A held text names at most one command line, path or
// key, and one system text.
void HoldRunFailure(RunFailureKind kind, const char* text);

// Holds what stopped the run.
void ReportRunError(const char* text);

// Holds the client's exit code report, shown after the failures in a box
// with the warning icon titled as the plug-in.
void HoldExitCodeReport(const char* text);

// Shows what the run held, at its end.
void ShowHeldReports(void);

// Drops what the run held unshown: a run the host abandoned reports nothing.
void ForgetHeldReports(void);

#endif
