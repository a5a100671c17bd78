// A whole run in a real host process: the host stand-in loads the plug-in,
// picks its command, and the default client "sqlplus" is found beside the
// host program, where the client stand-in is installed under that name.
#include "tests/wine/dialog_driver.h"
#include "tests/wine/host_process.h"
#include "tests/wine/run_fixture.h"

using namespace run_test;

namespace {

// The host's own trace lines: the client started within the run may write
// to the same output.
std::string HostTrace(const std::string& output)
{
    std::string trace;
    size_t at = 0;
    while (at < output.size()) {
        size_t end = output.find('\n', at);
        end = end == std::string::npos ? output.size() : end + 1;
        if (output.compare(at, 6, "host: ") == 0)
            trace += output.substr(at, end - at);
        at = end;
    }
    return trace;
}

class RunInHostProcess : public RunTest
{
protected:
    std::string PluginArgument() const { return "\"" + folder + "\\Tamsil.dll\""; }

};

// Given the editor stand-in's options for a way to abandon a command, on top of --raise-once.
class EditorThatAbandons : public RunInHostProcess, public testing::WithParamInterface<const char*> {};

// Given how the editor leaves the settings command, and how the user closes
// the dialog it leaves: OK, Cancel, or the close box (0).
struct LeftDialog { const char* leave; int close; };
void PrintTo(const LeftDialog& row, std::ostream* out) { *out << row.leave << " " << row.close; }
class EditorThatLeavesTheDialog : public RunInHostProcess, public testing::WithParamInterface<LeftDialog> {};

} // namespace

// The host's folder is one folder even when its name holds ";": "SQL" (from
// the host's current folder) is never looked in.
TEST_F(RunInHostProcess, TheDefaultClientIsFoundBesideTheHostAndItsScriptComesBack)
{
    // No client setting: "sqlplus" it is.
    WriteSettingsFile("[Settings]\r\nDeleteTemp=1\r\n[Path]\r\nWorkingDirectory=" + workFolder + "\r\n");
    std::string tools = folder + "\\Tools;SQL";
    for (std::string copy : {tools + "\\sqlplus.exe", tools + "\\editor_host.exe", folder + "\\SQL\\sqlplus.exe"}) {
        CreateDirectoryA(copy.substr(0, copy.rfind('\\')).c_str(), NULL);
        ASSERT_TRUE(CopyFileA((BuildFolder() + copy.substr(copy.rfind('\\'))).c_str(), copy.c_str(), FALSE));
    }
    WriteWholeFile(folder + "\\editor.sql", "select 1 from dual;\r\n");
    SetClientControl("TAMSIL_CLIENT_ACTION", "append");
    SetClientControl("TAMSIL_CLIENT_TEXT", "select 2 from dual;\r\n");

    HostProcess host;
    host.program = tools + "\\editor_host.exe";
    ASSERT_TRUE(host.Start(PluginArgument() + " --user APPUSER --password tiger --database ORCL"
                           " --editor-id 4 --text-file editor.sql --call --out-text after.sql", folder));
    ASSERT_EQ(0, host.Wait()) << host.Output();

    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size()) << host.Output();
    const std::string& line = runs[0]["command-line"];
    std::string start = "sqlplus APPUSER/tiger@ORCL @" + workFolder + "\\se";
    EXPECT_EQ(start, line.substr(0, start.size()));
    EXPECT_EQ(".tmp ", line.substr(line.size() - 5));
    EXPECT_EQ(tools + "\\sqlplus.exe", runs[0]["program"]);
    EXPECT_EQ("select 1 from dual;\r\n", runs[0]["script"]);
    EXPECT_EQ(folder, runs[0]["directory"]);
    EXPECT_EQ("select 1 from dual;\r\nselect 2 from dual;\r\n", ReadWholeFile(folder + "\\after.sql"));
    EXPECT_TRUE(ScriptsLeft().empty());
    EXPECT_EQ("host: OnInstall -> 0 (Kind 5, Name \"Tamsil\")\n"
              "host: OnCall\n"
              "host: GetEditor -> 4\n"
              "host: GetEditorText(editor 4, size 102400) -> 21 bytes\n"
              "host: SetEditorText(editor 4) <- 42 bytes\n"
              "host: OnCall returned\n",
              HostTrace(host.Output()));
}

