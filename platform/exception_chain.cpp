#include "platform/exception_chain.h"

#include <string.h>

enum ChainFinding { RECORD_ON_CHAIN, RECORD_OFF_CHAIN, CHAIN_UNREADABLE };

// The chain's links are read and written as addresses, wherever they lie.
static uintptr_t ReadLink(uintptr_t at)
{
    uintptr_t value;
    memcpy(&value, reinterpret_cast<const void*>(at), sizeof value);
    return value;
}

static void WriteLink(uintptr_t at, uintptr_t value)
{
    memcpy(reinterpret_cast<void*>(at), &value, sizeof value);
}

// Walks the chain to record; *linkAt receives the address of the link that
// points to it. Only records in live frames are read: whole within the
// stack, aligned, and each above the one before it, the first above
// stackMark: below it lie frames that are gone, their memory now the
// caller's own. Every step goes up the stack, so the walk ends.
static ChainFinding FindOnChain(const ThreadChain& thread, uintptr_t stackMark, uintptr_t record,
                                uintptr_t* linkAt)
{
    const uintptr_t recordSize = 2 * sizeof(uintptr_t);
    uintptr_t at = thread.head;
    uintptr_t floor = stackMark;
    for (;;) {
        uintptr_t next = ReadLink(at);
        if (next == record) {
            *linkAt = at;
            return RECORD_ON_CHAIN;
        }
        if (next == CHAIN_END)
            return RECORD_OFF_CHAIN;
        if (next <= floor || next < thread.stackLow || next > thread.stackHigh - recordSize ||
            next % 4 != 0)
            return CHAIN_UNREADABLE;
        floor = next;
        at = next;
    }
}

bool TakeOffLeftRecord(const ThreadChain& thread, uintptr_t stackMark, uintptr_t record,
                       uintptr_t link)
{
    // A record made on another stack (a fiber's) tells nothing here.
    if (record < thread.stackLow || record >= thread.stackHigh)
        return false;
    uintptr_t linkAt = 0;
    ChainFinding found = FindOnChain(thread, stackMark, record, &linkAt);
    if (found == RECORD_OFF_CHAIN)
        return true;
    if (record >= stackMark)
        return false;
    // A live record's link is never pointed at or below itself (the record
    // may have been reused since), so the chain still runs up the stack.
    if (found == RECORD_ON_CHAIN && (linkAt == thread.head || link > linkAt))
        WriteLink(linkAt, link);
    return true;
}

void TakeOffRecordOfLeftCall(const ThreadChain& thread, uintptr_t stackMark, uintptr_t record,
                             uintptr_t link)
{
    uintptr_t linkAt = 0;
    if (record >= thread.stackLow && record < thread.stackHigh &&
        FindOnChain(thread, stackMark, record, &linkAt) == RECORD_ON_CHAIN &&
        (linkAt == thread.head || link > linkAt))
        WriteLink(linkAt, link);
}

bool RecordOnChainAbove(const ThreadChain& thread, uintptr_t stackMark, uintptr_t record)
{
    // A live record lies above the one whose link names it.
    uintptr_t linkAt = 0;
    return record >= stackMark && record < thread.stackHigh &&
           FindOnChain(thread, stackMark, record, &linkAt) == RECORD_ON_CHAIN &&
           (linkAt == thread.head || record > linkAt);
}
