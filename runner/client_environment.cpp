#include "runner/client_environment.h"

#include <windows.h>

#include <wchar.h>

#include "common/format_text.h"
#include "plugin/module_state.h"
#include "runner/nls_lang.h"
#include "runner/run_report.h"
#include "settings/settings_file.h"

static const char UNKNOWN_CODE_PAGE[] =
    "NlsLang asks for the character set of the system code page %u, which the plug-in does not "
    "know.\nWrite the character set into NlsLang in place of \"auto\".\n";
static const char NLS_LANG_TOO_LONG[] =
    "NlsLang in the settings file is longer than the %d bytes it may hold.\n";
static const char NLS_LANG_TWICE[] =
    "NLS_LANG is set twice in the settings file: by NlsLang and in [Environment]. Keep one.\n";
static const char SECTION_FULL[] =
    "The section [Environment] of the settings file holds more than it may: at most %d "
    "variables, whose names take at most %d bytes together.\n";
static const char KEY_UNNAMEABLE[] =
    "The key \"%s\" in [Environment] of the settings file cannot name a variable: a name is "
    "not empty and does not begin with \"=\".\n";
static const char VALUE_TOO_LONG[] =
    "The value of %s in [Environment] of the settings file is longer than the %d bytes it may "
    "hold.\n";
static const char EXPANDED_TOO_LONG[] =
    "The value of %s in [Environment] of the settings file is longer than the %d characters a "
    "variable may hold, once expanded.\n";
static const char SECTION_TOO_LONG[] =
    "The variables in [Environment] of the settings file take more than the %d characters "
    "their names and values may take together, once expanded.\n";
static const char CANNOT_EXPAND[] =
    "Cannot expand the value of %s in [Environment] of the settings file\nERROR: %d\nMSG:%s\n";

enum
{
    // A variable holds at most 32767 characters and its NUL; the client's
    // NLS_LANG adds at most "." and a character set to the host's.
    VARIABLE_CAPACITY = 32768,
    CLIENT_NLS_LANG_CAPACITY = VARIABLE_CAPACITY + 16,
    // The names and expanded values of [Environment] take at most the first
    // part of the pool; the host's values of the variables set, and the
    // client's NLS_LANG, the rest: room for two of the longest there are.
    CLIENT_TEXT_LIMIT = 65536,
    POOL_CAPACITY = CLIENT_TEXT_LIMIT + 2 * VARIABLE_CAPACITY
};

// A variable the client gets: its name, the client's value (NULL: none)
// and, once kept, the host's (NULL: none), to be put back exactly.
struct ClientVariable
{
    const wchar_t* Name;
    const wchar_t* Value;
    const wchar_t* HostValue;
};

// Every name and value in UTF-16, so that a value of the host's goes back
// exactly and reaches the client exactly, even when it holds a letter the
// system code page lacks.
static wchar_t Pool[POOL_CAPACITY];
static size_t PoolUsed;
static size_t ClientTextEnd;
static ClientVariable Variables[ENVIRONMENT_VARIABLE_LIMIT + 1];
static int VariableCount;
static int VariablesSet;
static bool NlsLangAsked;
// A value as stored, in UTF-16, before it is expanded.
static wchar_t StoredText[ENVIRONMENT_VALUE_CAPACITY];
// The host's NLS_LANG as the client reads it, and the client's.
static char HostNlsLangText[VARIABLE_CAPACITY];
static char ClientNlsLang[CLIENT_NLS_LANG_CAPACITY];

// Refuses the run with a message that names a key (or, with none, the
// section) and a limit; a message about the section takes the limit on the
// names' bytes second, where it names one.
static bool Refuse(const char* format, const char* key, int limit)
{
    if (format == KEY_UNNAMEABLE)
        FormatText(TextBuffer, sizeof TextBuffer, format, key);
    else if (key)
        FormatText(TextBuffer, sizeof TextBuffer, format, key, limit);
    else if (format == SECTION_FULL)
        FormatText(TextBuffer, sizeof TextBuffer, format, limit, ENVIRONMENT_NAMES_LIMIT);
    else
        FormatText(TextBuffer, sizeof TextBuffer, format, limit);
    ReportRunError(TextBuffer);
    return false;
}

static bool RefuseUnexpanded(const char* key)
{
    FormatRunFailure(CANNOT_EXPAND, key);
    ReportRunError(TextBuffer);
    return false;
}

// The stored text in UTF-16, in StoredText: the settings file is 8-bit.
static bool Widen(const char* text)
{
    return MultiByteToWideChar(CP_ACP, 0, text, -1, StoredText, ARRAYSIZE(StoredText)) != 0;
}

// Adds a variable of [Environment]: its name and its value, expanded from
// the host's environment as it is now, the way the platform expands such
// values (a name the host has not got stays as written).
static bool TakeVariable(const char* key, const char* stored)
{
    ClientVariable& variable = Variables[VariableCount];
    size_t room = CLIENT_TEXT_LIMIT - PoolUsed;
    if (!Widen(key))
        return RefuseUnexpanded(key);
    size_t nameSize = wcslen(StoredText) + 1;
    if (nameSize > room)
        return Refuse(SECTION_TOO_LONG, NULL, CLIENT_TEXT_LIMIT);
    variable.Name = wmemcpy(Pool + PoolUsed, StoredText, nameSize);
    PoolUsed += nameSize;
    room -= nameSize;
    if (!Widen(stored))
        return RefuseUnexpanded(key);
    size_t capacity = VARIABLE_CAPACITY;
    if (room < capacity)
        capacity = room;
    DWORD size = ExpandEnvironmentStringsW(StoredText, Pool + PoolUsed, static_cast<DWORD>(capacity));
    if (size == 0)
        return RefuseUnexpanded(key);
    if (size > VARIABLE_CAPACITY)
        return Refuse(EXPANDED_TOO_LONG, key, VARIABLE_CAPACITY - 1);
    if (size > room)
        return Refuse(SECTION_TOO_LONG, NULL, CLIENT_TEXT_LIMIT);
    // An empty value removes the variable.
    variable.Value = size > 1 ? Pool + PoolUsed : NULL;
    PoolUsed += size;
    ++VariableCount;
    return true;
}

