// Feeds random host records, settings and script paths to the client and
// script arguments, the command-line composition and the log-on script, and
// checks every result against a plain std::string composition of the same
// pieces:
//   - the host record is 408 bytes on the heap, its text fields possibly
//     without a NUL, so a read past a field or the record shows as a wrong
//     line or an AddressSanitizer report;
//   - the settings' texts end in a NUL within their capacities, as the
//     settings file gives them; the script path and its short form are at
//     most 259 characters, as the platform gives them;
//   - the line, masked and unmasked, always fits the longest-line buffer,
//     ends in a NUL inside it and equals the plain composition, and so does
//     the log-on script in its buffer; a password with a byte beyond the
//     letters, digits, "_", "$" and "#" (and no quote) stands in quotes, and
//     on the line its log-on word, parsed back by the rules of the client's
//     C runtime, is exactly the log-on with the real password in quotes;
//   - in any smaller buffer it is that composition cut, still NUL-ended, and
//     the result says whether it fitted.
#include <fuzzer/FuzzedDataProvider.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include "client/command_line_composition.h"
#include "client/program_names.h"
#include "run_files/logon_script_text.h"

namespace {

void Fail(const char* what, const std::string& expected, const char* actual)
{
    fprintf(stderr, "%s\n expected [%s]\n actual   [%s]\n", what, expected.c_str(),
            actual ? actual : "(no NUL in the buffer)");
    abort();
}

// A text field read as the host lays it out: up to its first NUL within the
// width, else the whole width.
std::string Field(const unsigned char* record, size_t offset, size_t width)
{
    const char* text = reinterpret_cast<const char*>(record + offset);
    size_t length = 0;
    while (length < width && text[length] != '\0')
        ++length;
    return std::string(text, length);
}

bool HasBlankText(const std::string& text)
{
    return text.find_first_of(" \t") != std::string::npos;
}

std::string ReferenceArgument(const std::string& path, const std::string& shortPath)
{
    if (!HasBlankText(path))
        return path;
    if (!shortPath.empty() && !HasBlankText(shortPath))
        return shortPath;
    return "\"" + path + "\"";
}

std::string ReferenceClient(const std::string& sqlPlus, bool namesFile)
{
    if (namesFile && HasBlankText(sqlPlus) && sqlPlus.find('"') == std::string::npos)
        return "\"" + sqlPlus + "\"";
    return sqlPlus;
}

bool NeedsQuotes(const std::string& password)
{
    return password.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                      "0123456789_$#") != std::string::npos &&
           password.find('"') == std::string::npos;
}

// The argument that starts at *at, as the C runtime (and CommandLineToArgvW)
// reads it: blanks and tabs outside quotes end it; 2n backslashes and a
// quote give n backslashes and open or close quotes, 2n+1 give n and the
// quote; other backslashes stay. *at ends after it; *open tells whether
// the line ended inside quotes.
std::string ParseArgument(const std::string& line, size_t* at, bool* open)
{
    std::string argument;
    size_t i = *at, backslashes = 0;
    for (*open = false; i < line.size() && (*open || (line[i] != ' ' && line[i] != '\t')); ++i) {
        if (line[i] == '\\') {
            ++backslashes;
            continue;
        }
        argument.append(line[i] == '"' ? backslashes / 2 : backslashes, '\\');
        if (line[i] == '"' && backslashes % 2 == 0)
            *open = !*open;
        else
            argument += line[i];
        backslashes = 0;
    }
    *at = i;
    return argument.append(backslashes, '\\');
}

// The connect identifier in an escaped log-on word: as the client's runtime
// reads it from a plain word when one pair of quotes wholly encloses it,
// without them and with the 2n backslashes before the closing one halved;
// as it is when 2n+1 make that quote a literal one.
std::string EscapedConnect(const std::string& c)
{
    if (c.size() < 2 || c[0] != '"' || c.find('"', 1) != c.size() - 1)
        return c;
    size_t backslashes = c.size() - 2 - c.find_last_not_of('\\', c.size() - 2);
    return backslashes % 2 ? c : c.substr(1, c.size() - 2 - backslashes / 2);
}

std::string ReferenceLine(const SettingsRecord& settings, const unsigned char* record,
                          const std::string& client, const std::string& argument, bool masked)
{
    std::string user = Field(record, HOST_USER, HOST_USER_WIDTH);
    std::string password = Field(record, HOST_PASSWORD, HOST_PASSWORD_WIDTH);
    std::string database = Field(record, HOST_DATABASE, HOST_DATABASE_WIDTH);
    std::string connect = settings.ConnectString;
    std::string line = client;
    if (!user.empty()) {
        line += " " + user;
        std::string shown = masked ? std::string("********") : password;
        if (!password.empty())
            line += "/" + (NeedsQuotes(password) ? "\"" + shown + "\"" : shown);
        connect = connect.empty() ? database : connect;
        line += "@" + (NeedsQuotes(password) ? EscapedConnect(connect) : connect);
    }
    return line + " @" + argument + " " + settings.Options;
}

