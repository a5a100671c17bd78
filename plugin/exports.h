#ifndef TAMSIL_EXPORTS_H
#define TAMSIL_EXPORTS_H

#include <windows.h>

#include "plugin/host_record.h"

// The plug-in's boundary with the host, exported by name through the .def
// file: DllMain with the convention the loader calls it by (WINAPI), the
// host's three entries with the C calling convention. Each is defined with
// its subsystem: DllMain and OnInstall in plugin/install.cpp, OnCall in
// run/run_command.cpp, OnSettings in settings/settings_dialog.cpp.
extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
int32_t __cdecl OnInstall(PL_DATA* data, const PL_HOSTINFO* host);
void __cdecl OnCall(void);
void __cdecl OnSettings(void);
}

#define PLUGIN_CAPTION "Tamsil"
#define PLUGIN_TITLE "Tamsil plug-in"

#endif
