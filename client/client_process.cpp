#include "client/client_process.h"

#include <windows.h>

#include "client/client_environment.h"
#include "client/client_search.h"
#include "client/command_line_quoting.h"
#include "common/bounded_text.h"
#include "common/format_text.h"
#include "platform/eight_bit_path.h"
#include "platform/system_error.h"
#include "plugin/module_state.h"
#include "run_reports/held_reports.h"
#include "settings/settings_file.h"

static const char CANNOT_START[] = "RUN : %s\nERROR: %d\nMSG:%s\n";
static_assert(COMMAND_LINE_CAPACITY + SYSTEM_ERROR_TEXT_CAPACITY + 64 <= STOP_REPORT_CAPACITY,
              "the report of a client that could not start is held whole");
static const char CANNOT_WAIT[] = "Cannot wait for the client to end\nERROR: %d\nMSG:%s\n";
static const char EXIT_CODE[] = "SQL*Plus ended with exit code %lu.\n";
static const char EXIT_STATUS[] = "SQL*Plus ended with exit code 0x%08lX.\n";
static const char CANNOT_READ_EXIT_CODE[] =
    "Cannot read the exit code of the client\nERROR: %d\nMSG:%s\n";
static const char BATCH_LINE[] =
    "The client %s is a batch file, and its command line holds \"%c\", which the command "
    "interpreter that runs it would read as its own.\nName SQL*Plus itself in SqlPlus.\n";

// The client as it goes on the line, as the run decided it before making
// anything, and whether it is whole. For a batch file, what its search
// found then and the interpreter that runs it, or why either was not
// found.
static char StartedClient[STARTED_CLIENT_CAPACITY];
static bool StartedClientWhole;
static bool BatchSearched;
static bool BatchFound;
static char BatchProgram[PATH_CAPACITY];
static char Interpreter[PATH_CAPACITY];
static DWORD BatchSearchError;

// Waits until the client has ended; shows why when that cannot be known.
static bool AwaitClient(HANDLE client)
{
    DWORD waited = WaitForSingleObject(client, INFINITE);
    if (waited == WAIT_OBJECT_0)
        return true;
    // Only a failed wait sets an error; any other result is its own code
    // (WAIT_TIMEOUT is also the error code of a timed-out wait).
    if (waited != WAIT_FAILED)
        SetLastError(waited);
    char systemText[SYSTEM_ERROR_TEXT_CAPACITY];
    int code = SystemErrorText(systemText, sizeof systemText);
    FormatText(TextBuffer, sizeof TextBuffer, CANNOT_WAIT, code, systemText);
    ReportRunError(TextBuffer);
    return false;
}

// Holds the exit code of the ended client for the end of the run, when it is
// not 0 or cannot be read. A code of 0x10000 or more is the system's status
// for a client it ended (after a crash, say), which reads best in hex.
static void HoldExitCode(HANDLE client)
{
    DWORD exitCode;
    char report[sizeof CANNOT_READ_EXIT_CODE + SYSTEM_ERROR_TEXT_CAPACITY + 16];
    if (!GetExitCodeProcess(client, &exitCode)) {
        char systemText[SYSTEM_ERROR_TEXT_CAPACITY];
        int code = SystemErrorText(systemText, sizeof systemText);
        FormatText(report, sizeof report, CANNOT_READ_EXIT_CODE, code, systemText);
    } else if (exitCode != 0) {
        FormatText(report, sizeof report, exitCode < 0x10000 ? EXIT_CODE : EXIT_STATUS,
                   static_cast<unsigned long>(exitCode));
    } else {
        return;
    }
    HoldExitCodeReport(report);
}

