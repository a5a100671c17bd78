#include "run_files/logon_script_file.h"

#include <windows.h>

#include "client/command_line_quoting.h"
#include "common/bounded_text.h"
#include "platform/held_file.h"
#include "plugin/module_state.h"
#include "run_files/logon_script_text.h"
#include "run_files/temporary_files.h"
#include "settings/settings_file.h"

static const char LOGON_SCRIPT_KEPT_TEXT[] =
    "The log-on script %s, which holds the password, could not be deleted.\nERROR: %d\nMSG:%s\n"
    "Delete it by hand.\n";

// The run's log-on script from its reservation until its deletion (or the
// run's end, when it stays), empty otherwise; and the handle that keeps it
// from the sweeps of other editors' runs (see stale_logon_scripts.h) from
// its writing until the client has ended, null otherwise. Module-wide, so
// that a run the host abandons still deletes it.
static char LogonScriptPath[SCRIPT_PATH_CAPACITY];
static HANDLE LogonScriptKept;

bool FindLogonScriptFolder(char* folder, size_t capacity)
{
    // A working directory would not help here: the log-on script never
    // goes there.
    return FindTemporaryDirectory(folder, capacity, false);
}

bool ReserveLogonScript(char (&path)[SCRIPT_PATH_CAPACITY])
{
    char directory[PATH_CAPACITY + 1];
    bool reserved = FindLogonScriptFolder(directory, sizeof directory) &&
                    ReserveRunFile(directory, LOGON_SCRIPT_PREFIX, path);
    if (reserved)
        CopyText(LogonScriptPath, sizeof LogonScriptPath, path);
    return reserved;
}

bool WriteLogonScript(const PL_HOSTINFO* logon, const char* path, const char* scriptPath)
{
    char scriptArgument[SCRIPT_ARGUMENT_CAPACITY];
    char text[LOGON_SCRIPT_CAPACITY];
    // The buffer holds the longest log-on script there can be; should that
    // ever fail, a cut one must not run.
    bool written = PathOnCommandLine(scriptPath, scriptArgument) &&
                   ComposeLogonScript(&PluginSettings, logon, scriptArgument, text, sizeof text);
    if (!written) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        ReportCannotWrite(path);
    } else {
        written = WriteRunFile(path, text, NULL);
    }
    // The password stays on disk no longer than the client needs it, and
    // in this module's memory not at all.
    SecureZeroMemory(text, sizeof text);
    // Held open until the client has ended: a sweep takes only a file that
    // no program has open, however long the client takes to read it. The
    // client reads it as it would any file.
    if (written) {
        HANDLE kept = KeepRunFileOpen(path);
        written = kept != INVALID_HANDLE_VALUE;
        LogonScriptKept = written ? kept : NULL;
    }
    if (!written)
        DeleteLogonScript(path);
    return written;
}

// Lets go of the log-on script, so that it can be deleted.
static void ReleaseLogonScript(void)
{
    if (LogonScriptKept)
        CloseHandle(LogonScriptKept);
    LogonScriptKept = NULL;
}

void DeleteLogonScript(const char* path)
{
    ReleaseLogonScript();
    if (DeleteOrReport(path, LOGON_SCRIPT_KEPT_TEXT, LOGON_SCRIPT_KEPT))
        LogonScriptPath[0] = '\0';
}

void DeleteAbandonedLogonScript(void)
{
    if (LogonScriptPath[0] == '\0')
        return;
    ReleaseLogonScript();
    // Nothing can be shown now: one that stays is left to the next run's
    // sweep.
    DeleteHeldFile(LogonScriptPath);
    LogonScriptPath[0] = '\0';
}

void ForgetLogonScript(void)
{
    LogonScriptPath[0] = '\0';
}
