#include "runner/run_report.h"

#include <windows.h>

#include <stdio.h>

#include "platform/system_error.h"
#include "plugin/bounded_text.h"
#include "plugin/exports.h"
#include "plugin/module_state.h"

// Room for a run's two held failures (the log-on script's deletion and the
// script file's), each a path, a system text and a few lines of words, and
// for the exit code's report, a system text and a line.
enum { HELD_REPORT_CAPACITY = MAX_PATH + SYSTEM_ERROR_TEXT_CAPACITY + 256 };
static char HeldFailures[2 * HELD_REPORT_CAPACITY];
static char HeldExitCode[HELD_REPORT_CAPACITY];

void ShowRunError(const char* text)
{
    MessageBoxA(NULL, text, RUN_ERROR_TITLE, MB_OK | MB_ICONERROR);
}

void FormatRunFailure(const char* format, const char* subject)
{
    char systemText[SYSTEM_ERROR_TEXT_CAPACITY];
    int code = SystemErrorText(systemText, sizeof systemText);
    snprintf(TextBuffer, sizeof TextBuffer, format, subject, code, systemText);
}

void HoldRunFailure(const char* text)
{
    AppendText(HeldFailures, sizeof HeldFailures, text);
}

void HoldExitCodeReport(const char* text)
{
    CopyText(HeldExitCode, sizeof HeldExitCode, text);
}

void ShowHeldReports(void)
{
    if (HeldFailures[0] != '\0')
        ShowRunError(HeldFailures);
    if (HeldExitCode[0] != '\0')
        MessageBoxA(NULL, HeldExitCode, PLUGIN_TITLE, MB_OK | MB_ICONWARNING);
    HeldFailures[0] = '\0';
    HeldExitCode[0] = '\0';
}
