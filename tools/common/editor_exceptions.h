#ifndef TAMSIL_TOOLS_EDITOR_EXCEPTIONS_H
#define TAMSIL_TOOLS_EDITOR_EXCEPTIONS_H

// An editor written in a language with exceptions, played for the tests and
// the editor stand-in: its runtime raises an exception in one of its own
// entries (its editor had gone, say) and catches it around the plug-in's
// entry, by a registration of its own on the thread's chain whose handler
// unwinds the frames above it (RtlUnwind, which calls each of their
// handlers) and resumes after the call; or, for its own exception raised
// continuable, returns ExceptionContinueExecution, and the entry that
// raised it goes on.

// Calls the plug-in's entry so; true when an exception was caught.
bool CallCatchingExceptions(void(__cdecl* entry)(void));

// Raises the editor's exception, continuable when asked.
void RaiseEditorException(bool continuable = false);

#endif
