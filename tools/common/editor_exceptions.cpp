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
static CatchFrame* CatchingFrame;   // the registration around the command
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
    CatchingFrame = &frame;
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

// Where the loop picked the command in progress.
static jmp_buf PickedAt;

// Resumes at the pick as setjmp's second return, with the registers it
// saved: the C runtime's own jump would unwind the frames above first.
static EXCEPTION_DISPOSITION __cdecl ResumeAtPick(EXCEPTION_RECORD* exception, void*, CONTEXT* context, void*)
{
    if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    const _JUMP_BUFFER* at = reinterpret_cast<const _JUMP_BUFFER*>(PickedAt);
    context->Ebp = at->Ebp;
    context->Ebx = at->Ebx;
    context->Edi = at->Edi;
    context->Esi = at->Esi;
    context->Esp = at->Esp + 4;   // past setjmp's return address, as it returns
    context->Eip = at->Eip;
    context->Eax = 1;
    return ExceptionContinueExecution;
}

void EnterResumingLoop(EXCEPTION_REGISTRATION_RECORD* loop)
{
    NT_TIB* thread = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
    loop->Next = thread->ExceptionList;
    loop->Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(ResumeAtPick);
    thread->ExceptionList = loop;
}

void LeaveResumingLoop(EXCEPTION_REGISTRATION_RECORD* loop)
{
    reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList = loop->Next;
}

void TakeChainBackToLoop(EXCEPTION_REGISTRATION_RECORD* loop)
{
    reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList = loop;
}

EXCEPTION_REGISTRATION_RECORD* ExceptionChainHead(void)
{
    return reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList;
}

bool CallResumingLoopAfterExceptions(void(__cdecl* entry)(void))
{
    if (setjmp(PickedAt) != 0)
        return true;
    entry();
    return false;
}

// Handles the exception where it is raised as the handler around the
// command or the loop would, for LeaveFromCallback.
static bool LeavingToLoop;

static EXCEPTION_DISPOSITION __cdecl LeaveHere(EXCEPTION_RECORD* exception, void* frame, CONTEXT* context, void* dispatch)
{
    if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    if (LeavingToLoop)
        return ResumeAtPick(exception, frame, context, dispatch);
    return CatchAll(exception, CatchingFrame, context, dispatch);
}

void LeaveFromCallback(bool resumeLoop)
{
    NT_TIB* thread = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
    EXCEPTION_REGISTRATION_RECORD here = {thread->ExceptionList, reinterpret_cast<PEXCEPTION_ROUTINE>(LeaveHere)};
    thread->ExceptionList = &here;
    LeavingToLoop = resumeLoop;
    RaiseEditorException(resumeLoop);
}
