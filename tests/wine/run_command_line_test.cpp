// The client's command line, byte for byte: as the plug-in asks the platform
// to start it, and as the client stand-in receives and reads it.
#include "tests/wine/run_fixture.h"

#include "resources/resource.h"
#include "tests/wine/dialog_driver.h"

using namespace run_test;

namespace {

class ClientCommandLine : public RunTest
{
protected:
    // Runs once with the script kept; the path of the one script file the
    // run left in the work folder.
    std::string RunKeepingTheScript()
    {
        OnCall();
        std::vector<std::string> left = ScriptsLeft();
        if (left.size() != 1) {
            ADD_FAILURE() << left.size() << " script files left";
            return "";
        }
        return workFolder + "\\" + left[0];
    }

    void StartOver()
    {
        for (const std::string& name : ScriptsLeft())
            DeleteFileA((workFolder + "\\" + name).c_str());
        DeleteFileA(clientLog.c_str());
        HostCalls.clear();
        StartRequests.clear();
        ShownMessages.clear();
    }
};

// The text between " @" and the blank before the options.
std::string ScriptArgumentOf(const std::string& line, const std::string& client)
{
    size_t start = client.size() + 2;
    size_t end = line.rfind(' ');
    return start <= end ? line.substr(start, end - start) : std::string();
}

} // namespace

TEST_F(ClientCommandLine, CarriesEachShapeOfLogOnAndTheOptionsLast)
{
    struct Case
    {
        const char* user;
        const char* password;
        const char* database;
        const char* connectString;
        const char* options;
        const char* logon;   // as it goes on the line
        const char* argument = nullptr;   // as the client gets it, when not the same
    };
    const Case cases[] = {
        // No user: no log-on at all, and the connect string is not used.
        {"", "tiger", "ORCL", "PROD", "-L", ""},
        {"APPUSER", "", "ORCL", "", "", "APPUSER@ORCL"},
        {"APPUSER", "tiger", "ORCL", "", "", "APPUSER/tiger@ORCL"},
        {"APPUSER", "tiger", "ORCL", "PROD", "-S -L", "APPUSER/tiger@PROD"},
        {"APPUSER", "tiger", "ORCL", "\" PROD \"", "", "APPUSER/tiger@PROD"},   // blanks at its ends, kept in quotes
        // A password SQL*Plus would split goes in quotes, escaped for the
        // client's runtime.
        {"APPUSER", "Spring@2026", "ORCL", "", "", R"(APPUSER/\"Spring@2026\"@ORCL)", R"(APPUSER/"Spring@2026"@ORCL)"},
        {"APPUSER", "a/b", "ORCL", "", "-S", R"(APPUSER/\"a/b\"@ORCL)", R"(APPUSER/"a/b"@ORCL)"},
        {"APPUSER", "two words", "ORCL", "", "", R"("APPUSER/\"two words\"@ORCL")", R"(APPUSER/"two words"@ORCL)"},
        {"APPUSER", R"(ends\)", "ORCL", "", "", R"(APPUSER/\"ends\\\"@ORCL)", R"(APPUSER/"ends\"@ORCL)"},
        // A connect identifier typed in quotes for its blanks (stored in one
        // more pair) reaches the client without them, whatever the password.
        {"APPUSER", "tiger", "ORCL", "\"\"(HOST = h)\"\"", "", "APPUSER/tiger@\"(HOST = h)\"",
         "APPUSER/tiger@(HOST = h)"},
        {"APPUSER", "a/b", "ORCL", "\"\"(HOST = h)\"\"", "", R"x("APPUSER/\"a/b\"@(HOST = h)")x",
         R"x(APPUSER/"a/b"@(HOST = h))x"},
        // 2n backslashes before the closing quote give n and close the pair.
        {"APPUSER", "tiger", "ORCL", R"(""db one\\"")", "", R"(APPUSER/tiger@"db one\\")",
         R"(APPUSER/tiger@db one\)"},
        {"APPUSER", "a/b", "ORCL", R"(""db one\\"")", "", R"("APPUSER/\"a/b\"@db one\\")",
         R"(APPUSER/"a/b"@db one\)"},
        // Nothing to connect to: the log-on ends in a bare "@".
        {"APPUSER", "", "", "", "", "APPUSER@"},
    };
    EditorText = "select user from dual;\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("log-on '") + c.logon + "', options '" + c.options + "'");
        StartOver();
        SetHostText(HOST_USER, HOST_USER_WIDTH, c.user);
        SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, c.password);
        SetHostText(HOST_DATABASE, HOST_DATABASE_WIDTH, c.database);
        Settings(std::string("Options=") + c.options + "\r\nConnectString=" + c.connectString + "\r\n");

        std::string script = RunKeepingTheScript();
        std::string logon = c.logon[0] ? std::string(" ") + c.logon : std::string();
        // The blank before the options stays when there are none.
        std::string expected = client + logon + " @" + script + " " + c.options;

        ASSERT_EQ(1u, StartRequests.size());
        EXPECT_EQ(expected, StartRequests[0].line);
        std::vector<ClientRun> runs = ClientRuns();
        ASSERT_EQ(1u, runs.size());
        EXPECT_EQ(expected, runs[0]["command-line"]);
        const char* argument = c.argument ? c.argument : c.logon;
        EXPECT_EQ(argument, runs[0]["logon"]);
        EXPECT_EQ(c.user, runs[0]["user"]);
        EXPECT_EQ(c.user[0] ? c.password : "", runs[0]["password"]);
        EXPECT_EQ(c.user[0] ? strrchr(argument, '@') + 1 : "", runs[0]["connect-identifier"]);
        EXPECT_EQ(script, runs[0]["script-path"]);
        EXPECT_EQ(EditorText, runs[0]["script"]);
        EXPECT_TRUE(ShownMessages.empty());
    }
}

