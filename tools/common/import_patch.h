#ifndef TAMSIL_TOOLS_IMPORT_PATCH_H
#define TAMSIL_TOOLS_IMPORT_PATCH_H

#include <windows.h>

// Points a loaded module's import of function from dll at replacement, so a
// test or the benchmark sees (or stands in for) the platform calls the
// plug-in makes. Gives the address the import had, or NULL when the module
// does not import that function.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);

#endif
