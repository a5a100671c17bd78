#include "settings/settings_file.h"

#include <windows.h>

#include "platform/eight_bit_path.h"
#include "plugin/bounded_text.h"
#include "plugin/module_state.h"

char SettingsFilePath[SETTINGS_PATH_CAPACITY + 1];

static const char SETTINGS_SECTION[] = "Settings";
static const char PATH_SECTION[] = "Path";

// Why there is no settings file path, for the save to report.
static DWORD NoSettingsFileError = ERROR_FILENAME_EXCED_RANGE;

static void LocateSettingsFile(void)
{
    wchar_t wideModulePath[SETTINGS_PATH_CAPACITY + 1];
    char modulePath[SETTINGS_PATH_CAPACITY + 1];
    DWORD length = GetModuleFileNameW(ModuleInstance, wideModulePath, ARRAYSIZE(wideModulePath));
    // A cut module path would name some other file, and a folder that has no
    // 8-bit path cannot be named at all; use no file then, which reads as the
    // defaults and makes a save fail visibly.
    bool named = length > 0 && length < ARRAYSIZE(wideModulePath) &&
                 EightBitPath(wideModulePath, modulePath, sizeof modulePath);
    NoSettingsFileError = !named && GetLastError() == ERROR_NO_UNICODE_TRANSLATION
                              ? ERROR_NO_UNICODE_TRANSLATION
                              : ERROR_FILENAME_EXCED_RANGE;
    if (!named || !SettingsPathFromModulePath(modulePath, SettingsFilePath, sizeof SettingsFilePath))
        SettingsFilePath[0] = '\0';
}

static int ReadFlag(const char* key)
{
    char text[SETTINGS_FLAG_CAPACITY];
    GetPrivateProfileStringA(SETTINGS_SECTION, key, "0", text, sizeof text, SettingsFilePath);
    return FlagFromText(text);
}

// Reads one text setting, cut to its capacity. A value saved in one more
// pair of quotes is stored two bytes longer than it loads: the reader is
// given room for them, since it may cut before it drops them.
static void ReadText(const char* section, const char* key, const char* fallback,
                     char* text, size_t capacity)
{
    char stored[SETTINGS_PATH_CAPACITY + 2];
    GetPrivateProfileStringA(section, key, fallback, stored, sizeof stored, SettingsFilePath);
    CopyText(text, capacity, stored);
}

void LoadSettings(void)
{
    LocateSettingsFile();
    SettingsRecord& s = PluginSettings;
    ReadText(SETTINGS_SECTION, "Options", "", s.Options, sizeof s.Options);
    ReadText(SETTINGS_SECTION, "ConnectString", "", s.ConnectString, sizeof s.ConnectString);
    s.ReadOnly = ReadFlag("ReadOnly");
    s.DeleteTemp = ReadFlag("DeleteTemp");
    s.HidePassword = ReadFlag("HidePassword");
    ReadText(PATH_SECTION, "SqlPlus", SETTINGS_DEFAULT_SQLPLUS, s.SqlPlus, sizeof s.SqlPlus);
    // A cleared field in the dialog is saved as an empty value.
    if (s.SqlPlus[0] == '\0')
        CopyText(s.SqlPlus, sizeof s.SqlPlus, SETTINGS_DEFAULT_SQLPLUS);
    ReadText(PATH_SECTION, "WorkingDirectory", "", s.WorkingDirectory, sizeof s.WorkingDirectory);
    ReadText(SETTINGS_SECTION, "NlsLang", "", s.NlsLang, sizeof s.NlsLang);
}

// Writes one text setting so that loading gives it back as it is.
static bool WriteText(const char* section, const char* key, const char* value)
{
    char stored[SETTINGS_PATH_CAPACITY + 2];
    if (!ValueToStore(value, stored, sizeof stored)) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    return WritePrivateProfileStringA(section, key, stored, SettingsFilePath) != 0;
}

bool SaveSettings(void)
{
    if (SettingsFilePath[0] == '\0') {
        SetLastError(NoSettingsFileError);
        return false;
    }
    const SettingsRecord& s = PluginSettings;
    return WritePrivateProfileStringA(SETTINGS_SECTION, "ReadOnly", FlagToText(s.ReadOnly),
                                      SettingsFilePath) &&
           WritePrivateProfileStringA(SETTINGS_SECTION, "DeleteTemp", FlagToText(s.DeleteTemp),
                                      SettingsFilePath) &&
           WriteText(SETTINGS_SECTION, "Options", s.Options) &&
           WriteText(SETTINGS_SECTION, "ConnectString", s.ConnectString) &&
           WriteText(PATH_SECTION, "WorkingDirectory", s.WorkingDirectory) &&
           WriteText(PATH_SECTION, "SqlPlus", s.SqlPlus);
}
