#include "settings/settings_path.h"

bool SettingsPathOfModule(const wchar_t* modulePath, wchar_t* settingsPath, size_t capacity)
{
    if (capacity == 0)
        return false;
    size_t length = wcsnlen(modulePath, capacity);
    const wchar_t* name = modulePath;
    for (const wchar_t* p = modulePath; p < modulePath + length; ++p)
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    const wchar_t* extension = NULL;
    for (const wchar_t* p = name; p < modulePath + length; ++p)
        if (*p == L'.')
            extension = p;
    size_t kept = extension ? static_cast<size_t>(extension - modulePath) : length;
    static const wchar_t INI[] = L".ini";
    // The module path and the new extension, with the NUL.
    if (length >= capacity || kept + (sizeof INI / sizeof INI[0]) > capacity) {
        settingsPath[0] = L'\0';
        return false;
    }
    wmemcpy(settingsPath, modulePath, kept);
    wmemcpy(settingsPath + kept, INI, sizeof INI / sizeof INI[0]);
    return true;
}
