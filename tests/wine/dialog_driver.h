#ifndef TAMSIL_TESTS_DIALOG_DRIVER_H
#define TAMSIL_TESTS_DIALOG_DRIVER_H

// Drives the settings dialog from outside, as a user at the screen would:
// finds its window, reads and fills its fields, presses its buttons and keys.
// Tests run in parallel on one display, so a dialog is only ever looked for
// among the windows of one given process.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "tests/wine/host_process.h"

static const wchar_t SETTINGS_DIALOG_CAPTION[] = L"Tamsil plug-in Settings";

enum { DIALOG_WAIT_MS = WINDOW_WAIT_MS };

// Polls until the condition holds or the time is up.
inline bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = DIALOG_WAIT_MS)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

inline HWND WaitForSettingsDialog(DWORD processId)
{
    return WaitForProcessWindow(processId, SETTINGS_DIALOG_CAPTION);
}

inline bool WaitUntilClosed(HWND dialog, DWORD timeoutMs = DIALOG_WAIT_MS)
{
    return WaitFor([&] { return !IsWindow(dialog); }, timeoutMs);
}

inline std::string ControlText(HWND dialog, int id)
{
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

inline void SetControlText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

inline LRESULT CheckState(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0);
}

// A mouse click on a button or check box.
inline void Click(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

// Characters typed into an edit field at its caret.
inline void Type(HWND dialog, int id, const std::string& text)
{
    for (char c : text)
        SendDlgItemMessageA(dialog, id, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// The Escape key pressed while the given control has the focus: it goes
// through the dialog's own keyboard handling in its modal loop.
inline void PressEscape(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

// The Enter key pressed in the given control: the default button answers.
inline void PressEnter(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), WM_KEYDOWN, VK_RETURN, 0x001C0001);
}

// The close box in the dialog's caption.
inline void PressCloseBox(HWND dialog)
{
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Runs open (which shows the dialog modally and returns when it has closed)
// on this thread while user acts on the dialog from a thread of its own. A
// dialog the user leaves open is cancelled, so a failing test cannot hang.
inline void DriveDialog(const std::function<void()>& open, const std::function<void(HWND)>& user)
{
    std::thread watcher([&] {
        HWND dialog = WaitForSettingsDialog(GetCurrentProcessId());
        if (!dialog) {
            ADD_FAILURE() << "the settings dialog did not open";
            return;
        }
        // It shows just before its owner is disabled: the user meets both.
        HWND owner = GetWindow(dialog, GW_OWNER);
        WaitFor([&] { return !owner || !IsWindowEnabled(owner); });
        user(dialog);
        if (!WaitUntilClosed(dialog, 5000)) {
            ADD_FAILURE() << "the settings dialog was left open";
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    open();
    watcher.join();
}

#endif
