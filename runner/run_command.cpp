#include "plugin/exports.h"

// Filled in by the run command.
void __cdecl OnCall(void)
{
}
