#ifndef TAMSIL_TESTS_PLUGIN_FIXTURE_H
#define TAMSIL_TESTS_PLUGIN_FIXTURE_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/host_record.h"
#include "tools/common/import_patch.h"

// One message box the plug-in showed, as it asked the platform for it.
struct ShownMessage
{
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

// Answers every message box of the loaded plug-in with OK at once and
// records it: the plug-in's import of MessageBoxA is pointed here.
extern std::vector<ShownMessage> ShownMessages;
int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
// Called under each box once it is recorded, as a user may act under a box.
extern void (*WhileMessageShown)(void);

// Loads a fresh copy of the built plug-in from a folder of its own, so each
// test starts from a module at load state and has its own settings file.
class PluginTest : public ::testing::Test
{
protected:
    typedef int32_t(__cdecl* InstallEntry)(PL_DATA*, const PL_HOSTINFO*);
    typedef void(__cdecl* CommandEntry)(void);

    void SetUp() override;
    void TearDown() override;

    // Installs into the host record (version 1.51.22 unless changed) and
    // expects success.
    void Install();

    // Expects exactly one message box: an error box with only OK and no
    // owner, with this caption and text.
    void ExpectOneErrorBox(const std::string& caption, const std::string& text);

    void SetHostInteger(size_t offset, int32_t value);
    void SetHostText(size_t offset, size_t width, const std::string& text);
    template <typename Pointer>
    void SetHostPointer(size_t offset, Pointer value) { memcpy(record + offset, &value, sizeof value); }

    std::string SettingsPath() const { return folder + "\\Tamsil.ini"; }
    void WriteSettingsFile(const std::string& content) const;
    std::string ReadSettingsFile() const;

    std::string folder;      // holds the plug-in copy and its settings file
    HMODULE module = NULL;
    InstallEntry OnInstall = NULL;
    CommandEntry OnCall = NULL;
    CommandEntry OnSettings = NULL;
    alignas(8) unsigned char record[512] = {};
    void* chainAtSetUp = NULL;   // the thread's exception chain, which every returned command leaves as it was
    PL_HOSTINFO* host() { return reinterpret_cast<PL_HOSTINFO*>(record); }
};

// Folder of the running test program, where the build put the plug-in and
// the stand-ins.
std::string BuildFolder();

// A new empty folder under the temporary directory; removed with its files
// by RemoveFolder.
std::string MakeTempFolder(const char* prefix);
void RemoveFolder(const std::string& folder);

// A folder name the 1252 code page cannot show: "Petya" in Cyrillic letters.
static const wchar_t CYRILLIC_NAME[] = L"\u041F\u0435\u0442\u044F";
inline std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The bytes of a text given in UTF-8 (or another code page), in UTF-16 without a mark.
std::string Utf16Bytes(const std::string& text, bool bigEndian = false, UINT codePage = CP_UTF8);

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);


#endif
