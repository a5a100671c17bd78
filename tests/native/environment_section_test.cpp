#include "settings/environment_section.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

TEST(EnvironmentSection, FindsTheFirstFaultInTheFilesOrder)
{
    static EnvironmentSection section;
    const std::string longest(ENVIRONMENT_VALUE_LIMIT, 'v'), tooLong = longest + 'v';
    const struct { std::string list; int count; const char* values[3]; EnvironmentFault fault; int key; } rows[] = {
        {std::string("TNS_ADMIN\0PATH\0", 15), 2, {"C:\\a", ""}, ENVIRONMENT_USABLE, -1},
        {std::string("A\0\0B\0", 5), 3, {"x", "", "y"}, ENVIRONMENT_KEY_UNNAMEABLE, 1},
        {std::string("A\0=B\0", 5), 2, {"x", "y"}, ENVIRONMENT_KEY_UNNAMEABLE, 1},
        {std::string("A\0B\0C\0", 6), 3, {longest.c_str(), tooLong.c_str(), ""}, ENVIRONMENT_VALUE_TOO_LONG, 1},
        {std::string("A\0B\0C\0", 6), -1, {}, ENVIRONMENT_SECTION_FULL, -1},
        {std::string(4000, 'K') + '\0', 1, {""}, ENVIRONMENT_USABLE, -1},
        {std::string(2000, 'K') + '\0' + std::string(2001, 'L') + '\0', 2, {"", ""}, ENVIRONMENT_SECTION_FULL, -1},
    };
    for (const auto& row : rows) {
        memcpy(section.Names, row.list.c_str(), row.list.size() + 1);
        section.Count = SplitKeyList(section.Names, row.list.size(), section.Keys, row.count < 0 ? 2 : 32);
        ASSERT_EQ(row.count, section.Count) << row.list;
        for (int i = 0; i < row.count; ++i)
            strcpy(section.Values[i], row.values[i]);
        int key = 7;
        EXPECT_EQ(row.fault, FindEnvironmentFault(&section, &key)) << row.list;
        EXPECT_EQ(row.key, key) << row.list;
    }
}
