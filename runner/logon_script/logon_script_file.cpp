#include "runner/logon_script/logon_script_file.h"

#include <windows.h>

#include "plugin/module_state.h"
#include "runner/command_line_probes.h"
#include "runner/logon_script/logon_script_text.h"
#include "runner/run_files.h"

static const char LOGON_SCRIPT_KEPT[] =
    "The log-on script %s, which holds the password, could not be deleted.\nERROR: %d\nMSG:%s\n"
    "Delete it by hand.\n";

bool ReserveLogonScript(char (&path)[SCRIPT_PATH_CAPACITY])
{
    char directory[PATH_CAPACITY + 1];
    // A working directory would not help here: the log-on script never
    // goes there.
    return FindTemporaryDirectory(directory, sizeof directory, false) &&
           ReserveRunFile(directory, LOGON_SCRIPT_PREFIX, path);
}

bool WriteLogonScript(const char* path, const char* scriptPath)
{
    char scriptArgument[SCRIPT_ARGUMENT_CAPACITY];
    char text[LOGON_SCRIPT_CAPACITY];
    // The buffer holds the longest log-on script there can be; should that
    // ever fail, a cut one must not run.
    bool written = PathOnCommandLine(scriptPath, scriptArgument) &&
                   ComposeLogonScript(&PluginSettings, HostRecord, scriptArgument, text, sizeof text);
    if (!written) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        ReportCannotWrite(path);
    } else {
        written = WriteRunFile(path, text);
    }
    // The password stays on disk no longer than the client needs it, and
    // in this module's memory not at all.
    SecureZeroMemory(text, sizeof text);
    if (!written)
        DeleteLogonScript(path);
    return written;
}

void DeleteLogonScript(const char* path)
{
    DeleteOrReport(path, LOGON_SCRIPT_KEPT);
}
