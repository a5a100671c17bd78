#include "runner/client_search.h"

#include <windows.h>

#include <wchar.h>

#include "platform/eight_bit_path.h"
#include "runner/program_names.h"

enum
{
    // The longest value a variable holds, and its NUL.
    PATH_VALUE_CAPACITY = 32768
};

static wchar_t PathValue[PATH_VALUE_CAPACITY];
// The name looked for, as typed; the folder looked in; the file found.
static wchar_t ProgramName[PATH_CAPACITY];
static wchar_t Folder[PATH_CAPACITY + 8];
static wchar_t Found[PATH_CAPACITY];

// Whether folder[0, length) holds the program, which Found then names. The
// platform's search is given that one folder alone, and appends ".exe" to a
// name without an extension, as process creation does.
static bool HoldsProgram(const wchar_t* folder, size_t length)
{
    if (length == 0 || length >= ARRAYSIZE(Folder))
        return false;
    wmemmove(Folder, folder, length);
    Folder[length] = L'\0';
    DWORD foundLength = SearchPathW(Folder, ProgramName, L".exe", ARRAYSIZE(Found), Found, NULL);
    return foundLength > 0 && foundLength < ARRAYSIZE(Found);
}

static bool SearchProgram(void)
{
    // The host's program, not this module: its folder ends at the last
    // separator.
    DWORD length = GetModuleFileNameW(NULL, Folder, PATH_CAPACITY);
    while (length > 0 && length < PATH_CAPACITY && Folder[length - 1] != L'\\')
        --length;
    if (HoldsProgram(Folder, length))
        return true;
    // A folder longer than the buffer is given as the size it needs, and
    // the buffer keeps what it held: such a length is no folder.
    length = GetSystemDirectoryW(Folder, PATH_CAPACITY);
    if (length < PATH_CAPACITY && HoldsProgram(Folder, length))
        return true;
    length = GetWindowsDirectoryW(Folder, PATH_CAPACITY);
    if (length > 0 && length < PATH_CAPACITY) {
        // No call names the 16-bit system folder: it is System in the
        // Windows folder.
        wmemcpy(Folder + length, L"\\System", 7);
        if (HoldsProgram(Folder, length + 7) || HoldsProgram(Folder, length))
            return true;
    }
    length = GetEnvironmentVariableW(L"PATH", PathValue, PATH_VALUE_CAPACITY);
    PathValue[length < PATH_VALUE_CAPACITY ? length : 0] = L'\0';
    size_t start = 0, end = 0;
    while (NextPathFolder(PathValue, &start, &end)) {
        if (HoldsProgram(PathValue + start, end - start))
            return true;
    }
    return false;
}

bool FindClientProgram(const char* clientArgument, char (&program)[PATH_CAPACITY])
{
    program[0] = '\0';
    size_t start;
    size_t length = ProgramNameIn(clientArgument, &start) - start;
    if (NamesFolder(clientArgument + start, length))
        return true;
    // A name too long to be a file's is nowhere.
    int converted = MultiByteToWideChar(CP_ACP, 0, clientArgument + start, static_cast<int>(length),
                                        ProgramName, PATH_CAPACITY - 1);
    ProgramName[converted] = L'\0';
    if (converted > 0 && SearchProgram())
        return EightBitPath(Found, program, sizeof program);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
}