// The first character of line that the command interpreter reads as its
// own. The platform hands the interpreter the line converted to UTF-16 from
// the system code page, which is what is read here; a lead byte whose
// second byte the code page does not pair with it may then stand alone,
// and that byte be read on its own. The bytes are read too, each lead byte
// with the byte after it, should the platform's conversion pair them
// where this one does not.
static char InterpreterCharacterInLine(const char* line)
{
    // Each byte gives at most one UTF-16 character, in any system code page.
    static wchar_t wide[COMMAND_LINE_CAPACITY];
    char found = InterpreterCharacterIn(line, IsSystemLeadByte);
    if (found == '\0' && MultiByteToWideChar(CP_ACP, 0, line, -1, wide, ARRAYSIZE(wide)) > 0)
        found = InterpreterCharacterIn(wide);
    SecureZeroMemory(wide, sizeof wide);
    return found;
}

// Refuses a batch file's line that holds a character the command
// interpreter reads as its own. The file's name is made by the platform
// ("se" or "lg", hexadecimal digits, ".tmp"), so the line is checked with
// the file's folder in the file's place, which goes on the line the same
// way: by its short form when it has a blank.
static bool RefuseInterpreterCharacter(const PL_HOSTINFO* logon, const char* scriptFolder,
                                       FolderFinder findLogonScriptFolder)
{
    bool hidePassword = findLogonScriptFolder != NULL;
    char logonScriptFolder[PATH_CAPACITY + 1];
    if (hidePassword && !findLogonScriptFolder(logonScriptFolder, sizeof logonScriptFolder))
        return true;
    char folderArgument[SCRIPT_ARGUMENT_CAPACITY];
    PathOnCommandLine(hidePassword ? logonScriptFolder : scriptFolder, folderArgument);
    // Shorter than the line that starts, by the file's name: a line cut
    // here would be cut there too, and a cut line never starts.
    char line[COMMAND_LINE_CAPACITY];
    if (hidePassword)
        ComposeNologLine(StartedClient, folderArgument, line, sizeof line);
    else
        ComposeCommandLine(&PluginSettings, logon, StartedClient, folderArgument, false, line,
                           sizeof line, IsSystemLeadByte);
    char refused = InterpreterCharacterInLine(line);
    SecureZeroMemory(line, sizeof line);
    if (refused == '\0')
        return false;
    FormatText(TextBuffer, sizeof TextBuffer, BATCH_LINE, PluginSettings.SqlPlus, refused);
    ReportRunError(TextBuffer);
    return true;
}

bool TakeClientProgram(void)
{
    // Cut, never left unset, when it does not fit.
    char typed[CLIENT_ARGUMENT_CAPACITY];
    StartedClientWhole = ClientOnCommandLine(PluginSettings.SqlPlus, typed);
    CopyText(StartedClient, sizeof StartedClient, typed);
    BatchSearched = IsBatchProgram(typed);
    return BatchSearched;
}

