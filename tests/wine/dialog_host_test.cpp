// The settings dialog opened the way the editor opens it: a separate host
// process picks the plug-in's settings command over its own main window.
#include "tests/wine/plugin_fixture.h"

#include <algorithm>

#include "resources/resource.h"
#include "tests/wine/dialog_driver.h"

namespace {

class HostSettings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = MakeTempFolder("th");
        for (const char* name : {"Tamsil.dll", "editor_host.exe"})
            ASSERT_TRUE(CopyFileA((BuildFolder() + "\\" + name).c_str(),
                                  (folder + "\\" + name).c_str(), FALSE));
    }

    void TearDown() override
    {
        // A host left waiting on its dialog is stopped; it is our own child.
        if (process.hProcess) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 99);
                WaitForSingleObject(process.hProcess, 5000);
            }
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        RemoveFolder(folder);
    }

    // Starts the host on the plug-in copy with its output in a file.
    void StartHost(const std::string& arguments)
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
        HANDLE output = CreateFileA(OutputPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, output);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
        std::string commandLine =
            "\"" + folder + "\\editor_host.exe\" \"" + folder + "\\Tamsil.dll\" " + arguments;
        BOOL started = CreateProcessA(NULL, &commandLine[0], NULL, NULL, TRUE, 0, NULL,
                                      folder.c_str(), &startup, &process);
        CloseHandle(output);
        ASSERT_TRUE(started);
    }

    std::string OutputPath() const { return folder + "\\host.txt"; }

    std::string folder;
    PROCESS_INFORMATION process = {};
};

} // namespace

TEST_F(HostSettings, EditorHostOpensTheDialogOverItsMainWindowAndSavesOnOk)
{
    WriteWholeFile(folder + "\\Tamsil.ini", "[Settings]\r\nOptions=-S\r\n");
    StartHost("--user APPUSER --database ORCL --settings");
    HWND dialog = WaitForSettingsDialog(process.dwProcessId);
    ASSERT_TRUE(dialog != NULL) << ReadWholeFile(OutputPath());

    HWND owner = GetWindow(dialog, GW_OWNER);
    ASSERT_TRUE(owner != NULL);
    EXPECT_EQ(process.dwProcessId, WindowProcess(owner));
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

    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, DIALOG_WAIT_MS));
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode);
    std::string output = ReadWholeFile(OutputPath());
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    EXPECT_NE(std::string::npos, output.find("host: OnSettings\n")) << output;
    EXPECT_NE(std::string::npos, output.find("host: OnSettings returned\n")) << output;

    std::string settings = folder + "\\Tamsil.ini";
    char value[64];
    GetPrivateProfileStringA("Settings", "ConnectString", "", value, sizeof value, settings.c_str());
    EXPECT_STREQ("PROD", value);
    GetPrivateProfileStringA("Settings", "DeleteTemp", "", value, sizeof value, settings.c_str());
    EXPECT_STREQ("1", value);
    GetPrivateProfileStringA("Path", "SqlPlus", "", value, sizeof value, settings.c_str());
    EXPECT_STREQ("sqlplus", value);
}
