#include "runner/command_line.h"

#include <string.h>

#include "plugin/bounded_text.h"

bool ScriptArgument(const char* scriptPath, const char* shortPath,
                    char* argument, size_t capacity)
{
    if (!HasBlank(scriptPath))
        return CopyText(argument, capacity, scriptPath);
    if (shortPath[0] != '\0' && !HasBlank(shortPath))
        return CopyText(argument, capacity, shortPath);
    return CopyText(argument, capacity, "\"") &&
           AppendText(argument, capacity, scriptPath) &&
           AppendText(argument, capacity, "\"");
}

bool ClientArgument(const char* sqlPlus, bool namesFile, char* argument, size_t capacity)
{
    if (!namesFile || !HasBlank(sqlPlus) || strchr(sqlPlus, '"') != NULL)
        return CopyText(argument, capacity, sqlPlus);
    return CopyText(argument, capacity, "\"") && AppendText(argument, capacity, sqlPlus) &&
           AppendText(argument, capacity, "\"");
}

bool ProgramHasExtension(const char* program)
{
    const char* name = program;
    for (const char* p = program; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    return strchr(name, '.') != NULL;
}

// The host's current connection, as the log-on carries it.
struct Logon
{
    char user[HOST_USER_WIDTH + 1];
    char password[HOST_PASSWORD_WIDTH + 1];
    char database[HOST_DATABASE_WIDTH + 1];
    const char* connect;   // the connect string when set, else the database
};

static void ReadLogon(const SettingsRecord* settings, const PL_HOSTINFO* host, Logon* logon)
{
    HostText(host, HOST_USER, HOST_USER_WIDTH, logon->user, sizeof logon->user);
    HostText(host, HOST_PASSWORD, HOST_PASSWORD_WIDTH, logon->password, sizeof logon->password);
    HostText(host, HOST_DATABASE, HOST_DATABASE_WIDTH, logon->database, sizeof logon->database);
    logon->connect = settings->ConnectString[0] != '\0' ? settings->ConnectString : logon->database;
}

bool QuotesPassword(const char* password)
{
    static const char PLAIN[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_$#";
    return password[strspn(password, PLAIN)] != '\0' && strchr(password, '"') == NULL;
}

static bool AppendBackslashes(char* text, size_t capacity, size_t count)
{
    bool fits = true;
    for (; count > 0; --count)
        fits = AppendText(text, capacity, "\\") && fits;
    return fits;
}

// How the log-on word is written on the command line.
struct WordEscape
{
    bool escaped;             // so that the client's runtime reads it back
    size_t backslashes;       // those ending the word so far
    LeadByteTest isLeadByte;  // the system code page's, when known
};

// Appends a part of the log-on word, escaped when asked so that the client's
// C runtime reads it back unchanged: a quote goes as \", and the backslashes
// right before it, counted across parts, are doubled.
static bool AppendWordPart(char* text, size_t capacity, const char* part, WordEscape* escape)
{
    if (!escape->escaped)
        return AppendText(text, capacity, part);
    bool fits = true;
    for (const char* c = part; *c != '\0'; ++c) {
        if (*c == '"')
            fits = AppendBackslashes(text, capacity, escape->backslashes + 1) && fits;
        escape->backslashes = *c == '\\' ? escape->backslashes + 1 : 0;
        char character[3] = {*c, '\0', '\0'};
        LeadByteTest isLeadByte = escape->isLeadByte;
        if (isLeadByte && c[1] != '\0' && isLeadByte(static_cast<unsigned char>(*c)))
            character[1] = *++c;
        fits = AppendText(text, capacity, character) && fits;
    }
    return fits;
}

// The connect identifier without the one pair of double quotes that wholly
// encloses it, as the client's runtime reads it from a plain log-on word;
// as it is when it holds another quote or a backslash before the closing
// one, which the runtime would not read as a pair.
static const char* WithoutEnclosingQuotes(const char* connect, char* inner, size_t capacity)
{
    size_t length = strlen(connect);
    if (length < 2 || length - 1 > capacity || connect[0] != '"' || connect[length - 1] != '"' ||
        memchr(connect + 1, '"', length - 2) != NULL || connect[length - 2] == '\\')
        return connect;
    memcpy(inner, connect + 1, length - 2);
    inner[length - 2] = '\0';
    return inner;
}

// Appends the log-on of the host's current connection: user, "/" and the
// password when there is one, "@" and the connect identifier. onLine
// escapes it for the command line when the password is quoted; a password
// that needs no quotes leaves the word as it always was.
static bool AppendLogon(char* text, size_t capacity, const SettingsRecord* settings,
                        const PL_HOSTINFO* host, bool maskPassword, bool onLine,
                        LeadByteTest isLeadByte)
{
    Logon logon;
    ReadLogon(settings, host, &logon);
    bool quoted = QuotesPassword(logon.password);
    WordEscape escape = {onLine && quoted, 0, isLeadByte};
    // A connect identifier typed in double quotes for its blanks reaches the
    // client without them from a plain word; an escaped word would keep
    // them, so there it goes without them and the word's own quotes carry
    // its blanks.
    char inner[SETTINGS_PATH_CAPACITY];
    const char* connect = escape.escaped ? WithoutEnclosingQuotes(logon.connect, inner, sizeof inner)
                                         : logon.connect;
    // Decided on the real password, so that the masked line shows the same.
    bool wrapped = escape.escaped && (HasBlank(logon.user) || HasBlank(logon.password) ||
                                      HasBlank(connect));
    bool fits = !wrapped || AppendText(text, capacity, "\"");
    fits = AppendWordPart(text, capacity, logon.user, &escape) && fits;
    if (logon.password[0] != '\0') {
        fits = AppendWordPart(text, capacity, quoted ? "/\"" : "/", &escape) && fits;
        fits = AppendWordPart(text, capacity, maskPassword ? MASKED_PASSWORD : logon.password,
                              &escape) && fits;
        fits = (!quoted || AppendWordPart(text, capacity, "\"", &escape)) && fits;
    }
    fits = AppendWordPart(text, capacity, "@", &escape) && fits;
    fits = AppendWordPart(text, capacity, connect, &escape) && fits;
    if (wrapped)
        fits = AppendBackslashes(text, capacity, escape.backslashes) &&
               AppendText(text, capacity, "\"") && fits;
    return fits;
}

bool ComposeCommandLine(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* clientArgument, const char* scriptArgument, bool maskPassword,
                        char* line, size_t capacity, LeadByteTest isLeadByte)
{
    bool fits = CopyText(line, capacity, clientArgument);
    if (HostTextLength(host, HOST_USER, HOST_USER_WIDTH) > 0) {
        fits = AppendText(line, capacity, " ") && fits;
        fits = AppendLogon(line, capacity, settings, host, maskPassword, true, isLeadByte) && fits;
    }
    fits = AppendText(line, capacity, " @") && fits;
    fits = AppendText(line, capacity, scriptArgument) && fits;
    fits = AppendText(line, capacity, " ") && fits;
    fits = AppendText(line, capacity, settings->Options) && fits;
    return fits;
}

bool HidesPassword(const SettingsRecord* settings, const PL_HOSTINFO* host)
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
        {logon.connect, "connect identifier"}, {settings->Options, "options"},
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
    bool fits = CopyText(text, capacity, "set echo off\r\nconnect ");
    fits = AppendLogon(text, capacity, settings, host, false, false, NULL) && fits;
    fits = AppendText(text, capacity, "\r\n@") && fits;
    fits = AppendText(text, capacity, scriptArgument) && fits;
    fits = AppendText(text, capacity, " ") && fits;
    fits = AppendText(text, capacity, settings->Options) && fits;
    return AppendText(text, capacity, "\r\n") && fits;
}

// The line of text that starts at line and ends before end, when it begins
// with start and is ended by CR LF: where the next line starts; else null.
static const char* LineBeginning(const char* line, const char* end, const char* start)
{
    size_t startLength = strlen(start);
    if (static_cast<size_t>(end - line) < startLength || memcmp(line, start, startLength) != 0)
        return NULL;
    for (const char* c = line + startLength; end - c >= 2; ++c)
        if (c[0] == '\r' && c[1] == '\n')
            return c + 2;
    return NULL;
}

bool HasLogonScriptShape(const char* text, size_t length)
{
    if (length > LOGON_SCRIPT_CAPACITY - 1 || memchr(text, '\0', length) != NULL)
        return false;
    const char* end = text + length;
    static const char ECHO_OFF[] = "set echo off\r\n";
    if (length >= sizeof ECHO_OFF - 1 && memcmp(text, ECHO_OFF, sizeof ECHO_OFF - 1) == 0)
        text += sizeof ECHO_OFF - 1;
    text = LineBeginning(text, end, "connect ");
    text = text != NULL ? LineBeginning(text, end, "@") : NULL;
    return text == end;
}

bool ComposeNologLine(const char* clientArgument, const char* logonArgument,
                      char* line, size_t capacity)
{
    bool fits = CopyText(line, capacity, clientArgument);
    fits = AppendText(line, capacity, " /nolog @") && fits;
    return AppendText(line, capacity, logonArgument) && fits;
}
