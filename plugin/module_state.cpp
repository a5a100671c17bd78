#include "plugin/module_state.h"

HINSTANCE ModuleInstance;
const PL_HOSTINFO* HostRecord;
int32_t EditorId;
SettingsRecord PluginSettings;
char TextBuffer[TEXT_BUFFER_SIZE + 1];

static bool CommandInProgress;

bool BeginCommand(void)
{
    if (CommandInProgress) {
        MessageBeep(MB_ICONWARNING);
        return false;
    }
    CommandInProgress = true;
    return true;
}

void EndCommand(void)
{
    CommandInProgress = false;
}
