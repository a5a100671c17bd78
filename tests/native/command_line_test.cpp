#include "client/command_line_composition.h"
#include "client/program_names.h"
#include "run_files/logon_script_text.h"

#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const SCRIPT = "C:\\TEMP\\se3F.TMP";

// A host record exactly as long as the smallest host's, on the heap, so that
// AddressSanitizer catches a read past its end. Bytes the plug-in does not
// read hold '#', so one that leaks into a line shows.
struct Host
{
    std::vector<unsigned char> bytes = std::vector<unsigned char>(HOST_RECORD_SIZE, '#');

    Host(const char* user = "", const char* password = "", const char* database = "")
    {
        text(HOST_USER, HOST_USER_WIDTH, user);
        text(HOST_PASSWORD, HOST_PASSWORD_WIDTH, password);
        text(HOST_DATABASE, HOST_DATABASE_WIDTH, database);
    }
    // A field as the host lays it out: NUL-ended when shorter than its
    // width, else filling it with no NUL at all.
    void text(size_t offset, size_t width, const std::string& value)
    {
        ASSERT_LE(value.size(), width);
        memcpy(&bytes[offset], value.data(), value.size());
        if (value.size() < width)
            bytes[offset + value.size()] = '\0';
    }
    const PL_HOSTINFO* record() const { return reinterpret_cast<const PL_HOSTINFO*>(bytes.data()); }
};

// Settings as the settings file gives them: every text NUL-ended within its
// capacity, whatever follows the NUL.
struct Settings
{
    std::unique_ptr<SettingsRecord> record{new SettingsRecord};

    Settings(const char* sqlPlus = "sqlplus", const char* options = "",
             const char* connectString = "")
    {
        memset(record.get(), '#', sizeof *record);
        set(record->SqlPlus, sizeof record->SqlPlus, sqlPlus);
        set(record->Options, sizeof record->Options, options);
        set(record->ConnectString, sizeof record->ConnectString, connectString);
        set(record->WorkingDirectory, sizeof record->WorkingDirectory, "");
    }
    static void set(char* field, size_t capacity, const std::string& value)
    {
        ASSERT_LT(value.size(), capacity);
        memcpy(field, value.c_str(), value.size() + 1);
    }
};

// The line as the plug-in starts the client, and as it shows it in a message.
std::string Line(const Settings& settings, const Host& host, const char* script = SCRIPT,
                 bool masked = false)
{
    std::vector<char> line(COMMAND_LINE_CAPACITY, '#');
    EXPECT_TRUE(ComposeCommandLine(settings.record.get(), host.record(), settings.record->SqlPlus,
                                   script, masked, line.data(), line.size()));
    EXPECT_NE(nullptr, memchr(line.data(), '\0', line.size()));
    return line.data();
}

std::string Argument(const char* path, const char* shortPath)
{
    char argument[SCRIPT_ARGUMENT_CAPACITY];
    EXPECT_TRUE(ScriptArgument(path, shortPath, argument, sizeof argument));
    return argument;
}

} // namespace

