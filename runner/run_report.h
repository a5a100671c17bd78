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

#endif
