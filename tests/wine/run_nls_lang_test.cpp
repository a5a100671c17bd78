// The NLS_LANG the client is started with, as the client stand-in received
// it, and the host's own environment around the run.
#include "tests/wine/run_fixture.h"

using namespace run_test;

namespace {

// A variable of this process as the client would read it; "<none>" when unset.
std::string Variable(const char* name)
{
    char value[256];
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
        return "<none>";
    return std::string(value, length < sizeof value ? length : 0);
}

class ClientNlsLang : public RunTest
{
protected:
    // One run with the host's NLS_LANG (NULL: none) and the setting; the
    // NLS_LANG the client received, "<none>" when it received none.
    std::string RunWith(const char* host, const char* setting, const char* more = "")
    {
        SetEnvironmentVariableA("NLS_LANG", host);
        std::string before = Variable("NLS_LANG");
        DeleteFileA(clientLog.c_str());
        Settings("DeleteTemp=1\r\nNlsLang=" + std::string(setting) + "\r\n" + more);
        OnCall();
        EXPECT_EQ(before, Variable("NLS_LANG")) << "the host's own value is not back";
        std::vector<ClientRun> runs = ClientRuns();
        if (runs.size() != 1)
            return std::to_string(runs.size()) + " runs";
        return runs[0].count("nls-lang") ? runs[0]["nls-lang"]
                                         : runs[0].count("no-nls-lang") ? "<none>" : "?";
    }
};

} // namespace

TEST_F(ClientNlsLang, IsTheHostsOrWhatNlsLangAsksFor)
{
    // Another variable still reaches the client: it appends this text.
    SetClientControl("TAMSIL_CLIENT_ACTION", "append");
    SetClientControl("TAMSIL_CLIENT_TEXT", "-- caf\xe9\r\n");
    EditorText = "select 'caf\xe9' from dual;\r\n";
    SetHostText(HOST_USER, HOST_USER_WIDTH, "APPUSER");
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "tiger");
    const struct { const char* host; const char* setting; bool hidePassword; const char* received; }
    rows[] = {
        {NULL, "", false, "<none>"},
        {"GERMAN_GERMANY.AL32UTF8", "", false, "GERMAN_GERMANY.AL32UTF8"},
        {"GERMAN_GERMANY.AL32UTF8", "auto", false, "GERMAN_GERMANY.WE8MSWIN1252"},
        {"GERMAN_GERMANY.AL32UTF8", "auto", true, "GERMAN_GERMANY.WE8MSWIN1252"},
        {NULL, "Auto", false, ".WE8MSWIN1252"},
        {"", "auto", false, ".WE8MSWIN1252"},
        {NULL, "FRENCH_FRANCE.auto", false, "FRENCH_FRANCE.WE8MSWIN1252"},
        {"GERMAN_GERMANY.AL32UTF8", "AMERICAN_AMERICA.AL32UTF8", false, "AMERICAN_AMERICA.AL32UTF8"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.host ? row.host : "(none)") + ", " + row.setting);
        HostCalls.clear();
        StartRequests.clear();
        EXPECT_EQ(row.received, RunWith(row.host, row.setting, row.hidePassword ? "HidePassword=1\r\n" : ""));
        ASSERT_EQ(1u, StartRequests.size());
        EXPECT_EQ(row.hidePassword, StartRequests[0].line.find(" /nolog @") != std::string::npos);
        EXPECT_EQ(std::vector<std::string>{EditorText + "-- caf\xe9\r\n"}, SetTexts());
    }
    EXPECT_TRUE(ShownMessages.empty());
}

// Run in a process of its own with a Japanese locale (code page 932).
TEST_F(ClientNlsLang, DoubleByteCodePageNamesItsCharacterSet)
{
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    EXPECT_EQ(".JA16SJISTILDE", RunWith(NULL, "auto"));
}

UINT WINAPI UnknownCodePage(void) { return 437; }

TEST_F(ClientNlsLang, AnUnknownCodePageStopsTheRunBeforeAnythingIsMade)
{
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "GetACP", reinterpret_cast<void*>(&UnknownCodePage)));
    EXPECT_EQ("0 runs", RunWith("GERMAN_GERMANY.AL32UTF8", "german_germany.AUTO"));
    ExpectOneRunError("NlsLang asks for the character set of the system code page 437, which the plug-in "
                      "does not know.\nWrite the character set into NlsLang in place of \"auto\".\n");
    EXPECT_TRUE(HostCalls.empty());
    EXPECT_TRUE(ScriptsLeft().empty());
}