// The section's variables, and NLS_LANG when NlsLang is set, in that order.
static bool TakeVariables(void)
{
    const EnvironmentSection& section = EnvironmentSettings;
    int key;
    switch (FindEnvironmentFault(&section, &key)) {
    case ENVIRONMENT_SECTION_FULL:
        return Refuse(SECTION_FULL, NULL, ENVIRONMENT_VARIABLE_LIMIT);
    case ENVIRONMENT_KEY_UNNAMEABLE:
        return Refuse(KEY_UNNAMEABLE, section.Keys[key], 0);
    case ENVIRONMENT_VALUE_TOO_LONG:
        return Refuse(VALUE_TOO_LONG, section.Keys[key], ENVIRONMENT_VALUE_LIMIT);
    case ENVIRONMENT_USABLE:
        break;
    }
    for (key = 0; key < section.Count; ++key) {
        if (NlsLangAsked && NamesNlsLang(section.Keys[key])) {
            ReportRunError(NLS_LANG_TWICE);
            return false;
        }
    }
    for (key = 0; key < section.Count; ++key) {
        if (!TakeVariable(section.Keys[key], section.Values[key]))
            return false;
    }
    if (NlsLangAsked)
        Variables[VariableCount++].Name = L"NLS_LANG";
    return true;
}

bool CheckClientEnvironment(void)
{
    VariableCount = VariablesSet = 0;
    PoolUsed = ClientTextEnd = 0;
    NlsLangAsked = PluginSettings.NlsLang[0] != '\0';
    if (PluginSettings.NlsLangTooLong) {
        FormatText(TextBuffer, sizeof TextBuffer, NLS_LANG_TOO_LONG, SETTINGS_NLS_LANG_CAPACITY - 1);
        ReportRunError(TextBuffer);
        return false;
    }
    UINT codePage = GetACP();
    if (NlsLangAsksForCodePage(PluginSettings.NlsLang) && !CharacterSetOfCodePage(codePage)) {
        FormatText(TextBuffer, sizeof TextBuffer, UNKNOWN_CODE_PAGE, codePage);
        ReportRunError(TextBuffer);
        return false;
    }
    if (!TakeVariables()) {
        VariableCount = 0;
        return false;
    }
    ClientTextEnd = PoolUsed;
    return true;
}

// Keeps the host's own value of a variable in the pool. Only "not found"
// means it has none; an empty value reads as 0 characters too, without an
// error, and is put back as an empty value.
static bool KeepHostValue(ClientVariable* variable)
{
    wchar_t* value = Pool + PoolUsed;
    size_t room = POOL_CAPACITY - PoolUsed;
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(variable->Name, value, static_cast<DWORD>(room));
    DWORD error = GetLastError();
    if (length >= room) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    if (length == 0 && error == ERROR_ENVVAR_NOT_FOUND) {
        variable->HostValue = NULL;
        return true;
    }
    if (length == 0 && error != ERROR_SUCCESS)
        return false;
    value[length] = L'\0';
    variable->HostValue = value;
    PoolUsed += length + 1;
    return true;
}

// The client's NLS_LANG, from NlsLang and the host's value as the client
// would read it; a host value that could not be read whole, or a client
// value that could not be made whole, never reaches the client.
static bool ComposeClientNlsLang(ClientVariable* variable)
{
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableA("NLS_LANG", HostNlsLangText, sizeof HostNlsLangText);
    DWORD error = GetLastError();
    if (length == 0 && error != ERROR_SUCCESS && error != ERROR_ENVVAR_NOT_FOUND)
        return false;
    if (length == 0)
        HostNlsLangText[0] = '\0';
    if (length >= sizeof HostNlsLangText ||
        !ComposeNlsLang(PluginSettings.NlsLang, HostNlsLangText, CharacterSetOfCodePage(GetACP()),
                        ClientNlsLang, sizeof ClientNlsLang)) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    int size = MultiByteToWideChar(CP_ACP, 0, ClientNlsLang, -1, Pool + PoolUsed,
                                   static_cast<int>(POOL_CAPACITY - PoolUsed));
    if (size == 0)
        return false;
    variable->Value = Pool + PoolUsed;
    PoolUsed += static_cast<size_t>(size);
    return true;
}

bool SetClientEnvironment(void)
{
    VariablesSet = 0;
    PoolUsed = ClientTextEnd;
    // Every value of the host's is kept before any is changed, so a name
    // given twice keeps the host's own value too.
    for (int i = 0; i < VariableCount; ++i) {
        if (!KeepHostValue(&Variables[i]))
            return false;
    }
    if (NlsLangAsked && !ComposeClientNlsLang(&Variables[VariableCount - 1]))
        return false;
    for (; VariablesSet < VariableCount; ++VariablesSet) {
        const ClientVariable& variable = Variables[VariablesSet];
        if (!SetEnvironmentVariableW(variable.Name, variable.Value))
            return false;
    }
    return true;
}

void PutBackHostEnvironment(void)
{
    DWORD error = GetLastError();
    // Should this fail there is no better value to give the host.
    while (VariablesSet > 0) {
        const ClientVariable& variable = Variables[--VariablesSet];
        SetEnvironmentVariableW(variable.Name, variable.HostValue);
    }
    SetLastError(error);
}