TEST_F(ClientCommandLine, StartsTheClientFromTheLineAloneInTheHostsSurroundings)
{
    Settings();
    EditorText = "select 1 from dual;";
    OnCall();
    ASSERT_EQ(1u, StartRequests.size());
    const StartRequest& start = StartRequests[0];
    EXPECT_EQ("", start.program) << "the client is named by its folder";
    EXPECT_FALSE(start.inheritHandles);
    EXPECT_EQ(0u, start.flags & ~static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_TRUE(start.hostEnvironment);
    EXPECT_TRUE(start.hostDirectory);
    EXPECT_EQ(sizeof(STARTUPINFOA), start.startupSize);
    EXPECT_TRUE(start.startupZeroed);

    // The working directory holds the scripts; the client runs in the
    // host's current directory.
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size());
    char current[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(std::string(current, length), runs[0]["directory"]);
}

// A client named without a folder is never taken from the current folder
// (where the user last opened a file), nor by a relative PATH entry (".", or
// "C:." for the drive's current folder): the host's folder (holding
// sqlplus.exe) comes first, then the system folder (under WoW64, System32 as
// a 32-bit program sees it: SysWOW64), then the client's PATH, where a folder
// of the client's name is passed over. Run under code page 932, where the
// second byte of "\x83\x5c" is that of a backslash: that name is a name too
// (read as written from a Unicode settings file as well), and a file in the
// current folder named like the value with its option (which the quoting
// would take for a path) is never run either. A batch
// file found goes by its full path: the command interpreter that runs it
// would look its name up in the current folder first; one that is not there
// never starts the interpreter, and the message shows the client's line.
TEST_F(ClientCommandLine, AClientWithoutAFolderEvenADoubleByteOneIsNeverTakenFromTheCurrentFolder)
{
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    std::string current = folder + "\\downloads", path = folder + "\\client bin", own = folder + "\\own";
    char system[MAX_PATH];
    std::string inSystem = std::string(system, GetSystemDirectoryA(system, MAX_PATH)) + "\\sqlplus22.exe";
    const std::string name = "\x83\x5cqlplus";
    for (const std::string& copy : {current + "\\sqlplus.exe", path + "\\sqlplus.exe", current + "\\sqlplus19.exe",
                                    current + "\\" + name + ".exe", path + "\\" + name + ".exe", inSystem,
                                    current + "\\" + name + " -L.exe", path + "\\sqlplus22.exe",
                                    path + "\\sqlplus19.exe", current + "\\sqlplus20.exe", own + "\\sqlplus21.exe"}) {
        if (copy != inSystem)
            CreateDirectoryA(copy.substr(0, copy.find('\\', folder.size() + 1)).c_str(), NULL);
        ASSERT_TRUE(CopyFileA(client.c_str(), copy.c_str(), FALSE));
    }
    ASSERT_TRUE(CreateDirectoryA((own + "\\sqlplus19.exe").c_str(), NULL));
    WriteWholeFile(path + "\\sqlplus.cmd", "@\"" + client + "\" %*\r\n");
    WriteWholeFile(current + "\\sqlplus.cmd", "@echo planted>\"" + folder + "\\planted.txt\"\r\n");
    char hostCurrent[MAX_PATH];
    GetCurrentDirectoryA(sizeof hostCurrent, hostCurrent);
    SetEnvironmentVariableA("PATH", (".;" + current.substr(0, 2) + ".;" + path).c_str());
    SetCurrentDirectoryA(current.c_str());
    SetHostText(HOST_USER, HOST_USER_WIDTH, "APPUSER");
    const struct { std::string value, environment, program, started = ""; } cases[] = {
        {"sqlplus19", "", path + "\\sqlplus19.exe"}, {"\"sqlplus19\" -L", "", path + "\\sqlplus19.exe"},
        {"sqlplus", "", BuildFolder() + "\\sqlplus.exe"}, {"sqlplus21", "PATH=" + own, own + "\\sqlplus21.exe"},
        {"sqlplus20", "", ""}, {"sqlplus19.exe", "PATH=" + own + ";" + path + "\\", path + "\\sqlplus19.exe"},
        {folder + "\\gone.cmd", "", ""},
        {name, "", path + "\\" + name + ".exe"}, {name + " -L", "", path + "\\" + name + ".exe"},
        {"sqlplus22", "", inSystem}, {"\"SqlPlus.Cmd\" -L", "", path + "\\SqlPlus.Cmd", "\"" + path + "\\SqlPlus.Cmd\" -L"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        StartOver();
        client = c.value;
        Settings("", "[Environment]\r\n" + c.environment + "\r\n");
        if (c.value == name + " -L")
            WriteSettingsFile("\xFF\xFE" + Utf16Bytes(ReadSettingsFile(), false, CP_ACP));
        std::string line = (c.started.empty() ? client : c.started) + " APPUSER@ @" + RunKeepingTheScript() + " ";
        ClientRun run = ClientRuns().empty() ? ClientRun() : ClientRuns()[0];
        // A batch file found starts through the command interpreter.
        EXPECT_EQ(c.started.empty() ? c.program : Interpreter(), StartRequests.empty() ? "" : StartRequests[0].program);
        EXPECT_EQ(c.program.empty() ? "" : c.started.empty() ? line : InterpreterLine(line),
                  StartRequests.empty() ? "" : StartRequests[0].line);
        // The client ran with its log-on; the batch file planted in the current folder never ran.
        EXPECT_TRUE(run["logon"] == (c.program.empty() ? "" : "APPUSER@") && !FileExists(folder + "\\planted.txt"));
        if (c.program.empty())
            ExpectOneRunError(FormatMessageText("RUN : %s\nERROR: %d\nMSG:%s\n", line, ERROR_FILE_NOT_FOUND));
    }
    SetCurrentDirectoryA(hostCurrent);
    DeleteFileA(inSystem.c_str());
}

// A batch-file client starts through the command interpreter itself, its line whole: a password in quotes from
// a batch file in a folder with a blank reaches the client exactly, a relative working directory goes by its full
// path (into the log-on script too), and the client's environment keeps the interpreter's program search out of
// the current folder, unless [Environment] names that variable. A client that is no batch file starts as before.
TEST_F(ClientCommandLine, ABatchClientStartsThroughTheInterpreterWithItsLineWhole)
{
    const std::string batch = folder + "\\Oracle Tools\\sqlplus.cmd", quoted = "\"" + batch + "\"", standIn = client;
    CreateDirectoryA((folder + "\\Oracle Tools").c_str(), NULL);
    WriteWholeFile(batch, "@\"" + standIn + "\" %*\r\n");
    char hostCurrent[MAX_PATH];
    GetCurrentDirectoryA(sizeof hostCurrent, hostCurrent);
    SetCurrentDirectoryA(folder.c_str());
    SetClientControl("TAMSIL_CLIENT_VARIABLES", "NoDefaultCurrentDirectoryInExePath");
    SetHostText(HOST_USER, HOST_USER_WIDTH, "APPUSER");
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "two words");
    EditorText = "select 1 from dual;\r\n";
    workFolder = "work";
    // SqlPlus, more settings and [Environment], the client on its line, the variable it gets ("-": none).
    const struct { std::string value, settings, started, variable; } rows[] = {
        {batch, "", quoted, "1"}, {standIn, "", standIn, "-"},
        {quoted + " -L", "HidePassword=1\r\n[Environment]\r\nnodefaultcurrentdirectoryinexepath=0\r\n", quoted + " -L",
         "0"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        StartOver();
        WriteSettingsFile("[Path]\r\nSqlPlus=" + (client = row.value) + "\r\nWorkingDirectory=work\r\n"
                          "[Settings]\r\nOptions=-S\r\n" + row.settings);
        std::string script = RunKeepingTheScript(), onLine = client == standIn ? script : folder + "\\" + script;
        std::string line = row.started + " \"APPUSER/\\\"two words\\\"@\" @" + onLine + " -S";
        const std::string& started = StartRequests.empty() ? line : StartRequests[0].line;
        if (!row.settings.empty())   // the log-on script, named by the platform
            line = row.started + started.substr(started.find(" /nolog @"), started.size() - started.find(" /nolog @") - 1);
        EXPECT_EQ(client != standIn ? InterpreterLine(line) : line, started);
        EXPECT_EQ(client != standIn ? Interpreter() : "", StartRequests.empty() ? "" : StartRequests[0].program);
        ClientRun run = ClientRuns().empty() ? ClientRun() : ClientRuns()[0];
        EXPECT_TRUE(run["password"] == "two words" && run["script-path"] == onLine && run["script"] == EditorText);
        EXPECT_EQ(row.variable, run.count("no-variable NoDefaultCurrentDirectoryInExePath") ? "-" :
                                run["variable NoDefaultCurrentDirectoryInExePath"]);
    }
    SetCurrentDirectoryA(hostCurrent);
}

// Values as the user types them into the settings dialog, saved, and on the
// next run's line. The platform's search would find an unquoted client path
// with blanks by trying its words in turn, but Windows starts the program
// from the first word that names one and gives the client the rest as its
// log-on.
TEST_F(ClientCommandLine, WhatTheUserTypesIntoTheDialogReachesTheClientAsMeant)
{
    std::string clientFolder = folder + "\\client dir";
    ASSERT_TRUE(CreateDirectoryA(clientFolder.c_str(), NULL));
    std::string path = clientFolder + "\\sqlplus_standin.exe";
    ASSERT_TRUE(CopyFileA(client.c_str(), path.c_str(), FALSE));
    // What an unquoted "...\\client dir\\sqlplus_standin" would start.
    ASSERT_TRUE(CopyFileA(client.c_str(), (folder + "\\client.exe").c_str(), FALSE));
    std::string noExe = path.substr(0, path.size() - 4), scripts = folder + "\\my scripts";
    // A client named without ".exe" and with options, 258 bytes in all: the
    // name with ".exe" is too long for the 8-bit file services to look at.
    std::string longValue = client.substr(0, client.size() - 4) + " -";
    longValue += std::string(258 - longValue.size(), 'L');
    ASSERT_TRUE(CreateDirectoryA(scripts.c_str(), NULL));
    SetHostText(HOST_USER, HOST_USER_WIDTH, "APPUSER");
    SetHostText(HOST_DATABASE, HOST_DATABASE_WIDTH, "ORCL");
    EditorText = "select 1 from dual;";
    const struct { int id; std::string typed, started, options, parameters, scripts; } cases[] = {
        // An existing file with a blank goes in quotes, whether or not the
        // user typed them, or its ".exe"; a value with a quote as typed.
        // Blanks at its ends never name anything.
        {IDC_SQLPLUS, " " + path + "\t", "\"" + path + "\"", "", "", workFolder},
        {IDC_SQLPLUS, "\"" + path + "\"", "\"" + path + "\"", "", "", workFolder},
        {IDC_SQLPLUS, noExe, "\"" + noExe + "\"", "", "", workFolder},
        {IDC_SQLPLUS, "\"" + path + "\" -L", "\"" + path + "\" -L", "", "", workFolder},
        {IDC_SQLPLUS, longValue, longValue, "", "", workFolder},
        // Blanks at the ends of a value stay, so one parameter stays one.
        {IDC_OPTIONS, "\"EMEA 2026\" ", client, "\"EMEA 2026\" ", "EMEA 2026\n", workFolder},
        // A folder with blanks, typed in quotes as users do.
        {IDC_WORKDIR, "\"" + scripts + "\" ", client, "", "", scripts},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        workFolder = c.scripts;
        StartOver();
        Settings();
        DriveDialog([this] { OnSettings(); }, [&](HWND dialog) {
            SetControlText(dialog, c.id, c.typed);
            Click(dialog, IDOK);
        });
        std::string script = RunKeepingTheScript();
        char shortScript[MAX_PATH] = "";
        GetShortPathNameA(script.c_str(), shortScript, sizeof shortScript);
        std::string argument = script.find(' ') == std::string::npos ? script : shortScript;
        ASSERT_EQ(1u, StartRequests.size());
        EXPECT_EQ(c.started + " APPUSER@ORCL @" + argument + " " + c.options, StartRequests[0].line);
        std::vector<ClientRun> runs = ClientRuns();
        ASSERT_EQ(1u, runs.size()) << "the client did not run";
        EXPECT_EQ("APPUSER@ORCL", runs[0]["logon"]);
        EXPECT_EQ(c.parameters, runs[0]["parameters"]);
        EXPECT_EQ(EditorText, runs[0]["script"]);
    }
}

TEST_F(ClientCommandLine, AScriptPathWithBlanksReachesTheClientAsOnePath)
{
    workFolder = folder + "\\work dir";
    ASSERT_TRUE(CreateDirectoryA(workFolder.c_str(), NULL));
    SetHostText(HOST_USER, HOST_USER_WIDTH, "APPUSER");
    SetHostText(HOST_DATABASE, HOST_DATABASE_WIDTH, "ORCL");
    EditorText = "select 1 from dual;\r\n";
    SetClientControl("TAMSIL_CLIENT_ACTION", "append");
    SetClientControl("TAMSIL_CLIENT_TEXT", "select 2 from dual;\r\n");
    Settings();

    std::string script = RunKeepingTheScript();
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(script.c_str(), shortPath, sizeof shortPath);
    ASSERT_GT(length, 0u);
    ASSERT_EQ(std::string::npos, std::string(shortPath).find(' ')) << "the volume gives no short form";
    ASSERT_EQ(1u, StartRequests.size());
    EXPECT_EQ(client + " APPUSER@ORCL @" + shortPath + " ", StartRequests[0].line);
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(shortPath, runs[0]["script-path"]);
    EXPECT_EQ("select 1 from dual;\r\n", runs[0]["script"]);
    // The file read back is the one reserved, under its own name.
    EXPECT_EQ(std::vector<std::string>{"select 1 from dual;\r\nselect 2 from dual;\r\n"}, SetTexts());
    EXPECT_EQ("select 1 from dual;\r\nselect 2 from dual;\r\n", ReadWholeFile(script));

    // The file deleted is the one reserved, too.
    StartOver();
    Settings("DeleteTemp=1\r\n");
    OnCall();
    EXPECT_EQ(1u, ClientRuns().size());
    EXPECT_TRUE(ScriptsLeft().empty());
}

namespace {

template <typename Char>
DWORD WINAPI NoShortPath(const Char*, Char*, DWORD)
{
    SetLastError(ERROR_INVALID_FUNCTION);
    return 0;
}

} // namespace

TEST_F(ClientCommandLine, AScriptPathWithBlanksAndNoShortFormGoesInQuotes)
{
    // As on a volume that keeps no short names.
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "GetShortPathNameA",
                            reinterpret_cast<void*>(&NoShortPath<char>)) != NULL);
    workFolder = folder + "\\work dir";
    ASSERT_TRUE(CreateDirectoryA(workFolder.c_str(), NULL));
    EditorText = "select 1 from dual;\r\n";
    SetClientControl("TAMSIL_CLIENT_ACTION", "rewrite");
    SetClientControl("TAMSIL_CLIENT_TEXT", "select 3 from dual;\r\n");
    Settings("Options=-S\r\n");

    std::string script = RunKeepingTheScript();
    ASSERT_EQ(1u, StartRequests.size());
    EXPECT_EQ(client + " @\"" + script + "\" -S", StartRequests[0].line);
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(script, runs[0]["script-path"]);
    EXPECT_EQ("select 1 from dual;\r\n", runs[0]["script"]);
    EXPECT_EQ(std::vector<std::string>{"select 3 from dual;\r\n"}, SetTexts());
}

