#include "settings/settings_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

// Scans the first line of file as the plug-in reads it: split bytes at a
// time, what a scan leaves kept for the next.
FirstLineLead ScanInPieces(const std::string& file, size_t split)
{
    FirstLineLead lead = {0, LEAD_GOES_ON};
    std::string bytes = file.substr(0, split);
    for (size_t next = split;; next += split) {
        size_t scanned = ScanFirstLineLead(Bytes(bytes), bytes.size(), ByteOrderMarkOf(Bytes(file), file.size()), &lead);
        if (lead.End != LEAD_GOES_ON || next >= file.size())
            return lead;
        bytes = bytes.substr(scanned) + file.substr(next, split);
    }
}
} // namespace

TEST(SettingsEncoding, FindsTheMarksBeforeTheFirstSectionHeaderWhereverTheReadsSplitThem)
{
    const struct { std::string file; int marks; LeadEnd end; } rows[] = {
        {"\xEF\xBB\xBF[Settings]", 1, LEAD_SECTION}, {"\xEF\xBB\xBF \t\xEF\xBB\xBF [Settings]", 2, LEAD_SECTION},
        {"\xEF\xBB\xBF\xEF\xBB\xBF;[x]", 2, LEAD_OTHER}, {"\xEF\xBB\xBF\xEF\xBB[", 1, LEAD_OTHER},
        {"\xEF\xBB\xBF \xEF\xBB", 1, LEAD_GOES_ON}, {std::string("\xFF\xFE[\0", 4), 1, LEAD_SECTION},
        {std::string("\xFF\xFE\xFF\xFE \0\t\0[\0", 10), 2, LEAD_SECTION},
        {std::string("\xFF\xFE \0\xFF\xFE[\0", 8), 2, LEAD_SECTION},
        {std::string("\xFF\xFE\x20\x01[\0", 6), 1, LEAD_OTHER}, {std::string("\xFF\xFE\xFF\xFE[", 5), 2, LEAD_GOES_ON},
    };
    for (const auto& row : rows)
        for (size_t split = 1; split <= row.file.size(); ++split) {
            FirstLineLead lead = ScanInPieces(row.file, split);
            EXPECT_TRUE(lead.Marks == row.marks && lead.End == row.end) << row.file << " by " << split;
        }
}
