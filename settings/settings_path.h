#ifndef TAMSIL_SETTINGS_PATH_H
#define TAMSIL_SETTINGS_PATH_H

#include <stddef.h>
#include <wchar.h>

// The settings file for a module: the module's path with the extension of
// its file name replaced by "ini", or ".ini" appended when the file name has
// no extension (a "." in a directory name is never taken for one). Decided
// here once, on the path as the platform names the module in UTF-16; the
// 8-bit name the profile calls take is derived from the result. False, with
// an empty result, when the path does not fit the capacity.
bool SettingsPathOfModule(const wchar_t* modulePath, wchar_t* settingsPath, size_t capacity);

#endif