TEST(CommandLine, LogOnShapes)
{
    // No user: no log-on at all, and neither the password nor the connect
    // string is used.
    EXPECT_EQ("sqlplus @C:\\TEMP\\se3F.TMP ",
              Line(Settings("sqlplus", "", "PROD"), Host("", "secret", "ORCL")));
    EXPECT_EQ("sqlplus APPUSER@ORCL @C:\\TEMP\\se3F.TMP ",
              Line(Settings(), Host("APPUSER", "", "ORCL")));
    EXPECT_EQ("sqlplus APPUSER/secret@ORCL @C:\\TEMP\\se3F.TMP ",
              Line(Settings(), Host("APPUSER", "secret", "ORCL")));
    EXPECT_EQ("sqlplus APPUSER/secret@PROD @C:\\TEMP\\se3F.TMP ",
              Line(Settings("sqlplus", "", "PROD"), Host("APPUSER", "secret", "ORCL")));
    // No connect identifier anywhere: the log-on ends in a bare "@".
    EXPECT_EQ("sqlplus APPUSER@ @C:\\TEMP\\se3F.TMP ",
              Line(Settings(), Host("APPUSER", "", "")));
    EXPECT_EQ("sqlplus APPUSER/secret@ @C:\\TEMP\\se3F.TMP ",
              Line(Settings(), Host("APPUSER", "secret", "")));
    // A double-byte character's second byte is no backslash. A connect
    // identifier in one pair of quotes goes as the runtime reads it from a
    // plain word: 2n backslashes before the closing quote give n; 2n+1, no pair.
    const LeadByteTest cp932 = [](unsigned char byte) { return byte >= 0x81; };
    const struct { const char *password, *connect; LeadByteTest lead; const char* logon; } words[] = {
        {"\x95\x5c", "DB", cp932, "U/\\\"\x95\x5c\\\"@DB"},
        {"\x95\x5c", "\"\x83\x5c\"", cp932, "U/\\\"\x95\x5c\\\"@\x83\x5c"},
        {"\x95\x5c", "\"\x83\x5c\\\\\"", cp932, "U/\\\"\x95\x5c\\\"@\x83\x5c\\"},
        {"a/b", "\"\x83\x5c\\\\\"", NULL, "U/\\\"a/b\\\"@\\\"\x83\\\\\\\\\\\\\\\""},
    };
    for (const auto& word : words) {
        char line[COMMAND_LINE_CAPACITY];
        ComposeCommandLine(Settings("sqlplus", "", word.connect).record.get(),
                           Host("U", word.password, "").record(), "sqlplus", SCRIPT, false, line,
                           sizeof line, word.lead);
        EXPECT_EQ(std::string("sqlplus ") + word.logon + " @C:\\TEMP\\se3F.TMP ", line) << word.connect;
    }
    // Nor is it one in the client's name, which then names no folder; nor is
    // a second byte a character the command interpreter reads.
    EXPECT_FALSE(NamesFolder("\x83\x5cqlplus", 8, cp932));
    EXPECT_TRUE(NamesFolder("\x83\x83\x5cqlplus", 9, cp932) && NamesFolder("\x83\x5cqlplus", 8, NULL));
    EXPECT_EQ('>', InterpreterCharacterIn("x.cmd \x83\x5e \x83\x7c \"a>b\" %", cp932));
    EXPECT_TRUE(InterpreterCharacterIn("x.cmd \x83\x5e", NULL) == '^' && !InterpreterCharacterIn("x.cmd U/p@(A=B) !\"'(),;=\x83", cp932));
}

TEST(CommandLine, ClientAndOptionsGoInAsTyped)
{
    EXPECT_EQ("C:\\Program Files\\Client\\sqlplus.exe APPUSER@ORCL @C:\\TEMP\\se3F.TMP ",
              Line(Settings("C:\\Program Files\\Client\\sqlplus.exe"), Host("APPUSER", "", "ORCL")));
    EXPECT_EQ("\"C:\\Program Files\\Client\\sqlplus.exe\" @C:\\TEMP\\se3F.TMP -S \"-M HTML ON\"",
              Line(Settings("\"C:\\Program Files\\Client\\sqlplus.exe\"", "-S \"-M HTML ON\""), Host()));
    EXPECT_EQ("sqlplus @C:\\TEMP\\se3F.TMP -S -L", Line(Settings("sqlplus", "-S -L"), Host()));
    // Empty options still leave the blank before them.
    std::string line = Line(Settings(), Host("A", "", "B"));
    EXPECT_EQ(' ', line.back());
    EXPECT_EQ("sqlplus A@B @C:\\TEMP\\se3F.TMP ", line);
    // An empty client setting is not replaced here: the settings file does that.
    EXPECT_EQ(" @C:\\TEMP\\se3F.TMP ", Line(Settings(""), Host()));
    // But a batch file, its program as the line names it without the dots
    // and blanks the platform drops, once found goes by its full path in
    // quotes, the longest in its buffer.
    for (const char* batch : {"sqlplus.cmd", "SqlPlus.BAT -L", "\"x.cmd. .\" -L", ".cmd", "\"C:\\a b\\x.bat\""})
        EXPECT_TRUE(IsBatchProgram(batch)) << batch;
    for (const char* other : {"cmd", "x.cmdx", "\"x.bat\t\"", "x -L.cmd", "C:\\a b\\x.bat"})
        EXPECT_FALSE(IsBatchProgram(other)) << other;
    std::string program(PATH_CAPACITY - 1, 'p'), rest = "\" -" + std::string(SETTINGS_TEXT_CAPACITY - 10, 'r');
    char named[STARTED_CLIENT_CAPACITY];
    EXPECT_TRUE(NameProgramByPath(("\"x.cmd" + rest).c_str(), program.c_str(), named, sizeof named));
    EXPECT_EQ("\"" + program + "\" -" + rest.substr(3), named);
}

