#include "runner/command_line.h"

#include <string.h>

#include "plugin/bounded_text.h"

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

// Appends the log-on of the host's current connection: user, "/" and the
// password when there is one, "@" and the connect identifier, which is the
// connect string when set and the host's database otherwise.
static bool AppendLogon(char* text, size_t capacity, const SettingsRecord* settings,
                        const PL_HOSTINFO* host, bool maskPassword)
{
    char user[HOST_USER_WIDTH + 1];
    char password[HOST_PASSWORD_WIDTH + 1];
    char database[HOST_DATABASE_WIDTH + 1];
    HostText(host, HOST_USER, HOST_USER_WIDTH, user, sizeof user);
    HostText(host, HOST_PASSWORD, HOST_PASSWORD_WIDTH, password, sizeof password);
    HostText(host, HOST_DATABASE, HOST_DATABASE_WIDTH, database, sizeof database);

    bool fits = AppendText(text, capacity, user);
    if (password[0] != '\0') {
        fits = AppendText(text, capacity, "/") && fits;
        fits = AppendText(text, capacity, maskPassword ? MASKED_PASSWORD : password) && fits;
    }
    fits = AppendText(text, capacity, "@") && fits;
    const char* connect = settings->ConnectString[0] != '\0' ? settings->ConnectString : database;
    return AppendText(text, capacity, connect) && fits;
}

bool ComposeCommandLine(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* clientArgument, const char* scriptArgument, bool maskPassword,
                        char* line, size_t capacity)
{
    bool fits = CopyText(line, capacity, clientArgument);
    if (HostTextLength(host, HOST_USER, HOST_USER_WIDTH) > 0) {
        fits = AppendText(line, capacity, " ") && fits;
        fits = AppendLogon(line, capacity, settings, host, maskPassword) && fits;
    }
    fits = AppendText(line, capacity, " @") && fits;
    fits = AppendText(line, capacity, scriptArgument) && fits;
    fits = AppendText(line, capacity, " ") && fits;
    fits = AppendText(line, capacity, settings->Options) && fits;
    return fits;
}

bool HidesPassword(const SettingsRecord* settings, const PL_HOSTINFO* host)
{
    return settings->HidePassword != 0 && HostTextLength(host, HOST_USER, HOST_USER_WIDTH) > 0 &&
           HostTextLength(host, HOST_PASSWORD, HOST_PASSWORD_WIDTH) > 0;
}

bool PasswordHoldsAmpersand(const PL_HOSTINFO* host)
{
    char password[HOST_PASSWORD_WIDTH + 1];
    HostText(host, HOST_PASSWORD, HOST_PASSWORD_WIDTH, password, sizeof password);
    return strchr(password, '&') != NULL;
}

bool ComposeLogonScript(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* scriptArgument, char* text, size_t capacity)
{
    bool fits = CopyText(text, capacity, "connect ");
    fits = AppendLogon(text, capacity, settings, host, false) && fits;
    fits = AppendText(text, capacity, "\r\n@") && fits;
    fits = AppendText(text, capacity, scriptArgument) && fits;
    fits = AppendText(text, capacity, " ") && fits;
    fits = AppendText(text, capacity, settings->Options) && fits;
    return AppendText(text, capacity, "\r\n") && fits;
}

bool ComposeNologLine(const char* clientArgument, const char* logonArgument,
                      char* line, size_t capacity)
{
    bool fits = CopyText(line, capacity, clientArgument);
    fits = AppendText(line, capacity, " /nolog @") && fits;
    return AppendText(line, capacity, logonArgument) && fits;
}
