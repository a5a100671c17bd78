#include "settings/settings_dialog.h"

#include "common/format_text.h"
#include "platform/system_error.h"
#include "plugin/command_in_progress.h"
#include "plugin/exports.h"
#include "plugin/host_entries.h"
#include "plugin/module_state.h"
#include "resources/resource.h"
#include "settings/settings_file.h"

// An edit field bound to a text setting, with the label the user sees
// beside it. The fields are ANSI, whose limit the platform counts in bytes,
// so each stops taking typed text at what its setting holds. Wine counts
// that limit in characters, and text set with WM_SETTEXT is not limited:
// OK measures each field in bytes all the same.
struct TextField
{
    int id;
    const char* label;
    char* text;
    size_t capacity;
};

static void BindTextFields(TextField (&fields)[4])
{
    SettingsRecord& s = PluginSettings;
    fields[0] = TextField{IDC_OPTIONS, "Options", s.Options, sizeof s.Options};
    fields[1] = TextField{IDC_CONNECT, "Connect string", s.ConnectString, sizeof s.ConnectString};
    fields[2] = TextField{IDC_WORKDIR, "Working directory", s.WorkingDirectory,
                          sizeof s.WorkingDirectory};
    fields[3] = TextField{IDC_SQLPLUS, "SQL*Plus path", s.SqlPlus, sizeof s.SqlPlus};
}

// A hand-edited flag other than 0 or 1 is shown as the run treats it: any
// non-zero value is on. A two-state check box has no third look to give it.
static WPARAM CheckState(int flag)
{
    return flag != 0 ? BST_CHECKED : BST_UNCHECKED;
}

// Limits each text field to what its setting holds, and shows the loaded
// settings in the fields and check boxes.
static void LimitAndFillFields(HWND dialog)
{
    TextField fields[4];
    BindTextFields(fields);
    for (const TextField& field : fields) {
        SendDlgItemMessageA(dialog, field.id, EM_LIMITTEXT, field.capacity - 1, 0);
        SetDlgItemTextA(dialog, field.id, field.text);
    }
    SendDlgItemMessageA(dialog, IDC_READONLY, BM_SETCHECK, CheckState(PluginSettings.ReadOnly), 0);
    SendDlgItemMessageA(dialog, IDC_DELETETEMP, BM_SETCHECK, CheckState(PluginSettings.DeleteTemp),
                        0);
}

static void ReportSaveFailure(HWND dialog)
{
    char systemText[SYSTEM_ERROR_TEXT_CAPACITY];
    int code = SystemErrorText(systemText, sizeof systemText);
    char message[sizeof SettingsFilePath + sizeof systemText + 64];
    FormatText(message, sizeof message, "Cannot save the settings to %s\nERROR: %d\nMSG:%s\n",
               SettingsFilePath, code, systemText);
    MessageBoxA(dialog, message, PLUGIN_TITLE, MB_OK | MB_ICONERROR);
}

// True when the field's text, in the system code page, fits its setting;
// else says which field is too long, by how much.
static bool FieldFits(HWND dialog, const TextField& field)
{
    // A field holds at most capacity - 1 characters, each of at most three
    // bytes in any system code page, so this reads it whole.
    char text[3 * SETTINGS_TEXT_CAPACITY];
    int length = static_cast<int>(GetDlgItemTextA(dialog, field.id, text, sizeof text));
    if (length < static_cast<int>(field.capacity))
        return true;
    char message[160];
    FormatText(message, sizeof message,
               "%s is too long: %d bytes in the system code page, at most %d.\n", field.label,
               length, static_cast<int>(field.capacity) - 1);
    MessageBoxA(dialog, message, PLUGIN_TITLE, MB_OK | MB_ICONERROR);
    return false;
}

// Takes the dialog's values into the settings and saves them; false when a
// field is too long for its setting or the settings file could not be
// written, which has been reported by then.
static bool AcceptSettings(HWND dialog)
{
    TextField fields[4];
    BindTextFields(fields);
    // Nothing is taken before every field is known to fit: a setting is
    // never saved cut.
    for (const TextField& field : fields)
        if (!FieldFits(dialog, field))
            return false;
    for (const TextField& field : fields)
        GetDlgItemTextA(dialog, field.id, field.text, static_cast<int>(field.capacity));
    PluginSettings.ReadOnly =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_READONLY, BM_GETCHECK, 0, 0));
    PluginSettings.DeleteTemp =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_DELETETEMP, BM_GETCHECK, 0, 0));
    if (SaveSettings())
        return true;
    ReportSaveFailure(dialog);
    return false;
}

// The dialog's window while it exists; the owner its opening disabled,
// given back its input before the dialog goes; the end code the user closed
// it with, which ends its loop; and the number of its opening.
static HWND OpenDialog;
static HWND DisabledOwner;
static INT_PTR EndCode;
static LPARAM Opening;

