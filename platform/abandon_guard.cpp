#include "platform/abandon_guard.h"

#include <windows.h>

#include "platform/exception_chain.h"

// The guarded call's record and the link it was made with, kept here: a
// call left without an unwind leaves both in a frame that is gone.
static uintptr_t GuardRecord;
static uintptr_t GuardLink;
static uintptr_t GuardHandlerAt;

// Set when an exception raised under the guarded call in progress passed
// its record on the way to a handler above, which did not unwind the call:
// that handler jumped past the call, or (rarely) let it go on.
static bool ExceptionPassed;

static void KeepGuardRecord(const EXCEPTION_REGISTRATION_RECORD* record)
{
    ExceptionPassed = false;
    GuardRecord = reinterpret_cast<uintptr_t>(record);
    GuardLink = reinterpret_cast<uintptr_t>(record->Next);
    GuardHandlerAt = reinterpret_cast<uintptr_t>(record->Handler);
}

static ThreadChain CurrentThreadChain(void)
{
    NT_TIB* thread = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
    ThreadChain chain = {reinterpret_cast<uintptr_t>(&thread->ExceptionList),
                         reinterpret_cast<uintptr_t>(thread->StackLimit),
                         reinterpret_cast<uintptr_t>(thread->StackBase)};
    return chain;
}

// The guarded call's thread, by its identifier and by a handle: an
// identifier names one thread only until that thread ends, while the
// handle tells whether it has; and the vectored handler that watches it.
static volatile DWORD GuardThreadId;   // read by the handler on every thread
static HANDLE GuardThread;
static void* GuardWatch;

// Called by the platform for every exception of the process, on the thread
// that raised it, before it walks that thread's chain; it handles none. On
// the guarded call's thread, everything below the exception's stack pointer
// is free stack: a record there, still on the chain, belongs to a left call,
// and is taken off. Nothing is called here that could raise or wait. Should
// the call's thread have ended and its identifier gone to a new thread, that
// thread's chain is left as it is: only a link naming the record below the
// stack pointer is changed, which a whole chain never holds.
static LONG CALLBACK TakeOffLeftRecordFirst(EXCEPTION_POINTERS* exception)
{
    if (GuardThreadId != 0 && GuardThreadId == GetCurrentThreadId())
        TakeOffLeftRecord(CurrentThreadChain(), exception->ContextRecord->Esp, GuardRecord, GuardLink);
    return EXCEPTION_CONTINUE_SEARCH;
}

// Once the call has returned, been abandoned or been found left.
static void EndGuardedCallWatch(void)
{
    if (GuardWatch)
        RemoveVectoredExceptionHandler(GuardWatch);
    GuardWatch = NULL;
    GuardThreadId = 0;
    if (GuardThread)
        CloseHandle(GuardThread);
    GuardThread = NULL;
}

// From the moment the call's record is kept. Without a handle or a handler
// (the system is out of either), the call runs unwatched, as before.
static void WatchGuardedCall(void)
{
    EndGuardedCallWatch();
    GuardThreadId = GetCurrentThreadId();
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &GuardThread,
                         SYNCHRONIZE, FALSE, 0))
        GuardThread = NULL;
    // First, so that no other handler looks at the chain before it is whole.
    GuardWatch = AddVectoredExceptionHandler(1, TakeOffLeftRecordFirst);
}

