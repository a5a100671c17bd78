#include "runner/command_arguments.h"

#include <windows.h>

#include "plugin/bounded_text.h"

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

bool ClientOnCommandLine(const char* sqlPlus, char (&argument)[CLIENT_ARGUMENT_CAPACITY])
{
    bool namesFile = false;
    if (HasBlank(sqlPlus)) {
        DWORD attributes = GetFileAttributesA(sqlPlus);
        namesFile = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    return ClientArgument(sqlPlus, namesFile, argument, sizeof argument);
}