std::string ReferenceLogonScript(const SettingsRecord& settings, const unsigned char* record,
                                 const std::string& argument)
{
    std::string user = Field(record, HOST_USER, HOST_USER_WIDTH);
    std::string password = Field(record, HOST_PASSWORD, HOST_PASSWORD_WIDTH);
    std::string database = Field(record, HOST_DATABASE, HOST_DATABASE_WIDTH);
    std::string connect = settings.ConnectString;
    std::string shown = NeedsQuotes(password) ? "\"" + password + "\"" : password;
    std::string logon = user + (password.empty() ? "" : "/" + shown) + "@" +
                        (connect.empty() ? database : connect);
    return "set echo off\r\nconnect " + logon + "\r\n@" + argument + " " + settings.Options + "\r\n";
}

// A settings text of random length within its capacity; what follows its NUL
// is left as it was.
void PutSetting(FuzzedDataProvider& input, char* field, size_t capacity)
{
    std::string text = input.ConsumeRandomLengthString(capacity - 1);
    memcpy(field, text.c_str(), text.size() + 1);
}

// The text in a buffer, or null when the buffer holds no NUL.
const char* TextIn(const char* buffer, size_t capacity)
{
    return capacity > 0 && memchr(buffer, '\0', capacity) ? buffer : nullptr;
}

