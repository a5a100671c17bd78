#ifndef TAMSIL_RUN_REPORT_H
#define TAMSIL_RUN_REPORT_H

// How a run tells the user that it stopped: one message box with no owner
// window, the error icon and an OK button, titled "Execute Error!".

#define RUN_ERROR_TITLE "Execute Error!"

void ShowRunError(const char* text);

// Formats a failure into TextBuffer. format takes, in this order, the
// subject (%s), the platform's last error code (%d) and its system text
// (%s). Call it right after the failing call, before any other platform
// call can change the code.
void FormatRunFailure(const char* format, const char* subject);

// What a run reports without stopping: a file it could not delete, and the
// client's exit code. A box lets the user act in the editor under it, so
// these are held and shown only when the run is over: first the held
// failures, in the order held, in one box titled "Execute Error!", then the
// exit code's box. A held text names at most one path and one system text.
void HoldRunFailure(const char* text);
void HoldExitCodeReport(const char* text);
void ShowHeldReports(void);

#endif
