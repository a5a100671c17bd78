#include "runner/script_file.h"

#include <windows.h>

#include <stdio.h>

#include "platform/eight_bit_path.h"
#include "plugin/bounded_text.h"
#include "plugin/module_state.h"
#include "runner/command_line.h"
#include "runner/editor_text.h"
#include "runner/run_report.h"

static const char CANNOT_CREATE[] = "Cannot create a script file in %s\nERROR: %d\nMSG:%s\n";
static const char NO_EIGHT_BIT_TEMPORARY[] =
    "Cannot create a script file in %s\nERROR: %d\nMSG:%s\n"
    "Choose a working directory in the plug-in's settings.\n";
static const char CANNOT_WRITE[] = "Cannot write the script file %s\nERROR: %d\nMSG:%s\n";
static const char TOO_LONG[] = "The editor text is too long to run: at most 102398 bytes.\n";
static const char CANNOT_READ_BACK[] =
    "Cannot read back the script file %s\nERROR: %d\nMSG:%s\nThe editor text is unchanged.\n";
static const char GROWN[] =
    "The script file %s has grown past 102400 bytes and was kept.\nThe editor text is unchanged.\n";

static_assert(LONGEST_WHOLE_TEXT == 102398, "the too-long message names the longest text");
static_assert(TEXT_BUFFER_SIZE == 102400, "the grown-file message names the buffer's size");

// The system's temporary directory, as an 8-bit path that the client can
// open too; shows why when there is none.
static bool FindTemporaryDirectory(char* directory, size_t capacity)
{
    wchar_t temporary[SETTINGS_PATH_CAPACITY + 1];
    DWORD length = GetTempPathW(ARRAYSIZE(temporary), temporary);
    bool fits = length > 0 && length < ARRAYSIZE(temporary);
    if (fits && EightBitPath(temporary, directory, capacity))
        return true;
    if (fits && GetLastError() == ERROR_NO_UNICODE_TRANSLATION) {
        // Named as the 8-bit calls show it: "?" for what the code page lacks.
        char shown[SETTINGS_PATH_CAPACITY + 1] = "";
        WideCharToMultiByte(CP_ACP, 0, temporary, -1, shown, sizeof shown - 1, NULL, NULL);
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        FormatRunFailure(NO_EIGHT_BIT_TEMPORARY, shown);
    } else {
        // A temporary directory too long for the buffer is not an error to
        // the platform; it is one here.
        if (length != 0)
            SetLastError(ERROR_BUFFER_OVERFLOW);
        FormatRunFailure(CANNOT_CREATE, "the temporary directory");
    }
    ShowRunError(TextBuffer);
    return false;
}

bool ReserveScriptFile(char (&path)[SCRIPT_PATH_CAPACITY])
{
    char directory[SETTINGS_PATH_CAPACITY + 1];
    if (PluginSettings.WorkingDirectory[0] != '\0') {
        CopyText(directory, sizeof directory, PluginSettings.WorkingDirectory);
    } else if (!FindTemporaryDirectory(directory, sizeof directory)) {
        return false;
    }
    // The platform writes up to a full path into the name it makes, which
    // the path's capacity holds.
    static_assert(SCRIPT_PATH_CAPACITY >= MAX_PATH, "a reserved name fits the script path");
    if (GetTempFileNameA(directory, "se", 0, path) == 0) {
        FormatRunFailure(CANNOT_CREATE, directory);
        ShowRunError(TextBuffer);
        return false;
    }
    return true;
}

// Opens the reserved script file, unshared, for reading and writing; shows
// failureFormat with the path when it cannot be opened.
static HANDLE OpenScriptFile(const char* path, const char* failureFormat)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        FormatRunFailure(failureFormat, path);
        ShowRunError(TextBuffer);
    }
    return file;
}

bool WriteEditorText(const char* path)
{
    HANDLE file = OpenScriptFile(path, CANNOT_WRITE);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    size_t length = TakeEditorText();
    if (length > LONGEST_WHOLE_TEXT) {
        // The host may have cut the text at the buffer's end, and half a
        // statement is a different statement: a full buffer never runs.
        CloseHandle(file);
        ShowRunError(TOO_LONG);
        return false;
    }
    DWORD written = 0;
    bool whole = WriteFile(file, TextBuffer, static_cast<DWORD>(length), &written, NULL) != 0;
    if (whole && written != length) {
        // A disk file is written whole or the call fails; a short write
        // without an error can only mean the volume is full.
        SetLastError(ERROR_DISK_FULL);
        whole = false;
    }
    if (!whole)
        FormatRunFailure(CANNOT_WRITE, path);
    // Some file systems report a failed write only when the file is closed.
    if (!CloseHandle(file) && whole) {
        FormatRunFailure(CANNOT_WRITE, path);
        whole = false;
    }
    if (!whole)
        ShowRunError(TextBuffer);
    return whole;
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
    HANDLE file = OpenScriptFile(path, CANNOT_READ_BACK);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD length = 0;
    DWORD beyond = 0;
    char next;
    bool read = ReadUpTo(file, TextBuffer, TEXT_BUFFER_SIZE, &length) &&
                (length < TEXT_BUFFER_SIZE || ReadUpTo(file, &next, 1, &beyond));
    if (!read)
        FormatRunFailure(CANNOT_READ_BACK, path);
    CloseHandle(file);
    if (!read) {
        ShowRunError(TextBuffer);
        return false;
    }
    if (beyond > 0) {
        // Handing back only the first part would cut what the client wrote.
        snprintf(TextBuffer, sizeof TextBuffer, GROWN, path);
        ShowRunError(TextBuffer);
        return false;
    }
    TextBuffer[length] = '\0';
    return true;
}
