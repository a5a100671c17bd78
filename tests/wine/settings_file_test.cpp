// The settings file, read and written with the plug-in's own code against
// real INI files beside a copy of the plug-in.
#include "tests/wine/plugin_fixture.h"

#include "common/bounded_text.h"
#include "plugin/module_state.h"
#include "resources/resource.h"
#include "settings/settings_file.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/run_fixture.h"

namespace {

class SettingsFile : public PluginTest
{
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        // The settings file follows the module it is computed for: here the
        // plug-in copy in this test's own folder.
        ModuleInstance = module;
        memset(&PluginSettings, 0x5A, sizeof PluginSettings);
    }
};

DWORD WINAPI NoShortName(LPCWSTR, LPWSTR, DWORD)
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

} // namespace

TEST_F(SettingsFile, LiesBesideTheModuleUnderItsName)
{
    LoadSettings();
    EXPECT_STREQ(SettingsPath().c_str(), SettingsFilePath);
}

TEST_F(SettingsFile, NoFileGivesTheDefaults)
{
    LoadSettings();
    EXPECT_STREQ("", PluginSettings.Options);
    EXPECT_STREQ("", PluginSettings.ConnectString);
    EXPECT_STREQ("", PluginSettings.WorkingDirectory);
    EXPECT_STREQ("sqlplus", PluginSettings.SqlPlus);
    EXPECT_EQ(0, PluginSettings.ReadOnly);
    EXPECT_EQ(0, PluginSettings.DeleteTemp);
}

TEST_F(SettingsFile, ReadsEveryKeyFromItsSection)
{
    WriteSettingsFile("[Settings]\r\nReadOnly=1\r\nDeleteTemp=10\r\nOptions=-S\r\n"
                      "ConnectString=PROD\r\n[Path]\r\nWorkingDirectory=C:\\Work\r\n"
                      "SqlPlus=C:\\Client\\sqlplus.exe\r\n");
    LoadSettings();
    EXPECT_STREQ("-S", PluginSettings.Options);
    EXPECT_STREQ("PROD", PluginSettings.ConnectString);
    EXPECT_STREQ("C:\\Work", PluginSettings.WorkingDirectory);
    EXPECT_STREQ("C:\\Client\\sqlplus.exe", PluginSettings.SqlPlus);
    EXPECT_EQ(1, PluginSettings.ReadOnly);
    EXPECT_EQ(10, PluginSettings.DeleteTemp);
}

TEST_F(SettingsFile, FlagsConvertFromAtMostTwoCharacters)
{
    const struct { const char* stored; int flag; } cases[] = {
        {"1", 1}, {"0", 0}, {"true", 0}, {"yes", 0}, {"123", 12}, {"-1", -1}, {"", 0},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(std::string("[Settings]\r\nReadOnly=") + c.stored + "\r\nDeleteTemp=" +
                          c.stored + "\r\n");
        LoadSettings();
        EXPECT_EQ(c.flag, PluginSettings.ReadOnly) << c.stored;
        EXPECT_EQ(c.flag, PluginSettings.DeleteTemp) << c.stored;
    }
}

TEST_F(SettingsFile, LongValuesAreCutToTheirCapacity)
{
    std::string options(130, 'o'), path(300, 'p');
    WriteSettingsFile("[Settings]\r\nOptions=" + options + "\r\nConnectString=" + path +
                      "\r\n[Path]\r\nWorkingDirectory=" + path + "\r\nSqlPlus=" + path + "\r\n");
    LoadSettings();
    EXPECT_EQ(std::string(126, 'o'), PluginSettings.Options);
    EXPECT_EQ(std::string(259, 'p'), PluginSettings.ConnectString);
    EXPECT_EQ(std::string(259, 'p'), PluginSettings.WorkingDirectory);
    EXPECT_EQ(std::string(259, 'p'), PluginSettings.SqlPlus);
}

