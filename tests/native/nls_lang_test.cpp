#include "runner/nls_lang.h"

#include <gtest/gtest.h>

#include <string>

TEST(NlsLang, NamesTheCharacterSetOfTheCodePageOrTakesTheValueAsItStands)
{
    const struct { const char* setting; const char* host; const char* characterSet; size_t capacity;
                   const char* value; } cases[] = {
        {"auto", "GERMAN_GERMANY.AL32UTF8", "WE8MSWIN1252", 64, "GERMAN_GERMANY.WE8MSWIN1252"},
        {"AUTO", "AMERICAN_AMERICA", "AL32UTF8", 64, "AMERICAN_AMERICA.AL32UTF8"},
        {"auto", "A.B.UTF8", "AL32UTF8", 64, "A.B.AL32UTF8"},
        {"auto", NULL, "WE8MSWIN1252", 64, ".WE8MSWIN1252"},
        {"French_France.Auto", "GERMAN_GERMANY.UTF8", "WE8MSWIN1252", 27, "French_France.WE8MSWIN1252"},
        {"AMERICAN_AMERICA.AL32UTF8", "GERMAN_GERMANY.UTF8", NULL, 64, "AMERICAN_AMERICA.AL32UTF8"},
        {"automatic", NULL, NULL, 64, "automatic"},
        // Refused: no character set known, or a value that does not fit.
        {"x.auto", NULL, NULL, 64, "<refused>"},
        {"French_France.auto", NULL, "WE8MSWIN1252", 26, "<refused>"},
    };
    for (const auto& c : cases) {
        char value[64];
        bool whole = ComposeNlsLang(c.setting, c.host, c.characterSet, value, c.capacity);
        EXPECT_EQ(c.value, whole ? std::string(value) : "<refused>" + std::string(value)) << c.setting;
    }
    EXPECT_STREQ("JA16SJISTILDE", CharacterSetOfCodePage(932));
    EXPECT_STREQ("AL32UTF8", CharacterSetOfCodePage(65001));
    EXPECT_EQ(NULL, CharacterSetOfCodePage(437));
}
