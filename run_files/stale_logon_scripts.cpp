#include "run_files/stale_logon_scripts.h"

#include <windows.h>

#include <wchar.h>

#include "common/path_capacity.h"
#include "run_files/logon_script_file.h"
#include "run_files/logon_script_text.h"

// The platform is asked for these names only: a temporary folder may hold
// many thousands of other files. It matches the pattern against short (8.3)
// names too, so "lg_session_backup.tmpl" (LG_SES~1.TMP) is found as well,
// and each name found is looked at again.
static const wchar_t LOGON_SCRIPT_NAMES[] = L"lg*.tmp";
static_assert(LOGON_SCRIPT_PREFIX[0] == 'l' && LOGON_SCRIPT_PREFIX[1] == 'g' &&
                  LOGON_SCRIPT_PREFIX[2] == '\0',
              "the sweep looks for the names a run gives its log-on scripts");

// A log-on script younger than this may belong to a run of another editor
// that is still starting its client.
static const ULONGLONG STALE_AFTER = 60ULL * 10000000ULL;   // in 100 ns steps

static const DWORD NEVER_LOGON_SCRIPTS = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

static ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

static bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// Whether a long name is one the temporary-name service gives a run's
// log-on script: "lg", the hexadecimal form of a 16-bit number (one to four
// digits) and ".tmp", in any case.
static bool IsLogonScriptName(const wchar_t* name)
{
    if ((name[0] != L'l' && name[0] != L'L') || (name[1] != L'g' && name[1] != L'G'))
        return false;
    size_t digits = 0;
    while (digits < 5 && IsHexDigit(name[2 + digits]))
        ++digits;
    return digits >= 1 && digits <= 4 && _wcsicmp(name + 2 + digits, L".tmp") == 0;
}

// Whether the file's whole content is that of a log-on script. One byte
// more than the longest there can be is asked for, so a longer file is not
// one; a read that gives fewer bytes than asked has reached the file's end.
static bool HoldsLogonScript(HANDLE file)
{
    char text[LOGON_SCRIPT_CAPACITY];
    DWORD length = 0;
    return ReadFile(file, text, sizeof text, &length, NULL) && HasLogonScriptShape(text, length);
}

// Opened unshared, the file is known to be in no client's hands, and stays
// so until it is gone: it is deleted when this handle closes. A live run
// keeps its log-on script open until its client has ended, so that one is
// never opened here, however old. A link put in the listed file's place
// since is opened as the link itself, never its target; its own content is
// empty, so it stays.
static void DeleteIfLogonScript(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ | DELETE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    if (HoldsLogonScript(file)) {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    }
    CloseHandle(file);
}

void SweepStaleLogonScripts(void)
{
    // The folder, then each name found in it.
    wchar_t path[PATH_CAPACITY + MAX_PATH + 1];
    DWORD folderLength = GetTempPathW(PATH_CAPACITY + 1, path);
    if (folderLength == 0 || folderLength > PATH_CAPACITY)
        return;
    wmemcpy(path + folderLength, LOGON_SCRIPT_NAMES, ARRAYSIZE(LOGON_SCRIPT_NAMES));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(path, FindExInfoBasic, &found, FindExSearchNameMatch, NULL,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    do {
        // A folder or a link (whose target may be anywhere) is never a
        // run's log-on script, nor is a file longer than any: these are not
        // even opened.
        bool stale = !(found.dwFileAttributes & NEVER_LOGON_SCRIPTS) &&
                     found.nFileSizeHigh == 0 && found.nFileSizeLow < LOGON_SCRIPT_CAPACITY &&
                     Ticks(found.ftLastWriteTime) + STALE_AFTER < Ticks(now);
        size_t nameLength = wcsnlen(found.cFileName, ARRAYSIZE(found.cFileName));
        if (stale && nameLength < ARRAYSIZE(found.cFileName) && IsLogonScriptName(found.cFileName)) {
            wmemcpy(path + folderLength, found.cFileName, nameLength + 1);
            DeleteIfLogonScript(path);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
