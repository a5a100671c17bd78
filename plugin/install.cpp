#include "common/bounded_text.h"
#include "common/format_text.h"
#include "platform/abandon_guard.h"
#include "plugin/exports.h"
#include "plugin/install_check.h"
#include "plugin/module_state.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    ModuleInstance = instance;
    // Unloaded while a command the host left is still pending: the platform
    // would go on calling the command's exception watch in a module that is
    // gone. When the process ends instead (reserved set), the module stays
    // until the process is gone, and other threads may have been ended in
    // the middle of the platform's own list of handlers: nothing is done.
    if (reason == DLL_PROCESS_DETACH && reserved == NULL)
        EndGuardedCallWatchAtUnload();
    return TRUE;
}

int32_t __cdecl OnInstall(PL_DATA* data, const PL_HOSTINFO* host)
{
    // Kept first and whatever the verdict: the host may still call the other
    // exports after a refusal.
    HostRecord = host;

    switch (CheckInstall(static_cast<uint32_t>(HostInteger(host, HOST_MAJOR)),
                         HostInteger(host, HOST_MINOR), HostInteger(host, HOST_BUILD),
                         static_cast<uint32_t>(HostInteger(host, HOST_NO_VERSION_CHECK)),
                         data->Size)) {
    case INSTALL_OLD_HOST:
        MessageBoxA(NULL, "Incompatible Korvel SQL editor version. Required 1.51.22 or higher",
                    PLUGIN_TITLE, MB_OK | MB_ICONERROR);
        return 1;
    case INSTALL_WRONG_DATA_SIZE: {
        char message[128];
        FormatText(message, sizeof message, "Wrong PL_DATA size: %d. %d required!",
                   static_cast<int>(data->Size), static_cast<int>(PL_DATA_SIZE));
        MessageBoxA(NULL, message, PLUGIN_TITLE, MB_OK | MB_ICONERROR);
        return 1;
    }
    case INSTALL_ACCEPTED:
        break;
    }
    data->Kind = PLUGIN_KIND;
    CopyText(data->Name, sizeof data->Name, PLUGIN_CAPTION);
    return 0;
}
