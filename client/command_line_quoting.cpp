#include "client/command_line_quoting.h"

#include <windows.h>

#include <string.h>

#include "client/program_names.h"
#include "common/bounded_text.h"
#include "platform/eight_bit_path.h"

bool PathOnCommandLine(const char* path, char (&argument)[SCRIPT_ARGUMENT_CAPACITY])
{
    char shortPath[SCRIPT_PATH_CAPACITY] = "";
    if (HasBlank(path)) {
        DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
        if (length == 0 || length >= sizeof shortPath)
            shortPath[0] = '\0';
    }
    return ScriptArgument(path, shortPath, argument, sizeof argument);
}

// Whether the platform would take path for a file that is no folder. A
// failure other than "not there" (access denied, say) counts as one: going
// in quotes costs nothing then, while a path with blanks left unquoted would
// give the client the rest of its words as its log-on. A name too long for
// the 8-bit file services counts as none: in quotes such a client would not
// start at all, while as typed it starts as it always did.
static bool MayNameFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
           error != ERROR_INVALID_NAME && error != ERROR_FILENAME_EXCED_RANGE;
}

bool ClientOnCommandLine(const char* sqlPlus, char (&argument)[CLIENT_ARGUMENT_CAPACITY])
{
    bool namesFile = false;
    // A name without a folder is never looked for in the current folder
    // (see client_search.h): it goes as typed.
    if (HasBlank(sqlPlus) && strchr(sqlPlus, '"') == NULL &&
        NamesFolder(sqlPlus, strlen(sqlPlus), IsSystemLeadByte)) {
        namesFile = MayNameFile(sqlPlus);
        // The platform starts a program named without an extension by its
        // name with ".exe" appended.
        char program[SETTINGS_TEXT_CAPACITY + sizeof ".exe"];
        if (!namesFile && !ProgramHasExtension(sqlPlus) &&
            CopyText(program, sizeof program, sqlPlus) && AppendText(program, sizeof program, ".exe"))
            namesFile = MayNameFile(program);
    }
    return ClientArgument(sqlPlus, namesFile, argument, sizeof argument);
}
