#include "settings/settings_file.h"

#include <windows.h>

#include <string.h>

#include "common/bounded_text.h"
#include "common/format_text.h"
#include "platform/eight_bit_path.h"
#include "platform/held_file.h"
#include "platform/system_error.h"
#include "plugin/module_state.h"
#include "settings/settings_path.h"
#include "settings/settings_values.h"

char SettingsFilePath[PATH_CAPACITY + 1];
SettingsRecord PluginSettings;
EnvironmentSection EnvironmentSettings;

static const char SETTINGS_SECTION[] = "Settings";
static const char PATH_SECTION[] = "Path";
static const char ENVIRONMENT_SECTION[] = "Environment";

static const char CANNOT_READ[] = "Cannot read the settings file %s\nERROR: %d\nMSG:%s\n";
static const char UTF8_BYTE_ORDER_MARK[] =
    "The settings file %s begins with a UTF-8 byte-order mark, which Windows does not read: "
    "the settings of its first section would be ignored.\nSave it without the mark (as ANSI).\n";
static const char UNREAD_ENCODING[] =
    "The settings file %s is saved as %s, which Windows does not read: every setting would take "
    "its default.\nSave it as ANSI or as Unicode (UTF-16 little-endian).\n";

// Why there is no settings file path, for the save to report.
static DWORD NoSettingsFileError = ERROR_FILENAME_EXCED_RANGE;

// The settings file as the platform names it in UTF-16, with room for the
// extension to be replaced by a longer one; empty when it is not known.
static wchar_t WideSettingsPath[PATH_CAPACITY + 5];

// The settings file's path is decided once, in UTF-16, for the existence
// check and the opening that holds the file; the 8-bit path every profile
// read and write takes is derived from it, so both always name one file.
static void LocateSettingsFile(void)
{
    wchar_t modulePath[PATH_CAPACITY + 1];
    DWORD length = GetModuleFileNameW(ModuleInstance, modulePath, ARRAYSIZE(modulePath));
    bool whole = length > 0 && length < ARRAYSIZE(modulePath) &&
                 SettingsPathOfModule(modulePath, WideSettingsPath, ARRAYSIZE(WideSettingsPath));
    if (!whole)
        WideSettingsPath[0] = L'\0';
    // A cut module path would name some other file, and a folder or name that
    // has no 8-bit path cannot be named at all; use no file then, which reads
    // as the defaults when there is no file and makes a save fail visibly.
    bool named = whole && EightBitPath(WideSettingsPath, SettingsFilePath, sizeof SettingsFilePath);
    NoSettingsFileError = !named && GetLastError() == ERROR_NO_UNICODE_TRANSLATION
                              ? ERROR_NO_UNICODE_TRANSLATION
                              : ERROR_FILENAME_EXCED_RANGE;
    if (!named)
        SettingsFilePath[0] = '\0';
}

static int ReadFlag(const char* key)
{
    char text[SETTINGS_FLAG_CAPACITY];
    GetPrivateProfileStringA(SETTINGS_SECTION, key, "0", text, sizeof text, SettingsFilePath);
    return FlagFromText(text);
}

// Reads one text setting, cut to its capacity; false when it was cut. A
// value saved in one more pair of quotes is stored two bytes longer than it
// loads: the reader is given room for them, since it may cut before it
// drops them.
static bool ReadText(const char* section, const char* key, const char* fallback,
                     char* text, size_t capacity)
{
    char stored[SETTINGS_TEXT_CAPACITY + 2];
    GetPrivateProfileStringA(section, key, fallback, stored, sizeof stored, SettingsFilePath);
    return CopyText(text, capacity, stored);
}