TEST(CommandLine, MaskedLineShowsEightAsterisksInThePasswordsPlace)
{
    for (const std::string& password : {std::string("x"), std::string("secret"),
                                       std::string("12345678"), std::string(40, 'p'),
                                       std::string(HOST_PASSWORD_WIDTH, 'q')}) {
        Host host("APPUSER", "", "ORCL");
        host.text(HOST_PASSWORD, HOST_PASSWORD_WIDTH, password);
        EXPECT_EQ("sqlplus APPUSER/********@ORCL @C:\\TEMP\\se3F.TMP -S",
                  Line(Settings("sqlplus", "-S"), host, SCRIPT, true)) << password.size();
        EXPECT_EQ("sqlplus APPUSER/" + password + "@ORCL @C:\\TEMP\\se3F.TMP -S",
                  Line(Settings("sqlplus", "-S"), host, SCRIPT, false));
    }
}

TEST(CommandLine, MaskingGoesByPositionNotByTheText)
{
    // The password also stands in the user, the client, the connect string,
    // the script path and the options: only its own place is masked.
    EXPECT_EQ("se3F se3F/********@se3F @C:\\TEMP\\se3F.TMP se3F",
              Line(Settings("se3F", "se3F", "se3F"), Host("se3F", "se3F", "ORCL"), SCRIPT, true));
    // A password of asterisks or "@" is masked the same way, in its quotes.
    EXPECT_EQ(R"(sqlplus U/\"********\"@DB @C:\TEMP\se3F.TMP )",
              Line(Settings(), Host("U", "@", "DB"), SCRIPT, true));
    EXPECT_EQ(R"(sqlplus U/\"********\"@DB @C:\TEMP\se3F.TMP )",
              Line(Settings(), Host("U", "***", "DB"), SCRIPT, true));
    // Without a password, or without a user (so no log-on), nothing is masked.
    EXPECT_EQ("sqlplus U@DB @C:\\TEMP\\se3F.TMP ", Line(Settings(), Host("U", "", "DB"), SCRIPT, true));
    EXPECT_EQ("sqlplus @C:\\TEMP\\se3F.TMP ", Line(Settings(), Host("", "secret", "DB"), SCRIPT, true));
}

TEST(ScriptArgument, PathWithBlankGoesByShortFormElseInQuotes)
{
    EXPECT_EQ("C:\\TEMP\\se3F.TMP", Argument("C:\\TEMP\\se3F.TMP", ""));
    // A path without a blank is never swapped for its short form.
    EXPECT_EQ("C:\\Temp.Folder\\se3F.tmp", Argument("C:\\Temp.Folder\\se3F.tmp", "C:\\TEMPFO~1\\se3F.tmp"));
    EXPECT_EQ("C:\\Users\\ANNLEE~1\\AppData\\Local\\Temp\\se3F.tmp",
              Argument("C:\\Users\\Ann Lee\\AppData\\Local\\Temp\\se3F.tmp",
                       "C:\\Users\\ANNLEE~1\\AppData\\Local\\Temp\\se3F.tmp"));
    EXPECT_EQ("\"C:\\Users\\Ann Lee\\AppData\\Local\\Temp\\se3F.tmp\"",
              Argument("C:\\Users\\Ann Lee\\AppData\\Local\\Temp\\se3F.tmp", ""));
    // A short form that still has a blank would split just the same.
    EXPECT_EQ("\"C:\\Ann Lee\\se3F.tmp\"", Argument("C:\\Ann Lee\\se3F.tmp", "C:\\Ann Lee\\se3F.tmp"));

    // A quoted argument goes into the line as it is, the quotes glued to "@".
    char argument[SCRIPT_ARGUMENT_CAPACITY];
    ASSERT_TRUE(ScriptArgument("C:\\Ann Lee\\se3F.tmp", "", argument, sizeof argument));
    EXPECT_EQ("sqlplus U/********@DB @\"C:\\Ann Lee\\se3F.tmp\" ",
              Line(Settings(), Host("U", "pw", "DB"), argument, true));
}

