#include "tests/wine/plugin_fixture.h"

#include <stdlib.h>

TEST(PluginBinary, LoadsAndExportsItsEntriesByPlainName)
{
    HMODULE module = LoadLibraryA((BuildFolder() + "\\Tamsil.dll").c_str());
    ASSERT_TRUE(module != NULL);
    for (const char* name : {"DllMain", "OnInstall", "OnCall", "OnSettings"})
        EXPECT_TRUE(GetProcAddress(module, name) != NULL) << name;
    EXPECT_TRUE(GetProcAddress(module, "_OnInstall") == NULL);
    FreeLibrary(module);
}

TEST(PluginBinary, CarriesItsVersionRecord)
{
    std::string path = BuildFolder() + "\\Tamsil.dll";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010005u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010005u, fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);

    struct { const char* key; const char* value; } strings[] = {
        {"FileVersion", "1, 5, 0, 0"},
        {"ProductVersion", "1, 5, 0, 0"},
        {"FileDescription", "Tamsil plug-in"},
        {"Comments", "Tamsil plug-in"},
    };
    for (const auto& s : strings) {
        char* value = NULL;
        std::string query = std::string("\\StringFileInfo\\040904b0\\") + s.key;
        ASSERT_TRUE(VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << s.key;
        EXPECT_STREQ(s.value, value) << s.key;
    }
    WORD* translation = NULL;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(1200, translation[1]);
}

typedef PluginTest EntriesBeforeInstall;

TEST_F(EntriesBeforeInstall, CallDoesNothing)
{
    OnCall();
    EXPECT_TRUE(ShownMessages.empty());
    EXPECT_FALSE(FileExists(SettingsPath()));
}
