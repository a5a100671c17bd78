// The settings dialog opened the way the editor opens it: a separate host
// process picks the plug-in's settings command over its own main window.
#include "tests/wine/plugin_fixture.h"

#include "resources/resource.h"
#include "tests/wine/dialog_driver.h"

namespace {

class HostSettings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = MakeTempFolder("th");
        ASSERT_TRUE(CopyFileA((BuildFolder() + "\\Tamsil.dll").c_str(),
                              (folder + "\\Tamsil.dll").c_str(), FALSE));
    }

    void TearDown() override { RemoveFolder(folder); }

    std::string folder;
    HostProcess host;
};

} // namespace

// First the editor raises at a message queued for its main window before the
// settings command: the dialog, abandoned before its loop first ran dry, is
// on screen all the same, and both commands beep under it; once the user
// closes it, the editor's main window takes input and the next one opens.
TEST_F(HostSettings, EditorHostOpensTheDialogOverItsMainWindowAndSavesOnOk)
{
    WriteWholeFile(folder + "\\Tamsil.ini", "[Settings]\r\nOptions=-S\r\n");
    ASSERT_TRUE(host.Start("\"" + folder + "\\Tamsil.dll\" --user APPUSER --database ORCL --raise-in-window --settings"
                           " --call --settings --wait-for-main-window --settings", folder));
    ASSERT_TRUE(WaitFor([&] { return host.Output().find("beep 48\nhost: OnSettings returned") != std::string::npos; }));
    HWND left = WaitForSettingsDialog(host.ProcessId()), leftOwner = GetWindow(left, GW_OWNER);
    ASSERT_TRUE(left && leftOwner && !IsWindowEnabled(leftOwner)) << host.Output();
    Click(left, IDCANCEL);
    EXPECT_TRUE(WaitUntilClosed(left) && IsWindowEnabled(leftOwner));
    HWND dialog = WaitForSettingsDialog(host.ProcessId());
    ASSERT_TRUE(dialog != NULL) << host.Output();

    HWND owner = GetWindow(dialog, GW_OWNER);
    ASSERT_TRUE(owner != NULL);
    EXPECT_EQ(host.ProcessId(), WindowProcess(owner));
    EXPECT_EQ(L"Editor host", WindowCaption(owner));
    POINT ownerCorner = {0, 0}, dialogCorner = {0, 0};
    ClientToScreen(owner, &ownerCorner);
    ClientToScreen(dialog, &dialogCorner);
    EXPECT_EQ(ownerCorner.x, dialogCorner.x);
    EXPECT_EQ(ownerCorner.y, dialogCorner.y);

    EXPECT_EQ("-S", ControlText(dialog, IDC_OPTIONS));
    EXPECT_EQ("sqlplus", ControlText(dialog, IDC_SQLPLUS));
    SetControlText(dialog, IDC_CONNECT, "PROD");
    Click(dialog, IDC_DELETETEMP);
    Click(dialog, IDOK);

    ASSERT_EQ(0, host.Wait(DIALOG_WAIT_MS));
    std::string output = host.Output();
    EXPECT_NE(std::string::npos, output.find("host: OnSettings\n")) << output;
    EXPECT_NE(std::string::npos, output.find("host: OnSettings returned\n")) << output;
    EXPECT_NE(std::string::npos, output.find("host: the main window raises an exception\nhost: OnSettings abandoned by an "
                                             "exception\nhost: OnCall\nhost: beep 48\nhost: OnCall returned\n")) << output;

    std::string settings = folder + "\\Tamsil.ini";
    char value[64];
    GetPrivateProfileStringA("Settings", "ConnectString", "", value, sizeof value, settings.c_str());
    EXPECT_STREQ("PROD", value);
    GetPrivateProfileStringA("Settings", "DeleteTemp", "", value, sizeof value, settings.c_str());
    EXPECT_STREQ("1", value);
    GetPrivateProfileStringA("Path", "SqlPlus", "", value, sizeof value, settings.c_str());
    EXPECT_STREQ("sqlplus", value);
}

// A box of the editor's own, at a message the dialog's loop hands on, runs a
// loop of its own under the dialog's, which hands on the message the dialog
// posts itself as it is closed: the dialog, not left, goes only once the box
// is closed and its own loop ends it.
TEST_F(HostSettings, ADialogClosedUnderABoxOfTheEditorsOwnGoesWhenTheBoxCloses)
{
    ASSERT_TRUE(host.Start("\"" + folder + "\\Tamsil.dll\" --box-in-window --settings", folder));
    HWND dialog = WaitForSettingsDialog(host.ProcessId());
    ASSERT_TRUE(dialog && WaitForProcessWindow(host.ProcessId(), L"Editor box")) << host.Output();
    Click(dialog, IDCANCEL);
    EXPECT_EQ("The editor's own box", AnswerMessageBox(host.ProcessId(), L"Editor box"));
    ASSERT_EQ(0, host.Wait(DIALOG_WAIT_MS));
    EXPECT_NE(std::string::npos, host.Output().find("host: the editor's box closed, its main window disabled\n"
                                                    "host: OnSettings returned\n")) << host.Output();
}
