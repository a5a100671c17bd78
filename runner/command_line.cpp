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

bool ComposeCommandLine(const SettingsRecord* settings, const PL_HOSTINFO* host,
                        const char* clientArgument, const char* scriptArgument, bool maskPassword,
                        char* line, size_t capacity)
{
    char user[HOST_USER_WIDTH + 1];
    char password[HOST_PASSWORD_WIDTH + 1];
    char database[HOST_DATABASE_WIDTH + 1];
    HostText(host, HOST_USER, HOST_USER_WIDTH, user, sizeof user);
    HostText(host, HOST_PASSWORD, HOST_PASSWORD_WIDTH, password, sizeof password);
    HostText(host, HOST_DATABASE, HOST_DATABASE_WIDTH, database, sizeof database);

    bool fits = CopyText(line, capacity, clientArgument);
    if (user[0] != '\0') {
        fits = AppendText(line, capacity, " ") && fits;
        fits = AppendText(line, capacity, user) && fits;
        if (password[0] != '\0') {
            fits = AppendText(line, capacity, "/") && fits;
            fits = AppendText(line, capacity, maskPassword ? MASKED_PASSWORD : password) && fits;
        }
        fits = AppendText(line, capacity, "@") && fits;
        const char* connect = settings->ConnectString[0] != '\0' ? settings->ConnectString : database;
        fits = AppendText(line, capacity, connect) && fits;
    }
    fits = AppendText(line, capacity, " @") && fits;
    fits = AppendText(line, capacity, scriptArgument) && fits;
    fits = AppendText(line, capacity, " ") && fits;
    fits = AppendText(line, capacity, settings->Options) && fits;
    return fits;
}
