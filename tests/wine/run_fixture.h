#ifndef TAMSIL_TESTS_RUN_FIXTURE_H
#define TAMSIL_TESTS_RUN_FIXTURE_H

// A run of the real plug-in, in-process, against an editor played by this
// test and the client stand-in started as a real child process. The client
// inherits this process's environment, through which it is told where to
// log and what to do to the script.
#include "tests/wine/plugin_fixture.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace run_test {

// One call of a host entry, as the editor saw it.
struct HostCall
{
    std::string entry;     // "GetEditor", "GetEditorText" or "SetEditorText"
    int32_t editorId;
    int32_t size;          // GetEditorText's buffer size
    std::string text;      // the text SetEditorText was handed
};

typedef void(__cdecl* GetEditorFunction)(int32_t* editorId);
typedef void(__cdecl* GetEditorTextFunction)(int32_t editorId, char* text, int32_t size);

// The editor: its text, the identifier GetEditor gives, and every call.
inline std::vector<HostCall> HostCalls;
inline std::string EditorText;
inline int32_t CurrentEditor = 7;
// GetEditorText fills the whole buffer with this byte and no NUL, as a
// careless host might; 0 for a well-behaved host.
inline char UnterminatedFill = 0;

inline void __cdecl FakeGetEditor(int32_t* editorId)
{
    *editorId = CurrentEditor;
    HostCalls.push_back(HostCall{"GetEditor", CurrentEditor, 0, ""});
}

inline void __cdecl FakeGetEditorText(int32_t editorId, char* text, int32_t size)
{
    HostCalls.push_back(HostCall{"GetEditorText", editorId, size, ""});
    if (size <= 0)
        return;
    if (UnterminatedFill) {
        memset(text, UnterminatedFill, static_cast<size_t>(size));
        return;
    }
    // A host cuts its text to the buffer, NUL included.
    size_t length = EditorText.size() < static_cast<size_t>(size) - 1 ? EditorText.size()
                                                                      : static_cast<size_t>(size) - 1;
    memcpy(text, EditorText.data(), length);
    text[length] = '\0';
}

inline int32_t __cdecl FakeSetEditorText(int32_t editorId, const char* text)
{
    HostCalls.push_back(HostCall{"SetEditorText", editorId, 0, text});
    return 1;
}

inline std::vector<std::string> EntriesCalled()
{
    std::vector<std::string> entries;
    for (const HostCall& call : HostCalls)
        entries.push_back(call.entry);
    return entries;
}

// Under each box the user picks both commands again, which must do nothing.
inline void PickBothCommandsAgain()
{
    HostCalls.push_back(HostCall{"box", 0, 0, ""});
    for (const char* command : {"OnCall", "OnSettings"})
        reinterpret_cast<void(__cdecl*)(void)>(GetProcAddress(GetModuleHandleA("Tamsil.dll"), command))();
}

// What the plug-in asked the platform to start, as it asked.
struct StartRequest
{
    std::string program;   // as given, when given
    std::string line;
    BOOL inheritHandles;
    DWORD flags;
    bool hostEnvironment;
    bool hostDirectory;
    DWORD startupSize;
    bool startupZeroed;
    BOOL started;
    DWORD error;           // the last error right after the start
};
inline std::vector<StartRequest> StartRequests;

inline BOOL WINAPI RecordCreateProcessA(LPCSTR program, LPSTR line, LPSECURITY_ATTRIBUTES process,
                                        LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags,
                                        LPVOID environment, LPCSTR directory, LPSTARTUPINFOA startup,
                                        LPPROCESS_INFORMATION information)
{
    STARTUPINFOA zeroed;
    memset(&zeroed, 0, sizeof zeroed);
    zeroed.cb = sizeof zeroed;
    StartRequest request{program ? program : "", line ? line : "", inherit, flags, environment == NULL,
                         directory == NULL, startup->cb,
                         memcmp(startup, &zeroed, sizeof zeroed) == 0, FALSE, 0};
    request.started = CreateProcessA(program, line, process, thread, inherit, flags, environment,
                                     directory, startup, information);
    request.error = GetLastError();
    StartRequests.push_back(request);
    SetLastError(request.error);
    return request.started;
}

// One run of the client stand-in, from its log: record name to bytes.
typedef std::map<std::string, std::string> ClientRun;

inline std::vector<ClientRun> ReadClientLog(const std::string& path)
{
    std::vector<ClientRun> runs;
    std::string log = ReadWholeFile(path);
    if (log == "<missing>")
        return runs;
    size_t at = 0;
    while (at < log.size()) {
        size_t lineEnd = log.find('\n', at);
        if (lineEnd == std::string::npos)
            break;
        std::string header = log.substr(at, lineEnd - at);
        size_t blank = header.rfind(' ');
        std::string name = header.substr(0, blank);
        size_t length = strtoul(header.c_str() + blank + 1, NULL, 10);
        std::string bytes = log.substr(lineEnd + 1, length);
        at = lineEnd + 1 + length + 1;
        if (name == "run")
            runs.push_back(ClientRun());
        if (!runs.empty())
            runs.back()[name] = bytes;
    }
    return runs;
}

