#include "runner/client_process.h"

#include <windows.h>

#include <stdio.h>

#include "plugin/bounded_text.h"
#include "plugin/module_state.h"
#include "runner/command_line.h"
#include "runner/run_report.h"

static const char CANNOT_START[] = "RUN : %s\nERROR: %d\nMSG:%s\n";

// The script path as the client must get it to open it as one path: a path
// with a blank goes by its short form, which has none, when the volume keeps
// short names.
static void ScriptOnCommandLine(const char* scriptPath, char (&argument)[SCRIPT_ARGUMENT_CAPACITY])
{
    char shortPath[SCRIPT_PATH_CAPACITY] = "";
    if (HasBlank(scriptPath)) {
        DWORD length = GetShortPathNameA(scriptPath, shortPath, sizeof shortPath);
        if (length == 0 || length >= sizeof shortPath)
            shortPath[0] = '\0';
    }
    ScriptArgument(scriptPath, shortPath, argument, sizeof argument);
}

bool RunClient(const char* scriptPath)
{
    char argument[SCRIPT_ARGUMENT_CAPACITY];
    ScriptOnCommandLine(scriptPath, argument);
    // The platform may write into the line it starts from, so it has a
    // buffer of its own; the line the user is shown never holds the password.
    char line[COMMAND_LINE_CAPACITY];
    char shownLine[COMMAND_LINE_CAPACITY];
    bool whole = ComposeCommandLine(&PluginSettings, HostRecord, argument, false, line, sizeof line);
    ComposeCommandLine(&PluginSettings, HostRecord, argument, true, shownLine, sizeof shownLine);

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION client;
    ZeroMemory(&client, sizeof client);
    // The buffer holds the longest line there can be; should that ever fail,
    // a cut line must not run.
    if (!whole)
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    if (!whole || !CreateProcessA(NULL, line, NULL, NULL, FALSE, NORMAL_PRIORITY_CLASS, NULL, NULL,
                                  &startup, &client)) {
        FormatRunFailure(CANNOT_START, shownLine);
        ShowRunError(TextBuffer);
        return false;
    }
    WaitForSingleObject(client.hProcess, INFINITE);
    CloseHandle(client.hThread);
    CloseHandle(client.hProcess);
    return true;
}