TEST_F(ClientCommandLine, APathWithoutBlanksGoesInUnchanged)
{
    Settings();
    std::string script = RunKeepingTheScript();
    ASSERT_EQ(1u, StartRequests.size());
    EXPECT_EQ(script, ScriptArgumentOf(StartRequests[0].line, client));
    EXPECT_EQ(0u, script.find(workFolder + "\\se"));
}

TEST_F(ClientCommandLine, TheLongestLineIsComposedWholeAndShownWithoutThePassword)
{
    // Every setting and host field at its capacity; the host's texts fill
    // their fields without a NUL.
    std::string program = ".\\no-such-client-" + std::string(300, 'c');
    std::string connect(300, 'd');
    std::string options = "-" + std::string(200, 'o');
    std::string user(HOST_USER_WIDTH, 'u');
    std::string password(HOST_PASSWORD_WIDTH, 'p');
    SetHostText(HOST_USER, HOST_USER_WIDTH, user);
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, password);
    SetHostText(HOST_DATABASE, HOST_DATABASE_WIDTH, std::string(HOST_DATABASE_WIDTH, 'b'));
    // A folder as deep as a reserved name in it can be.
    const size_t deepest = MAX_PATH - 14;
    workFolder = folder;
    while (workFolder.size() + 2 <= deepest) {
        workFolder += "\\" + std::string(std::min<size_t>(60, deepest - workFolder.size() - 1), 'w');
        ASSERT_TRUE(CreateDirectoryA(workFolder.c_str(), NULL)) << workFolder.size();
    }
    client = program;
    Settings("Options=" + options + "\r\nConnectString=" + connect + "\r\n");
    EditorText = "select 1 from dual;";

    std::string script = RunKeepingTheScript();
    EXPECT_GE(script.size(), 250u);
    std::string tail = "@" + connect.substr(0, 259) + " @" + script + " " + options.substr(0, 126);
    std::string head = program.substr(0, 259) + " " + user + "/";
    ASSERT_EQ(1u, StartRequests.size());
    EXPECT_EQ(head + password + tail, StartRequests[0].line);
    ExpectOneRunError("RUN : " + head + "********" + tail + "\nERROR: " +
                      std::to_string(StartRequests[0].error) + "\nMSG:" +
                      SystemText(StartRequests[0].error) + "\n");
    EXPECT_TRUE(SetTexts().empty());
}

