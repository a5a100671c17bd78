// The NLS_LANG the client stand-in received, and the host's own value around the run.
#include "tests/wine/run_fixture.h"

using namespace run_test;

namespace {

class ClientNlsLang : public RunTest
{
protected:
    // One run with the host's NLS_LANG (NULL: none) and these settings; what the client received,
    // "<none>" when no NLS_LANG. It finds its log through another of the host's variables.
    std::string RunWith(const char* host, const std::string& settings)
    {
        char after[64] = "<none>";
        SetEnvironmentVariableA("NLS_LANG", host);
        Settings("DeleteTemp=1\r\n" + settings);
        OnCall();
        GetEnvironmentVariableA("NLS_LANG", after, sizeof after);
        EXPECT_STREQ(host ? host : "<none>", after) << "the host's own value is not back";
        std::vector<ClientRun> runs = ClientRuns();
        DeleteFileA(clientLog.c_str());
        return runs.size() != 1 ? "no run" : runs[0].count("nls-lang") ? runs[0]["nls-lang"] : "<none>";
    }
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

// Run in a process of its own with a Japanese locale (code page 932).
TEST_F(ClientNlsLang, DoubleByteCodePageNamesItsCharacterSet)
{
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    EXPECT_EQ(".JA16SJISTILDE", RunWith(NULL, "NlsLang=auto\r\n"));
}
