#include "run_files/logon_script_text.h"

#include <string.h>

#include "client/logon_word.h"
#include "common/bounded_text.h"

// The log-on script's lines, as written and as recognised: "set echo off",
// so that no profile's echo shows the password; "connect " and the log-on;
// "@", the script and the options. The size of the longest script, in the
// header, counts them.
static const char ECHO_OFF_LINE[] = "set echo off\r\n";
static const char CONNECT_LINE_START[] = "connect ";
static const char SCRIPT_LINE_START[] = "@";
static const char LINE_END[] = "\r\n";
static_assert(sizeof ECHO_OFF_LINE - 1 == 14 && sizeof CONNECT_LINE_START - 1 == 8 &&
                  sizeof LINE_END - 1 + sizeof SCRIPT_LINE_START - 1 == 3,
              "the longest log-on script counts its lines' own words");

bool PasswordGoesInLogonScript(const SettingsRecord* settings, const PL_HOSTINFO* host)
{
    return settings->HidePassword != 0 && HostTextLength(host, HOST_USER, HOST_USER_WIDTH) > 0 &&
           HostTextLength(host, HOST_PASSWORD, HOST_PASSWORD_WIDTH) > 0;
}

const char* LogonScriptPartWithAmpersand(const SettingsRecord* settings, const PL_HOSTINFO* host,
                                         const char* scriptFolder)
{
    Logon logon;
    ReadLogon(settings, host, &logon);
    const char* const parts[][2] = {
        {logon.password, "password"},   {logon.user, "user name"},
        {logon.connect, "connect identifier"}, {settings->Options, "Options setting"},
        {scriptFolder, "script folder"},
    };
    for (const auto& part : parts) {
        if (strchr(part[0], '&') != NULL)
            return part[1];
    }
    return NULL;
}

bool ComposeLogonScript(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* scriptArgument, char* text, size_t capacity)
{
    bool fits = CopyText(text, capacity, ECHO_OFF_LINE);
    fits = AppendText(text, capacity, CONNECT_LINE_START) && fits;
    fits = AppendLogon(text, capacity, settings, host, false, false, NULL) && fits;
    fits = AppendText(text, capacity, LINE_END) && fits;
    fits = AppendText(text, capacity, SCRIPT_LINE_START) && fits;
    fits = AppendText(text, capacity, scriptArgument) && fits;
    fits = AppendText(text, capacity, " ") && fits;
    fits = AppendText(text, capacity, settings->Options) && fits;
    return AppendText(text, capacity, LINE_END) && fits;
}

// The line of text that starts at line and ends before end, when it begins
// with start and is ended by LINE_END: where the next line starts; else null.
static const char* LineBeginning(const char* line, const char* end, const char* start)
{
    size_t startLength = strlen(start);
    if (static_cast<size_t>(end - line) < startLength || memcmp(line, start, startLength) != 0)
        return NULL;
    const size_t endLength = sizeof LINE_END - 1;
    for (const char* c = line + startLength; static_cast<size_t>(end - c) >= endLength; ++c)
        if (memcmp(c, LINE_END, endLength) == 0)
            return c + endLength;
    return NULL;
}

bool HasLogonScriptShape(const char* text, size_t length)
{
    if (length > LOGON_SCRIPT_CAPACITY - 1 || memchr(text, '\0', length) != NULL)
        return false;
    const char* end = text + length;
    // The echo line is optional: log-on scripts of earlier versions begin
    // with the connect line.
    const size_t echoLength = sizeof ECHO_OFF_LINE - 1;
    if (length >= echoLength && memcmp(text, ECHO_OFF_LINE, echoLength) == 0)
        text += echoLength;
    text = LineBeginning(text, end, CONNECT_LINE_START);
    text = text != NULL ? LineBeginning(text, end, SCRIPT_LINE_START) : NULL;
    return text == end;
}
