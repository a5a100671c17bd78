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
    std::string line = "\"" + (program.empty() ? BuildFolder() + "\\editor_host.exe" : program) + "\" " + arguments;
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

std::wstring WindowCaption(HWND window)
{
    wchar_t text[256] = {};
    InternalGetWindowText(window, text, sizeof text / sizeof text[0]);
    return text;
}

DWORD WindowProcess(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

namespace {
struct WindowQuery
{
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    WindowQuery* query = reinterpret_cast<WindowQuery*>(parameter);
    if (WindowProcess(window) != query->processId || !IsWindowVisible(window) ||
        WindowCaption(window) != query->caption)
        return TRUE;
    query->found = window;
    return FALSE;
}
} // namespace

HWND FindProcessWindow(DWORD processId, const wchar_t* caption)
{
    WindowQuery query = {processId, caption, NULL};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* caption, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindProcessWindow(processId, caption))
            return window;
        if (GetTickCount() - start > milliseconds)
            return NULL;
        Sleep(10);   // polling interval, not a synchronisation
    }
}

std::string AnswerMessageBox(DWORD processId, const wchar_t* caption)
{
    HWND box = WaitForProcessWindow(processId, caption);
    if (!box)
        return "<no message box>";
    EXPECT_TRUE(GetWindow(box, GW_OWNER) == NULL);
    EXPECT_TRUE(GetDlgItem(box, IDOK) != NULL);
    EXPECT_TRUE(GetDlgItem(box, IDCANCEL) == NULL);
    EXPECT_TRUE(GetDlgItem(box, IDNO) == NULL);
    char text[2048] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return text;
}
