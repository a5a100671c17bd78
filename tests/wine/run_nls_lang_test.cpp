// The NLS_LANG the client stand-in received, and the host's own value around the run.
#include "tests/wine/run_fixture.h"

using namespace run_test;

namespace {

// The plug-in's calls on the environment in a run, and the one that fails (0: none).
int Calls, FailCall;
DWORD WINAPI ReadA(LPCSTR n, LPSTR v, DWORD s) { return ++Calls == FailCall ? (SetLastError(5), 0) : GetEnvironmentVariableA(n, v, s); }
LPWCH WINAPI Block() { return ++Calls == FailCall ? (SetLastError(5), nullptr) : GetEnvironmentStringsW(); }
// As documented, where Wine says it is done: removing a variable that is not there fails.
BOOL WINAPI Set(LPCWSTR n, LPCWSTR v) { return ++Calls == FailCall ? (SetLastError(8), FALSE) : !v && !GetEnvironmentVariableW(n, NULL, 0) ? (SetLastError(ERROR_ENVVAR_NOT_FOUND), FALSE) : SetEnvironmentVariableW(n, v); }

// The host's environment entries, sorted: Windows keeps them in name order, Wine adds one last.
std::vector<std::wstring> HostBlock()
{
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry; entry += entries.back().size() + 1)
        entries.push_back(entry);
    FreeEnvironmentStringsW(block);
    return std::sort(entries.begin(), entries.end()), entries;
}

// The host's value of a variable exactly, "<none>" when it has none.
std::wstring HostValue(const wchar_t* name)
{
    static wchar_t value[32768];
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND ? L"<none>" : std::wstring(value, length);
}

std::string Utf8(const std::wstring& text)
{
    static char bytes[4 * 32768];
    return std::string(bytes, WideCharToMultiByte(CP_UTF8, 0, text.data(), -1, bytes, sizeof bytes, NULL, NULL) - 1);
}

class ClientNlsLang : public RunTest
{
protected:
    // One run with the host's NLS_LANG (NULL: none), these settings and [Environment] lines; what
    // the client received, "<none>" when no NLS_LANG. It finds its log through another of the
    // host's variables. Every variable the host has is its own again after the run.
    std::string RunWith(const char* host, const std::string& settings, const std::string& section = "")
    {
        SetEnvironmentVariableA("Nls_Lang", host);
        Calls = 0;
        std::vector<std::wstring> before = HostBlock();
        Settings("DeleteTemp=1\r\n" + settings, "[Environment]\r\n" + section);
        OnCall();
        EXPECT_TRUE(before == HostBlock()) << "the host's environment is not back";
        std::vector<ClientRun> runs = ClientRuns();
        DeleteFileA(clientLog.c_str());
        Received = runs.size() == 1 ? runs[0] : ClientRun();
        return runs.size() != 1 ? "no run" : runs[0].count("nls-lang") ? runs[0]["nls-lang"] : "<none>";
    }
    // A variable the client of the last run received, in UTF-8; "<none>" when none.
    std::string Variable(const char* name)
    {
        auto found = Received.find(std::string("variable ") + name);
        return found == Received.end() ? "<none>" : found->second;
    }
    ClientRun Received;
};

UINT WINAPI UnknownCodePage(void) { return 437; }

} // namespace