TEST(ScriptArgument, LongestPathInQuotesFitsItsCapacity)
{
    std::string path = "C:\\A B\\" + std::string(SCRIPT_PATH_CAPACITY - 1 - 7, 's');
    ASSERT_EQ(static_cast<size_t>(SCRIPT_PATH_CAPACITY - 1), path.size());
    std::vector<char> argument(SCRIPT_ARGUMENT_CAPACITY);
    EXPECT_TRUE(ScriptArgument(path.c_str(), "", argument.data(), argument.size()));
    EXPECT_EQ("\"" + path + "\"", argument.data());
    // One byte less and the result is cut, still ended by a NUL.
    std::vector<char> small(SCRIPT_ARGUMENT_CAPACITY - 1, '#');
    EXPECT_FALSE(ScriptArgument(path.c_str(), "", small.data(), small.size()));
    EXPECT_EQ("\"" + path, small.data());
}

TEST(CommandLine, EveryFieldAtItsCapacityFitsExactly)
{
    const std::string client(SETTINGS_TEXT_CAPACITY - 1, 'c');
    const std::string options(SETTINGS_OPTIONS_CAPACITY - 1, 'o');
    // The longest log-on word: every quote escaped, every backslash doubled
    // before the password's closing quote, and the word in quotes.
    const std::string connect(SETTINGS_TEXT_CAPACITY - 1, '"');
    const std::string user = " " + std::string(HOST_USER_WIDTH - 1, '"');
    const std::string password(HOST_PASSWORD_WIDTH, '\\');
    std::string quotes;   // user's, then the connect identifier's, escaped
    for (size_t i = 1; i < HOST_USER_WIDTH + SETTINGS_TEXT_CAPACITY - 1; ++i)
        quotes += "\\\"";
    const std::string head = "\" " + quotes.substr(0, 2 * (HOST_USER_WIDTH - 1)) + "/\\\"";
    const std::string tail = "\\\"@" + quotes.substr(2 * (HOST_USER_WIDTH - 1)) + "\"";
    const std::string database(HOST_DATABASE_WIDTH, 'd');
    const std::string path = "C:\\A B\\" + std::string(SCRIPT_PATH_CAPACITY - 1 - 7, 's');

    // Host fields fill their widths with no NUL: Database runs straight into
    // User, User into the GetEditor entry, Password into MainWindow.
    Host host;
    host.text(HOST_USER, HOST_USER_WIDTH, user);
    host.text(HOST_PASSWORD, HOST_PASSWORD_WIDTH, password);
    host.text(HOST_DATABASE, HOST_DATABASE_WIDTH, database);
    char argument[SCRIPT_ARGUMENT_CAPACITY];
    ASSERT_TRUE(ScriptArgument(path.c_str(), "", argument, sizeof argument));

    const std::string longest =
        client + " " + head + password + password + tail + " @\"" + path + "\" " + options;
    // The longest line has room for the client in quotes too, and for a
    // batch file's full path in place of its name.
    EXPECT_EQ(static_cast<size_t>(COMMAND_LINE_CAPACITY - 1), longest.size() + 2 + PATH_CAPACITY);
    Settings settings(client.c_str(), options.c_str(), connect.c_str());
    EXPECT_EQ(longest, Line(settings, host, argument));
    EXPECT_EQ(client + " " + head + "********" + tail + " @\"" + path + "\" " + options,
              Line(settings, host, argument, true));

    // The host's Database alone: its 64 bytes and not one of User's.
    Settings noConnect(client.c_str(), options.c_str(), "");
    EXPECT_EQ(client + " " + head + password + password + "\\\"@" + database + "\" @\"" + path + "\" " +
                  options,
              Line(noConnect, host, argument));

    // A buffer one byte short cuts the line and says so.
    std::vector<char> short_(longest.size(), '#');
    EXPECT_FALSE(ComposeCommandLine(settings.record.get(), host.record(), client.c_str(), argument,
                                    false, short_.data(), short_.size()));
    EXPECT_EQ(longest.substr(0, short_.size() - 1), short_.data());

    // The interpreter's line of a batch file: the longest line, with the
    // longest interpreter path, fills its buffer exactly.
    const std::string interpreter(PATH_CAPACITY - 1, 'i'), line(COMMAND_LINE_CAPACITY - 1, 'l');
    std::vector<char> started(INTERPRETER_LINE_CAPACITY, '#');
    EXPECT_TRUE(ComposeInterpreterLine(interpreter.c_str(), line.c_str(), started.data(), started.size()));
    EXPECT_EQ("\"" + interpreter + "\" /d /e:on /v:off /s /c \"" + line + "\"", started.data());
    EXPECT_FALSE(ComposeInterpreterLine(interpreter.c_str(), (line + "l").c_str(), started.data(), started.size()));
}

