#ifndef TAMSIL_ABANDON_GUARD_H
#define TAMSIL_ABANDON_GUARD_H

// A host written in a language with exceptions catches them around a
// plug-in's entry: an exception raised in one of its own entries that the
// plug-in called (its editor had gone, say) then abandons the entry half
// way, and no code after that call runs. The platform tells each frame so
// abandoned: the host's runtime unwinds the frames above its handler
// (RtlUnwind), calling each exception registration's handler on the way.

// Calls body under an exception registration of its own. When the host
// abandons body this way, abandoned is called during the unwind, before the
// host's handler goes on; it must not show anything nor call the host.
// One guarded call at a time.
void CallGuardedAgainstAbandon(void (*body)(void), void (*abandoned)(void));

// Some hosts' runtimes leave a call without that unwind: they jump past its
// frames straight to their handler, restoring its context, and abandoned is
// never called. True when the guarded call in progress was so left (see
// TakeOffLeftRecord in platform/exception_chain.h); its record is then off
// the thread's chain. stackMark is an address in the frame of the function
// that made the guarded call, now called again: every frame of the call lay
// below it. A call whose thread has ended (the host ended it, or the
// thread ended itself in one of the host's entries) was left too, whatever
// thread asks.
//
// Until the guarded call returns, is abandoned or is found left, the
// platform tells the module of every exception before it walks any
// thread's chain: one raised on the call's thread above its record (its
// frame gone, the call left) has the record taken off the chain first, as
// the host's own next exception would otherwise find there whatever its
// code wrote over the record since.
bool GuardedCallWasLeft(const void* stackMark);

// The module is being unloaded: a left call's watch is ended, and its
// record taken off the calling thread's chain should the host have left it
// there, so that the platform never calls into the module once it is gone.
void EndGuardedCallWatchAtUnload(void);

// True while the guarded call in progress still runs under the caller, its
// record on the thread's chain in a live frame above stackMark (an address
// in the caller's frame): the caller runs within it, as a window's handler
// called by a loop under the call does. False when the call was left, when
// the chain cannot be read to tell, and once an exception raised under the
// call went past it to a handler above without an unwind: a call so jumped
// past may leave its record and the frames above it unchanged in memory
// that the host's code has not written over yet.
bool GuardedCallRunsAbove(const void* stackMark);

#endif