TEST_F(RunInHostProcess, FailuresAreShownOnScreenAndTheHostGoesOn)
{
    const struct
    {
        const char* hostOptions;
        const char* sqlPlus;
        const char* messageStart;
    } failures[] = {
        // A host that fills the whole buffer with no NUL: a cut text never runs.
        {"--unterminated-text", "sqlplus", "The editor text is too long to run: at most 102398 bytes."},
        {"--user APPUSER --password tiger --database ORCL", "no-such-client-program",
         "RUN : no-such-client-program APPUSER/********@ORCL @"},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.hostOptions);
        WriteSettingsFile(std::string("[Settings]\r\nDeleteTemp=1\r\n[Path]\r\nSqlPlus=") +
                          failure.sqlPlus + "\r\nWorkingDirectory=" + workFolder + "\r\n");
        HostProcess host;
        ASSERT_TRUE(host.Start(PluginArgument() + " " + failure.hostOptions + " --call", folder));
        std::string shown = AnswerMessageBox(host.ProcessId(), L"Execute Error!");
        EXPECT_EQ(0u, shown.find(failure.messageStart)) << shown;
        EXPECT_EQ(std::string::npos, shown.find("tiger"));
        ASSERT_EQ(0, host.Wait());
        EXPECT_EQ(std::string::npos, host.Output().find("SetEditorText"));
        EXPECT_NE(std::string::npos, host.Output().find("host: OnCall returned"));
        EXPECT_TRUE(ClientRuns().empty());
        EXPECT_TRUE(ScriptsLeft().empty());
    }
}

// An editor that catches an exception of its GetEditorText around OnCall
// abandons the run there: nothing is left, and the next run and the
// settings, picked from deeper in the editor's stack, work as usual. So
// with an editor that jumps past the run without the platform's unwind:
// the plug-in's record is left on the thread's chain in a frame that is
// gone, and the next command, from the same depth, takes it off, so the
// chain is as it began; or the editor takes its chain back, and the next
// command, from deeper, finds the record off it.
TEST_P(EditorThatAbandons, ARunTheEditorAbandonsLeavesNothingAndTheNextCommandsWork)
{
    Settings("DeleteTemp=1\r\n");
    WriteWholeFile(folder + "\\editor.sql", "select 1 from dual;\r\n");
    HostProcess host;
    ASSERT_TRUE(host.Start(PluginArgument() + GetParam() + " --user APPUSER --database ORCL --text-file editor.sql"
                           " --raise-once --call --call --settings", folder));
    HWND dialog = WaitForSettingsDialog(host.ProcessId());
    ASSERT_TRUE(dialog != NULL) << host.Output();
    Click(dialog, IDCANCEL);
    ASSERT_EQ(0, host.Wait()) << host.Output();
    EXPECT_EQ("host: OnInstall -> 0 (Kind 5, Name \"Tamsil\")\nhost: OnCall\nhost: GetEditor -> 1\n"
              "host: GetEditorText raises an exception\nhost: OnCall abandoned by an exception\n"
              "host: OnCall\nhost: GetEditor -> 1\nhost: GetEditorText(editor 1, size 102400) -> 21 bytes\n"
              "host: SetEditorText(editor 1) <- 21 bytes\nhost: OnCall returned\n"
              "host: OnSettings\nhost: OnSettings returned\n", HostTrace(host.Output()));
    EXPECT_EQ(1u, ClientRuns().size());
    EXPECT_TRUE(ScriptsLeft().empty());
}
INSTANTIATE_TEST_SUITE_P(EachWay, EditorThatAbandons, testing::Values("", " --jump-once", " --jump-once-restoring-chain"));

