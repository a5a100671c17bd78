#include "platform/exception_chain.h"

#include <gtest/gtest.h>

#include <vector>

// A stack of 32 words, word 0 the deepest (the lowest address), on the heap
// so that AddressSanitizer stops any read outside it; the word past its top
// holds the thread's head. A record is two words from the one named; a link
// names a word, the end, or word 20's third byte. The left record's frame is
// gone when it lies below the mark, word 8.
TEST(ExceptionChain, ALeftRecordIsTakenOffWhereALiveLinkNamesItAndACorruptChainIsNeverFollowed)
{
    enum { WORDS = 32, HEAD = WORDS, MARK = 8, END = -1, OUT_OF_LINE = -2, NONE = -3 };
    // The links; the left record, its kept link; whether it was taken off, and the link then set to the kept one.
    const struct { const char* shape; std::vector<std::vector<int>> links; int left, kept; bool taken; int set; } rows[] = {
        {"left, heading the chain", {{HEAD, 4}, {4, 6}, {16, END}}, 4, 16, true, HEAD},
        {"left, after a live record", {{HEAD, 12}, {12, 4}, {4, 6}, {16, END}}, 4, 16, true, 12},
        {"left, after a live record reused at its kept link", {{HEAD, 12}, {12, 4}}, 4, 12, true, NONE},
        {"left, after a record gone too", {{HEAD, 2}, {2, 4}, {4, 16}, {16, END}}, 4, 16, true, NONE},
        {"off the chain, up to the stack's top", {{HEAD, 12}, {12, WORDS - 2}, {WORDS - 2, END}}, 18, 24, true, NONE},
        {"off a chain that turns down", {{HEAD, 12}, {12, 10}, {10, END}}, 18, 24, false, NONE},
        {"off a chain that loops", {{HEAD, 12}, {12, 12}}, 18, 24, false, NONE},
        {"off a chain whose record ends past the stack", {{HEAD, 12}, {12, WORDS - 1}, {WORDS - 1, END}}, 18, 24, false, NONE},
        {"off a chain out of line", {{HEAD, 12}, {12, OUT_OF_LINE}, {20, END}, {21, END}}, 18, 24, false, NONE},
        {"made on another stack", {{HEAD, 24}, {24, END}}, WORDS, 24, false, NONE}};
    for (const auto& row : rows) {
        std::vector<uintptr_t> words(WORDS + 1), wordsAfter(WORDS + 1);
        auto at = [&](int word) { return word == END ? CHAIN_END : reinterpret_cast<uintptr_t>(&words[word == OUT_OF_LINE ? 20 : word]) + (word == OUT_OF_LINE) * 2; };
        for (const auto& link : row.links) words[link[0]] = wordsAfter[link[0]] = at(link[1]);
        if (row.set != NONE) wordsAfter[row.set] = at(row.kept);
        EXPECT_EQ(row.taken, TakeOffLeftRecord({at(HEAD), at(0), at(WORDS)}, at(MARK), at(row.left), at(row.kept))) << row.shape;
        EXPECT_EQ(wordsAfter, words) << row.shape;
    }
}

// A call runs under the caller while its record is on the chain above the
// mark, read through live records only, each above the link naming it.
TEST(ExceptionChain, ARecordRunsAboveTheMarkOnlyOnAChainOfLiveRecordsInOrder)
{
    enum { WORDS = 32, HEAD = WORDS, MARK = 8 };
    // The records on the chain from its head, and the one asked about.
    const struct { std::vector<int> chain; int record; bool runs; } rows[] = {
        {{12}, 12, true}, {{10, 12}, 12, true}, {{4}, 4, false}, {{10}, 12, false}, {{4, 12}, 12, false}, {{14, 12}, 12, false}};
    for (const auto& row : rows) {
        std::vector<uintptr_t> words(WORDS + 1);
        auto at = [&](int word) { return reinterpret_cast<uintptr_t>(&words[word]); };
        int link = HEAD;
        for (int word : row.chain) words[link] = at(word), link = word;
        words[link] = CHAIN_END;
        EXPECT_EQ(row.runs, RecordOnChainAbove({at(HEAD), at(0), at(WORDS)}, at(MARK), at(row.record))) << testing::PrintToString(row.chain);
    }
}
