// After the client: the wait, the hand-back to the right editor, ReadOnly,
// DeleteTemp, and a script the editor cannot take whole.
#include "tests/wine/run_fixture.h"

#include "tools/common/editor_exceptions.h"

using namespace run_test;

namespace {

class HandBack : public RunTest
{
};

const char GROWN[] =
    "The script file %s has grown past 102400 bytes and was kept.\nThe editor text is unchanged.\n";
const char LOGON_SCRIPT_KEPT[] = "The log-on script %s, which holds the password, could not be deleted."
                                 "\nERROR: %d\nMSG:%s\nDelete it by hand.\n";
const char HOLDS_NUL[] =
    "The script file %s holds a NUL byte, which the editor cannot take, and was kept.\n"
    "The editor text is unchanged.\n";
const char CANNOT_DELETE[] = "Cannot delete the script file %s\nERROR: %d\nMSG:%s\n";

std::vector<std::string> DeletionsTried;
BOOL WINAPI FailDeletion(LPCSTR path)
{
    DeletionsTried.push_back(path);
    SetLastError(ERROR_WRITE_PROTECT);
    return FALSE;
}

} // namespace

TEST_F(HandBack, HandsWhatTheClientLeftToTheSameEditorWhateverItsExitCode)
{
    Settings();
    EditorText = "select 1 from dual;\r\n";
    SetClientControl("TAMSIL_CLIENT_ACTION", "rewrite");
    SetClientControl("TAMSIL_CLIENT_TEXT", "select 2 from dual;\r\n");
    SetClientControl("TAMSIL_CLIENT_EXIT", "3");
    OnCall();

    ASSERT_EQ(3u, HostCalls.size());
    EXPECT_EQ(std::vector<std::string>({"GetEditor", "GetEditorText", "SetEditorText"}), EntriesCalled());
    EXPECT_EQ(7, HostCalls[1].editorId);
    EXPECT_EQ(7, HostCalls[2].editorId);
    EXPECT_EQ("select 2 from dual;\r\n", HostCalls[2].text);
    EXPECT_TRUE(ShownMessages.empty());
}

TEST_F(HandBack, KeepsTheEditorIdentifierAcrossRuns)
{
    Settings("DeleteTemp=1\r\n");
    // A host without GetEditor before any run: editor 0.
    SetHostPointer(HOST_GET_EDITOR, static_cast<GetEditorFunction>(NULL));
    OnCall();
    // Then the host offers it, then takes it away again, then gives another.
    SetHostPointer(HOST_GET_EDITOR, &FakeGetEditor);
    OnCall();
    SetHostPointer(HOST_GET_EDITOR, static_cast<GetEditorFunction>(NULL));
    OnCall();
    SetHostPointer(HOST_GET_EDITOR, &FakeGetEditor);
    CurrentEditor = 9;
    OnCall();

    std::vector<int32_t> textIds, setIds;
    for (const HostCall& call : HostCalls) {
        if (call.entry == "GetEditorText")
            textIds.push_back(call.editorId);
        if (call.entry == "SetEditorText")
            setIds.push_back(call.editorId);
    }
    EXPECT_EQ(std::vector<int32_t>({0, 7, 7, 9}), textIds);
    EXPECT_EQ(std::vector<int32_t>({0, 7, 7, 9}), setIds);
}

TEST_F(HandBack, ReadOnlyLeavesTheEditorAlone)
{
    Settings("ReadOnly=1\r\n");
    EditorText = "select 1 from dual;\r\n";
    SetClientControl("TAMSIL_CLIENT_ACTION", "rewrite");
    SetClientControl("TAMSIL_CLIENT_TEXT", "select 2 from dual;\r\n");
    OnCall();
    EXPECT_TRUE(SetTexts().empty());
    std::vector<std::string> left = ScriptsLeft();
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ("select 2 from dual;\r\n", ReadWholeFile(workFolder + "\\" + left[0]));

    // Nothing is read back, so a grown script is no concern: it is deleted
    // as asked, without a message.
    DeleteFileA((workFolder + "\\" + left[0]).c_str());
    Settings("ReadOnly=1\r\nDeleteTemp=1\r\n");
    SetClientControl("TAMSIL_CLIENT_ACTION", "grow");
    OnCall();
    EXPECT_EQ(2u, ClientRuns().size());
    EXPECT_TRUE(SetTexts().empty());
    EXPECT_TRUE(ScriptsLeft().empty());
    EXPECT_TRUE(ShownMessages.empty());
}