void EndGuardedCallWatchAtUnload(void)
{
    // No call of the module runs as it goes: a call still watched was left.
    // A jump that left the chain as it was leaves the call's record on it,
    // its handler in this module: the host's next exception would call it
    // there. The record is taken off while it lies in free stack, or still
    // holds the handler it was made with (no live frame has made a record
    // of its own there since). It is read only within this thread's stack:
    // the call's thread may have ended, its identifier gone to this one.
    ThreadChain chain = CurrentThreadChain();
    char stackMark = 0;
    uintptr_t mark = reinterpret_cast<uintptr_t>(&stackMark);
    const EXCEPTION_REGISTRATION_RECORD* record =
        reinterpret_cast<const EXCEPTION_REGISTRATION_RECORD*>(GuardRecord);
    if (GuardWatch && GuardThreadId == GetCurrentThreadId() && GuardRecord >= chain.stackLow &&
        GuardRecord + sizeof *record <= chain.stackHigh &&
        (GuardRecord < mark ||
         record->Handler == reinterpret_cast<PEXCEPTION_ROUTINE>(GuardHandlerAt)))
        TakeOffRecordOfLeftCall(chain, mark, GuardRecord, GuardLink);
    EndGuardedCallWatch();
}

#ifdef _MSC_VER

static int NoteExceptionPassed(void)
{
    ExceptionPassed = true;
    return EXCEPTION_CONTINUE_SEARCH;
}

// The compiler's termination handler is the same registration: its
// __finally block runs during the unwind, abnormally, and the filter within
// while the platform looks for a handler. The image's table of safe
// handlers holds the compiler's handler, where a hand-built one would be
// left out. The compiler registers the frame as the function begins, so
// within the block its record heads the chain.
void CallGuardedAgainstAbandon(void (*body)(void), void (*abandoned)(void))
{
    __try {
        KeepGuardRecord(reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList);
        WatchGuardedCall();
        __try {
            body();
        } __except (NoteExceptionPassed()) {
        }
    } __finally {
        if (AbnormalTermination())
            abandoned();
        EndGuardedCallWatch();
    }
}

#else

// The registration, built by hand: a record on the thread's chain (the
// first field of its information block) whose handler the platform calls
// with the record's address. The record lives on the stack, 4-byte aligned,
// as the platform requires, for exactly as long as body runs.
struct GuardFrame
{
    EXCEPTION_REGISTRATION_RECORD registration;   // first: the handler is given its address
    void (*abandoned)(void);
};

// Called once while the platform looks for a handler (the exception is the
// host's to handle: it is only noted), and once more, with an unwinding
// flag, when a handler below this frame takes it. Handlers take the C
// calling convention, as the C runtime's own do. The image holds no table
// of safe handlers (its linker makes none, and tests/check_binary.sh checks
// that it does not claim to have no handlers at all), so the platform
// takes any handler within it.
static EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* exception, void* frame,
                                                  CONTEXT*, void*)
{
    if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
        static_cast<GuardFrame*>(frame)->abandoned();
        EndGuardedCallWatch();
    } else {
        ExceptionPassed = true;
    }
    return ExceptionContinueSearch;
}

void CallGuardedAgainstAbandon(void (*body)(void), void (*abandoned)(void))
{
    NT_TIB* thread = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
    GuardFrame frame;
    frame.registration.Next = thread->ExceptionList;
    frame.registration.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(GuardHandler);
    frame.abandoned = abandoned;
    thread->ExceptionList = &frame.registration;
    KeepGuardRecord(&frame.registration);
    WatchGuardedCall();
    body();
    EndGuardedCallWatch();
    // An unwind takes the record off the chain itself; a normal return
    // takes it off here.
    thread->ExceptionList = frame.registration.Next;
}

#endif

bool GuardedCallWasLeft(const void* stackMark)
{
    // The thread's end first: its identifier may name another thread now.
    bool left = (GuardThread && WaitForSingleObject(GuardThread, 0) == WAIT_OBJECT_0) ||
                (GuardThreadId == GetCurrentThreadId() &&
                 TakeOffLeftRecord(CurrentThreadChain(), reinterpret_cast<uintptr_t>(stackMark),
                                   GuardRecord, GuardLink));
    if (left)
        EndGuardedCallWatch();
    return left;
}

bool GuardedCallRunsAbove(const void* stackMark)
{
    return !ExceptionPassed && RecordOnChainAbove(CurrentThreadChain(),
                                                  reinterpret_cast<uintptr_t>(stackMark), GuardRecord);
}
