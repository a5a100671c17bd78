#ifndef TAMSIL_TESTS_HOST_PROCESS_H
#define TAMSIL_TESTS_HOST_PROCESS_H

#include <windows.h>

#include <string>

// The editor stand-in run as a real process of its own, with its standard
// output captured to a file, so a test can watch its windows and read its
// trace.
class HostProcess
{
public:
    // Starts editor_host.exe from the build folder with the given arguments,
    // in the given working folder. False when it could not be started.
    bool Start(const std::string& arguments, const std::string& folder);
    // A copy of editor_host.exe to start instead, when not empty.
    std::string program;
    // Waits for it to end; its exit code, or -1 on timeout.
    int Wait(DWORD milliseconds = 60000);
    // What it printed so far.
    std::string Output() const;
    DWORD ProcessId() const { return info.dwProcessId; }
    ~HostProcess();

private:
    PROCESS_INFORMATION info = {};
    std::string outputPath;
};

// Windows are only ever looked for among one given process's: tests run in
// parallel on one display. Generous timeouts: tests share the machine.
enum { WINDOW_WAIT_MS = 30000 };

// The text of a window as the window manager keeps it; unlike GetWindowText
// it sends no message, so it cannot block on a thread that is not pumping.
std::wstring WindowCaption(HWND window);
DWORD WindowProcess(HWND window);

// A visible top-level window of the given process with the given caption,
// or NULL.
HWND FindProcessWindow(DWORD processId, const wchar_t* caption);

// Waits for such a window; NULL after the timeout.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* caption,
                          DWORD milliseconds = WINDOW_WAIT_MS);

// Waits for a message box of the given process, checks that it has no owner
// and only an OK button, answers OK and gives its text ("<no message box>"
// when none came). Its exact style is checked in-process, where the call
// itself is seen.
std::string AnswerMessageBox(DWORD processId, const wchar_t* caption);

#endif
