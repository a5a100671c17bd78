#include "common/bounded_text.h"
#include "common/format_text.h"

#include <gtest/gtest.h>

#include <string.h>

TEST(BoundedText, CopyAndFormatFitOrCutAtCapacityAlwaysEndingInNul)
{
    char buffer[6];
    memset(buffer, '#', sizeof buffer);
    EXPECT_TRUE(CopyText(buffer, sizeof buffer, "abcde"));
    EXPECT_STREQ("abcde", buffer);
    EXPECT_FALSE(CopyText(buffer, sizeof buffer, "abcdef"));
    EXPECT_STREQ("abcde", buffer);
    EXPECT_FALSE(CopyText(buffer, 0, "a"));
    // So is a format (the Windows tests build this too: the system's runtime formats there).
    memset(buffer, '#', sizeof buffer);
    EXPECT_TRUE(FormatText(buffer, sizeof buffer, "%s%d", "abc", 12) && strcmp("abc12", buffer) == 0);
    EXPECT_TRUE(!FormatText(buffer, sizeof buffer, "%s%u", "abc", 123u) && strcmp("abc12", buffer) == 0);
    EXPECT_FALSE(FormatText(buffer, 0, "a"));
}

TEST(BoundedText, AppendStopsAtCapacity)
{
    char buffer[8] = "abc";
    EXPECT_TRUE(AppendText(buffer, sizeof buffer, "defg"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_FALSE(AppendText(buffer, sizeof buffer, "h"));
    EXPECT_STREQ("abcdefg", buffer);
}

TEST(BoundedText, FieldWithoutNulIsTakenWholeAndNeverReadPast)
{
    // Heap-allocated to its exact width so AddressSanitizer catches a read
    // past the field.
    char* field = new char[4];
    memcpy(field, "WXYZ", 4);
    char out[16];
    EXPECT_EQ(4u, FieldLength(field, 4));
    EXPECT_TRUE(CopyField(out, sizeof out, field, 4));
    EXPECT_STREQ("WXYZ", out);
    EXPECT_FALSE(CopyField(out, 3, field, 4));
    EXPECT_STREQ("WX", out);
    field[1] = '\0';
    EXPECT_EQ(1u, FieldLength(field, 4));
    delete[] field;
}