TEST_F(HandBack, DeleteTempDecidesWhetherTheScriptStays)
{
    EditorText = "select 1 from dual;\r\n";
    Settings("DeleteTemp=0\r\n");
    OnCall();
    OnCall();
    std::vector<std::string> left = ScriptsLeft();
    ASSERT_EQ(2u, left.size()) << "each run leaves a file of a new name";
    for (const std::string& name : left)
        EXPECT_EQ(EditorText, ReadWholeFile(workFolder + "\\" + name));

    Settings("DeleteTemp=1\r\n");
    OnCall();
    EXPECT_EQ(3u, ClientRuns().size());
    EXPECT_EQ(left, ScriptsLeft());
    EXPECT_EQ(3u, SetTexts().size());
}

// The editor would cut a text past its buffer, or at its first NUL: such a
// script is kept, whatever DeleteTemp says, and the editor keeps its text.
TEST_F(HandBack, AScriptTheEditorCannotTakeWholeIsKeptAndNotHandedBack)
{
    std::string withNul("select 1 from dual;\r\n\0-- after the NUL\r\n", 40);
    std::string textFile = folder + "\\with-nul.sql";
    WriteWholeFile(textFile, withNul);
    const struct { const char* action; const char* message; size_t size; } cases[] = {
        {"grow", GROWN, 102401},
        {"rewrite", HOLDS_NUL, withNul.size()},
    };
    Settings("DeleteTemp=1\r\n");
    EditorText = "select 1 from dual;\r\n";
    SetClientControl("TAMSIL_CLIENT_TEXT_FILE", textFile);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        ShownMessages.clear();
        DeleteFileA(clientLog.c_str());
        SetClientControl("TAMSIL_CLIENT_ACTION", c.action);
        OnCall();

        std::vector<ClientRun> runs = ClientRuns();
        ASSERT_EQ(1u, runs.size());
        std::string script = runs[0]["script-path"];
        char expected[1024];
        snprintf(expected, sizeof expected, c.message, script.c_str());
        ExpectOneRunError(expected);
        EXPECT_TRUE(SetTexts().empty());
        std::string kept = ReadWholeFile(script);
        EXPECT_EQ(c.size, kept.size());
        EXPECT_EQ(0u, kept.find("select 1 from dual;\r\n"));
    }
}

TEST_F(HandBack, AScriptThatFillsTheBufferExactlyIsHandedBackWhole)
{
    Settings("DeleteTemp=1\r\n");
    EditorText = "select 1 from dual;\r\n";
    SetClientControl("TAMSIL_CLIENT_ACTION", "grow");
    SetClientControl("TAMSIL_CLIENT_SIZE", "102400");
    OnCall();
    EXPECT_TRUE(ShownMessages.empty());
    EXPECT_EQ(std::vector<std::string>{EditorText + std::string(102400 - EditorText.size(), ' ')},
              SetTexts());
    EXPECT_TRUE(ScriptsLeft().empty());
}

TEST_F(HandBack, ReturnsOnlyAfterTheClientHasEnded)
{
    Settings();
    EditorText = "select 1 from dual;\r\n";
    SetClientControl("TAMSIL_CLIENT_SLEEP", "1500");
    SetClientControl("TAMSIL_CLIENT_ACTION", "append");
    SetClientControl("TAMSIL_CLIENT_TEXT", "-- done\r\n");
    DWORD start = GetTickCount();
    OnCall();
    DWORD elapsed = GetTickCount() - start;

    EXPECT_GE(elapsed, 1450u);
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(1u, runs[0].count("end")) << "the client had not finished";
    EXPECT_EQ(std::vector<std::string>{"select 1 from dual;\r\n-- done\r\n"}, SetTexts());
}