TEST_F(ClientNlsLang, IsTheHostsOrWhatNlsLangAsksFor)
{
    const struct { const char* host; const char* settings; const char* received; } rows[] = {
        {NULL, "", "<none>"},
        {"GERMAN_GERMANY.AL32UTF8", "NlsLang=\r\n", "GERMAN_GERMANY.AL32UTF8"},
        {"GERMAN_GERMANY.AL32UTF8", "NlsLang=auto\r\n", "GERMAN_GERMANY.WE8MSWIN1252"},
        {NULL, "NlsLang=Auto\r\n", ".WE8MSWIN1252"},
        {"", "NlsLang=auto\r\n", ".WE8MSWIN1252"},
        {NULL, "NlsLang=FRENCH_FRANCE.auto\r\n", "FRENCH_FRANCE.WE8MSWIN1252"},
        // Up to the host's last "."; "automatic" is no "auto".
        {"A.B.AL32UTF8", "NlsLang=AUTO\r\n", "A.B.WE8MSWIN1252"},
        {"AMERICAN_AMERICA", "NlsLang=auto\r\n", "AMERICAN_AMERICA.WE8MSWIN1252"},
        {NULL, "NlsLang=automatic\r\n", "automatic"},
        {"GERMAN_GERMANY.UTF8", "NlsLang=AMERICAN_AMERICA.AL32UTF8\r\n", "AMERICAN_AMERICA.AL32UTF8"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.received, RunWith(row.host, row.settings)) << row.settings;
    // A code page without a known character set stops the run before the script file is made.
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "GetACP", reinterpret_cast<void*>(&UnknownCodePage)));
    EXPECT_EQ("no run", RunWith(NULL, "NlsLang=french_france.AUTO\r\n"));
    ExpectOneRunError("NlsLang asks for the character set of the system code page 437, which the plug-in "
                      "does not know.\nWrite the character set into NlsLang in place of \"auto\".\n");
    EXPECT_TRUE(ScriptsLeft().empty());
}

// Run in a process of its own with a Japanese locale (code page 932). The second byte of a
// double-byte character starts no run of backslashes: a quoted connect identifier ending in
// such a character and two backslashes reads the same whatever the password.
TEST_F(ClientNlsLang, DoubleByteCodePageNamesItsCharacterSetAndEndsNoBackslashRun)
{
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    EXPECT_EQ(".JA16SJISTILDE", RunWith(NULL, "NlsLang=auto\r\n"));
    SetHostText(HOST_USER, HOST_USER_WIDTH, "APPUSER");
    for (const char* password : {"tiger", "a/b"}) {
        SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, password);
        RunWith(NULL, "ConnectString=\"\"\x95\x5c\\\\\"\"\r\n");
        EXPECT_EQ("\x95\x5c\\", Received["connect-identifier"]) << password;
    }
}