// The system text the plug-in shows for an error code.
inline std::string SystemText(DWORD code)
{
    char* message = NULL;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  NULL, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                  reinterpret_cast<char*>(&message), 0, NULL);
    std::string text = length > 0 && message ? std::string(message, length) : std::string();
    if (message)
        LocalFree(message);
    return text.substr(0, 259);
}

const char CANNOT_READ_BACK[] =
    "Cannot read back the script file %s\nERROR: %d\nMSG:%s\nThe editor text is unchanged.\n";

inline std::string FormatMessageText(const char* format, const std::string& subject, DWORD code)
{
    char text[4096];
    snprintf(text, sizeof text, format, subject.c_str(), static_cast<int>(code),
             SystemText(code).c_str());
    return text;
}

// The names of the files in folder matching pattern, sorted.
inline std::vector<std::string> FilesIn(const std::string& folder, const char* pattern = "*")
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// The command interpreter a batch file is started by, and the line that
// starts it on the client's line.
inline std::string Interpreter()
{
    char system[MAX_PATH];
    return std::string(system, GetSystemDirectoryA(system, MAX_PATH)) + "\\cmd.exe";
}

inline std::string InterpreterLine(const std::string& clientLine)
{
    return "\"" + Interpreter() + "\" /d /e:on /v:off /s /c \"" + clientLine + "\"";
}

inline void SetClientControl(const char* name, const std::string& value)
{
    SetEnvironmentVariableA(name, value.c_str());
}

// The plug-in, installed into this test's editor, with the client stand-in
// as its client and a working directory of the test's own for the scripts.
class RunTest : public PluginTest
{
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        if (HasFatalFailure())
            return;
        HostCalls.clear();
        StartRequests.clear();
        EditorText.clear();
        CurrentEditor = 7;
        UnterminatedFill = 0;
        workFolder = folder + "\\work";
        CreateDirectoryA(workFolder.c_str(), NULL);
        client = BuildFolder() + "\\sqlplus_standin.exe";
        clientLog = folder + "\\client.log";
        // Nothing the developer's own environment says steers the client.
        for (const char* name : {"TAMSIL_CLIENT_ACTION", "TAMSIL_CLIENT_TEXT", "TAMSIL_CLIENT_TEXT_FILE",
                                 "TAMSIL_CLIENT_SIZE", "TAMSIL_CLIENT_SLEEP", "TAMSIL_CLIENT_EXIT",
                                 "TAMSIL_CLIENT_HOLD", "TAMSIL_CLIENT_HOLD_FOR", "TAMSIL_CLIENT_HOLD_SHARE",
                                 "TAMSIL_CLIENT_VARIABLES"})
            SetEnvironmentVariableA(name, NULL);
        SetClientControl("TAMSIL_CLIENT_LOG", clientLog);
        SetHostPointer(HOST_GET_EDITOR, &FakeGetEditor);
        SetHostPointer(HOST_GET_EDITOR_TEXT, &FakeGetEditorText);
        SetHostPointer(HOST_SET_EDITOR_TEXT, &FakeSetEditorText);
        Install();
        ASSERT_TRUE(PatchImport(module, "kernel32.dll", "CreateProcessA",
                                reinterpret_cast<void*>(&RecordCreateProcessA)) != NULL);
    }

    // The settings file: the client stand-in, the work folder, and what
    // else is given, as lines of the settings file.
    void Settings(const std::string& settingsLines = "", const std::string& pathLines = "")
    {
        WriteSettingsFile("[Settings]\r\n" + settingsLines + "[Path]\r\nSqlPlus=" + client +
                          "\r\nWorkingDirectory=" + workFolder + "\r\n" + pathLines);
    }

    std::vector<ClientRun> ClientRuns() const { return ReadClientLog(clientLog); }

    // A temporary folder of the test's own, where the log-on scripts go.
    std::string OwnTemporaryFolder()
    {
        std::string temporary = folder + "\\temp";
        CreateDirectoryA(temporary.c_str(), NULL);
        SetEnvironmentVariableA("TMP", temporary.c_str());
        SetEnvironmentVariableA("TEMP", temporary.c_str());
        return temporary;
    }

    // The script files left in the work folder.
    std::vector<std::string> ScriptsLeft() const { return FilesIn(workFolder, "se*.tmp"); }

    std::vector<std::string> SetTexts() const
    {
        std::vector<std::string> texts;
        for (const HostCall& call : HostCalls)
            if (call.entry == "SetEditorText")
                texts.push_back(call.text);
        return texts;
    }

    void ExpectOneRunError(const std::string& text)
    {
        ExpectOneErrorBox("Execute Error!", text);
    }

    std::string workFolder;
    std::string client;
    std::string clientLog;
};

} // namespace run_test

#endif
