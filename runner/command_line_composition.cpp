#include "runner/command_line_composition.h"

#include <string.h>

#include "common/bounded_text.h"

bool ScriptArgument(const char* scriptPath, const char* shortPath,
                    char* argument, size_t capacity)
{
    if (!HasBlank(scriptPath))
        return CopyText(argument, capacity, scriptPath);
    if (shortPath[0] != '\0' && !HasBlank(shortPath))
        return CopyText(argument, capacity, shortPath);
    return CopyText(argument, capacity, "\"") &&
           AppendText(argument, capacity, scriptPath) &&
           AppendText(argument, capacity, "\"");
}

bool ClientArgument(const char* sqlPlus, bool namesFile, char* argument, size_t capacity)
{
    if (!namesFile || !HasBlank(sqlPlus) || strchr(sqlPlus, '"') != NULL)
        return CopyText(argument, capacity, sqlPlus);
    return CopyText(argument, capacity, "\"") && AppendText(argument, capacity, sqlPlus) &&
           AppendText(argument, capacity, "\"");
}

bool ProgramHasExtension(const char* program)
{
    const char* name = program;
    for (const char* p = program; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    return strchr(name, '.') != NULL;
}

bool ComposeCommandLine(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* clientArgument, const char* scriptArgument, bool maskPassword,
                        char* line, size_t capacity, LeadByteTest isLeadByte)
{
    bool fits = CopyText(line, capacity, clientArgument);
    if (HostTextLength(host, HOST_USER, HOST_USER_WIDTH) > 0) {
        fits = AppendText(line, capacity, " ") && fits;
        fits = AppendLogon(line, capacity, settings, host, maskPassword, true, isLeadByte) && fits;
    }
    fits = AppendText(line, capacity, " @") && fits;
    fits = AppendText(line, capacity, scriptArgument) && fits;
    fits = AppendText(line, capacity, " ") && fits;
    fits = AppendText(line, capacity, settings->Options) && fits;
    return fits;
}

bool ComposeNologLine(const char* clientArgument, const char* logonArgument,
                      char* line, size_t capacity)
{
    bool fits = CopyText(line, capacity, clientArgument);
    fits = AppendText(line, capacity, " /nolog @") && fits;
    return AppendText(line, capacity, logonArgument) && fits;
}
