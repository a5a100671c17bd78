#include "client/logon_word.h"

#include <string.h>

#include "common/bounded_text.h"

void ReadLogon(const SettingsRecord* settings, const PL_HOSTINFO* host, Logon* logon)
{
    HostText(host, HOST_USER, HOST_USER_WIDTH, logon->user, sizeof logon->user);
    HostText(host, HOST_PASSWORD, HOST_PASSWORD_WIDTH, logon->password, sizeof logon->password);
    HostText(host, HOST_DATABASE, HOST_DATABASE_WIDTH, logon->database, sizeof logon->database);
    logon->connect = settings->ConnectString[0] != '\0' ? settings->ConnectString : logon->database;
}

bool PasswordNeedsQuotes(const char* password)
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

// The connect identifier as the client's runtime reads it from a plain
// log-on word when one pair of double quotes wholly encloses it: without
// them, and with the run of backslashes before the closing one halved (2n
// backslashes and a quote give n). As it is when it holds another quote, or
// an odd run of backslashes before the closing one, which makes that quote
// a literal one and leaves no pair for the runtime.
static const char* WithoutEnclosingQuotes(const char* connect, char* inner, size_t capacity,
                                          LeadByteTest isLeadByte)
{
    size_t length = strlen(connect);
    if (length < 2 || length - 1 > capacity || connect[0] != '"' || connect[length - 1] != '"' ||
        memchr(connect + 1, '"', length - 2) != NULL)
        return connect;
    // The backslashes that end the text inside, read as the runtime reads
    // them: the second byte of a double-byte character is no backslash.
    size_t backslashes = 0;
    for (size_t at = 1; at < length - 1; ++at) {
        backslashes = connect[at] == '\\' ? backslashes + 1 : 0;
        if (isLeadByte && at + 1 < length - 1 && isLeadByte(static_cast<unsigned char>(connect[at])))
            ++at;
    }
    if (backslashes % 2 != 0)
        return connect;
    size_t innerLength = length - 2 - backslashes / 2;
    memcpy(inner, connect + 1, innerLength);
    inner[innerLength] = '\0';
    return inner;
}

bool AppendLogon(char* text, size_t capacity, const SettingsRecord* settings,
                 const PL_HOSTINFO* host, bool maskPassword, bool onLine, LeadByteTest isLeadByte)
{
    Logon logon;
    ReadLogon(settings, host, &logon);
    bool quoted = PasswordNeedsQuotes(logon.password);
    WordEscape escape = {onLine && quoted, 0, isLeadByte};
    // A connect identifier typed in double quotes for its blanks reaches the
    // client without them from a plain word; an escaped word would keep
    // them, so there it goes as the client reads it from a plain word, and
    // the word's own quotes carry its blanks.
    char inner[SETTINGS_TEXT_CAPACITY];
    const char* connect = escape.escaped
                              ? WithoutEnclosingQuotes(logon.connect, inner, sizeof inner, isLeadByte)
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