// The command interpreter, cmd.exe in the system folder: the one the
// platform itself would run a batch file by. A 32-bit host on 64-bit
// Windows is given System32, which the platform redirects to SysWOW64 for
// it: the 32-bit interpreter, which runs any client as well.
static bool FindInterpreter(void)
{
    UINT length = GetSystemDirectoryA(Interpreter, sizeof Interpreter);
    // A folder longer than the buffer is given as the size it needs.
    if (length >= sizeof Interpreter)
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    if (length == 0 || length >= sizeof Interpreter)
        return false;
    // Only the root ends in a separator.
    const char* name = Interpreter[length - 1] == '\\' ? "cmd.exe" : "\\cmd.exe";
    if (AppendText(Interpreter, sizeof Interpreter, name))
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

bool ChooseClientProgram(const PL_HOSTINFO* logon, const char* scriptFolder,
                         FolderFinder findLogonScriptFolder)
{
    if (!BatchSearched)
        return true;
    KeepInterpreterOutOfCurrentFolder();
    // No host entry runs while the host's environment holds the client's.
    char typed[CLIENT_ARGUMENT_CAPACITY];
    CopyText(typed, sizeof typed, StartedClient);
    BatchFound = SetClientEnvironment() && FindBatchFile(typed, BatchProgram) && FindInterpreter();
    BatchSearchError = GetLastError();
    PutBackHostEnvironment();
    // A search that failed is reported as the client starts, as for any
    // client; its line is never started.
    if (!BatchFound)
        return true;
    StartedClientWhole =
        NameProgramByPath(typed, BatchProgram, StartedClient, sizeof StartedClient) &&
        StartedClientWhole;
    return !RefuseInterpreterCharacter(logon, scriptFolder, findLogonScriptFolder);
}

// The program the line starts, looked for once the client's PATH is in
// place; a batch file, and its interpreter, were looked for before the run
// made anything.
static bool FindProgram(char (&program)[PATH_CAPACITY])
{
    if (!BatchSearched)
        return FindClientProgram(StartedClient, program);
    CopyText(program, sizeof program, Interpreter);
    SetLastError(BatchSearchError);
    return BatchFound;
}

ClientRun RunClient(const PL_HOSTINFO* logon, const char* scriptPath, const char* logonScriptPath)
{
    // The argument is cut, never left unset, when it does not fit.
    char fileArgument[SCRIPT_ARGUMENT_CAPACITY];
    bool hidden = logonScriptPath[0] != '\0';
    bool whole = StartedClientWhole;
    whole = PathOnCommandLine(hidden ? logonScriptPath : scriptPath, fileArgument) && whole;
    // The platform may write into the line it starts from, so it has a
    // buffer of its own; the line the user is shown never holds the password,
    // and is the client's line, a batch file's too.
    char line[COMMAND_LINE_CAPACITY];
    char shownLine[COMMAND_LINE_CAPACITY];
    if (hidden) {
        whole = ComposeNologLine(StartedClient, fileArgument, line, sizeof line) && whole;
        CopyText(shownLine, sizeof shownLine, line);
    } else {
        whole = ComposeCommandLine(&PluginSettings, logon, StartedClient, fileArgument, false, line,
                                   sizeof line, IsSystemLeadByte) && whole;
        ComposeCommandLine(&PluginSettings, logon, StartedClient, fileArgument, true, shownLine,
                           sizeof shownLine, IsSystemLeadByte);
    }
    char interpreterLine[INTERPRETER_LINE_CAPACITY];
    if (BatchSearched)
        whole = ComposeInterpreterLine(Interpreter, line, interpreterLine, sizeof interpreterLine) &&
                whole;

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION client;
    ZeroMemory(&client, sizeof client);
    // The buffers hold the longest arguments and line there can be; should
    // that ever fail, a cut line must not run.
    if (!whole)
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    char program[PATH_CAPACITY];
    bool started = whole && SetClientEnvironment() && FindProgram(program) &&
                   CreateProcessA(program[0] ? program : NULL,
                                  BatchSearched ? interpreterLine : line, NULL, NULL, FALSE,
                                  NORMAL_PRIORITY_CLASS, NULL, NULL, &startup, &client);
    // The client has its copy of the environment: the host gets its own back
    // before anything else can run.
    PutBackHostEnvironment();
    // The client has its copy of the lines too, and the password is in
    // this module's memory no longer than the run needs it.
    SecureZeroMemory(line, sizeof line);
    SecureZeroMemory(interpreterLine, sizeof interpreterLine);
    if (!started) {
        FormatSystemFailure(TextBuffer, sizeof TextBuffer, CANNOT_START, shownLine);
        ReportRunError(TextBuffer);
        return CLIENT_NOT_STARTED;
    }
    bool ended = AwaitClient(client.hProcess);
    if (ended && PluginSettings.ShowExitCode != 0)
        HoldExitCode(client.hProcess);
    CloseHandle(client.hThread);
    CloseHandle(client.hProcess);
    return ended ? CLIENT_ENDED : CLIENT_NOT_AWAITED;
}