// Lists the keys of [Environment], then reads each value by its key, so
// that a value reads as every other setting does.
static void ReadEnvironment(void)
{
    EnvironmentSection& e = EnvironmentSettings;
    e.Count = 0;
    // With no path the platform would read some other file. A section that
    // is missing or holds no line is nothing to read.
    char firstBytes[4];
    if (SettingsFilePath[0] == '\0' ||
        GetPrivateProfileSectionA(ENVIRONMENT_SECTION, firstBytes, sizeof firstBytes,
                                  SettingsFilePath) == 0)
        return;
    DWORD length = GetPrivateProfileStringA(ENVIRONMENT_SECTION, NULL, "", e.Names, sizeof e.Names,
                                            SettingsFilePath);
    e.Count = length >= sizeof e.Names - 2
                  ? -1
                  : SplitKeyList(e.Names, length, e.Keys, ENVIRONMENT_VARIABLE_LIMIT);
    // The list of keys ends at an empty key (a line "=value") when that
    // comes first, so it lists none: such a section is refused for the key
    // that names no variable, never taken for an empty one.
    if (length == 0) {
        e.Names[0] = '\0';
        e.Keys[0] = e.Names;
        e.Count = 1;
    }
    for (int i = 0; i < e.Count; ++i) {
        e.Values[i][0] = '\0';
        if (e.Keys[i][0] != '\0')
            GetPrivateProfileStringA(ENVIRONMENT_SECTION, e.Keys[i], "", e.Values[i],
                                     sizeof e.Values[i], SettingsFilePath);
    }
}

// The settings file's path as the messages show it.
static void ShownSettingsPath(char* shown, size_t capacity)
{
    if (SettingsFilePath[0] != '\0')
        CopyText(shown, capacity, SettingsFilePath);
    else
        PathAsShown(WideSettingsPath, shown, capacity);
}

// Formats into TextBuffer why the settings file cannot be read: the path,
// the last error's code and its text.
static SettingsLoad RefuseUnreadable(void)
{
    char systemText[SYSTEM_ERROR_TEXT_CAPACITY];
    int code = SystemErrorText(systemText, sizeof systemText);
    char shown[PATH_CAPACITY + 1];
    ShownSettingsPath(shown, sizeof shown);
    FormatText(TextBuffer, sizeof TextBuffer, CANNOT_READ, shown, code, systemText);
    return SETTINGS_UNREADABLE;
}

// True when a file that is not a folder is there, or may be: only "no such
// file" is taken for none.
static bool SettingsFileExists(void)
{
    DWORD attributes = WideSettingsPath[0] ? GetFileAttributesW(WideSettingsPath)
                                           : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    DWORD error = WideSettingsPath[0] ? GetLastError() : ERROR_FILE_NOT_FOUND;
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
           error != ERROR_INVALID_NAME;
}

