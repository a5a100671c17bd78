#include "plugin/module_state.h"

HINSTANCE ModuleInstance;
const PL_HOSTINFO* HostRecord;
int32_t EditorId;
char TextBuffer[TEXT_BUFFER_SIZE + 1];
