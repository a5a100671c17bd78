#include "client/nls_lang_composition.h"

#include <string.h>

#include "common/bounded_text.h"

static const struct
{
    unsigned codePage;
    const char* characterSet;
} CHARACTER_SETS[] = {
    {874, "TH8TISASCII"},    {932, "JA16SJISTILDE"},  {936, "ZHS16GBK"},
    {949, "KO16MSWIN949"},   {950, "ZHT16MSWIN950"},  {1250, "EE8MSWIN1250"},
    {1251, "CL8MSWIN1251"},  {1252, "WE8MSWIN1252"},  {1253, "EL8MSWIN1253"},
    {1254, "TR8MSWIN1254"},  {1255, "IW8MSWIN1255"},  {1256, "AR8MSWIN1256"},
    {1257, "BLT8MSWIN1257"}, {1258, "VN8MSWIN1258"},  {65001, "AL32UTF8"},
};

const char* CharacterSetOfCodePage(unsigned codePage)
{
    for (const auto& entry : CHARACTER_SETS) {
        if (entry.codePage == codePage)
            return entry.characterSet;
    }
    return NULL;
}

// True when text is word in any case; word is in lower case. Only ASCII
// letters are folded, whatever the C locale says.
static bool IsWord(const char* text, const char* word)
{
    for (; *word; ++text, ++word) {
        char c = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text - 'A' + 'a') : *text;
        if (c != *word)
            return false;
    }
    return *text == '\0';
}

// True when setting ends in ".auto"; before is the length of the part
// before it.
static bool EndsInAuto(const char* setting, size_t* before)
{
    *before = strlen(setting);
    if (*before < 5 || !IsWord(setting + *before - 5, ".auto"))
        return false;
    *before -= 5;
    return true;
}

bool NlsLangAsksForCodePage(const char* setting)
{
    size_t before;
    return IsWord(setting, "auto") || EndsInAuto(setting, &before);
}

bool NamesNlsLang(const char* name)
{
    return IsWord(name, "nls_lang");
}

bool ComposeNlsLang(const char* setting, const char* hostValue, const char* characterSet,
                    char* value, size_t capacity)
{
    bool whole;
    if (!NlsLangAsksForCodePage(setting)) {
        whole = CopyText(value, capacity, setting);
    } else {
        const char* language = setting;
        size_t length;
        if (!EndsInAuto(setting, &length)) {
            language = hostValue ? hostValue : "";
            const char* dot = strrchr(language, '.');
            length = dot ? static_cast<size_t>(dot - language) : strlen(language);
        }
        whole = characterSet && CopyField(value, capacity, language, length) &&
                AppendText(value, capacity, ".") && AppendText(value, capacity, characterSet);
    }
    if (!whole && capacity > 0)
        value[0] = '\0';
    return whole;
}
