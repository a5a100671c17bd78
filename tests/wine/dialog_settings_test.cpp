// The settings dialog of the real plug-in, opened by OnSettings over a main
// window of this process and driven from a second thread as a user would.
#include "tests/wine/plugin_fixture.h"

#include "resources/resource.h"
#include "settings/settings_dialog.h"
#include "tests/wine/dialog_driver.h"

namespace {

// End codes the plug-in closed its dialog with, in order, as the message
// it posts the dialog as it closes carries them.
std::vector<INT_PTR> EndCodes;
decltype(&PostMessageA) RealPostMessage;

BOOL WINAPI RecordClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SETTINGS_DIALOG_CLOSED)
        EndCodes.push_back(static_cast<INT_PTR>(wParam));
    return RealPostMessage(window, message, wParam, lParam);
}

const char SAMPLE_SETTINGS[] =
    "[Settings]\r\nReadOnly=1\r\nDeleteTemp=0\r\nOptions=-S -L\r\n"
    "ConnectString=PROD\r\n[Path]\r\nWorkingDirectory=C:\\Work\r\n"
    "SqlPlus=C:\\Client\\sqlplus.exe\r\n";

class SettingsDialog : public PluginTest
{
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        EndCodes.clear();
        RealPostMessage = reinterpret_cast<decltype(&PostMessageA)>(PatchImport(
            module, "user32.dll", "PostMessageA", reinterpret_cast<void*>(&RecordClose)));
        ASSERT_TRUE(RealPostMessage != NULL);
        mainWindow = CreateWindowA("STATIC", "Editor main window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   60, 50, 640, 400, NULL, NULL, NULL, NULL);
        ASSERT_TRUE(mainWindow != NULL);
        SetHostPointer(HOST_MAIN_WINDOW, mainWindow);
    }

    void TearDown() override
    {
        if (mainWindow)
            DestroyWindow(mainWindow);
        PluginTest::TearDown();
    }

    // The host picks the plug-in's settings command; user acts on the dialog.
    void OpenSettings(const std::function<void(HWND)>& user)
    {
        DriveDialog([this] { OnSettings(); }, user);
    }

    std::string Stored(const char* section, const char* key)
    {
        char value[1024];
        GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value,
                                 SettingsPath().c_str());
        return value;
    }

    HWND mainWindow = NULL;
};

struct Field
{
    int id;
    const char* section;
    const char* key;
    size_t limit;
};

const Field TEXT_FIELDS[] = {
    {IDC_OPTIONS, "Settings", "Options", 126},
    {IDC_CONNECT, "Settings", "ConnectString", 259},
    {IDC_WORKDIR, "Path", "WorkingDirectory", 259},
    {IDC_SQLPLUS, "Path", "SqlPlus", 259},
};

} // namespace

TEST_F(SettingsDialog, OpensShowingTheSettingsFile)
{
    Install();
    WriteSettingsFile(SAMPLE_SETTINGS);
    OpenSettings([](HWND dialog) {
        EXPECT_EQ("-S -L", ControlText(dialog, IDC_OPTIONS));
        EXPECT_EQ("PROD", ControlText(dialog, IDC_CONNECT));
        EXPECT_EQ("C:\\Work", ControlText(dialog, IDC_WORKDIR));
        EXPECT_EQ("C:\\Client\\sqlplus.exe", ControlText(dialog, IDC_SQLPLUS));
        EXPECT_EQ(BST_CHECKED, CheckState(dialog, IDC_READONLY));
        EXPECT_EQ(BST_UNCHECKED, CheckState(dialog, IDC_DELETETEMP));
        Click(dialog, IDCANCEL);
    });
    ASSERT_EQ(std::vector<INT_PTR>{IDCANCEL}, EndCodes);

    // Without a file, the defaults.
    DeleteFileA(SettingsPath().c_str());
    OpenSettings([](HWND dialog) {
        EXPECT_EQ("", ControlText(dialog, IDC_OPTIONS));
        EXPECT_EQ("", ControlText(dialog, IDC_CONNECT));
        EXPECT_EQ("", ControlText(dialog, IDC_WORKDIR));
        EXPECT_EQ("sqlplus", ControlText(dialog, IDC_SQLPLUS));
        EXPECT_EQ(BST_UNCHECKED, CheckState(dialog, IDC_READONLY));
        EXPECT_EQ(BST_UNCHECKED, CheckState(dialog, IDC_DELETETEMP));
        Click(dialog, IDCANCEL);
    });
    EXPECT_FALSE(FileExists(SettingsPath()));
}

