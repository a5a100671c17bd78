#include <windows.h>

#include "plugin/exports.h"
#include "plugin/host_entries.h"
#include "plugin/module_state.h"
#include "runner/client_process.h"
#include "runner/command_line.h"
#include "runner/editor_text.h"
#include "runner/script_file.h"
#include "settings/settings_file.h"

// One run: the editor's text through the client and back. It holds the
// host's user-interface thread until the client has ended.
void __cdecl OnCall(void)
{
    // Called before installation, there is no host record to run from.
    if (!HostRecord)
        return;
    LoadSettings();

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
    if (RunClient(scriptPath) && PluginSettings.ReadOnly == 0) {
        // A file that cannot be handed back is kept whatever DeleteTemp
        // says: it holds what the client left, which the editor did not get.
        if (!ReadScriptBack(scriptPath))
            return;
        HandTextToEditor();
    }
    if (PluginSettings.DeleteTemp != 0)
        DeleteFileA(scriptPath);
}