TEST_F(ClientCommandLine, WithoutAWorkingDirectoryTheScriptGoesToTheTemporaryFolder)
{
    workFolder = "";
    Settings("DeleteTemp=1\r\n");
    EditorText = "select 1 from dual;";
    OnCall();
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size());
    char temporary[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temporary, temporary);
    std::string script = runs[0]["script-path"];
    EXPECT_EQ(std::string(temporary, length) + "se", script.substr(0, length + 2));
    EXPECT_EQ(EditorText, runs[0]["script"]);
    EXPECT_FALSE(FileExists(script));
}

// With HidePassword the client gets no log-on on its line, only a log-on
// script in the temporary folder that connects and then runs the script with
// its parameters; the script's changes come back as before, and the log-on
// script is gone once the client has ended. Without a user or a password
// the classic line stays.
TEST_F(ClientCommandLine, HidePasswordPassesTheLogOnInAShortLivedLogOnScript)
{
    std::string temporary = folder + "\\temp dir";
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), NULL));
    SetEnvironmentVariableA("TMP", temporary.c_str());
    SetEnvironmentVariableA("TEMP", temporary.c_str());
    char shortTemporary[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(temporary.c_str(), shortTemporary, sizeof shortTemporary), 0u);
    SetClientControl("TAMSIL_CLIENT_ACTION", "append");
    SetClientControl("TAMSIL_CLIENT_TEXT", "-- spooled\r\n");
    EditorText = "select 1 from dual;\r\n";
    SetHostText(HOST_DATABASE, HOST_DATABASE_WIDTH, "ORCL");
    const struct { const char* user; const char* password; const char* settings; const char* logon;
                   const char* options; bool hidden; } cases[] = {
        {"APPUSER", "tiger", "", "APPUSER/tiger@ORCL", "", true},
        {"APPUSER", "tiger", "ConnectString=PROD\r\nOptions=EMEA 2026\r\n", "APPUSER/tiger@PROD",
         "EMEA 2026", true},
        {"APPUSER", "Spring@2026", "", R"(APPUSER/"Spring@2026"@ORCL)", "", true},
        {"APPUSER", "a/b", "", R"(APPUSER/"a/b"@ORCL)", "", true},
        {"APPUSER", "two words", "", R"(APPUSER/"two words"@ORCL)", "", true},
        {"APPUSER", R"(ends\)", "", R"(APPUSER/"ends\"@ORCL)", "", true},
        {"APPUSER", "", "", "APPUSER@ORCL", "", false},
        {"", "tiger", "", "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logon);
        StartOver();
        SetHostText(HOST_USER, HOST_USER_WIDTH, c.user);
        SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, c.password);
        Settings(std::string("HidePassword=1\r\n") + c.settings);
        std::string script = RunKeepingTheScript();
        ASSERT_EQ(1u, StartRequests.size());
        std::vector<ClientRun> runs = ClientRuns();
        ASSERT_EQ(1u, runs.size());
        ClientRun& run = runs[0];
        if (c.hidden) {
            std::string line = StartRequests[0].line;
            std::string logonScript = line.substr(line.find(" /nolog @") + 9);
            EXPECT_EQ(client + " /nolog @" + logonScript, line);
            EXPECT_EQ(std::string(shortTemporary) + "\\lg", logonScript.substr(0, strlen(shortTemporary) + 3));
            EXPECT_EQ("set echo off\r\nconnect " + std::string(c.logon) + "\r\n@" + script + " " +
                      c.options + "\r\n", run["logon-script"]);
            EXPECT_EQ("off", run["echo"]);
        } else {
            std::string logon = c.logon[0] ? std::string(" ") + c.logon : std::string();
            EXPECT_EQ(client + logon + " @" + script + " " + c.options, StartRequests[0].line);
            EXPECT_EQ(0u, run.count("logon-script"));
        }
        EXPECT_EQ(c.logon, run["logon"]);
        EXPECT_EQ(c.user, run["user"]);
        EXPECT_EQ(c.user[0] ? c.password : "", run["password"]);
        EXPECT_EQ(c.user[0] ? strrchr(c.logon, '@') + 1 : "", run["connect-identifier"]);
        EXPECT_EQ(script, run["script-path"]);
        EXPECT_EQ(EditorText, run["script"]);
        EXPECT_EQ(std::vector<std::string>{EditorText + "-- spooled\r\n"}, SetTexts());
        EXPECT_TRUE(FilesIn(temporary).empty()) << "the log-on script is left";
        EXPECT_TRUE(ShownMessages.empty());
    }
}

