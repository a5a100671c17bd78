#include "run_files/temporary_files.h"

#include <string.h>

#include "common/bounded_text.h"
#include "platform/eight_bit_path.h"
#include "platform/held_file.h"
#include "platform/system_error.h"
#include "plugin/module_state.h"
#include "run_reports/held_reports.h"

static const char CANNOT_CREATE[] = "Cannot create a script file in %s\nERROR: %d\nMSG:%s\n";
static const char NO_EIGHT_BIT_TEMPORARY[] =
    "Cannot create a script file in %s\nERROR: %d\nMSG:%s\n"
    "Choose a working directory in the plug-in's settings.\n";
static const char CANNOT_WRITE[] = "Cannot write the script file %s\nERROR: %d\nMSG:%s\n";

// Reports that no file could be made in directory, with the platform's
// last error.
static bool CannotCreate(const char* directory)
{
    FormatSystemFailure(TextBuffer, sizeof TextBuffer, CANNOT_CREATE, directory);
    ReportRunError(TextBuffer);
    return false;
}

bool FindTemporaryDirectory(char* directory, size_t capacity, bool adviseWorkingDirectory)
{
    wchar_t temporary[PATH_CAPACITY + 1];
    DWORD length = GetTempPathW(ARRAYSIZE(temporary), temporary);
    bool fits = length > 0 && length < ARRAYSIZE(temporary);
    if (fits && EightBitPath(temporary, directory, capacity))
        return true;
    if (fits && GetLastError() == ERROR_NO_UNICODE_TRANSLATION) {
        char shown[PATH_CAPACITY + 1];
        PathAsShown(temporary, shown, sizeof shown);
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        FormatSystemFailure(TextBuffer, sizeof TextBuffer,
                            adviseWorkingDirectory ? NO_EIGHT_BIT_TEMPORARY : CANNOT_CREATE, shown);
        ReportRunError(TextBuffer);
        return false;
    }
    // A temporary directory too long for the buffer is not an error to the
    // platform; it is one here.
    if (length != 0)
        SetLastError(ERROR_BUFFER_OVERFLOW);
    return CannotCreate("the temporary directory");
}

// Whether a path is full: a drive's root and what is under it, or a share.
static bool IsFullPath(const char* path)
{
    bool separator0 = path[0] == '\\' || path[0] == '/';
    bool separator1 = path[0] != '\0' && (path[1] == '\\' || path[1] == '/');
    bool separator2 = path[0] != '\0' && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return (separator0 && separator1) || separator2;
}

bool FullFolderPath(const char* folder, char* full, size_t capacity)
{
    if (IsFullPath(folder))
        return CopyText(full, capacity, folder);
    // In UTF-16 from end to end: the current folder may be named with
    // characters the system code page lacks.
    wchar_t wide[PATH_CAPACITY + 1];
    wchar_t whole[PATH_CAPACITY + 1];
    DWORD length = 0;
    if (MultiByteToWideChar(CP_ACP, 0, folder, -1, wide, ARRAYSIZE(wide)) > 0)
        length = GetFullPathNameW(wide, ARRAYSIZE(whole), whole, NULL);
    if (length > 0 && length < ARRAYSIZE(whole) && EightBitPath(whole, full, capacity))
        return true;
    // A full path too long for the buffer is not an error to the platform.
    if (length >= ARRAYSIZE(whole))
        SetLastError(ERROR_BUFFER_OVERFLOW);
    return CannotCreate(folder);
}

bool ReserveRunFile(const char* directory, const char* prefix,
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

// Opens a reserved file once no other program holds it; reports
// failureFormat with the path when it cannot.
static HANDLE OpenHeldRunFile(const char* path, DWORD access, DWORD share, const char* failureFormat)
{
    HeldFileRetry retry = {};
    HANDLE file;
    do
        file = CreateFileA(path, access, share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    while (file == INVALID_HANDLE_VALUE && RetryHeldFile(&retry));
    if (file == INVALID_HANDLE_VALUE) {
        FormatSystemFailure(TextBuffer, sizeof TextBuffer, failureFormat, path);
        ReportRunError(TextBuffer);
    }
    return file;
}

HANDLE OpenRunFile(const char* path, const char* failureFormat)
{
    return OpenHeldRunFile(path, GENERIC_READ | GENERIC_WRITE, 0, failureFormat);
}

HANDLE KeepRunFileOpen(const char* path)
{
    return OpenHeldRunFile(path, GENERIC_READ, FILE_SHARE_READ, CANNOT_WRITE);
}

// The empty file open while the editor is asked for its text, null
// otherwise: should the host abandon the run there, it is closed and
// deleted (see DeleteAbandonedRunFile). The path is copied: a host that
// jumps past the run leaves the writer's frame to be reused before then.
static HANDLE FileAwaitingText;
static char PathAwaitingText[SCRIPT_PATH_CAPACITY];

bool WriteRunFile(const char* path, const char* text, TextTaker takeText)
{
    HANDLE file = OpenRunFile(path, CANNOT_WRITE);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    size_t length;
    if (text) {
        length = strlen(text);
    } else {
        if (CopyText(PathAwaitingText, sizeof PathAwaitingText, path))
            FileAwaitingText = file;
        bool taken = takeText(&length);
        FileAwaitingText = NULL;
        text = TextBuffer;
        if (!taken) {
            CloseHandle(file);
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
        FormatSystemFailure(TextBuffer, sizeof TextBuffer, CANNOT_WRITE, path);
    // Some file systems report a failed write only when the file is closed.
    if (!CloseHandle(file) && whole) {
        FormatSystemFailure(TextBuffer, sizeof TextBuffer, CANNOT_WRITE, path);
        whole = false;
    }
    if (!whole)
        ReportRunError(TextBuffer);
    return whole;
}

void ReportCannotWrite(const char* path)
{
    FormatSystemFailure(TextBuffer, sizeof TextBuffer, CANNOT_WRITE, path);
    ReportRunError(TextBuffer);
}

void DeleteAbandonedRunFile(void)
{
    if (FileAwaitingText == NULL)
        return;
    CloseHandle(FileAwaitingText);
    FileAwaitingText = NULL;
    DeleteHeldFile(PathAwaitingText);
}

bool DeleteOrReport(const char* path, const char* failureFormat, RunFailureKind kind)
{
    if (DeleteHeldFile(path))
        return true;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return true;
    FormatSystemFailure(TextBuffer, sizeof TextBuffer, failureFormat, path);
    HoldRunFailure(kind, TextBuffer);
    return false;
}