// A check box shows a stored flag as the run treats it: any value that
// converts to non-zero is on, and it is saved back as 1.
TEST_F(SettingsDialog, CheckBoxesShowFlagsAsTheRunTreatsThem)
{
    Install();
    const struct { const char* stored; LRESULT shown; const char* saved; } cases[] = {
        {"1", BST_CHECKED, "1"},  {"0", BST_UNCHECKED, "0"}, {"2", BST_CHECKED, "1"},
        {"-1", BST_CHECKED, "1"}, {"10", BST_CHECKED, "1"},  {"yes", BST_UNCHECKED, "0"},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(std::string("[Settings]\r\nReadOnly=") + c.stored + "\r\nDeleteTemp=0\r\n");
        OpenSettings([&](HWND dialog) {
            EXPECT_EQ(c.shown, CheckState(dialog, IDC_READONLY)) << c.stored;
            EXPECT_EQ(BST_UNCHECKED, CheckState(dialog, IDC_DELETETEMP)) << c.stored;
            Click(dialog, IDOK);
        });
        EXPECT_EQ(c.saved, Stored("Settings", "ReadOnly")) << c.stored;
        EXPECT_EQ("0", Stored("Settings", "DeleteTemp")) << c.stored;
    }
}

TEST_F(SettingsDialog, OkWithoutChangesWritesAllSixKeys)
{
    Install();
    // HidePassword has no field: OK leaves it as the file has it.
    WriteSettingsFile("[Settings]\r\nReadOnly=1\r\nOptions=-S\r\nHidePassword=1\r\n");
    OpenSettings([](HWND dialog) { Click(dialog, IDOK); });
    EXPECT_EQ(std::vector<INT_PTR>{IDOK}, EndCodes);
    EXPECT_EQ("1", Stored("Settings", "ReadOnly"));
    EXPECT_EQ("0", Stored("Settings", "DeleteTemp"));
    EXPECT_EQ("-S", Stored("Settings", "Options"));
    EXPECT_EQ("", Stored("Settings", "ConnectString"));
    EXPECT_EQ("", Stored("Path", "WorkingDirectory"));
    EXPECT_EQ("sqlplus", Stored("Path", "SqlPlus"));
    EXPECT_EQ("1", Stored("Settings", "HidePassword"));
    EXPECT_TRUE(ShownMessages.empty());
}