TEST_F(ClientCommandLine, ATemporaryFolderNamedOutsideTheCodePageGoesByItsShortFormWhenThereIsOne)
{
    std::wstring temporary = Wide(folder) + L"\\" + CYRILLIC_NAME;
    EXPECT_TRUE(CreateDirectoryW(temporary.c_str(), NULL));
    wchar_t tmp[MAX_PATH] = L"", temp[MAX_PATH] = L"", shortForm[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", temporary.c_str());
    SetEnvironmentVariableW(L"TEMP", temporary.c_str());
    workFolder = "";
    Settings("DeleteTemp=1\r\n");
    EditorText = "select 1 from dual;";
    OnCall();
    ClientRun run = ClientRuns().empty() ? ClientRun() : ClientRuns()[0];
    GetShortPathNameW(temporary.c_str(), shortForm, MAX_PATH);
    EXPECT_EQ(0u, Wide(run["script-path"]).find(shortForm + std::wstring(L"\\se"))) << run["script-path"];
    EXPECT_EQ(EditorText, run["script"]);
    EXPECT_EQ(std::vector<std::string>{EditorText}, SetTexts());

    PatchImport(module, "kernel32.dll", "GetShortPathNameW", reinterpret_cast<void*>(&NoShortPath<wchar_t>));
    OnCall();
    ExpectOneRunError(FormatMessageText("Cannot create a script file in %s\nERROR: %d\nMSG:%s\n",
                                        folder + "\\????\\", ERROR_NO_UNICODE_TRANSLATION) +
                      "Choose a working directory in the plug-in's settings.\n");
    EXPECT_TRUE(RemoveDirectoryW(temporary.c_str())) << "a script file was left";
    SetEnvironmentVariableW(L"TMP", tmp);
    SetEnvironmentVariableW(L"TEMP", temp);
}
