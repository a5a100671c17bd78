#include "common/bounded_text.h"
#include "common/format_text.h"
#include "plugin/exports.h"
#include "plugin/install_check.h"
#include "plugin/module_state.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reason;
    (void)reserved;
    ModuleInstance = instance;
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
