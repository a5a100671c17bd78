#include "settings/settings_path.h"
#include "settings/settings_values.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

TEST(SettingsFlag, ConvertsLikeASignedDecimal)
{
    EXPECT_EQ(1, FlagFromText("1"));
    EXPECT_EQ(0, FlagFromText("0"));
    EXPECT_EQ(10, FlagFromText("10"));
    EXPECT_EQ(0, FlagFromText("yes"));
    EXPECT_EQ(0, FlagFromText("tr"));   // "true" as read from two characters
    EXPECT_EQ(0, FlagFromText(""));
    EXPECT_EQ(7, FlagFromText(" 7"));
    EXPECT_EQ(-1, FlagFromText("-1"));
    EXPECT_EQ(2, FlagFromText("+2"));
    EXPECT_EQ(0, FlagFromText("-"));
    EXPECT_EQ(1, FlagFromText("1x"));
}

namespace {
std::string SettingsPath(const char* module, size_t capacity = 261)
{
    std::wstring wideModule(module, module + strlen(module));
    std::vector<wchar_t> out(capacity, L'#');
    bool ok = SettingsPathOfModule(wideModule.c_str(), out.data(), capacity);
    std::wstring result(out.data());
    std::string narrow(result.begin(), result.end());
    return ok ? narrow : "<failed:" + narrow + ">";
}
} // namespace

TEST(SettingsPath, ReplacesTheExtensionOfTheFileName)
{
    EXPECT_EQ("C:\\Editor\\PlugIns\\Tamsil.ini", SettingsPath("C:\\Editor\\PlugIns\\Tamsil.dll"));
    EXPECT_EQ("C:\\x\\Tamsil.v2.ini", SettingsPath("C:\\x\\Tamsil.v2.dll"));
    EXPECT_EQ("C:\\x\\Tamsil.ini", SettingsPath("C:\\x\\Tamsil."));
}

TEST(SettingsPath, NameWithoutExtensionGainsOneAndDirectoryDotsAreLeftAlone)
{
    EXPECT_EQ("C:\\Program Files\\Ed.it\\Tamsil.ini", SettingsPath("C:\\Program Files\\Ed.it\\Tamsil"));
    EXPECT_EQ("C:\\a.b\\c/Tamsil.ini", SettingsPath("C:\\a.b\\c/Tamsil"));
    EXPECT_EQ("Tamsil.ini", SettingsPath("Tamsil"));
}

TEST(SettingsPath, APathThatDoesNotFitGivesNothing)
{
    std::string module = "C:\\" + std::string(255, 'd') + "\\T";   // 259 characters
    EXPECT_EQ("<failed:>", SettingsPath(module.c_str()));
    // The capacity is the bound even for a short module path.
    EXPECT_EQ("<failed:>", SettingsPath("C:\\T", 6));
    EXPECT_EQ("C:\\T.ini", SettingsPath("C:\\T", 9));
    EXPECT_EQ("<failed:>", SettingsPath("C:\\T.d", 7));
    EXPECT_EQ("C:\\T.ini", SettingsPath("C:\\T.d", 9));
}
