#ifndef TAMSIL_HOST_ENTRIES_H
#define TAMSIL_HOST_ENTRIES_H

#include <windows.h>

#include "plugin/host_record.h"

// The host's three entries and its main window, read from the host record at
// their fixed offsets. An entry the host does not offer is null.

typedef void (__cdecl* GetEditorEntry)(int32_t* editorId);
typedef void (__cdecl* GetEditorTextEntry)(int32_t editorId, char* text, int32_t size);
typedef int32_t (__cdecl* SetEditorTextEntry)(int32_t editorId, const char* text);

GetEditorEntry HostGetEditor(const PL_HOSTINFO* host);
GetEditorTextEntry HostGetEditorText(const PL_HOSTINFO* host);
SetEditorTextEntry HostSetEditorText(const PL_HOSTINFO* host);
HWND HostMainWindow(const PL_HOSTINFO* host);

#endif
