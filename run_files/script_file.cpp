#include "run_files/script_file.h"

#include <windows.h>

#include <string.h>

#include "common/bounded_text.h"
#include "common/format_text.h"
#include "platform/system_error.h"
#include "plugin/module_state.h"
#include "run_files/temporary_files.h"
#include "run_reports/held_reports.h"
#include "settings/settings_file.h"

static const char CANNOT_READ_BACK[] =
    "Cannot read back the script file %s\nERROR: %d\nMSG:%s\nThe editor text is unchanged.\n";
static const char HOLDS_NUL[] =
    "The script file %s holds a NUL byte, which the editor cannot take, and was kept.\n"
    "The editor text is unchanged.\n";
static const char GROWN[] =
    "The script file %s has grown past 102400 bytes and was kept.\nThe editor text is unchanged.\n";
static const char CANNOT_DELETE[] = "Cannot delete the script file %s\nERROR: %d\nMSG:%s\n";

static_assert(TEXT_BUFFER_SIZE == 102400, "the grown-file message names the buffer's size");

bool ChooseScriptFolder(char (&folder)[SCRIPT_FOLDER_CAPACITY], bool fullPath)
{
    if (PluginSettings.WorkingDirectory[0] == '\0')
        return FindTemporaryDirectory(folder, sizeof folder, true);
    if (fullPath)
        return FullFolderPath(PluginSettings.WorkingDirectory, folder, sizeof folder);
    CopyText(folder, sizeof folder, PluginSettings.WorkingDirectory);
    return true;
}

bool ReserveScriptFile(const char* folder, char (&path)[SCRIPT_PATH_CAPACITY])
{
    return ReserveRunFile(folder, "se", path);
}

bool WriteEditorText(const char* path, TextTaker takeEditorText)
{
    return WriteRunFile(path, NULL, takeEditorText);
}

void DeleteScriptFile(const char* path)
{
    DeleteOrReport(path, CANNOT_DELETE, SCRIPT_FILE_KEPT);
}

// Reads until count bytes are in or the file ends. False when a read fails.
static bool ReadUpTo(HANDLE file, char* bytes, DWORD count, DWORD* length)
{
    *length = 0;
    while (*length < count) {
        DWORD read = 0;
        if (!ReadFile(file, bytes + *length, count - *length, &read, NULL))
            return false;
        if (read == 0)
            break;
        *length += read;
    }
    return true;
}

bool ReadScriptBack(const char* path)
{
    HANDLE file = OpenRunFile(path, CANNOT_READ_BACK);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD length = 0;
    DWORD beyond = 0;
    char next;
    bool read = ReadUpTo(file, TextBuffer, TEXT_BUFFER_SIZE, &length) &&
                (length < TEXT_BUFFER_SIZE || ReadUpTo(file, &next, 1, &beyond));
    if (!read)
        FormatSystemFailure(TextBuffer, sizeof TextBuffer, CANNOT_READ_BACK, path);
    CloseHandle(file);
    if (!read) {
        ReportRunError(TextBuffer);
        return false;
    }
    // A text the editor would not take whole is not handed back at all.
    const char* unfit = NULL;
    if (beyond > 0)
        unfit = GROWN;       // only its first part fits the buffer
    else if (memchr(TextBuffer, '\0', length))
        unfit = HOLDS_NUL;   // the editor takes a text up to its first NUL
    if (unfit) {
        FormatText(TextBuffer, sizeof TextBuffer, unfit, path);
        ReportRunError(TextBuffer);
        return false;
    }
    TextBuffer[length] = '\0';
    return true;
}
