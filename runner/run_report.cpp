#include "runner/run_report.h"

#include <windows.h>

#include <stdio.h>

#include "platform/system_error.h"
#include "plugin/module_state.h"

void ShowRunError(const char* text)
{
    MessageBoxA(NULL, text, RUN_ERROR_TITLE, MB_OK | MB_ICONERROR);
}

void FormatRunFailure(const char* format, const char* subject)
{
    char systemText[SYSTEM_ERROR_TEXT_CAPACITY];
    int code = SystemErrorText(systemText, sizeof systemText);
    snprintf(TextBuffer, sizeof TextBuffer, format, subject, code, systemText);
}
