#include "client/client_search.h"

#include <windows.h>

#include <wchar.h>

#include "client/program_names.h"
#include "platform/eight_bit_path.h"

enum
{
    // The longest value a variable holds, and its NUL.
    PATH_VALUE_CAPACITY = 32768
};

static wchar_t PathValue[PATH_VALUE_CAPACITY];
// The name looked for, as typed, with ".exe" when it has no extension; the
// folder looked in; the folder with the name, and its full path once found.
static wchar_t ProgramName[PATH_CAPACITY + 4];
static wchar_t Folder[PATH_CAPACITY + 8];
static wchar_t Candidate[ARRAYSIZE(Folder) + ARRAYSIZE(ProgramName)];
static wchar_t Found[PATH_CAPACITY];

// Whether path names a file, which Found then names by its full path, as
// the platform's search gives the file it finds ("/" and ".." resolved);
// one too long for the buffer is never taken.
static bool NamesProgramFile(const wchar_t* path)
{
    DWORD foundLength = GetFullPathNameW(path, ARRAYSIZE(Found), Found, NULL);
    if (foundLength == 0 || foundLength >= ARRAYSIZE(Found))
        return false;
    DWORD attributes = GetFileAttributesW(Found);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether folder[0, length) holds the program as a file, which Found then
// names. The folder is one, whatever its name holds: the platform's search
// would take a ";" in it for the end of a folder, and a folder of the
// program's name for the program, which no process creation starts.
static bool HoldsProgram(const wchar_t* folder, size_t length)
{
    if (length == 0 || length >= ARRAYSIZE(Folder))
        return false;
    wmemcpy(Candidate, folder, length);
    // A drive's root ends in its separator already.
    if (folder[length - 1] != L'\\' && folder[length - 1] != L'/')
        Candidate[length++] = L'\\';
    wmemcpy(Candidate + length, ProgramName, wcslen(ProgramName) + 1);
    return NamesProgramFile(Candidate);
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

// The program's name in the client argument, in ProgramName; its length,
// 0 for a name too long to be a file's, which is nowhere.
static int TakeProgramName(const char* name, size_t length)
{
    int converted = MultiByteToWideChar(CP_ACP, 0, name, static_cast<int>(length), ProgramName,
                                        PATH_CAPACITY - 1);
    ProgramName[converted] = L'\0';
    return converted;
}

bool FindClientProgram(const char* clientArgument, char (&program)[PATH_CAPACITY])
{
    program[0] = '\0';
    size_t start;
    size_t length = ProgramNameIn(clientArgument, &start) - start;
    if (NamesFolder(clientArgument + start, length, IsSystemLeadByte))
        return true;
    int converted = TakeProgramName(clientArgument + start, length);
    // The platform's search appends an extension to a name that ends in
    // none, and a name without a folder ends in one when it holds a ".".
    if (converted > 0 && wcschr(ProgramName, L'.') == NULL)
        wmemcpy(ProgramName + converted, L".exe", 5);
    if (converted > 0 && SearchProgram())
        return EightBitPath(Found, program, sizeof program);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
}

bool FindBatchFile(const char* clientArgument, char (&program)[PATH_CAPACITY])
{
    size_t start;
    size_t length = ProgramNameIn(clientArgument, &start) - start;
    if (!NamesFolder(clientArgument + start, length, IsSystemLeadByte))
        return FindClientProgram(clientArgument, program);
    program[0] = '\0';
    if (TakeProgramName(clientArgument + start, length) > 0 && NamesProgramFile(ProgramName))
        return EightBitPath(Found, program, sizeof program);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
}
