#include "tests/wine/host_process.h"

#include <vector>

#include "tests/wine/plugin_fixture.h"

bool HostProcess::Start(const std::string& arguments, const std::string& folder)
{
    outputPath = folder + "\\host-output.txt";
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, NULL, TRUE};
    HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (output == INVALID_HANDLE_VALUE)
        return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::string line = "\"" + BuildFolder() + "\\editor_host.exe\" " + arguments;
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back('\0');
    BOOL started = CreateProcessA(NULL, mutableLine.data(), NULL, NULL, TRUE, 0, NULL,
                                  folder.c_str(), &startup, &info);
    CloseHandle(output);
    return started != FALSE;
}

int HostProcess::Wait(DWORD milliseconds)
{
    if (!info.hProcess || WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return static_cast<int>(code);
}

std::string HostProcess::Output() const
{
    // The host writes text lines; compare them without their CR.
    std::string output = ReadWholeFile(outputPath);
    std::string lines;
    for (char c : output)
        if (c != '\r')
            lines += c;
    return lines;
}

HostProcess::~HostProcess()
{
    if (info.hProcess) {
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info.hProcess, 99);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
}

namespace {
struct WindowQuery
{
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    WindowQuery* query = reinterpret_cast<WindowQuery*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != query->processId || !IsWindowVisible(window))
        return TRUE;
    char text[256];
    GetClassNameA(window, text, sizeof text);
    if (strcmp(text, query->className) != 0)
        return TRUE;
    GetWindowTextA(window, text, sizeof text);
    if (strcmp(text, query->caption) != 0)
        return TRUE;
    query->found = window;
    return FALSE;
}
} // namespace

HWND WaitForProcessWindow(DWORD processId, const char* className, const char* caption,
                          DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        WindowQuery query = {processId, className, caption, NULL};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
        if (query.found)
            return query.found;
        if (GetTickCount() - start > milliseconds)
            return NULL;
        Sleep(20);   // polling interval, not a synchronisation
    }
}
