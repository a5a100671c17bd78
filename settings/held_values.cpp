#include "settings/held_values.h"

#include <windows.h>

#include "common/format_text.h"
#include "platform/eight_bit_path.h"
#include "settings/environment_section.h"

static const wchar_t* CheckedPath;
static char FirstUnheld[ENVIRONMENT_NAMES_CAPACITY + 16];

// A value or a list of names as read in UTF-16, and the section and key it
// was read by: no read is given more room than [Environment] takes.
static wchar_t WideText[ENVIRONMENT_VALUE_CAPACITY];
static wchar_t WideSection[32];
static wchar_t WideKey[ENVIRONMENT_NAMES_CAPACITY];

void StartHeldValueChecks(const wchar_t* path, bool unicode)
{
    CheckedPath = unicode ? path : NULL;
    FirstUnheld[0] = '\0';
}

// Reads in UTF-16 what the 8-bit read of section and key (NULL: the list of
// names) took, as far as capacity; false when there is nothing to check.
// The names are the plug-in's own, or names already checked, which the code
// page holds: they read the same keys in UTF-16.
static bool ReadWide(const char* section, const char* key, size_t capacity)
{
    if (CheckedPath == NULL || FirstUnheld[0] != '\0')
        return false;
    if (capacity > ARRAYSIZE(WideText))
        capacity = ARRAYSIZE(WideText);
    if (!MultiByteToWideChar(CP_ACP, 0, section, -1, WideSection, ARRAYSIZE(WideSection)) ||
        (key && !MultiByteToWideChar(CP_ACP, 0, key, -1, WideKey, ARRAYSIZE(WideKey))))
        return false;
    // A value ends in a NUL, and a list, cut or not, in two.
    GetPrivateProfileStringW(WideSection, key ? WideKey : NULL, L"", WideText,
                             static_cast<DWORD>(capacity), CheckedPath);
    return true;
}

void CheckValueHeld(const char* section, const char* key, size_t capacity)
{
    if (ReadWide(section, key, capacity) && !HeldBySystemCodePage(WideText))
        FormatText(FirstUnheld, sizeof FirstUnheld, "[%s] %s", section, key);
}

void CheckKeyNamesHeld(const char* section, size_t capacity)
{
    if (!ReadWide(section, NULL, capacity))
        return;
    for (const wchar_t* name = WideText; *name; name += wcslen(name) + 1) {
        if (!HeldBySystemCodePage(name)) {
            FormatText(FirstUnheld, sizeof FirstUnheld, "[%s]", section);
            return;
        }
    }
}

const char* FirstUnheldSetting(void)
{
    return FirstUnheld[0] != '\0' ? FirstUnheld : NULL;
}
