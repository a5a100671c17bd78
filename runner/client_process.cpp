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
static bool ScriptOnCommandLine(const char* scriptPath, char (&argument)[SCRIPT_ARGUMENT_CAPACITY])
{
    char shortPath[SCRIPT_PATH_CAPACITY] = "";
    if (HasBlank(scriptPath)) {
        DWORD length = GetShortPathNameA(scriptPath, shortPath, sizeof shortPath);
        if (length == 0 || length >= sizeof shortPath)
            shortPath[0] = '\0';
    }
    return ScriptArgument(scriptPath, shortPath, argument, sizeof argument);
}

// The client as the platform must get it to start the program the user
// named: only a path with a blank that names an existing file is quoted.
static bool ClientOnCommandLine(const char* sqlPlus, char (&argument)[CLIENT_ARGUMENT_CAPACITY])
{
    bool namesFile = false;
    if (HasBlank(sqlPlus)) {
        DWORD attributes = GetFileAttributesA(sqlPlus);
        namesFile = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    return ClientArgument(sqlPlus, namesFile, argument, sizeof argument);
}

bool RunClient(const char* scriptPath)
{
    // Each argument is cut, never left unset, when it does not fit.
    char clientArgument[CLIENT_ARGUMENT_CAPACITY];
    char scriptArgument[SCRIPT_ARGUMENT_CAPACITY];
    bool whole = ClientOnCommandLine(PluginSettings.SqlPlus, clientArgument);
    whole = ScriptOnCommandLine(scriptPath, scriptArgument) && whole;
    // The platform may write into the line it starts from, so it has a
    // buffer of its own; the line the user is shown never holds the password.
    char line[COMMAND_LINE_CAPACITY];
    char shownLine[COMMAND_LINE_CAPACITY];
    whole = ComposeCommandLine(&PluginSettings, HostRecord, clientArgument, scriptArgument, false,
                               line, sizeof line) && whole;
    ComposeCommandLine(&PluginSettings, HostRecord, clientArgument, scriptArgument, true, shownLine,
                       sizeof shownLine);

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION client;
    ZeroMemory(&client, sizeof client);
    // The buffers hold the longest arguments and line there can be; should
    // that ever fail, a cut line must not run.
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
