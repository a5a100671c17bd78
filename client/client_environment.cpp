#include "client/client_environment.h"

#include <windows.h>

#include <wchar.h>

#include "client/nls_lang_composition.h"
#include "common/format_text.h"
#include "platform/system_error.h"
#include "plugin/module_state.h"
#include "run_reports/held_reports.h"
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
    // A variable holds at most 32,767 characters with its NUL, as the
    // platform documents it; no call on the environment is asked with more
    // room than that, as the platform may keep only the low bits of a larger
    // size. The client's NLS_LANG adds at most "." and a character set to
    // the host's.
    VARIABLE_CAPACITY = 32767,
    CLIENT_NLS_LANG_CAPACITY = VARIABLE_CAPACITY + 16,
    // The names and expanded values of [Environment] take at most the first
    // part of the pool; the host's values of the variables set, and the
    // client's NLS_LANG, the rest: room for two of the longest there are.
    CLIENT_TEXT_LIMIT = 65536,
    HOST_TEXT_LIMIT = 65536,
    POOL_CAPACITY = CLIENT_TEXT_LIMIT + HOST_TEXT_LIMIT
};

// A variable the client gets: its name (as the host spells it, once its
// value is kept), the client's value (NULL: none) and, once kept, the
// host's (NULL: none), to be put back exactly.
struct ClientVariable
{
    wchar_t* Name;
    const wchar_t* Value;
    const wchar_t* HostValue;
};

// Every name and value in UTF-16, so that a value of the host's goes back
// exactly and reaches the client exactly, even when it holds a letter the
// system code page lacks.
static wchar_t Pool[POOL_CAPACITY];
static size_t PoolUsed;
static size_t ClientTextEnd;
// The section's variables, then NLS_LANG and the batch file's variable
// when they are asked for.
static ClientVariable Variables[ENVIRONMENT_VARIABLE_LIMIT + 2];
static int VariableCount;
static int VariablesSet;
static bool NlsLangAsked;
static int NlsLangVariable;
// NLS_LANG's name and the batch file's variable's, spelled afresh for each
// run.
static wchar_t NlsLangName[9];
static const wchar_t NO_CURRENT_FOLDER[] = L"NoDefaultCurrentDirectoryInExePath";
static wchar_t NoCurrentFolderName[ARRAYSIZE(NO_CURRENT_FOLDER)];
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
    FormatSystemFailure(TextBuffer, sizeof TextBuffer, CANNOT_EXPAND, key);
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
    wchar_t* value = Pool + PoolUsed;
    DWORD size = ExpandEnvironmentStringsW(StoredText, value, static_cast<DWORD>(capacity));
    if (size == 0)
        return RefuseUnexpanded(key);
    // The platform may expand into less room than it was given and report
    // the size of a value it has cut: only a value ending at its NUL, with
    // no NUL before it, is whole.
    bool cut = size <= capacity && wmemchr(value, L'\0', size) != value + size - 1;
    if (size > VARIABLE_CAPACITY || cut)
        return Refuse(EXPANDED_TOO_LONG, key, VARIABLE_CAPACITY - 1);
    if (size > capacity)
        return Refuse(SECTION_TOO_LONG, NULL, CLIENT_TEXT_LIMIT);
    // An empty value removes the variable.
    variable.Value = size > 1 ? value : NULL;
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
    if (NlsLangAsked) {
        NlsLangVariable = VariableCount;
        Variables[VariableCount++].Name = wmemcpy(NlsLangName, L"NLS_LANG", ARRAYSIZE(NlsLangName));
    }
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

void KeepInterpreterOutOfCurrentFolder(void)
{
    for (int i = 0; i < VariableCount; ++i) {
        if (CompareStringOrdinal(Variables[i].Name, -1, NO_CURRENT_FOLDER, -1, TRUE) == CSTR_EQUAL)
            return;
    }
    ClientVariable& variable = Variables[VariableCount++];
    variable.Name = wmemcpy(NoCurrentFolderName, NO_CURRENT_FOLDER, ARRAYSIZE(NoCurrentFolderName));
    variable.Value = L"1";
}

// Keeps an entry of the host's environment block for each variable of that
// name (compared as the platform compares names) not yet kept: the value
// in the pool, and the name spelled as the host spells it, so that the
// variable is set and put back under the host's own name, whatever
// spelling the platform gives a variable it changes. A value too long to
// be put back whole is not changed at all.
static bool KeepHostEntry(const wchar_t* name, size_t nameLength, const wchar_t* value)
{
    const wchar_t* kept = NULL;
    for (int i = 0; i < VariableCount; ++i) {
        ClientVariable& variable = Variables[i];
        if (variable.HostValue || wcslen(variable.Name) != nameLength ||
            CompareStringOrdinal(variable.Name, static_cast<int>(nameLength), name,
                                 static_cast<int>(nameLength), TRUE) != CSTR_EQUAL)
            continue;
        if (!kept) {
            size_t size = wcslen(value) + 1;
            if (size > VARIABLE_CAPACITY || size > POOL_CAPACITY - PoolUsed) {
                SetLastError(ERROR_BUFFER_OVERFLOW);
                return false;
            }
            kept = wmemcpy(Pool + PoolUsed, value, size);
            PoolUsed += size;
        }
        wmemcpy(variable.Name, name, nameLength);
        variable.HostValue = kept;
    }
    return true;
}

// Keeps the host's own value of each variable the client gets from the
// host's environment block, where a value is there whole whatever its
// length (NULL: the host has none). The first entry of a name is its value,
// as for the platform's own lookup.
static bool KeepHostValues(void)
{
    for (int i = 0; i < VariableCount; ++i)
        Variables[i].HostValue = NULL;
    SetLastError(ERROR_SUCCESS);
    wchar_t* block = GetEnvironmentStringsW();
    if (block == NULL) {
        // Its failure is documented without an error code of its own.
        if (GetLastError() == ERROR_SUCCESS)
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    bool kept = true;
    for (const wchar_t* entry = block; kept && *entry != L'\0'; entry += wcslen(entry) + 1) {
        // A name may begin with "=" (the platform keeps each drive's
        // current folder so); the value follows the next.
        const wchar_t* equals = entry + 1;
        while (*equals != L'\0' && *equals != L'=')
            ++equals;
        if (*equals == L'=')
            kept = KeepHostEntry(entry, static_cast<size_t>(equals - entry), equals + 1);
    }
    FreeEnvironmentStringsW(block);
    return kept;
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

// Sets a variable of the host's environment, or removes it (value NULL).
// Removing one that is not there is done: the platform fails it with "not
// found".
static bool SetVariable(const wchar_t* name, const wchar_t* value)
{
    return SetEnvironmentVariableW(name, value) ||
           (value == NULL && GetLastError() == ERROR_ENVVAR_NOT_FOUND);
}

bool SetClientEnvironment(void)
{
    VariablesSet = 0;
    PoolUsed = ClientTextEnd;
    // Every value of the host's is kept before any is changed, so a name
    // given twice keeps the host's own value too.
    if (!KeepHostValues())
        return false;
    if (NlsLangAsked && !ComposeClientNlsLang(&Variables[NlsLangVariable]))
        return false;
    for (; VariablesSet < VariableCount; ++VariablesSet) {
        const ClientVariable& variable = Variables[VariablesSet];
        if (!SetVariable(variable.Name, variable.Value))
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
        SetVariable(variable.Name, variable.HostValue);
    }
    SetLastError(error);
}
