#include "client/command_line_composition.h"

#include <string.h>

#include "client/program_names.h"
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

// Whether name[0, length) ends in extension, a "." and three lower-case
// letters, in any case.
static bool EndsInExtension(const char* name, size_t length, const char* extension)
{
    if (length < 4)
        return false;
    for (size_t at = 0; at < 4; ++at) {
        char c = name[length - 4 + at];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != extension[at])
            return false;
    }
    return true;
}

bool IsBatchProgram(const char* clientArgument)
{
    size_t start;
    size_t end = ProgramNameIn(clientArgument, &start);
    while (end > start && (clientArgument[end - 1] == '.' || clientArgument[end - 1] == ' '))
        --end;
    const char* name = clientArgument + start;
    return EndsInExtension(name, end - start, ".bat") || EndsInExtension(name, end - start, ".cmd");
}

bool NameProgramByPath(const char* clientArgument, const char* program,
                       char* argument, size_t capacity)
{
    size_t start;
    size_t end = ProgramNameIn(clientArgument, &start);
    if (start > 0 && clientArgument[end] == '"')
        ++end;
    return CopyText(argument, capacity, "\"") && AppendText(argument, capacity, program) &&
           AppendText(argument, capacity, "\"") && AppendText(argument, capacity, clientArgument + end);
}

char InterpreterCharacterIn(const char* line, LeadByteTest isLeadByte)
{
    for (const char* c = line; *c != '\0'; ++c) {
        if (strchr("%^&|<>", *c) != NULL)
            return *c;
        if (isLeadByte && c[1] != '\0' && isLeadByte(static_cast<unsigned char>(*c)))
            ++c;
    }
    return '\0';
}

char InterpreterCharacterIn(const wchar_t* line)
{
    for (const wchar_t* c = line; *c != L'\0'; ++c) {
        if (*c < 0x80 && strchr("%^&|<>", static_cast<char>(*c)) != NULL)
            return static_cast<char>(*c);
    }
    return '\0';
}

// Between the interpreter's path in quotes and the client's line in quotes.
static const char INTERPRETER_SWITCHES[] = "\" /d /e:on /v:off /s /c \"";
static_assert(sizeof INTERPRETER_SWITCHES - 1 == 25, "the interpreter's line counts its switches");

bool ComposeInterpreterLine(const char* interpreter, const char* clientLine, char* line,
                            size_t capacity)
{
    bool fits = CopyText(line, capacity, "\"");
    fits = AppendText(line, capacity, interpreter) && fits;
    fits = AppendText(line, capacity, INTERPRETER_SWITCHES) && fits;
    fits = AppendText(line, capacity, clientLine) && fits;
    return AppendText(line, capacity, "\"") && fits;
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
