#include "run/run_settings.h"

#include <string.h>

#include "common/bounded_text.h"

// Drops the blanks and tabs at both ends of text, in place.
static void TrimBlanks(char* text)
{
    size_t start = 0;
    while (IsBlank(text[start]))
        ++start;
    size_t end = strlen(text);
    while (end > start && IsBlank(text[end - 1]))
        --end;
    memmove(text, text + start, end - start);
    text[end - start] = '\0';
}

// Drops one pair of double quotes that encloses the whole text, in place.
static void DropEnclosingQuotes(char* text)
{
    size_t length = strlen(text);
    if (length < 2 || text[0] != '"' || text[length - 1] != '"')
        return;
    memmove(text, text + 1, length - 2);
    text[length - 2] = '\0';
}

void TakeSettingsForRun(SettingsRecord* settings)
{
    TrimBlanks(settings->SqlPlus);
    if (settings->SqlPlus[0] == '\0')
        CopyText(settings->SqlPlus, sizeof settings->SqlPlus, SETTINGS_DEFAULT_SQLPLUS);
    TrimBlanks(settings->ConnectString);
    TrimBlanks(settings->WorkingDirectory);
    DropEnclosingQuotes(settings->WorkingDirectory);
}