TEST(CommandLine, LineThatFitsTheShortBufferIsComposedWhole)
{
    // 260 characters: the longest line the classic 261-byte buffer holds,
    // composed exactly, and the same in a buffer of just that size.
    Host host("APPUSER", "secret", "ORCL");
    const std::string tail = " APPUSER/secret@ORCL @C:\\TEMP\\se3F.TMP -S";
    const std::string client = "C:\\" + std::string(260 - tail.size() - 15, 'c') + "\\sqlplus.exe";
    ASSERT_EQ(260u, client.size() + tail.size());
    Settings settings(client.c_str(), "-S");
    EXPECT_EQ(client + tail, Line(settings, host));

    char line[261];
    memset(line, '#', sizeof line);
    EXPECT_TRUE(ComposeCommandLine(settings.record.get(), host.record(), client.c_str(), SCRIPT,
                                   false, line, sizeof line));
    EXPECT_EQ(client + tail, line);

    // One more character no longer fits 261 bytes, but still the longest buffer.
    Settings longer(client.c_str(), "-SL");
    EXPECT_FALSE(ComposeCommandLine(longer.record.get(), host.record(), client.c_str(), SCRIPT,
                                    false, line, sizeof line));
    EXPECT_EQ(client + tail, line);
    EXPECT_EQ(client + tail + "L", Line(longer, host));
}

TEST(LogonScript, OnlyAWholeLogOnScriptHasItsShape)
{
    const std::string longest = "connect " + std::string(LOGON_SCRIPT_CAPACITY - 13, 'u') + "\r\n@\r\n";
    const struct { std::string text; bool shaped; } cases[] = {
        {"set echo off\r\nconnect U/\"a b\"@DB\r\n@C:\\se3F.TMP -S\r\n", true}, {longest, false},
        {"connect U@DB\r\n@x.tmp \r\n", true}, {"connect U@DB\r\n@x.tmp\r\nexit\r\n", false},
        {"connect " + longest.substr(9), true}, {"connect U@DB\r\n@x.tmp", false}, {"", false},
        {"connect U@DB\n@x.tmp\n", false}, {"set echo on\r\nconnect U@DB\r\n@x\r\n", false},
        {std::string("connect U@DB\r\n@x\0\r\n", 19), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shaped, HasLogonScriptShape(c.text.data(), c.text.size())) << c.text;
}
