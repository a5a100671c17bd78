#include "runner/stale_logon_scripts.h"

#include <windows.h>

#include <string.h>
#include <wchar.h>

#include "settings/settings_record.h"

// How log-on scripts begin: "connect " and the log-on, after a line that
// keeps the client from echoing it in the newer shape.
static const char* const LOGON_SCRIPT_STARTS[] = {"connect ", "set echo off\r\nconnect "};
static const wchar_t LOGON_SCRIPT_NAMES[] = L"lg*.tmp";

// A log-on script younger than this may belong to a run of another editor
// that is still starting its client.
static const ULONGLONG STALE_AFTER = 60ULL * 10000000ULL;   // in 100 ns steps

static ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

static bool BeginsAsLogonScript(HANDLE file)
{
    char start[sizeof "set echo off\r\nconnect " - 1];
    DWORD length = 0;
    if (!ReadFile(file, start, sizeof start, &length, NULL))
        return false;
    for (const char* shape : LOGON_SCRIPT_STARTS)
        if (length >= strlen(shape) && memcmp(start, shape, strlen(shape)) == 0)
            return true;
    return false;
}

// Opened unshared, the file is known to be in no client's hands, and stays
// so until it is gone: it is deleted when this handle closes.
static void DeleteIfLogonScript(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ | DELETE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    if (BeginsAsLogonScript(file)) {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    }
    CloseHandle(file);
}

void SweepStaleLogonScripts(void)
{
    // The folder, then each name found in it.
    wchar_t path[SETTINGS_PATH_CAPACITY + MAX_PATH + 1];
    DWORD folderLength = GetTempPathW(SETTINGS_PATH_CAPACITY + 1, path);
    if (folderLength == 0 || folderLength > SETTINGS_PATH_CAPACITY)
        return;
    wmemcpy(path + folderLength, LOGON_SCRIPT_NAMES, ARRAYSIZE(LOGON_SCRIPT_NAMES));
    // The platform is asked for these names only: a temporary folder may
    // hold many thousands of other files.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(path, FindExInfoBasic, &found, FindExSearchNameMatch, NULL,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    do {
        bool stale = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                     Ticks(found.ftLastWriteTime) + STALE_AFTER < Ticks(now);
        size_t nameLength = wcsnlen(found.cFileName, ARRAYSIZE(found.cFileName));
        if (stale && nameLength < ARRAYSIZE(found.cFileName)) {
            wmemcpy(path + folderLength, found.cFileName, nameLength + 1);
            DeleteIfLogonScript(path);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
