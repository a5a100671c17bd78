#include "plugin/exports.h"

// Filled in by the settings dialog.
void __cdecl OnSettings(void)
{
}