// The variables of [Environment] reach the client and nothing else, exactly, whatever the code
// page lacks; bad input is refused before anything is made.
TEST_F(ClientNlsLang, EnvironmentSectionReachesTheClientAlone)
{
    const std::wstring path = L"C:\\" + std::wstring(CYRILLIC_NAME) + L";" + std::wstring(17000, L'p') + L";" + HostValue(L"PATH");
    SetEnvironmentVariableW(L"Path", path.c_str());
    SetEnvironmentVariableW(L"SqlPath", CYRILLIC_NAME);
    SetEnvironmentVariableW(L"HALF", std::wstring(16383, L'h').c_str());
    SetEnvironmentVariableA("TNS_ADMIN", NULL);
    SetClientControl("TAMSIL_CLIENT_VARIABLES", "TNS_ADMIN;SQLPATH;PATH");
    // What the client received: TNS_ADMIN, SQLPATH and PATH.
    const struct { const char* nlsLang; std::string section, received; } rows[] = {
        {"", "TNS_ADMIN=C:\\oracle\\network\\admin\r\nSQLPATH=\r\nPATH=C:\\oracle\\client19\\bin;%PATH%\r\n",
         "C:\\oracle\\network\\admin|<none>|C:\\oracle\\client19\\bin;" + Utf8(path)},
        {"auto", "TNS_ADMIN=%HALF%%half%\r\n", std::string(32766, 'h') + "|" + Utf8(CYRILLIC_NAME) + "|" + Utf8(path)},
        // As every setting reads, quotes dropped; a name the host has not got stays as written.
        {"", "tns_admin=\" C:\\a b \"\r\nSQLPATH=%NO_SUCH%;%SqlPath%\r\n", " C:\\a b |%NO_SUCH%;" + Utf8(CYRILLIC_NAME) + "|" + Utf8(path)},
        {"auto", "", "<none>|" + Utf8(CYRILLIC_NAME) + "|" + Utf8(path)},
    };
    for (const auto& row : rows) {
        RunWith("A_B.C", std::string("NlsLang=") + row.nlsLang + "\r\n", row.section);
        EXPECT_EQ(row.received, Variable("TNS_ADMIN") + "|" + Variable("SQLPATH") + "|" + Variable("PATH"));
    }
    EXPECT_EQ("X", RunWith("A_B.C", "", "NLS_LANG=X\r\n")) << "with NlsLang empty, a variable like any other";
    EXPECT_TRUE(ShownMessages.empty());

    SetEnvironmentVariableW(L"BIG", std::wstring(20000, L'b').c_str());
    const char* const longest = "The value of X in [Environment] of the settings file is longer than the 32766 characters a "
                                "variable may hold, once expanded.\n";
    const struct { const char* settings; std::string section, text; } refused[] = {
        {"NlsLang=auto\r\n", "Nls_Lang=X\r\n", "NLS_LANG is set twice in the settings file: by NlsLang and in [Environment]. Keep one.\n"},
        {"NlsLang=AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA.auto\r\n", "",
         "NlsLang in the settings file is longer than the 63 bytes it may hold.\n"},
        {"", "A=1\r\nLONG=" + std::string(4096, 'v') + "\r\n",
         "The value of LONG in [Environment] of the settings file is longer than the 4095 bytes it may hold.\n"},
        {"", "X=%HALF%%HALF%x\r\n", longest}, {"", "X=%HALF%%HALF%xy\r\n", longest}, {"", "X=%BIG%;%BIG%\r\n", longest},
        {"", "=C:\\x\r\nTNS_ADMIN=C:\\o\r\n", "The key \"\" in [Environment] of the settings file cannot name a "
                                           "variable: a name is not empty and does not begin with \"=\".\n"},
        {"", std::string(4100, 'K') + "=1\r\n", "The section [Environment] of the settings file holds more than it may: at most 32 variables, "
                   "whose names take at most 4000 bytes together.\n"},
    };
    for (const auto& row : refused) {
        ShownMessages.clear();
        HostCalls.clear();
        StartRequests.clear();
        EXPECT_EQ("no run", RunWith("A_B.C", row.settings, row.section));
        ExpectOneRunError(row.text);
        EXPECT_TRUE(ScriptsLeft().empty() && HostCalls.empty() && StartRequests.empty());
    }
}

// Each read or change of the host's environment failing in turn stops the start with the usual
// message and its error, and leaves the host's environment as it was (which RunWith checks).
TEST_F(ClientNlsLang, AFailedReadOrChangeOfTheEnvironmentStopsTheStart)
{
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "GetEnvironmentVariableA", reinterpret_cast<void*>(&ReadA)));
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "GetEnvironmentStringsW", reinterpret_cast<void*>(&Block)));
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "SetEnvironmentVariableW", reinterpret_cast<void*>(&Set)));
    SetEnvironmentVariableA("SQLPATH", NULL); // removing what is not there is no failure
    // The host's block, the 8-bit read of NLS_LANG and three changes; a run that fails none
    // makes three more to put the host's values back (their failure has no better value to give).
    for (FailCall = 1; FailCall <= 5; ++FailCall) {
        ShownMessages.clear();
        EXPECT_EQ("no run", RunWith("A_B.C", "NlsLang=auto\r\n", "TNS_ADMIN=x\r\nSQLPATH=\r\n")) << FailCall;
        ASSERT_EQ(1u, ShownMessages.size());
        EXPECT_EQ(0u, ShownMessages[0].text.find("RUN : "));
        EXPECT_NE(std::string::npos, ShownMessages[0].text.find(FailCall <= 2 ? "\nERROR: 5\n" : "\nERROR: 8\n"));
    }
    FailCall = Calls = 0;
    EXPECT_EQ("A_B.WE8MSWIN1252", RunWith("A_B.C", "NlsLang=auto\r\n", "TNS_ADMIN=x\r\nSQLPATH=\r\n"));
    EXPECT_EQ(8, Calls);
}
