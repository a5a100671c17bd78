#include "settings/settings_file.h"

#include <windows.h>

#include "plugin/bounded_text.h"
#include "plugin/module_state.h"

char SettingsFilePath[SETTINGS_PATH_CAPACITY + 1];

static const char SETTINGS_SECTION[] = "Settings";
static const char PATH_SECTION[] = "Path";

static void LocateSettingsFile(void)
{
    char modulePath[SETTINGS_PATH_CAPACITY + 1];
    DWORD length = GetModuleFileNameA(ModuleInstance, modulePath, sizeof modulePath);
    // A cut module path would name some other file; use no file then, which
    // reads as the defaults and makes a save fail visibly.
    if (length == 0 || length >= sizeof modulePath ||
        !SettingsPathFromModulePath(modulePath, SettingsFilePath, sizeof SettingsFilePath))
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
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
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
