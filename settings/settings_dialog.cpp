#include "settings/settings_dialog.h"

#include <stdio.h>

#include "platform/system_error.h"
#include "plugin/exports.h"
#include "plugin/host_entries.h"
#include "plugin/module_state.h"
#include "resources/resource.h"
#include "settings/settings_file.h"

// An edit field bound to a text setting. The field is limited to what the
// setting holds, so nothing the user types is cut when it is read back.
struct TextField
{
    int id;
    char* text;
    size_t capacity;
};

static void BindTextFields(TextField (&fields)[4])
{
    SettingsRecord& s = PluginSettings;
    fields[0] = TextField{IDC_WORKDIR, s.WorkingDirectory, sizeof s.WorkingDirectory};
    fields[1] = TextField{IDC_SQLPLUS, s.SqlPlus, sizeof s.SqlPlus};
    fields[2] = TextField{IDC_OPTIONS, s.Options, sizeof s.Options};
    fields[3] = TextField{IDC_CONNECT, s.ConnectString, sizeof s.ConnectString};
}

// A hand-edited flag other than 0 or 1 is shown as the run treats it: any
// non-zero value is on. A two-state check box has no third look to give it.
static WPARAM CheckState(int flag)
{
    return flag != 0 ? BST_CHECKED : BST_UNCHECKED;
}

static void ShowSettings(HWND dialog)
{
    LoadSettings();
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
    snprintf(message, sizeof message, "Cannot save the settings to %s\nERROR: %d\nMSG:%s\n",
             SettingsFilePath, code, systemText);
    MessageBoxA(dialog, message, PLUGIN_TITLE, MB_OK | MB_ICONERROR);
}

// Takes the dialog's values into the settings and saves them; false when the
// settings file could not be written, which has been reported by then.
static bool AcceptSettings(HWND dialog)
{
    TextField fields[4];
    BindTextFields(fields);
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

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        ShowSettings(dialog);
        return 0;   // no initial keyboard focus
    case WM_COMMAND:
        if (wParam == IDOK) {
            // After a failed save the dialog stays open with the user's
            // edits, so nothing typed is lost.
            if (AcceptSettings(dialog))
                EndDialog(dialog, IDOK);
            return 1;
        }
        if (wParam == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

void __cdecl OnSettings(void)
{
    // Before installation the host's main window is unknown, and a host may
    // leave it empty or stale: the dialog then opens without an owner rather
    // than not at all.
    HWND owner = HostRecord ? HostMainWindow(HostRecord) : NULL;
    if (owner && !IsWindow(owner))
        owner = NULL;
    DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc, 0);
}
