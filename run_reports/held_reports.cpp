#include "run_reports/held_reports.h"

#include <windows.h>

#include "common/bounded_text.h"
#include "platform/system_error.h"
#include "plugin/exports.h"
#include "plugin/module_state.h"

// Room for the run's two failed deletions (the log-on script's and the
// script file's), each a path, a system text and a few lines of words; and
// for the exit code's report, a system text and a line.
enum { HELD_REPORT_CAPACITY = MAX_PATH + SYSTEM_ERROR_TEXT_CAPACITY + 256 };
static char HeldStop[STOP_REPORT_CAPACITY];
static char HeldLogonScriptKept[HELD_REPORT_CAPACITY];
static char HeldScriptFileKept[HELD_REPORT_CAPACITY];
static char HeldExitCode[HELD_REPORT_CAPACITY];
static_assert(sizeof HeldStop + sizeof HeldLogonScriptKept + sizeof HeldScriptFileKept <=
                  sizeof TextBuffer,
              "the failures are shown together from the text buffer");

void HoldRunFailure(RunFailureKind kind, const char* text)
{
    if (kind == LOGON_SCRIPT_KEPT)
        AppendText(HeldLogonScriptKept, sizeof HeldLogonScriptKept, text);
    else if (kind == SCRIPT_FILE_KEPT)
        AppendText(HeldScriptFileKept, sizeof HeldScriptFileKept, text);
    else
        AppendText(HeldStop, sizeof HeldStop, text);
}

void ReportRunError(const char* text)
{
    HoldRunFailure(RUN_STOPPED, text);
}

void HoldExitCodeReport(const char* text)
{
    CopyText(HeldExitCode, sizeof HeldExitCode, text);
}

void ShowHeldReports(void)
{
    // The run is over: the text buffer has been handed back, if at all.
    CopyText(TextBuffer, sizeof TextBuffer, HeldStop);
    AppendText(TextBuffer, sizeof TextBuffer, HeldLogonScriptKept);
    AppendText(TextBuffer, sizeof TextBuffer, HeldScriptFileKept);
    if (TextBuffer[0] != '\0')
        MessageBoxA(NULL, TextBuffer, RUN_ERROR_TITLE, MB_OK | MB_ICONERROR);
    if (HeldExitCode[0] != '\0')
        MessageBoxA(NULL, HeldExitCode, PLUGIN_TITLE, MB_OK | MB_ICONWARNING);
    ForgetHeldReports();
}

void ForgetHeldReports(void)
{
    HeldStop[0] = '\0';
    HeldLogonScriptKept[0] = '\0';
    HeldScriptFileKept[0] = '\0';
    HeldExitCode[0] = '\0';
}