TEST_F(SettingsDialog, OkSavesWhatTheUserEntered)
{
    Install();
    OpenSettings([](HWND dialog) {
        SetControlText(dialog, IDC_OPTIONS, "-S -M \"HTML ON\"");
        SetControlText(dialog, IDC_CONNECT, "TEST_DB");
        SetControlText(dialog, IDC_WORKDIR, "C:\\My Scripts");
        SetControlText(dialog, IDC_SQLPLUS, "C:\\Program Files\\Client\\sqlplus.exe");
        Click(dialog, IDC_READONLY);
        Click(dialog, IDC_DELETETEMP);
        Click(dialog, IDC_DELETETEMP);
        Click(dialog, IDC_DELETETEMP);
        EXPECT_EQ(BST_CHECKED, CheckState(dialog, IDC_READONLY));
        EXPECT_EQ(BST_CHECKED, CheckState(dialog, IDC_DELETETEMP));
        Click(dialog, IDOK);
    });
    EXPECT_EQ("1", Stored("Settings", "ReadOnly"));
    EXPECT_EQ("1", Stored("Settings", "DeleteTemp"));
    EXPECT_EQ("-S -M \"HTML ON\"", Stored("Settings", "Options"));
    EXPECT_EQ("TEST_DB", Stored("Settings", "ConnectString"));
    EXPECT_EQ("C:\\My Scripts", Stored("Path", "WorkingDirectory"));
    EXPECT_EQ("C:\\Program Files\\Client\\sqlplus.exe", Stored("Path", "SqlPlus"));

    // The next opening shows what was saved; Enter in a field is OK.
    OpenSettings([](HWND dialog) {
        EXPECT_EQ("C:\\My Scripts", ControlText(dialog, IDC_WORKDIR));
        EXPECT_EQ(BST_CHECKED, CheckState(dialog, IDC_DELETETEMP));
        Click(dialog, IDC_READONLY);
        PressEnter(dialog, IDC_CONNECT);
        EXPECT_TRUE(WaitUntilClosed(dialog));
    });
    EXPECT_EQ((std::vector<INT_PTR>{IDOK, IDOK}), EndCodes);
    EXPECT_EQ("0", Stored("Settings", "ReadOnly"));
    EXPECT_EQ("1", Stored("Settings", "DeleteTemp"));
}

TEST_F(SettingsDialog, CancelEscapeAndCloseBoxWriteNothing)
{
    Install();
    WriteSettingsFile(SAMPLE_SETTINGS);
    // The editor's request to quit, met by the dialog's loop, is the
    // editor's loop's to meet again.
    const struct { const char* way; std::function<void(HWND)> close; bool quits = false; } ways[] = {
        {"Cancel", [](HWND dialog) { Click(dialog, IDCANCEL); }},
        {"Escape", [](HWND dialog) { PressEscape(dialog, IDC_OPTIONS); }},
        {"close box", [](HWND dialog) { PressCloseBox(dialog); }},
        {"quit", [](HWND dialog) { PostThreadMessageA(GetWindowThreadProcessId(dialog, NULL), WM_QUIT, 7, 0); }, true},
    };
    for (const auto& w : ways) {
        EndCodes.clear();
        OpenSettings([&](HWND dialog) {
            SetControlText(dialog, IDC_OPTIONS, "changed");
            SetControlText(dialog, IDC_SQLPLUS, "");
            Click(dialog, IDC_READONLY);
            Click(dialog, IDC_DELETETEMP);
            w.close(dialog);
            EXPECT_TRUE(WaitUntilClosed(dialog)) << w.way;
        });
        EXPECT_EQ(std::vector<INT_PTR>{IDCANCEL}, EndCodes) << w.way;
        EXPECT_EQ(SAMPLE_SETTINGS, ReadSettingsFile()) << w.way;
        MSG quit = {};
        EXPECT_EQ(w.quits, PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 7) << w.way;
    }
    // Without a settings file, none is made.
    DeleteFileA(SettingsPath().c_str());
    OpenSettings([](HWND dialog) { PressEscape(dialog, IDC_READONLY); });
    EXPECT_FALSE(FileExists(SettingsPath()));
}

TEST_F(SettingsDialog, ClearedSqlPlusPathIsSavedEmptyAndOpensAsSqlplus)
{
    Install();
    WriteSettingsFile("[Path]\r\nSqlPlus=C:\\Client\\sqlplus.exe\r\n");
    OpenSettings([](HWND dialog) {
        SetControlText(dialog, IDC_SQLPLUS, "");
        Click(dialog, IDOK);
    });
    EXPECT_EQ("", Stored("Path", "SqlPlus"));
    OpenSettings([](HWND dialog) {
        EXPECT_EQ("sqlplus", ControlText(dialog, IDC_SQLPLUS));
        Click(dialog, IDCANCEL);
    });
}

