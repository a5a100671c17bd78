#include "runner/script_file.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "platform/eight_bit_path.h"
#include "platform/held_file.h"
#include "plugin/bounded_text.h"
#include "plugin/module_state.h"
#include "runner/command_arguments.h"
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
static const char HOLDS_NUL[] =
    "The script file %s holds a NUL byte, which the editor cannot take, and was kept.\n"
    "The editor text is unchanged.\n";
static const char GROWN[] =
    "The script file %s has grown past 102400 bytes and was kept.\nThe editor text is unchanged.\n";
static const char LOGON_SCRIPT_KEPT[] =
    "The log-on script %s, which holds the password, could not be deleted.\nERROR: %d\nMSG:%s\n"
    "Delete it by hand.\n";
static const char CANNOT_DELETE[] = "Cannot delete the script file %s\nERROR: %d\nMSG:%s\n";

static_assert(LONGEST_WHOLE_TEXT == 102398, "the too-long message names the longest text");
static_assert(TEXT_BUFFER_SIZE == 102400, "the grown-file message names the buffer's size");

// Shows that no script file could be made in directory, with the platform's
// last error.
static bool CannotCreate(const char* directory)
{
    FormatRunFailure(CANNOT_CREATE, directory);
    ReportRunError(TextBuffer);
    return false;
}

// The system's temporary directory, as an 8-bit path that the client can
// open too; shows why when there is none, with noEightBitFormat when it has
// no 8-bit path at all.
static bool FindTemporaryDirectory(char* directory, size_t capacity, const char* noEightBitFormat)
{
    wchar_t temporary[SETTINGS_PATH_CAPACITY + 1];
    DWORD length = GetTempPathW(ARRAYSIZE(temporary), temporary);
    bool fits = length > 0 && length < ARRAYSIZE(temporary);
    if (fits && EightBitPath(temporary, directory, capacity))
        return true;
    if (fits && GetLastError() == ERROR_NO_UNICODE_TRANSLATION) {
        char shown[SETTINGS_PATH_CAPACITY + 1];
        PathAsShown(temporary, shown, sizeof shown);
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        FormatRunFailure(noEightBitFormat, shown);
        ReportRunError(TextBuffer);
        return false;
    }
    // A temporary directory too long for the buffer is not an error to the
    // platform; it is one here.
    if (length != 0)
        SetLastError(ERROR_BUFFER_OVERFLOW);
    return CannotCreate("the temporary directory");
}

// Reserves a new empty file, its name starting with prefix, in directory.
static bool ReserveFile(const char* directory, const char* prefix,
                        char (&path)[SCRIPT_PATH_CAPACITY])
{
    // The platform takes at most MAX_PATH - 14 bytes of folder, so that the
    // name it makes fits MAX_PATH. Given more, it may write a name without a
    // NUL, or past the buffer: such a folder is refused first, as Windows
    // itself does, and a name without a NUL is never used.
    static_assert(SCRIPT_PATH_CAPACITY == MAX_PATH, "a reserved name fits the script path");
    if (strlen(directory) > MAX_PATH - 14) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return CannotCreate(directory);
    }
    if (GetTempFileNameA(directory, prefix, 0, path) == 0)
        return CannotCreate(directory);
    if (memchr(path, '\0', sizeof path) == NULL) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return CannotCreate(directory);
    }
    return true;
}

bool ChooseScriptFolder(char (&folder)[SCRIPT_FOLDER_CAPACITY])
{
    if (PluginSettings.WorkingDirectory[0] == '\0')
        return FindTemporaryDirectory(folder, sizeof folder, NO_EIGHT_BIT_TEMPORARY);
    CopyText(folder, sizeof folder, PluginSettings.WorkingDirectory);
    return true;
}

bool ReserveScriptFile(const char* folder, char (&path)[SCRIPT_PATH_CAPACITY])
{
    return ReserveFile(folder, "se", path);
}

bool ReserveLogonScript(char (&path)[SCRIPT_PATH_CAPACITY])
{
    char directory[SETTINGS_PATH_CAPACITY + 1];
    // A working directory would not help here: the log-on script never
    // goes there.
    return FindTemporaryDirectory(directory, sizeof directory, CANNOT_CREATE) &&
           ReserveFile(directory, "lg", path);
}

// Opens the reserved script file, unshared, for reading and writing, once no
// other program holds it; shows failureFormat with the path when it cannot
// be opened.
static HANDLE OpenScriptFile(const char* path, const char* failureFormat)
{
    HeldFileRetry retry = {};
    HANDLE file;
    do
        file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    while (file == INVALID_HANDLE_VALUE && RetryHeldFile(&retry));
    if (file == INVALID_HANDLE_VALUE) {
        FormatRunFailure(failureFormat, path);
        ReportRunError(TextBuffer);
    }
    return file;
}

// Opens a reserved file and writes text into it, byte for byte: the given
// text, or when it is null the editor's, which is taken only once the file
// is open.
static bool WriteScript(const char* path, const char* text)
{
    HANDLE file = OpenScriptFile(path, CANNOT_WRITE);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    size_t length;
    if (text) {
        length = strlen(text);
    } else {
        length = TakeEditorText();
        text = TextBuffer;
        if (length > LONGEST_WHOLE_TEXT) {
            // The host may have cut the text at the buffer's end, and half a
            // statement is a different statement: a full buffer never runs.
            CloseHandle(file);
            ReportRunError(TOO_LONG);
            return false;
        }
    }
    DWORD written = 0;
    bool whole = WriteFile(file, text, static_cast<DWORD>(length), &written, NULL) != 0;
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
        ReportRunError(TextBuffer);
    return whole;
}

bool WriteEditorText(const char* path)
{
    return WriteScript(path, NULL);
}

bool WriteLogonScript(const char* path, const char* scriptPath)
{
    char scriptArgument[SCRIPT_ARGUMENT_CAPACITY];
    char text[LOGON_SCRIPT_CAPACITY];
    // The buffer holds the longest log-on script there can be; should that
    // ever fail, a cut one must not run.
    bool written = PathOnCommandLine(scriptPath, scriptArgument) &&
                   ComposeLogonScript(&PluginSettings, HostRecord, scriptArgument, text, sizeof text);
    if (!written) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        FormatRunFailure(CANNOT_WRITE, path);
        ReportRunError(TextBuffer);
    } else {
        written = WriteScript(path, text);
    }
    // The password stays on disk no longer than the client needs it, and
    // in this module's memory not at all.
    SecureZeroMemory(text, sizeof text);
    if (!written)
        DeleteLogonScript(path);
    return written;
}

// Deletes a file once no other program holds it; holds failureFormat with
// the path for the end of the run when it could not. A file already gone
// counts as deleted.
static void DeleteOrReport(const char* path, const char* failureFormat)
{
    if (DeleteHeldFile(path))
        return;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return;
    FormatRunFailure(failureFormat, path);
    ReportRunError(TextBuffer);
}

void DeleteLogonScript(const char* path)
{
    DeleteOrReport(path, LOGON_SCRIPT_KEPT);
}

void DeleteScriptFile(const char* path)
{
    DeleteOrReport(path, CANNOT_DELETE);
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
        snprintf(TextBuffer, sizeof TextBuffer, unfit, path);
        ReportRunError(TextBuffer);
        return false;
    }
    TextBuffer[length] = '\0';
    return true;
}
