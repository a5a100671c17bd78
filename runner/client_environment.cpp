#include "runner/client_environment.h"

#include <windows.h>

#include <stdio.h>

#include "plugin/module_state.h"
#include "runner/nls_lang.h"
#include "runner/run_report.h"

static const char UNKNOWN_CODE_PAGE[] =
    "NlsLang asks for the character set of the system code page %u, which the plug-in does not "
    "know.\nWrite the character set into NlsLang in place of \"auto\".\n";

// An environment variable holds at most 32767 characters and its NUL; the
// client's value adds at most "." and a character set to the host's.
enum { VARIABLE_CAPACITY = 32768, CLIENT_VALUE_CAPACITY = VARIABLE_CAPACITY + 16 };

// The host's own value in UTF-16, so that it goes back exactly even when it
// holds a letter the system code page lacks.
static wchar_t HostNlsLang[VARIABLE_CAPACITY];
static bool HostHasNlsLang;
static bool NlsLangReplaced;
// The host's value as the client reads it, and the client's value.
static char HostNlsLangText[VARIABLE_CAPACITY];
static char ClientNlsLang[CLIENT_VALUE_CAPACITY];

bool CheckNlsLang(void)
{
    UINT codePage = GetACP();
    if (!NlsLangAsksForCodePage(PluginSettings.NlsLang) || CharacterSetOfCodePage(codePage))
        return true;
    snprintf(TextBuffer, sizeof TextBuffer, UNKNOWN_CODE_PAGE, codePage);
    ShowRunError(TextBuffer);
    return false;
}

bool SetClientNlsLang(void)
{
    NlsLangReplaced = false;
    if (PluginSettings.NlsLang[0] == '\0')
        return true;
    // An empty value reads as 0 characters too, without an error: it is put
    // back as an empty value, not removed.
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(L"NLS_LANG", HostNlsLang, VARIABLE_CAPACITY);
    HostHasNlsLang = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    if (length == 0)
        HostNlsLang[0] = L'\0';
    DWORD textLength = GetEnvironmentVariableA("NLS_LANG", HostNlsLangText, sizeof HostNlsLangText);
    if (textLength == 0)
        HostNlsLangText[0] = '\0';
    // A host value that could not be put back or read whole, or a client
    // value that could not be made whole, never reaches the client.
    if (length >= VARIABLE_CAPACITY || textLength >= sizeof HostNlsLangText ||
        !ComposeNlsLang(PluginSettings.NlsLang, HostNlsLangText, CharacterSetOfCodePage(GetACP()),
                        ClientNlsLang, sizeof ClientNlsLang)) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    if (!SetEnvironmentVariableA("NLS_LANG", ClientNlsLang))
        return false;
    NlsLangReplaced = true;
    return true;
}

void PutBackHostNlsLang(void)
{
    if (!NlsLangReplaced)
        return;
    DWORD error = GetLastError();
    // Should this fail there is no better value to give the host.
    SetEnvironmentVariableW(L"NLS_LANG", HostHasNlsLang ? HostNlsLang : NULL);
    NlsLangReplaced = false;
    SetLastError(error);
}