// The name of the encoding a file that begins with these bytes is saved in,
// when Windows reads no setting of it; NULL when it reads the file as text.
// FE FF is UTF-16 big-endian; FF FE 00 00 and 00 00 FE FF are UTF-32 (the
// first begins with the UTF-16 little-endian mark, but no setting of it is
// read); any other file with a NUL in either of its first two bytes is
// UTF-16 without a mark, of which neither Windows nor Wine reads a setting.
// A file shorter than 4 bytes holds no setting in any encoding: only FE FF
// is refused among them, as it always was, and FF FE alone is an empty
// UTF-16 little-endian file.
static const char* UnreadEncoding(const unsigned char* bytes, DWORD length)
{
    if (length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return "UTF-16 big-endian";
    if (length < 4)
        return NULL;
    if (memcmp(bytes, "\xFF\xFE\0\0", 4) == 0 || memcmp(bytes, "\0\0\xFE\xFF", 4) == 0)
        return "UTF-32";
    if (bytes[0] == 0 || bytes[1] == 0)
        return "UTF-16 without a byte-order mark";
    return NULL;
}

// Whether a UTF-8 byte-order mark is followed by a section header on its
// line, which the profile reader would not take for one: the rest of the
// line after the mark is read from the file, after the bytes given.
static bool HeaderAfterUtf8Mark(HANDLE file, const unsigned char* after, DWORD length,
                                bool* marked)
{
    unsigned char bytes[64];
    for (;;) {
        for (DWORD i = 0; i < length; ++i) {
            if (after[i] != ' ' && after[i] != '\t') {
                *marked = after[i] == '[';
                return true;
            }
        }
        if (!ReadFile(file, bytes, sizeof bytes, &length, NULL))
            return false;
        if (length == 0) {
            *marked = false;
            return true;
        }
        after = bytes;
    }
}

// Refuses, with the text to show in TextBuffer, a file the profile reader
// would read wrong: one in an encoding of which Windows reads nothing, or
// one with a UTF-8 mark before its first section header, whose first
// section it would ignore. SETTINGS_LOADED when the file may be read.
static SettingsLoad CheckEncoding(HANDLE file)
{
    unsigned char first[4];
    DWORD length = 0;
    if (!ReadFile(file, first, sizeof first, &length, NULL))
        return RefuseUnreadable();
    char shown[PATH_CAPACITY + 1];
    ShownSettingsPath(shown, sizeof shown);
    if (const char* encoding = UnreadEncoding(first, length)) {
        FormatText(TextBuffer, sizeof TextBuffer, UNREAD_ENCODING, shown, encoding);
        return SETTINGS_UNREAD_ENCODING;
    }
    bool marked = false;
    if (length >= 3 && memcmp(first, "\xEF\xBB\xBF", 3) == 0 &&
        !HeaderAfterUtf8Mark(file, first + 3, length - 3, &marked))
        return RefuseUnreadable();
    if (!marked)
        return SETTINGS_LOADED;
    FormatText(TextBuffer, sizeof TextBuffer, UTF8_BYTE_ORDER_MARK, shown);
    return SETTINGS_UTF8_BYTE_ORDER_MARK;
}

static void ReadSettings(void)
{
    SettingsRecord& s = PluginSettings;
    ReadText(SETTINGS_SECTION, "Options", "", s.Options, sizeof s.Options);
    ReadText(SETTINGS_SECTION, "ConnectString", "", s.ConnectString, sizeof s.ConnectString);
    s.ReadOnly = ReadFlag("ReadOnly");
    s.DeleteTemp = ReadFlag("DeleteTemp");
    s.HidePassword = ReadFlag("HidePassword");
    s.ShowExitCode = ReadFlag("ShowExitCode");
    ReadText(PATH_SECTION, "SqlPlus", SETTINGS_DEFAULT_SQLPLUS, s.SqlPlus, sizeof s.SqlPlus);
    // A cleared field in the dialog is saved as an empty value.
    if (s.SqlPlus[0] == '\0')
        CopyText(s.SqlPlus, sizeof s.SqlPlus, SETTINGS_DEFAULT_SQLPLUS);
    ReadText(PATH_SECTION, "WorkingDirectory", "", s.WorkingDirectory, sizeof s.WorkingDirectory);
    s.NlsLangTooLong = !ReadText(SETTINGS_SECTION, "NlsLang", "", s.NlsLang, sizeof s.NlsLang);
    ReadEnvironment();
}

SettingsLoad LoadSettings(void)
{
    LocateSettingsFile();
    if (!SettingsFileExists()) {
        ReadSettings();
        return SETTINGS_LOADED;
    }
    if (SettingsFilePath[0] == '\0') {
        SetLastError(NoSettingsFileError);
        return RefuseUnreadable();
    }
    // Held open, sharing reading and writing, until every setting is read:
    // no other program can lock it between this check and the reads.
    HeldFileRetry retry = {};
    HANDLE file;
    do
        file = CreateFileW(WideSettingsPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    while (file == INVALID_HANDLE_VALUE && RetryHeldFile(&retry));
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        // Deleted since it was seen: no file.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            ReadSettings();
            return SETTINGS_LOADED;
        }
        return RefuseUnreadable();
    }
    SettingsLoad loaded = CheckEncoding(file);
    if (loaded == SETTINGS_LOADED)
        ReadSettings();
    CloseHandle(file);
    return loaded;
}

// Writes one text setting so that loading gives it back as it is.
static bool WriteText(const char* section, const char* key, const char* value)
{
    char stored[SETTINGS_TEXT_CAPACITY + 2];
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
