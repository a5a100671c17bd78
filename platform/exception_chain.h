#ifndef TAMSIL_EXCEPTION_CHAIN_H
#define TAMSIL_EXCEPTION_CHAIN_H

#include <stdint.h>

// A thread's chain of exception registrations, as the platform keeps it:
// the thread's information block holds the address of the first record,
// each record begins with the address of the next, and the last holds
// CHAIN_END. Records live in their frames on the thread's stack, 4-byte
// aligned, each newer one in a deeper frame, at a lower address.
const uintptr_t CHAIN_END = UINTPTR_MAX;

struct ThreadChain
{
    uintptr_t head;        // where the thread holds the first record's address
    uintptr_t stackLow;    // the thread's stack, [stackLow, stackHigh): no
    uintptr_t stackHigh;   // record outside it is ever read
};

// A call that made its record at record, when the chain went on at link,
// and that the host may have left without the platform's unwind (its
// runtime jumped past the call's frames to its own handler, restoring its
// context): true when the call was so left, as its record lies below
// stackMark (an address in the frame that made the call, now making
// another) in a frame that is gone, or is no longer on the chain. Whatever
// live link still points to the record then points to link instead: the
// record's own link lies in a frame whose memory is being reused. False
// while the call still runs under this one (its record on the chain above
// stackMark), and when the chain cannot be read to tell: a record out of
// the stack, out of line or out of order ends the walk unread, so a
// corrupt chain is never followed, and the walk ends within the stack.
bool TakeOffLeftRecord(const ThreadChain& thread, uintptr_t stackMark, uintptr_t record,
                       uintptr_t link);

// For a call known to be left wherever its record lies (the module that
// made it is being unloaded, so none of its calls runs): the first link that
// names the record, read as above through live frames above stackMark, is
// made to skip it, as the record's handler is about to be gone.
void TakeOffRecordOfLeftCall(const ThreadChain& thread, uintptr_t stackMark, uintptr_t record,
                             uintptr_t link);

// True while the call that made its record at record still runs under the
// caller: the record is on the chain, read as above through live frames
// only, and lies above stackMark (an address in the caller's frame). False
// when it is off the chain, below stackMark, or the chain cannot be read to
// tell, as when it is read through frames that are gone.
bool RecordOnChainAbove(const ThreadChain& thread, uintptr_t stackMark, uintptr_t record);

#endif