// The owner is enabled first, so that it is the window activated when the
// dialog goes.
static void DestroyDialog(void)
{
    if (DisabledOwner)
        EnableWindow(DisabledOwner, TRUE);
    DisabledOwner = NULL;
    if (OpenDialog)
        DestroyWindow(OpenDialog);
}

// Asks the dialog's loop to end it, once the message in hand is handled. A
// host may have left the command, and the loop with it (the user's click
// then comes through the host's own loop): the message posted here reaches
// the dialog only when no loop of its own is left to end it first.
static void CloseDialog(HWND dialog, INT_PTR endCode)
{
    EndCode = endCode;
    PostMessageA(dialog, SETTINGS_DIALOG_CLOSED, static_cast<WPARAM>(endCode), Opening);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenDialog = dialog;
        LimitAndFillFields(dialog);
        // The template is not visible: the dialog shows as it is made,
        // before its owner is disabled, so that a host that leaves the
        // command there (or at a message of its own windows that the loop
        // hands on first) leaves it on screen for the user to close.
        ShowWindow(dialog, SW_SHOWNORMAL);
        return 0;   // no initial keyboard focus
    case WM_COMMAND:
        if (wParam == IDOK) {
            // After a refused or failed save the dialog stays open with the
            // user's edits, so nothing typed is lost.
            if (AcceptSettings(dialog))
                CloseDialog(dialog, IDOK);
            return 1;
        }
        if (wParam == IDCANCEL) {
            CloseDialog(dialog, IDCANCEL);
            return 1;
        }
        return 0;
    case SETTINGS_DIALOG_CLOSED:
        // The loop is gone, or a host's box runs its own loop under it and
        // handed this on: that loop still ends the dialog once the box is
        // closed. One posted by an earlier opening means nothing.
        if (lParam == Opening && CleanUpCommandLeftUnderWindow())
            DestroyDialog();
        return 1;
    case WM_DESTROY:
        // However it goes (its owner may take it along), commands run again.
        OpenDialog = NULL;
        DialogLeftOnScreen = false;
        return 0;
    default:
        return 0;
    }
}

// The dialog's own loop, as the platform's modal loop runs it: each message
// goes to the dialog's keyboard handling first (Enter, Escape, Tab, the
// mnemonics), the owner hears when the loop goes idle, and a request to quit
// closes the dialog as cancelled and is posted again for the host's loop.
static void RunDialogLoop(HWND dialog, HWND owner)
{
    bool handled = false;
    while (OpenDialog == dialog && EndCode == 0) {
        MSG message;
        if (!PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (owner && handled)
                SendMessageA(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
            handled = false;
            // -1 only for a bad window or buffer, never met here: the loop
            // ends rather than spin.
            if (GetMessageA(&message, NULL, 0, 0) == -1) {
                CloseDialog(dialog, IDCANCEL);
                return;
            }
        }
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            CloseDialog(dialog, IDCANCEL);
            return;
        }
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        handled = true;
    }
}

static void OpenSettingsDialog(void)
{
    // Before installation the host's main window is unknown, and a host may
    // leave it empty or stale: the dialog then opens without an owner rather
    // than not at all.
    HWND owner = HostRecord ? HostMainWindow(HostRecord) : NULL;
    if (owner && !IsWindow(owner))
        owner = NULL;
    // Opened on defaults, the dialog's OK would write them over a file it
    // could not read.
    if (LoadSettings() != SETTINGS_LOADED) {
        MessageBoxA(owner, TextBuffer, PLUGIN_TITLE, MB_OK | MB_ICONERROR);
        return;
    }
    // A dialog the host left before it showed was never destroyed.
    if (OpenDialog)
        DestroyWindow(OpenDialog);
    DisabledOwner = NULL;
    EndCode = 0;
    ++Opening;
    HWND dialog = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                     SettingsDialogProc, 0);
    if (!dialog)
        return;
    // The platform makes the top-level window above a child window given it
    // the owner: that window is the one to disable, when it takes input.
    owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowEnabled(owner)) {
        DisabledOwner = owner;
        EnableWindow(owner, FALSE);
    }
    RunDialogLoop(dialog, owner);
    DestroyDialog();
}

// Called during the host's unwind, so it only takes note: a dialog on
// screen is left there. One the host left before it showed goes when the
// next one opens.
static void SettingsAbandoned(void)
{
    DialogLeftOnScreen = OpenDialog != NULL && IsWindowVisible(OpenDialog);
}

// The dialog holds no file open while the host's code runs under it: should
// the host abandon it (an exception raised in one of its own windows under
// the dialog and caught around this entry), there is no file to clean up.
// The dialog itself stays on screen without its loop, every command beeping,
// until the user closes it by OK, Cancel or the close box, with the mouse
// (its keys were that loop's to handle).
void __cdecl OnSettings(void)
{
    RunOneCommand(OpenSettingsDialog, SettingsAbandoned);
}