// What the user types stops at what the setting holds, so nothing typed is
// silently cut on saving.
TEST_F(SettingsDialog, FieldsTakeNoMoreThanTheirSettingHolds)
{
    Install();
    OpenSettings([](HWND dialog) {
        for (const Field& field : TEXT_FIELDS) {
            EXPECT_EQ(field.limit, SendDlgItemMessageA(dialog, field.id, EM_GETLIMITTEXT, 0, 0))
                << field.key;
            SetControlText(dialog, field.id, "");
            std::string pasted(300, 'a' + field.id % 26);
            SendDlgItemMessageA(dialog, field.id, EM_REPLACESEL, TRUE,
                                reinterpret_cast<LPARAM>(pasted.c_str()));
            EXPECT_EQ(pasted.substr(0, field.limit), ControlText(dialog, field.id)) << field.key;
            Type(dialog, field.id, "zz");
            EXPECT_EQ(pasted.substr(0, field.limit), ControlText(dialog, field.id)) << field.key;
        }
        // Typing below the limit still works.
        SetControlText(dialog, IDC_OPTIONS, "");
        Type(dialog, IDC_OPTIONS, "-S");
        EXPECT_EQ("-S", ControlText(dialog, IDC_OPTIONS));
        SetControlText(dialog, IDC_OPTIONS, std::string(125, 'o'));
        SendDlgItemMessageA(dialog, IDC_OPTIONS, EM_SETSEL, 125, 125);
        Type(dialog, IDC_OPTIONS, "xyz");
        EXPECT_EQ(std::string(125, 'o') + "x", ControlText(dialog, IDC_OPTIONS));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::string(125, 'o') + "x", Stored("Settings", "Options"));
    for (const Field& field : TEXT_FIELDS) {
        if (field.id != IDC_OPTIONS) {
            EXPECT_EQ(std::string(field.limit, 'a' + field.id % 26), Stored(field.section, field.key))
                << field.key;
        }
    }
}

TEST_F(SettingsDialog, OpensOwnedByTheMainWindowAtItsClientCorner)
{
    Install();
    HWND owner = mainWindow;
    OpenSettings([owner](HWND dialog) {
        EXPECT_EQ(owner, GetWindow(dialog, GW_OWNER));
        POINT ownerCorner = {0, 0}, dialogCorner = {0, 0};
        ClientToScreen(owner, &ownerCorner);
        ClientToScreen(dialog, &dialogCorner);
        EXPECT_EQ(ownerCorner.x, dialogCorner.x);
        EXPECT_EQ(ownerCorner.y, dialogCorner.y);
        // Modal: the owner takes no input while the dialog is open.
        EXPECT_FALSE(IsWindowEnabled(owner));
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
}

TEST_F(SettingsDialog, OpensWithoutOwnerWhenTheHostGaveNoWindow)
{
    // Before installation the plug-in knows no host record at all.
    OpenSettings([](HWND dialog) {
        EXPECT_EQ(NULL, GetWindow(dialog, GW_OWNER));
        Click(dialog, IDCANCEL);
    });
    // A main window that is no longer a window.
    SetHostPointer(HOST_MAIN_WINDOW, reinterpret_cast<HWND>(0x7FFF0000));
    Install();
    OpenSettings([](HWND dialog) {
        EXPECT_EQ(NULL, GetWindow(dialog, GW_OWNER));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ((std::vector<INT_PTR>{IDCANCEL, IDCANCEL}), EndCodes);
}

// The settings file cannot be written while another program holds it open
// for reading only (a read-only file or folder does the same for a user who
// is not an administrator).
TEST_F(SettingsDialog, SaveFailureIsReportedAndKeepsTheDialogOpenWithTheEdits)
{
    Install();
    WriteSettingsFile(SAMPLE_SETTINGS);
    std::string path = SettingsPath();
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    HWND shownDialog = NULL;
    OpenSettings([&](HWND dialog) {
        shownDialog = dialog;
        SetControlText(dialog, IDC_CONNECT, "OTHER_DB");
        Click(dialog, IDC_DELETETEMP);
        Click(dialog, IDOK);
        // Still open, with what the user entered.
        EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
        EXPECT_EQ("OTHER_DB", ControlText(dialog, IDC_CONNECT));
        EXPECT_EQ(BST_CHECKED, CheckState(dialog, IDC_DELETETEMP));
        EXPECT_EQ(SAMPLE_SETTINGS, ReadSettingsFile());
        // The other program lets go of the file and the user presses OK again.
        CloseHandle(holder);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<INT_PTR>{IDOK}, EndCodes);
    ASSERT_EQ(1u, ShownMessages.size());
    const ShownMessage& shown = ShownMessages[0];
    char systemText[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                   ERROR_SHARING_VIOLATION, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                   systemText, sizeof systemText, NULL);
    ASSERT_NE('\0', systemText[0]);
    EXPECT_EQ("Cannot save the settings to " + path + "\nERROR: 32\nMSG:" + systemText + "\n",
              shown.text);
    EXPECT_EQ("Tamsil plug-in", shown.caption);
    EXPECT_EQ(0x10u, shown.style);
    EXPECT_EQ(shownDialog, shown.owner);
    EXPECT_EQ("OTHER_DB", Stored("Settings", "ConnectString"));
    EXPECT_EQ("1", Stored("Settings", "DeleteTemp"));
}

// Run in a process of its own with a Japanese locale (code page 932), where
// a field that takes 126 characters can hold 252 bytes.
TEST_F(SettingsDialog, DoubleByteTextTooLongForItsSettingIsRefusedNotCut)
{
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    Install();
    WriteSettingsFile(SAMPLE_SETTINGS);
    const std::string kana = "\x82\xa0";   // one character, two bytes
    auto repeated = [&](size_t count) {
        std::string text;
        for (size_t i = 0; i < count; ++i)
            text += kana;
        return text;
    };
    HWND shownDialog = NULL;
    OpenSettings([&](HWND dialog) {
        shownDialog = dialog;
        // Pasted as a user would: the field takes all 126 characters.
        SetControlText(dialog, IDC_OPTIONS, "");
        SendDlgItemMessageA(dialog, IDC_OPTIONS, EM_REPLACESEL, TRUE,
                            reinterpret_cast<LPARAM>(repeated(126).c_str()));
        EXPECT_EQ(repeated(126), ControlText(dialog, IDC_OPTIONS));
        Click(dialog, IDOK);
        SetControlText(dialog, IDC_OPTIONS, repeated(63));
        SetControlText(dialog, IDC_SQLPLUS, "C:\\" + repeated(129));
        Click(dialog, IDOK);
        // Still open with the edits, and nothing saved.
        EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
        EXPECT_EQ("C:\\" + repeated(129), ControlText(dialog, IDC_SQLPLUS));
        EXPECT_EQ(SAMPLE_SETTINGS, ReadSettingsFile());
        // Exactly as many bytes as the setting holds.
        SetControlText(dialog, IDC_SQLPLUS, "C:\\" + repeated(128));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<INT_PTR>{IDOK}, EndCodes);
    ASSERT_EQ(2u, ShownMessages.size());
    EXPECT_EQ("Options is too long: 252 bytes in the system code page, at most 126.\n",
              ShownMessages[0].text);
    EXPECT_EQ("SQL*Plus path is too long: 261 bytes in the system code page, at most 259.\n",
              ShownMessages[1].text);
    for (const ShownMessage& shown : ShownMessages) {
        EXPECT_EQ("Tamsil plug-in", shown.caption);
        EXPECT_EQ(0x10u, shown.style);
        EXPECT_EQ(shownDialog, shown.owner);
    }
    EXPECT_EQ(repeated(63), Stored("Settings", "Options"));
    EXPECT_EQ("C:\\" + repeated(128), Stored("Path", "SqlPlus"));
}
