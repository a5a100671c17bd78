#include "tests/wine/plugin_fixture.h"

#include <stdio.h>
#include <string.h>

// The thread's exception chain, read as the editor stand-in reads it: the
// headers' read of the thread's information block, at a fixed address in
// its segment, looks to the compiler like a read past an empty array, so the
// tests make it in that one file, compiled knowing so.
#include "tools/common/editor_exceptions.h"

std::vector<ShownMessage> ShownMessages;
void (*WhileMessageShown)(void);

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    ShownMessages.push_back(ShownMessage{owner, text ? text : "", caption ? caption : "", style});
    if (WhileMessageShown)
        WhileMessageShown();
    return IDOK;
}

std::string BuildFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string MakeTempFolder(const char* prefix)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    GetTempFileNameA(temp, prefix, 0, name);   // reserves a unique name
    DeleteFileA(name);
    CreateDirectoryA(name, NULL);
    return name;
}

void RemoveFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // A name the code page cannot show is reached by its short form.
            std::string name = strchr(found.cFileName, '?') ? found.cAlternateFileName : found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

std::string ReadWholeFile(const std::string& path)
{
    std::string content;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return "<missing>";
    char chunk[4096];
    size_t count;
    while ((count = fread(chunk, 1, sizeof chunk, file)) > 0)
        content.append(chunk, count);
    fclose(file);
    return content;
}

void WriteWholeFile(const std::string& path, const std::string& content)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_TRUE(file != NULL) << path;
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PluginTest::SetUp()
{
    ShownMessages.clear();
    WhileMessageShown = NULL;
    chainAtSetUp = ExceptionChainHead();
    folder = MakeTempFolder("tp");
    std::string copy = folder + "\\Tamsil.dll";
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\Tamsil.dll").c_str(), copy.c_str(), FALSE));
    module = LoadLibraryA(copy.c_str());
    ASSERT_TRUE(module != NULL);
    ASSERT_TRUE(PatchImport(module, "user32.dll", "MessageBoxA",
                            reinterpret_cast<void*>(&RecordMessageBox)) != NULL);
    OnInstall = reinterpret_cast<InstallEntry>(reinterpret_cast<void*>(GetProcAddress(module, "OnInstall")));
    OnCall = reinterpret_cast<CommandEntry>(reinterpret_cast<void*>(GetProcAddress(module, "OnCall")));
    OnSettings = reinterpret_cast<CommandEntry>(reinterpret_cast<void*>(GetProcAddress(module, "OnSettings")));
    ASSERT_TRUE(OnInstall && OnCall && OnSettings);
    SetHostInteger(HOST_MAJOR, 1);
    SetHostInteger(HOST_MINOR, 51);
    SetHostInteger(HOST_BUILD, 22);
}

void PluginTest::TearDown()
{
    EXPECT_EQ(chainAtSetUp, static_cast<void*>(ExceptionChainHead())) << "a command left its record";
    if (module)
        FreeLibrary(module);
    RemoveFolder(folder);
}

void PluginTest::Install()
{
    PL_DATA data = {};
    data.Size = PL_DATA_SIZE;
    ASSERT_EQ(0, OnInstall(&data, host()));
}

void PluginTest::ExpectOneErrorBox(const std::string& caption, const std::string& text)
{
    ASSERT_EQ(1u, ShownMessages.size());
    EXPECT_EQ(text, ShownMessages[0].text);
    EXPECT_EQ(caption, ShownMessages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), ShownMessages[0].style);
    EXPECT_TRUE(ShownMessages[0].owner == NULL);
}

void PluginTest::SetHostInteger(size_t offset, int32_t value)
{
    memcpy(record + offset, &value, sizeof value);
}

void PluginTest::SetHostText(size_t offset, size_t width, const std::string& text)
{
    memset(record + offset, 0, width);
    memcpy(record + offset, text.data(), text.size() < width ? text.size() : width);
}

void PluginTest::WriteSettingsFile(const std::string& content) const
{
    WriteWholeFile(SettingsPath(), content);
}

std::string PluginTest::ReadSettingsFile() const
{
    return ReadWholeFile(SettingsPath());
}

std::string Utf16Bytes(const std::string& text, bool bigEndian, UINT codePage)
{
    static wchar_t wide[16384];
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide, 16384);
    std::string bytes;
    for (int i = 0; i < length; ++i)
        bytes += {static_cast<char>(wide[i] >> (bigEndian ? 8 : 0)), static_cast<char>(wide[i] >> (bigEndian ? 0 : 8))};
    return bytes;
}