TEST_F(SettingsFile, AnEmptyOrMissingClientLoadsAsSqlplus)
{
    WriteSettingsFile("[Path]\r\nSqlPlus=\r\n");
    LoadSettings();
    EXPECT_STREQ("sqlplus", PluginSettings.SqlPlus);
    WriteSettingsFile("[Path]\r\nWorkingDirectory=C:\\W\r\n");
    LoadSettings();
    EXPECT_STREQ("sqlplus", PluginSettings.SqlPlus);
    // Too short to hold a setting in any encoding, NUL or not, a file is
    // read (as the defaults): an empty UTF-16 file is its mark alone.
    for (std::string file : {std::string("\xFF\xFE", 2), std::string("A\0\0", 3)}) {
        WriteSettingsFile(file);
        EXPECT_EQ(SETTINGS_LOADED, LoadSettings());
    }
}

TEST_F(SettingsFile, AFreshSaveWritesAllKeysInOrder)
{
    LoadSettings();
    PluginSettings.ReadOnly = 1;
    PluginSettings.DeleteTemp = 7;
    CopyText(PluginSettings.Options, sizeof PluginSettings.Options, "-L");
    CopyText(PluginSettings.ConnectString, sizeof PluginSettings.ConnectString, "");
    CopyText(PluginSettings.WorkingDirectory, sizeof PluginSettings.WorkingDirectory, "C:\\Scripts");
    CopyText(PluginSettings.SqlPlus, sizeof PluginSettings.SqlPlus, "sqlplus");
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ("[Settings]\r\nReadOnly=1\r\nDeleteTemp=1\r\nOptions=-L\r\nConnectString=\r\n"
              "[Path]\r\nWorkingDirectory=C:\\Scripts\r\nSqlPlus=sqlplus\r\n",
              ReadSettingsFile());
}

TEST_F(SettingsFile, SavedFlagsAndEmptyTextsLoadBack)
{
    LoadSettings();
    PluginSettings.ReadOnly = 1;
    PluginSettings.DeleteTemp = 1;
    PluginSettings.SqlPlus[0] = '\0';
    ASSERT_TRUE(SaveSettings());
    memset(&PluginSettings, 0x5A, sizeof PluginSettings);
    LoadSettings();
    EXPECT_EQ(1, PluginSettings.ReadOnly);
    EXPECT_EQ(1, PluginSettings.DeleteTemp);
    EXPECT_STREQ("", PluginSettings.Options);
    EXPECT_STREQ("", PluginSettings.ConnectString);
    EXPECT_STREQ("", PluginSettings.WorkingDirectory);
    EXPECT_STREQ("sqlplus", PluginSettings.SqlPlus);
}

// The platform's reader drops one pair of quotes around a whole value, and
// may cut a long value before it does.
TEST_F(SettingsFile, AValueInQuotesLoadsAsSavedEvenAtItsCapacity)
{
    LoadSettings();
    std::string options = "\"" + std::string(124, 'o') + "\"", path = "'" + std::string(257, 'p') + "'";
    CopyText(PluginSettings.Options, sizeof PluginSettings.Options, options.c_str());
    CopyText(PluginSettings.SqlPlus, sizeof PluginSettings.SqlPlus, path.c_str());
    CopyText(PluginSettings.WorkingDirectory, sizeof PluginSettings.WorkingDirectory, "\"C:\\W\"");
    ASSERT_TRUE(SaveSettings());
    memset(&PluginSettings, 0x5A, sizeof PluginSettings);
    LoadSettings();
    EXPECT_EQ(options, PluginSettings.Options);
    EXPECT_EQ(path, PluginSettings.SqlPlus);
    EXPECT_STREQ("\"C:\\W\"", PluginSettings.WorkingDirectory);
}

