#include "platform/exception_chain.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// A stack of 32 words, word 0 the deepest (the lowest address), on the heap
// so that AddressSanitizer stops any read outside it. A record is two words
// from the one named; a link names a word, the end, or word 20's third byte.
// The left record's frame is gone when it lies below the mark.
TEST(ExceptionChain, ALeftRecordIsTakenOffWhereALiveLinkNamesItAndACorruptChainIsNeverFollowed)
{
    enum { WORDS = 32, END = -1, OUT_OF_LINE = -2, HEAD = -3, NONE = -4 };
    // A record and where it links; the left record, its kept link, the mark; the link set to the kept one.
    const struct { const char* shape; int head; std::vector<std::pair<int, int>> links;
                   int left, kept, mark; bool wasLeft; int written; } rows[] = {
        {"left, heading the chain", 4, {{4, 6}, {16, END}}, 4, 16, 8, true, HEAD},
        {"left, after a live record", 12, {{12, 4}, {4, 6}, {16, END}}, 4, 16, 8, true, 12},
        {"left, after a live record reused at its kept link", 12, {{12, 4}}, 4, 12, 8, true, NONE},
        {"left, after a record gone too", 2, {{2, 4}, {4, 16}, {16, END}}, 4, 16, 8, true, NONE},
        {"off the chain, up to the stack's top", 12, {{12, WORDS - 2}, {WORDS - 2, END}}, 18, 24, 8, true, NONE},
        {"off a chain that turns down", 12, {{12, 10}, {10, END}}, 18, 24, 8, false, NONE},
        {"off a chain that loops", 12, {{12, 12}}, 18, 24, 8, false, NONE},
        {"off a chain whose record ends past the stack", 12, {{12, WORDS - 1}, {WORDS - 1, END}}, 18, 24, 8, false, NONE},
        {"off a chain out of line", 12, {{12, OUT_OF_LINE}, {20, END}, {21, END}}, 18, 24, 8, false, NONE},
        {"made on another stack", 24, {{24, END}}, WORDS, 24, 8, false, NONE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shape);
        std::vector<uintptr_t> words(WORDS), wordsAfter(WORDS);
        uintptr_t base = reinterpret_cast<uintptr_t>(words.data());
        auto at = [&](int word) { return word == END ? CHAIN_END : base + (word == OUT_OF_LINE ? 20 * sizeof(uintptr_t) + 2 : word * sizeof(uintptr_t)); };
        uintptr_t head = at(row.head), headAfter = row.written == HEAD ? at(row.kept) : head;
        for (const auto& link : row.links)
            words[link.first] = wordsAfter[link.first] = at(link.second);
        if (row.written >= 0)
            wordsAfter[row.written] = at(row.kept);
        EXPECT_EQ(row.wasLeft, TakeOffLeftRecord({reinterpret_cast<uintptr_t>(&head), base, at(WORDS)}, at(row.mark), at(row.left), at(row.kept)));
        EXPECT_TRUE(head == headAfter && words == wordsAfter);
    }
}
