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

// An editor whose runtime catches exceptions around its whole loop of
// commands instead and, after one, resumes the loop where the command was
// picked by restoring that point's context, without the platform's unwind
// (some runtimes do): the frames between learn nothing, and the thread's
// chain still holds what the exception found on it. loop, on the caller's
// stack, is the runtime's registration, on the chain while the loop runs;
// the exception must be raised continuable.
struct _EXCEPTION_REGISTRATION_RECORD;
void EnterResumingLoop(_EXCEPTION_REGISTRATION_RECORD* loop);
void LeaveResumingLoop(_EXCEPTION_REGISTRATION_RECORD* loop);

// Calls the plug-in's entry from that loop; true when an exception resumed
// the loop here.
bool CallResumingLoopAfterExceptions(void(__cdecl* entry)(void));

// Leaves the command in progress from code the platform calls within a
// call of its own (a message it sends), as an exception caught around the
// command, or around the loop with resumeLoop, would: Wine ends any
// exception within such a call, before a handler outside it is asked, so
// the exception is raised and caught right here, then handled as there.
void LeaveFromCallback(bool resumeLoop);

// Some such runtimes then take the chain back to the loop's registration.
void TakeChainBackToLoop(_EXCEPTION_REGISTRATION_RECORD* loop);

// The first record on the thread's chain.
_EXCEPTION_REGISTRATION_RECORD* ExceptionChainHead(void);

#endif
