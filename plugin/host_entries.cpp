#include "plugin/host_entries.h"

#include <string.h>

// The record holds 32-bit pointers: this module is built for 32-bit Windows
// only, as its host is.
static_assert(sizeof(void*) == 4, "the host record holds 32-bit pointers");

template <typename Pointer>
static Pointer PointerAt(const PL_HOSTINFO* host, size_t offset)
{
    Pointer value;
    memcpy(&value, host->Bytes + offset, sizeof value);
    return value;
}

GetEditorEntry HostGetEditor(const PL_HOSTINFO* host)
{
    return PointerAt<GetEditorEntry>(host, HOST_GET_EDITOR);
}

GetEditorTextEntry HostGetEditorText(const PL_HOSTINFO* host)
{
    return PointerAt<GetEditorTextEntry>(host, HOST_GET_EDITOR_TEXT);
}

SetEditorTextEntry HostSetEditorText(const PL_HOSTINFO* host)
{
    return PointerAt<SetEditorTextEntry>(host, HOST_SET_EDITOR_TEXT);
}

HWND HostMainWindow(const PL_HOSTINFO* host)
{
    return PointerAt<HWND>(host, HOST_MAIN_WINDOW);
}
