#include <windows.h>

#include "client/client_environment.h"
#include "client/client_process.h"
#include "common/format_text.h"
#include "platform/held_file.h"
#include "plugin/command_in_progress.h"
#include "plugin/exports.h"
#include "plugin/host_entries.h"
#include "plugin/module_state.h"
#include "run/editor_text.h"
#include "run/run_settings.h"
#include "run_files/logon_script_file.h"
#include "run_files/logon_script_text.h"
#include "run_files/script_file.h"
#include "run_files/stale_logon_scripts.h"
#include "run_files/temporary_files.h"
#include "run_reports/held_reports.h"
#include "settings/settings_file.h"

static const char AMPERSAND_IN_LOGON_SCRIPT[] =
    "The %s holds \"&\", which SQL*Plus reads in a script as a substitution variable.\n"
    "Clear HidePassword in the settings file to pass the password on the command line.\n";

// The host's log-on as the run took it, before anything else: every check,
// the line, the log-on script and the messages of the run use this one
// reading, even when the host's own changes while it answers one of its
// entries. It holds the password, so it is wiped when the run ends,
// whichever way.
static PL_HOSTINFO RunLogon;

// A log-on script with "&" in any line would make the client ask for a value
// and run something else: such a run stops before anything is made, and
// never falls back to the command line.
static bool RefuseAmpersandInLogonScript(const char* scriptFolder)
{
    const char* part = LogonScriptPartWithAmpersand(&PluginSettings, &RunLogon, scriptFolder);
    if (part == NULL)
        return false;
    FormatText(TextBuffer, sizeof TextBuffer, AMPERSAND_IN_LOGON_SCRIPT, part);
    ReportRunError(TextBuffer);
    return true;
}

// Loads the settings; a settings file that is there but cannot be read
// whole stops the run, as its defaults could put the password back on the
// command line.
static bool LoadRunSettings(void)
{
    bool loaded = LoadSettings() == SETTINGS_LOADED;
    if (!loaded)
        ReportRunError(TextBuffer);
    return loaded;
}

// The editor's text through the client and back. The host's entries are
// called only where nothing but the script file is made (the editor's text
// is taken into it, the client's script is handed back): a host that
// abandons the run in one of them finds its environment as it was, which
// holds as long as the client's variables are set and put back within the
// choice of the client's program and within its start, where no host entry
// runs; and the abandoned run leaves at most its script file (see
// AbandonRun).
static void RunScript(void)
{
    // Called before installation, there is no host record to run from.
    if (!HostRecord)
        return;
    CopyHostLogon(HostRecord, &RunLogon);
    SweepStaleLogonScripts();
    if (!LoadRunSettings())
        return;
    TakeSettingsForRun(&PluginSettings);

    // A password kept off the command line goes to the client in a log-on
    // script.
    bool hidePassword = PasswordGoesInLogonScript(&PluginSettings, &RunLogon);
    // A batch file's command interpreter may run in another folder than the
    // host's current one: every path it is given is full.
    bool batchClient = TakeClientProgram();
    char scriptFolder[SCRIPT_FOLDER_CAPACITY];
    if (!ChooseScriptFolder(scriptFolder, batchClient))
        return;
    if (hidePassword && RefuseAmpersandInLogonScript(scriptFolder))
        return;
    if (!CheckClientEnvironment())
        return;
    if (!ChooseClientProgram(&RunLogon, scriptFolder, hidePassword ? FindLogonScriptFolder : NULL))
        return;
    char scriptPath[SCRIPT_PATH_CAPACITY];
    if (!ReserveScriptFile(scriptFolder, scriptPath))
        return;
    if (!HostGetEditorText(HostRecord)) {
        // Nothing to run: the empty file would only be left behind.
        DeleteHeldFile(scriptPath);
        return;
    }
    if (!WriteEditorText(scriptPath, TakeEditorText)) {
        DeleteHeldFile(scriptPath);
        return;
    }
    char logonScriptPath[SCRIPT_PATH_CAPACITY] = "";
    if (hidePassword && !(ReserveLogonScript(logonScriptPath) &&
                          WriteLogonScript(&RunLogon, logonScriptPath, scriptPath))) {
        DeleteHeldFile(scriptPath);
        return;
    }
    ClientRun ran = RunClient(&RunLogon, scriptPath, logonScriptPath);
    // The password stays on disk no longer than the client needs it.
    if (hidePassword)
        DeleteLogonScript(logonScriptPath);
    // A client that may still be at work on the script leaves it alone.
    if (ran == CLIENT_NOT_AWAITED)
        return;
    if (ran == CLIENT_ENDED && PluginSettings.ReadOnly == 0) {
        // A file that cannot be handed back is kept whatever DeleteTemp
        // says: it holds what the client left, which the editor did not get.
        if (!ReadScriptBack(scriptPath))
            return;
        HandTextToEditor();
    }
    // Reported at the end, once the editor has its text; a client that did
    // not start has had its message.
    if (PluginSettings.DeleteTemp != 0 && ran == CLIENT_ENDED)
        DeleteScriptFile(scriptPath);
    else if (PluginSettings.DeleteTemp != 0)
        DeleteHeldFile(scriptPath);
}

// The host abandoned the run in one of its entries: a script file still
// waiting for the editor's text is deleted (one the client has had is
// kept), and so is the log-on script (made only after the text is taken
// and deleted before the hand-back, but it holds the password, and one that
// could not be deleted then is tried again); what the run held to report
// is dropped, and so is the log-on the run took.
static void AbandonRun(void)
{
    DeleteAbandonedRunFile();
    DeleteAbandonedLogonScript();
    ForgetHeldReports();
    SecureZeroMemory(&RunLogon, sizeof RunLogon);
}

static void RunAndReport(void)
{
    RunScript();
    SecureZeroMemory(&RunLogon, sizeof RunLogon);
    ShowHeldReports();
    ForgetLogonScript();
}

// One run. It holds the host's user-interface thread until the client has
// ended and, whichever way the run went, until its held reports are read.
void __cdecl OnCall(void)
{
    RunOneCommand(RunAndReport, AbandonRun);
}
