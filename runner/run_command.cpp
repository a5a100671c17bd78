#include <windows.h>

#include "plugin/exports.h"
#include "plugin/host_entries.h"
#include "plugin/module_state.h"
#include "runner/client_environment.h"
#include "runner/client_process.h"
#include "runner/command_line.h"
#include "runner/editor_text.h"
#include "runner/run_report.h"
#include "runner/script_file.h"
#include "settings/settings_file.h"

static const char AMPERSAND_IN_PASSWORD[] =
    "The password holds \"&\", which SQL*Plus reads in a script as a substitution variable.\n"
    "Clear HidePassword in the settings file to pass the password on the command line.\n";

// One run: the editor's text through the client and back. It holds the
// host's user-interface thread until the client has ended.
void __cdecl OnCall(void)
{
    // Called before installation, there is no host record to run from.
    if (!HostRecord)
        return;
    LoadSettings();

    // A password kept off the command line goes to the client in a log-on
    // script, which cannot carry every password: such a run never falls
    // back to the command line.
    bool hidePassword = HidesPassword(&PluginSettings, HostRecord);
    if (hidePassword && PasswordHoldsAmpersand(HostRecord)) {
        ShowRunError(AMPERSAND_IN_PASSWORD);
        return;
    }
    if (!CheckNlsLang())
        return;
    char scriptPath[SCRIPT_PATH_CAPACITY];
    if (!ReserveScriptFile(scriptPath))
        return;
    if (!HostGetEditorText(HostRecord)) {
        // Nothing to run: the empty file would only be left behind.
        DeleteFileA(scriptPath);
        return;
    }
    if (!WriteEditorText(scriptPath)) {
        DeleteFileA(scriptPath);
        return;
    }
    char logonScriptPath[SCRIPT_PATH_CAPACITY] = "";
    if (hidePassword && !(ReserveLogonScript(logonScriptPath) &&
                          WriteLogonScript(logonScriptPath, scriptPath))) {
        DeleteFileA(scriptPath);
        return;
    }
    bool ran = RunClient(scriptPath, logonScriptPath);
    // The password stays on disk no longer than the client needs it.
    if (hidePassword)
        DeleteFileA(logonScriptPath);
    if (ran && PluginSettings.ReadOnly == 0) {
        // A file that cannot be handed back is kept whatever DeleteTemp
        // says: it holds what the client left, which the editor did not get.
        if (!ReadScriptBack(scriptPath))
            return;
        HandTextToEditor();
    }
    if (PluginSettings.DeleteTemp != 0)
        DeleteFileA(scriptPath);
}
