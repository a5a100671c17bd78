#include "tools/common/editor_exceptions.h"

#include <windows.h>

#include <setjmp.h>

// Laid out as the C runtime's own registrations, with no scope of its own
// for the runtime's longjmp to unwind.
struct CatchFrame
{
    EXCEPTION_REGISTRATION_RECORD registration;
    void* scopeTable;
    int tryLevel;
};
static jmp_buf CaughtAt;
static const DWORD EDITOR_EXCEPTION = 0xE0000001;

static EXCEPTION_DISPOSITION __cdecl CatchAll(EXCEPTION_RECORD* exception, void* frame, CONTEXT*, void*)
{
    if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    // Its own exception, raised continuable, the editor resumes after.
    if (exception->ExceptionCode == EDITOR_EXCEPTION && !(exception->ExceptionFlags & EXCEPTION_NONCONTINUABLE))
        return ExceptionContinueExecution;
    RtlUnwind(frame, NULL, exception, NULL);
    longjmp(CaughtAt, 1);
}

bool CallCatchingExceptions(void(__cdecl* entry)(void))
{
    NT_TIB* thread = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
    CatchFrame frame = {{{thread->ExceptionList}, {reinterpret_cast<PEXCEPTION_ROUTINE>(CatchAll)}}, NULL, -1};
    thread->ExceptionList = &frame.registration;
    volatile bool caught = true;
    if (setjmp(CaughtAt) == 0) {
        entry();
        caught = false;
    }
    thread->ExceptionList = frame.registration.Next;
    return caught;
}

void RaiseEditorException(bool continuable)
{
    RaiseException(EDITOR_EXCEPTION, continuable ? 0 : EXCEPTION_NONCONTINUABLE, 0, NULL);
}
