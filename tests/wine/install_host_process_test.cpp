// Installation as the user sees it: the editor stand-in, a real process of
// its own, loads the built plug-in, and a refusal shows a real message box on
// the display.
#include "tests/wine/host_process.h"
#include "tests/wine/plugin_fixture.h"

namespace {

class InstallInRealHost : public ::testing::Test
{
protected:
    void SetUp() override { folder = MakeTempFolder("th"); }
    void TearDown() override { RemoveFolder(folder); }

    std::string PluginArgument() const { return "\"" + BuildFolder() + "\\Tamsil.dll\""; }

    // The message box the plug-in shows in the host process: checks it has
    // only OK and no owner, then answers OK. (Its exact style is checked
    // in-process, where the call itself is seen.)
    std::string AnswerMessageBox(DWORD processId, const char* caption)
    {
        HWND box = WaitForProcessWindow(processId, "#32770", caption);
        if (!box)
            return "<no message box>";
        EXPECT_TRUE(GetWindow(box, GW_OWNER) == NULL);
        EXPECT_TRUE(GetDlgItem(box, IDOK) != NULL);
        EXPECT_TRUE(GetDlgItem(box, IDCANCEL) == NULL);
        EXPECT_TRUE(GetDlgItem(box, IDNO) == NULL);
        char text[512] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return text;
    }

    std::string folder;
};

} // namespace

TEST_F(InstallInRealHost, AcceptedHostRegistersTheCommand)
{
    HostProcess host;
    ASSERT_TRUE(host.Start(PluginArgument() + " --version 1.51.22", folder));
    ASSERT_EQ(0, host.Wait());
    EXPECT_EQ("host: OnInstall -> 0 (Kind 5, Name \"Tamsil\")\n", host.Output());
}

TEST_F(InstallInRealHost, OldHostSeesTheVersionMessageOnScreen)
{
    HostProcess host;
    ASSERT_TRUE(host.Start(PluginArgument() + " --version 1.51.21 --data-size 100", folder));
    EXPECT_EQ("Incompatible Korvel SQL editor version. Required 1.51.22 or higher",
              AnswerMessageBox(host.ProcessId(), "Tamsil plug-in"));
    ASSERT_EQ(0, host.Wait());
    EXPECT_EQ("host: OnInstall -> 1 (Kind 0, Name \"\")\n", host.Output());
}

TEST_F(InstallInRealHost, WrongRecordSizeIsShownOnScreen)
{
    HostProcess host;
    ASSERT_TRUE(host.Start(PluginArgument() + " --version 2.0.0 --data-size 263", folder));
    EXPECT_EQ("Wrong PL_DATA size: 263. 264 required!",
              AnswerMessageBox(host.ProcessId(), "Tamsil plug-in"));
    ASSERT_EQ(0, host.Wait());
    EXPECT_EQ("host: OnInstall -> 1 (Kind 0, Name \"\")\n", host.Output());
}