TEST_F(SettingsFile, SaveReplacesValuesAndKeepsOtherKeys)
{
    WriteSettingsFile("[Settings]\r\nOptions=old\r\nMine=kept\r\n");
    LoadSettings();
    CopyText(PluginSettings.Options, sizeof PluginSettings.Options, "new");
    ASSERT_TRUE(SaveSettings());
    std::string file = ReadSettingsFile();
    EXPECT_NE(std::string::npos, file.find("Options=new\r\n"));
    EXPECT_EQ(std::string::npos, file.find("old"));
    EXPECT_NE(std::string::npos, file.find("Mine=kept\r\n"));
}

TEST_F(SettingsFile, LiesBesideAPlugInInAFolderNamedOutsideTheCodePage)
{
    std::wstring plugIn = Wide(folder) + L"\\" + CYRILLIC_NAME;
    ASSERT_TRUE(CreateDirectoryW(plugIn.c_str(), NULL));
    // A renamed plug-in whose name is no 8.3 name still reads the file the
    // user sees beside it, not one named after its short form.
    for (std::string name : {"Tamsil", "Tamsil Plugin"}) {
        SCOPED_TRACE(name);
        std::wstring besideIt = plugIn + L"\\" + Wide(name) + L".ini";
        ASSERT_TRUE(CopyFileW(Wide(folder + "\\Tamsil.dll").c_str(), (plugIn + L"\\" + Wide(name) + L".dll").c_str(),
                              FALSE));
        WriteSettingsFile("[Settings]\r\nOptions=-S\r\n[Path]\r\nSqlPlus=C:\\Client\\sqlplus.exe\r\n");
        ASSERT_TRUE(MoveFileW(Wide(SettingsPath()).c_str(), besideIt.c_str()));
        FreeLibrary(module);
        module = LoadLibraryW((plugIn + L"\\" + Wide(name) + L".dll").c_str());
        DriveDialog(reinterpret_cast<CommandEntry>(reinterpret_cast<void*>(GetProcAddress(module, "OnSettings"))),
                    [](HWND dialog) {
                        EXPECT_EQ("-S", ControlText(dialog, IDC_OPTIONS));
                        EXPECT_EQ("C:\\Client\\sqlplus.exe", ControlText(dialog, IDC_SQLPLUS));
                        SetControlText(dialog, IDC_CONNECT, "PROD");
                        Click(dialog, IDOK);
                    });
        wchar_t saved[8] = L"";
        GetPrivateProfileStringW(L"Settings", L"ConnectString", L"", saved, 8, besideIt.c_str());
        EXPECT_STREQ(L"PROD", saved);
    }

    // On a volume without short names the file cannot be named at all: the
    // dialog does not open on defaults that would be saved over it.
    PatchImport(module, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordMessageBox));
    PatchImport(module, "kernel32.dll", "GetShortPathNameW", reinterpret_cast<void*>(&NoShortName));
    reinterpret_cast<CommandEntry>(reinterpret_cast<void*>(GetProcAddress(module, "OnSettings")))();
    ExpectOneErrorBox("Tamsil plug-in", "Cannot read the settings file " + folder + "\\????\\Tamsil Plugin.ini\nERROR: "
                      "1113\nMSG:" + run_test::SystemText(ERROR_NO_UNICODE_TRANSLATION) + "\n");
}

TEST(SettingsFileOfAModuleWithoutExtension, IsTheModulePathWithIniAppended)
{
    // A dot in a folder name is not the module's extension.
    std::string parent = MakeTempFolder("tx");
    std::string folder = parent + "\\plug.ins";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string copy = folder + "\\Tamsil";
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\Tamsil.dll").c_str(), copy.c_str(), FALSE));
    // A trailing dot keeps the loader from adding ".dll".
    HMODULE module = LoadLibraryA((copy + ".").c_str());
    ASSERT_TRUE(module != NULL);
    ModuleInstance = module;
    LoadSettings();
    EXPECT_STREQ((copy + ".ini").c_str(), SettingsFilePath);
    FreeLibrary(module);
    RemoveFolder(parent);
}