// An editor that goes on after leaving a command: its own next exception, raised from its loop over frames it
// has written on since (after a pick from deeper than the left command, which beeps), finds the chain
// whole, as does one raised once the plug-in is unloaded with a command left; a run its worker thread left by
// ending in GetEditorText is cleaned up by the next, from the main thread, which runs. The log-on is read once,
// as the editor holds it when the command is picked: an editor whose log-on changes while it answers
// GetEditorText has the pick's log-on checked, and on the line or in the log-on script. The batch file's
// interpreter runs in the host's current folder.
TEST_F(RunInHostProcess, AnEditorGoesOnAfterLeavingACommandAndTheLogOnIsTakenAtThePick)
{
    const std::string standIn = client, batch = folder + "\\sqlplus.cmd";
    WriteWholeFile(batch, "@\"" + standIn + "\" %*\r\n");
    WriteWholeFile(folder + "\\editor.sql", "select 1 from dual;\r\n");
    const std::string picked = "host: OnCall\nhost: GetEditor -> 1\n",
                      left = picked + "host: GetEditorText raises an exception\nhost: OnCall abandoned by an exception\n",
                      own = "host: the editor raises its own exception\nhost: its own exception caught\n",
                      ran = "host: GetEditorText(editor 1, size 102400) -> 21 bytes\n"
                            "host: SetEditorText(editor 1) <- 21 bytes\nhost: OnCall returned\n",
                      changed = picked + "host: GetEditorText changes the password\n" + ran;
    // The editor's steps; its trace after installation; the client's log-on ("": no run, the left command's
    // script files left by the unloaded plug-ins, last); more settings; whether the client is the batch file.
    const struct { std::string steps, trace, logon = "APPUSER@ORCL", settings = ""; bool batch = false; } rows[] = {
        {"--jump-once --raise-once --call --call-deeper --raise-own-exception --call-deeper",
         left + "host: OnCall\nhost: beep 48\nhost: OnCall returned\n" + own + picked + ran},
        {"--call-on-ending-worker --call", "host: OnCall on a worker thread\nhost: GetEditor -> 1\n"
         "host: GetEditorText ends its thread\nhost: the worker thread ended\n" + picked + ran},
        {"--password tiger --password-in-text \"x&echo planted>planted.txt&rem \" --call", changed,
         "APPUSER/tiger@ORCL", "", true},
        {"--password-in-text secret --call", changed, "APPUSER@ORCL", "HidePassword=1\r\n"},
        {"--password tiger --password-in-text ti&ger --call", changed, "APPUSER/tiger@ORCL", "HidePassword=1\r\n"},
        {"--jump-once-restoring-chain --raise-once --call --unload --raise-own-exception",
         left + "host: the plug-in unloaded\n" + own, ""},
        {"--jump-once --raise-once --call --unload --raise-own-exception", left + "host: the plug-in unloaded\n" + own, ""}};
    size_t unloaded = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.steps);
        DeleteFileA(clientLog.c_str());
        client = row.batch ? batch : standIn;
        Settings("DeleteTemp=1\r\n" + row.settings);
        HostProcess host;
        ASSERT_TRUE(host.Start(PluginArgument() + " --user APPUSER --database ORCL --text-file editor.sql "
                               "--print-message-boxes " + row.steps, folder));
        EXPECT_EQ(0, host.Wait()) << host.Output();
        EXPECT_EQ("host: OnInstall -> 0 (Kind 5, Name \"Tamsil\")\n" + row.trace, HostTrace(host.Output()));
        std::vector<ClientRun> runs = ClientRuns();
        EXPECT_TRUE(runs.size() == (row.logon.empty() ? 0u : 1u) && !FileExists(folder + "\\planted.txt"));
        EXPECT_EQ(row.logon, runs.empty() ? "" : runs[0]["logon"]);
        unloaded += row.logon.empty();
        EXPECT_EQ(unloaded, ScriptsLeft().size());
    }
}

// So with an editor that leaves the settings command, at a message of its
// main window under the dialog or as the dialog disables it, unwinding or
// jumping: the dialog is on screen over the main window, which takes no
// input; the user's click, which the editor's own loop handles, closes it and
// gives the main window back, and the next command runs.
TEST_P(EditorThatLeavesTheDialog, ItClosesAndTheNextCommandRuns)
{
    HostProcess host;
    ASSERT_TRUE(host.Start(PluginArgument() + " " + GetParam().leave + " --settings --wait-for-main-window --call", folder));
    HWND dialog = WaitForSettingsDialog(host.ProcessId()), owner = GetWindow(dialog, GW_OWNER);
    ASSERT_TRUE(dialog && WaitFor([&] { return host.Output().find("abandoned") != std::string::npos; }) &&
                !IsWindowEnabled(owner)) << host.Output();
    GetParam().close ? Click(dialog, GetParam().close) : PressCloseBox(dialog);
    EXPECT_TRUE(WaitUntilClosed(dialog) && IsWindowEnabled(owner));
    EXPECT_EQ(0, host.Wait(10000)) << host.Output();
    EXPECT_EQ(1u, ClientRuns().size()) << host.Output();
    EXPECT_EQ(GetParam().close == IDOK, FileExists(SettingsPath()));
}
INSTANTIATE_TEST_SUITE_P(EachWay, EditorThatLeavesTheDialog, testing::Values(
    LeftDialog{"--jump-once --raise-in-window", IDOK}, LeftDialog{"--jump-once --raise-in-window", IDCANCEL},
    LeftDialog{"--jump-once-restoring-chain --raise-in-window", IDCANCEL}, LeftDialog{"--raise-on-disable", IDCANCEL},
    LeftDialog{"--jump-once --raise-on-disable", IDOK}, LeftDialog{"--jump-once-restoring-chain --raise-on-disable", 0}));