void CheckLine(const SettingsRecord& settings, const unsigned char* record, const char* client,
               const char* argument, bool masked, size_t smallCapacity)
{
    const PL_HOSTINFO* host = reinterpret_cast<const PL_HOSTINFO*>(record);
    std::string expected = ReferenceLine(settings, record, client, argument, masked);

    std::unique_ptr<char[]> line(new char[COMMAND_LINE_CAPACITY]);
    memset(line.get(), '#', COMMAND_LINE_CAPACITY);
    bool fits = ComposeCommandLine(&settings, host, client, argument, masked, line.get(),
                                   COMMAND_LINE_CAPACITY);
    const char* text = TextIn(line.get(), COMMAND_LINE_CAPACITY);
    if (!fits || !text)
        Fail("line did not fit", expected, text);
    // A quoted password's log-on word as the client gets it: in quotes as a
    // whole when (and only when) the real log-on has a blank or a tab.
    std::string back = text;
    size_t start = strlen(client) + 1, at = start;
    std::string user = Field(record, HOST_USER, HOST_USER_WIDTH);
    std::string password = Field(record, HOST_PASSWORD, HOST_PASSWORD_WIDTH);
    bool open = false;
    if (!user.empty() && NeedsQuotes(password)) {
        back = back.substr(0, start) + ParseArgument(back, &at, &open) + back.substr(at);
        std::string connect = settings.ConnectString[0] != '\0' ? settings.ConnectString
                              : Field(record, HOST_DATABASE, HOST_DATABASE_WIDTH);
        if (open || (text[start] == '"') != HasBlankText(user + password + connect))
            Fail("log-on word is not one argument", expected, text);
        // The same connect identifier as the client reads from a plain
        // password's word, where that is one argument.
        std::string plain = user + "/p@" + connect + " @";
        size_t plainAt = 0;
        std::string read = ParseArgument(plain, &plainAt, &open);
        if (user.find_first_of("\" \t") == std::string::npos && !open && plainAt == plain.size() - 2 &&
            EscapedConnect(connect) != connect && read != user + "/p@" + EscapedConnect(connect))
            Fail("connect identifier differs from a plain password's", read, text);
    }
    if (expected != back)
        Fail("line differs", expected, back.c_str());
    expected = text;

    // The same composition into a smaller buffer: cut, NUL-ended, reported.
    std::unique_ptr<char[]> small(new char[smallCapacity]);
    memset(small.get(), '#', smallCapacity);
    fits = ComposeCommandLine(&settings, host, client, argument, masked, small.get(),
                              smallCapacity);
    if (fits != (expected.size() < smallCapacity))
        Fail("wrong fit in a small buffer", expected, TextIn(small.get(), smallCapacity));
    if (smallCapacity > 0) {
        std::string cut = expected.substr(0, smallCapacity - 1);
        text = TextIn(small.get(), smallCapacity);
        if (!text || cut != text)
            Fail("cut line differs", cut, text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);

    // Where each host text ends: inside its width, or (at the width) with
    // no NUL at all.
    size_t userEnd = input.ConsumeIntegralInRange<size_t>(0, HOST_USER_WIDTH);
    size_t passwordEnd = input.ConsumeIntegralInRange<size_t>(0, HOST_PASSWORD_WIDTH);
    size_t databaseEnd = input.ConsumeIntegralInRange<size_t>(0, HOST_DATABASE_WIDTH);
    size_t smallCapacity = input.ConsumeIntegralInRange<size_t>(0, COMMAND_LINE_CAPACITY);

    SettingsRecord settings;
    memset(&settings, input.ConsumeIntegral<unsigned char>(), sizeof settings);
    PutSetting(input, settings.SqlPlus, sizeof settings.SqlPlus);
    PutSetting(input, settings.Options, sizeof settings.Options);
    PutSetting(input, settings.ConnectString, sizeof settings.ConnectString);
    PutSetting(input, settings.WorkingDirectory, sizeof settings.WorkingDirectory);
    // Often a connect identifier typed in double quotes, as one with blanks
    // is, with a run of backslashes of any length before the closing one.
    if (input.ConsumeBool())
        snprintf(settings.ConnectString, sizeof settings.ConnectString, "\"%.*s\"",
                 static_cast<int>(sizeof settings.ConnectString - 3), (settings.ConnectString +
                 std::string(input.ConsumeIntegralInRange<size_t>(0, 259), '\\')).c_str());
    settings.ReadOnly = input.ConsumeIntegral<int>();
    settings.DeleteTemp = input.ConsumeIntegral<int>();
    bool namesFile = input.ConsumeBool();

    std::string path = input.ConsumeRandomLengthString(SCRIPT_PATH_CAPACITY - 1);
    std::string shortPath = input.ConsumeRandomLengthString(SCRIPT_PATH_CAPACITY - 1);

    // The rest fills the record; where it runs out, non-NUL bytes.
    std::unique_ptr<unsigned char[]> record(new unsigned char[HOST_RECORD_SIZE]);
    memset(record.get(), 'x', HOST_RECORD_SIZE);
    std::string bytes = input.ConsumeBytesAsString(HOST_RECORD_SIZE);
    memcpy(record.get(), bytes.data(), bytes.size());
    if (userEnd < HOST_USER_WIDTH)
        record[HOST_USER + userEnd] = '\0';
    if (passwordEnd < HOST_PASSWORD_WIDTH)
        record[HOST_PASSWORD + passwordEnd] = '\0';
    if (databaseEnd < HOST_DATABASE_WIDTH)
        record[HOST_DATABASE + databaseEnd] = '\0';

    // The client's name, and each folder of a PATH (the short path's bytes), lie within their values.
    size_t nameStart, nameEnd = ProgramNameIn(settings.SqlPlus, &nameStart);
    if (nameStart > nameEnd || nameEnd > strlen(settings.SqlPlus))
        Fail("client name outside its value", settings.SqlPlus, settings.SqlPlus);
    NamesFolder(settings.SqlPlus + nameStart, nameEnd - nameStart, [](unsigned char b) { return b >= 0x81; });
    std::wstring pathValue(shortPath.begin(), shortPath.end());
    for (size_t start = 0, end = 0; NextPathFolder(pathValue.c_str(), &start, &end);)
        if (end > pathValue.size() || end - start < 3)
            Fail("PATH folder outside its value", shortPath, shortPath.c_str());

    std::string expectedArgument = ReferenceArgument(path.c_str(), shortPath.c_str());
    std::unique_ptr<char[]> argument(new char[SCRIPT_ARGUMENT_CAPACITY]);
    memset(argument.get(), '#', SCRIPT_ARGUMENT_CAPACITY);
    bool fits = ScriptArgument(path.c_str(), shortPath.c_str(), argument.get(),
                               SCRIPT_ARGUMENT_CAPACITY);
    const char* text = TextIn(argument.get(), SCRIPT_ARGUMENT_CAPACITY);
    if (!fits || !text || expectedArgument != text)
        Fail(fits ? "script argument differs" : "script argument did not fit",
             expectedArgument, text);

    std::string expectedClient = ReferenceClient(settings.SqlPlus, namesFile);
    std::unique_ptr<char[]> client(new char[CLIENT_ARGUMENT_CAPACITY]);
    memset(client.get(), '#', CLIENT_ARGUMENT_CAPACITY);
    fits = ClientArgument(settings.SqlPlus, namesFile, client.get(), CLIENT_ARGUMENT_CAPACITY);
    text = TextIn(client.get(), CLIENT_ARGUMENT_CAPACITY);
    if (!fits || !text || expectedClient != text)
        Fail(fits ? "client argument differs" : "client argument did not fit", expectedClient, text);

    // The log-on script always fits its buffer whole.
    std::string expectedScript = ReferenceLogonScript(settings, record.get(), argument.get());
    std::unique_ptr<char[]> script(new char[LOGON_SCRIPT_CAPACITY]);
    memset(script.get(), '#', LOGON_SCRIPT_CAPACITY);
    fits = ComposeLogonScript(&settings, reinterpret_cast<const PL_HOSTINFO*>(record.get()),
                              argument.get(), script.get(), LOGON_SCRIPT_CAPACITY);
    text = TextIn(script.get(), LOGON_SCRIPT_CAPACITY);
    if (!fits || !text || expectedScript != text)
        Fail(fits ? "log-on script differs" : "log-on script did not fit", expectedScript, text);
    // Taken for a run's own by the sweep, unless a part holds a line end.
    size_t lineEnds = 0;
    for (size_t at = 0; (at = expectedScript.find("\r\n", at)) != std::string::npos; at += 2)
        ++lineEnds;
    if (HasLogonScriptShape(text, strlen(text)) != (lineEnds == 3))
        Fail("log-on script's shape misread", expectedScript, text);

    CheckLine(settings, record.get(), client.get(), argument.get(), false, smallCapacity);
    CheckLine(settings, record.get(), client.get(), argument.get(), true, smallCapacity);
    return 0;
}
