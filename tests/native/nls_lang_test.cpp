#include "runner/nls_lang.h"

#include <gtest/gtest.h>

static std::string Composed(const char* setting, const char* host, const char* characterSet)
{
    char value[27];   // "FRENCH_FRANCE.WE8MSWIN1252" fits, one byte more does not
    bool whole = ComposeNlsLang(setting, host, characterSet, value, sizeof value);
    return whole ? value : "<refused>" + std::string(value);
}

TEST(NlsLang, NamesTheCharacterSetOfTheCodePageOrTakesTheValueAsItStands)
{
    EXPECT_EQ("A.B.AL32UTF8", Composed("AUTO", "A.B.UTF8", "AL32UTF8"));
    EXPECT_EQ("AMERICAN_AMERICA.AL32UTF8", Composed("auto", "AMERICAN_AMERICA", "AL32UTF8"));
    EXPECT_EQ("automatic", Composed("automatic", NULL, NULL));
    EXPECT_EQ("<refused>", Composed("x.auto", NULL, NULL));
    EXPECT_EQ("FRENCH_FRANCE.WE8MSWIN1252", Composed("FRENCH_FRANCE.auto", NULL, "WE8MSWIN1252"));
    EXPECT_EQ("<refused>", Composed("FRENCH_FRANCE1.auto", NULL, "WE8MSWIN1252"));
}