// A file a scanner holds for a moment after the client has ended is waited
// for; held past the retries, it is kept and named in a message, after what
// stopped the run. The run keeps its log-on script open while the client
// runs, so a holder can only share it for reading.
TEST_F(HandBack, AFileHeldAfterTheClientEndedIsWaitedForThenReported)
{
    OwnTemporaryFolder();
    SetHostText(HOST_USER, HOST_USER_WIDTH, "APPUSER");
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "tiger");
    Settings("DeleteTemp=1\r\nHidePassword=1\r\n");
    EditorText = "select 1 from dual;\r\n";
    const struct { const char* file; const char* share; const char* time; const char* message; const char* action; } holds[] = {
        {"script", "none", "300", NULL, "leave"},
        {"logon-script", "read", "300", NULL, "leave"},
        {"script", "read", "10000", CANNOT_READ_BACK, "leave"},
        {"logon-script", "read", "10000", LOGON_SCRIPT_KEPT, "leave"},
        {"logon-script", "read", "6000", LOGON_SCRIPT_KEPT, "delete"},
    };
    WhileMessageShown = PickBothCommandsAgain;
    for (const auto& hold : holds) {
        SCOPED_TRACE(std::string(hold.file) + " " + hold.time);
        ShownMessages.clear();
        HostCalls.clear();
        SetClientControl("TAMSIL_CLIENT_HOLD", hold.file);
        SetClientControl("TAMSIL_CLIENT_HOLD_SHARE", hold.share);
        SetClientControl("TAMSIL_CLIENT_HOLD_FOR", hold.time);
        SetClientControl("TAMSIL_CLIENT_ACTION", hold.action);
        OnCall();
        ClientRun run = ClientRuns().back();
        std::string held = run["hold"].substr(strlen("held "));
        std::string stop = strcmp(hold.action, "delete") ? ""
                           : FormatMessageText(CANNOT_READ_BACK, run["script-path"], ERROR_FILE_NOT_FOUND);
        if (hold.message)
            ExpectOneRunError(stop + FormatMessageText(hold.message, held, ERROR_SHARING_VIOLATION));
        EXPECT_EQ(hold.message == NULL, ShownMessages.empty());
        EXPECT_EQ(hold.message != CANNOT_READ_BACK && stop.empty(), SetTexts() == std::vector<std::string>{EditorText});
        EXPECT_EQ(hold.message ? "box" : "SetEditorText", EntriesCalled().back()) << "the editor has its text first";
        EXPECT_EQ(hold.message != NULL, FileExists(held)) << "kept only when reported";
        HANDLE holder = OpenProcess(SYNCHRONIZE, FALSE, strtoul(run["holder"].c_str(), NULL, 10));
        WaitForSingleObject(holder, 30000);   // until it lets go of the file
        CloseHandle(holder);
    }
    // Both deletions fail: one box, the log-on script first; then the exit code
    // when asked for, but not 0: up to 0xFFFF in decimal, from 0x10000 (where
    // the system's own codes begin) in hex.
    HostCalls.clear();
    ShownMessages.clear();
    SetClientControl("TAMSIL_CLIENT_HOLD", "");
    SetClientControl("TAMSIL_CLIENT_ACTION", "leave");
    Settings("DeleteTemp=1\r\nHidePassword=1\r\nShowExitCode=1\r\n");
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "DeleteFileA", reinterpret_cast<void*>(&FailDeletion)));
    for (const char* exit : {"0xFFFF", "0", "0x10000"}) {
        SetClientControl("TAMSIL_CLIENT_EXIT", exit);
        OnCall();
    }
    EXPECT_EQ(14u, HostCalls.size()) << "three runs, five boxes, and nothing picked under them";
    ASSERT_TRUE(DeletionsTried.size() == 6 && ShownMessages.size() == 5);
    EXPECT_EQ(FormatMessageText(LOGON_SCRIPT_KEPT, DeletionsTried[0], ERROR_WRITE_PROTECT) +
              FormatMessageText(CANNOT_DELETE, DeletionsTried[1], ERROR_WRITE_PROTECT), ShownMessages[0].text);
    EXPECT_EQ("SQL*Plus ended with exit code 65535.\n", ShownMessages[1].text);
    EXPECT_EQ("SQL*Plus ended with exit code 0x00010000.\n", ShownMessages[4].text);
    EXPECT_TRUE(ShownMessages[4].caption == "Tamsil plug-in" && ShownMessages[4].style == 0x30 && !ShownMessages[4].owner);
    // The editor then raises in SetEditorText: the kept log-on script is tried once more, silently.
    SetHostPointer(HOST_SET_EDITOR_TEXT, +[](int32_t, const char*) -> int32_t { RaiseEditorException(); return 0; });
    EXPECT_TRUE(CallCatchingExceptions(OnCall));
    EXPECT_TRUE(DeletionsTried.size() == 8 && DeletionsTried[7] == DeletionsTried[6] && ShownMessages.size() == 5);
}
