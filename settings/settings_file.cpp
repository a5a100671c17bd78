#include "settings/settings_file.h"

#include <windows.h>

#include <string.h>

#include "common/bounded_text.h"
#include "common/format_text.h"
#include "platform/eight_bit_path.h"
#include "platform/held_file.h"
#include "platform/system_error.h"
#include "plugin/module_state.h"
#include "settings/held_values.h"
#include "settings/settings_encoding.h"
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
static const char SECOND_BYTE_ORDER_MARK[] =
    "The settings file %s holds a byte-order mark before the name of its first section, which "
    "Windows reads as part of the name: the settings of that section would be ignored.\nSave it "
    "without that mark.\n";
static const char UNHELD_CHARACTERS[] =
    "The settings file %s holds, in %s, characters that the system code page cannot hold: "
    "Windows would read them as other characters.\nUse characters of the system code page "
    "there, or a folder's short name (dir /x shows it).\n";

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
    CheckValueHeld(SETTINGS_SECTION, key, sizeof text);
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
    CheckValueHeld(section, key, sizeof stored);
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
    CheckKeyNamesHeld(ENVIRONMENT_SECTION, sizeof e.Names);
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
        if (e.Keys[i][0] == '\0')
            continue;
        GetPrivateProfileStringA(ENVIRONMENT_SECTION, e.Keys[i], "", e.Values[i],
                                 sizeof e.Values[i], SettingsFilePath);
        CheckValueHeld(ENVIRONMENT_SECTION, e.Keys[i], sizeof e.Values[i]);
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

// Scans the lines of a file with a mark up to its first section header,
// reading on past its head as needed. The profile reader skips the file's
// first mark alone: a mark that begins a later line (files joined
// together) hides that line's header too, so the marks of a later line are
// counted after the file's own. *laterLine tells whether the header is on
// a later line.
static bool ScanLeadOfFirstSection(HANDLE file, unsigned char (&head)[SETTINGS_HEAD_CAPACITY],
                                   DWORD length, SettingsFileMark mark, FirstLineLead* lead,
                                   bool* laterLine)
{
    const DWORD unit = mark == MARK_UTF16 ? 2 : 1;
    bool skipping = false;   // through a line that is no section header
    DWORD at = 0;
    lead->Marks = 0;
    for (;;) {
        while (skipping && length - at >= unit) {
            skipping = head[at] != '\n' || (unit == 2 && head[at + 1] != 0);
            at += unit;
            if (!skipping) {
                *laterLine = true;
                lead->Marks = 1;
            }
        }
        if (!skipping) {
            at += static_cast<DWORD>(ScanFirstLineLead(head + at, length - at, mark, lead));
            if (lead->End == LEAD_SECTION)
                return true;
            skipping = lead->End == LEAD_OTHER;
            if (skipping)
                continue;
        }
        // What is left is a part of a mark or character, for the bytes after.
        DWORD left = length - at, read;
        memmove(head, head + at, left);
        if (!ReadFile(file, head + left, sizeof head - left, &read, NULL))
            return false;
        if (read == 0) {
            lead->End = LEAD_OTHER;
            return true;
        }
        length = left + read;
        at = 0;
    }
}

// Refuses, with the text to show in TextBuffer, a file the profile reader
// would read wrong: one in an encoding of which Windows reads nothing, or
// one with a mark before its first section header that it takes for part
// of the header's line (a UTF-8 mark, or a second mark after the first),
// whose first section it would ignore. SETTINGS_LOADED when the file may be
// read; *unicode then tells whether it is read as Unicode.
static SettingsLoad CheckEncoding(HANDLE file, bool* unicode)
{
    unsigned char head[SETTINGS_HEAD_CAPACITY];
    DWORD length = 0;
    // A file's read stops short of the bytes asked for only at its end.
    if (!ReadFile(file, head, sizeof head, &length, NULL))
        return RefuseUnreadable();
    char shown[PATH_CAPACITY + 1];
    ShownSettingsPath(shown, sizeof shown);
    if (const char* encoding = UnreadEncoding(head, length)) {
        FormatText(TextBuffer, sizeof TextBuffer, UNREAD_ENCODING, shown, encoding);
        return SETTINGS_UNREAD_ENCODING;
    }
    SettingsFileMark mark = ByteOrderMarkOf(head, length);
    *unicode = mark == MARK_UTF16;
    FirstLineLead lead = {0, LEAD_OTHER};
    bool laterLine = false;
    if (mark != MARK_NONE && !ScanLeadOfFirstSection(file, head, length, mark, &lead, &laterLine))
        return RefuseUnreadable();
    // One mark is the file's own, read as part of the first line in UTF-8.
    if (lead.End != LEAD_SECTION || (lead.Marks < 2 && (mark == MARK_UTF16 || laterLine)))
        return SETTINGS_LOADED;
    if (lead.Marks >= 2) {
        FormatText(TextBuffer, sizeof TextBuffer, SECOND_BYTE_ORDER_MARK, shown);
        return SETTINGS_SECOND_BYTE_ORDER_MARK;
    }
    FormatText(TextBuffer, sizeof TextBuffer, UTF8_BYTE_ORDER_MARK, shown);
    return SETTINGS_UTF8_BYTE_ORDER_MARK;
}

// Reads every setting; a file read as Unicode is refused, with the text to
// show in TextBuffer, when a value read would not be what it holds.
static SettingsLoad ReadSettings(bool unicode)
{
    StartHeldValueChecks(WideSettingsPath, unicode);
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
    const char* unheld = FirstUnheldSetting();
    if (unheld == NULL)
        return SETTINGS_LOADED;
    char shown[PATH_CAPACITY + 1];
    ShownSettingsPath(shown, sizeof shown);
    FormatText(TextBuffer, sizeof TextBuffer, UNHELD_CHARACTERS, shown, unheld);
    return SETTINGS_UNHELD_CHARACTERS;
}

SettingsLoad LoadSettings(void)
{
    LocateSettingsFile();
    if (!SettingsFileExists())
        return ReadSettings(false);
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
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return ReadSettings(false);
        return RefuseUnreadable();
    }
    bool unicode = false;
    SettingsLoad loaded = CheckEncoding(file, &unicode);
    if (loaded == SETTINGS_LOADED)
        loaded = ReadSettings(unicode);
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
