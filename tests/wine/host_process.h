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

// Waits for a top-level window of the given process, class and caption to
// be visible; NULL after the timeout. Only that process's windows are
// looked at: tests run in parallel on one display.
HWND WaitForProcessWindow(DWORD processId, const char* className, const char* caption,
                          DWORD milliseconds = 20000);

#endif
