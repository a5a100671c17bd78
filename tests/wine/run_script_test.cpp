// The script file holds exactly the editor's text, and a text that may have
// been cut by the host never runs.
#include "tests/wine/run_fixture.h"

using namespace run_test;

namespace {

class ScriptText : public RunTest
{
};

const char TOO_LONG[] = "The editor text is too long to run: at most 102398 bytes.\n";

std::string EveryByteButNul()
{
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

} // namespace

TEST_F(ScriptText, HoldsTheEditorsBytesExactlyAndComesBackUnchanged)
{
    const std::string texts[] = {
        "",
        "select 1 from dual;\r\nselect 2 from dual;",   // no line ending added
        "select 'caf\xE9', '\x80\xFF' from dual;\r\n",   // code-page bytes as they are
        EveryByteButNul(),
    };
    Settings();
    for (const std::string& text : texts) {
        EditorText = text;
        OnCall();
    }
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(4u, runs.size());
    std::vector<std::string> left = ScriptsLeft();
    ASSERT_EQ(4u, left.size());
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(texts[i], runs[i]["script"]);
        EXPECT_EQ(texts[i], ReadWholeFile(runs[i]["script-path"]));
    }
    // The client left each script alone; it is handed back all the same.
    EXPECT_EQ(std::vector<std::string>(texts, texts + 4), SetTexts());
    for (const HostCall& call : HostCalls) {
        if (call.entry == "GetEditorText") {
            EXPECT_EQ(102400, call.size);
        }
    }
    EXPECT_TRUE(ShownMessages.empty());
}

TEST_F(ScriptText, RunsTheLongestTextThatIsSurelyWhole)
{
    Settings("DeleteTemp=1\r\n");
    EditorText = std::string(102398 - 2, 'x') + "\r\n";
    OnCall();
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(EditorText, runs[0]["script"]);
    EXPECT_EQ(std::vector<std::string>{EditorText}, SetTexts());
    EXPECT_TRUE(ShownMessages.empty());
}

TEST_F(ScriptText, ATextThatFillsTheBufferNeverRuns)
{
    Settings();
    // The host cuts a longer text to 102399 bytes; a careless host fills
    // the whole buffer without a NUL.
    for (char fill : {'\0', 'x'}) {
        SCOPED_TRACE(fill ? "no NUL" : "cut by the host");
        ShownMessages.clear();
        HostCalls.clear();
        EditorText = std::string(200000, 'y');
        UnterminatedFill = fill;
        OnCall();
        ExpectOneRunError(TOO_LONG);
        EXPECT_TRUE(StartRequests.empty());
        EXPECT_TRUE(ScriptsLeft().empty()) << "the reserved file was left";
        EXPECT_TRUE(SetTexts().empty());
    }

    // The next run of a shorter text goes as usual, and an editor that
    // writes nothing into the buffer runs an empty script, not the message.
    ShownMessages.clear();
    UnterminatedFill = 0;
    EditorText = std::string(102399, 'z');
    OnCall();
    ExpectOneRunError(TOO_LONG);
    ShownMessages.clear();
    SetHostPointer(HOST_GET_EDITOR_TEXT, +[](int32_t, char*, int32_t) {});
    OnCall();
    SetHostPointer(HOST_GET_EDITOR_TEXT, &FakeGetEditorText);
    EXPECT_EQ("", ClientRuns().at(0)["script"]);
    DeleteFileA(clientLog.c_str());
    EditorText = "select 1 from dual;";
    OnCall();
    EXPECT_TRUE(ShownMessages.empty());
    ASSERT_EQ(1u, ClientRuns().size());
    EXPECT_EQ(EditorText, ClientRuns()[0]["script"]);
}
