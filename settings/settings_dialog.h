#ifndef TAMSIL_SETTINGS_DIALOG_H
#define TAMSIL_SETTINGS_DIALOG_H

#include <windows.h>

// The procedure of the settings dialog (template IDD_SETTINGS): shows in
// its fields the settings OnSettings loaded before opening it, saves all six
// settings on OK and leaves the file alone on Cancel, Escape or the close
// box. A save that fails is reported and keeps the dialog open.
// The message the dialog posts itself as the user closes it, with the end
// code (IDOK or IDCANCEL) and the number of its opening: the dialog's loop
// has destroyed it before the message comes, unless that loop is gone.
enum { SETTINGS_DIALOG_CLOSED = WM_APP + 0x100 };

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
