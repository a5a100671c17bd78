// A stand-in for the command-line SQL client, for the tests and the demo. It
// is started by the plug-in exactly as the real client would be, reads its
// command line the way the client does, and then does to the script what it
// is told to do.
//
//   sqlplus [-option]... [logon] @script [parameter]...
//   sqlplus [-option]... /nolog @logon-script
//
// The words are the arguments its C runtime gives it (quotes group blanks
// and are dropped, \" is a quote, backslashes before a quote are halved),
// so @"C:\a b\se1.tmp" names one path. The log-on is the first word that is
// neither an option nor the script; the script is the word that starts with
// "@"; every word after it is a parameter. With "/nolog" as the log-on, the
// script named is a log-on script whose "connect <logon>" line gives the
// log-on and whose "@script [parameter]..." line (split at blanks, quotes
// grouping them) the script the client then runs, as if both had been on
// its command line; "set echo off" and "set echo on" lines there turn echo
// off and on, and echo starts on, as a site profile may set it.
//
// A log-on is split as SQL*Plus splits it: the user up to the first "/" (or
// "@" without one), then the password, in double quotes when it starts with
// one (up to the closing quote), else up to the first "@"; then "@" and the
// connect identifier.
//
// What it does is steered by parameters of the form name=value, or, for a
// name not given as a parameter, by the environment variable
// TAMSIL_CLIENT_<NAME> (the plug-in starts the client with the host's
// environment):
//   log=F         append a record of this run to F (see below)
//   action=A      leave    leave the script alone (the default)
//                 rewrite  replace its bytes with the text
//                 append   append the text to it
//                 grow     pad it with blanks to size bytes (default 102401)
//                 delete   delete it
//   text=T        the text for rewrite and append
//   text-file=F   take that text from the file F instead, byte for byte
//   size=N        the size grow pads to
//   sleep=N       wait N milliseconds before the action
//   hold=W        after the action, have another process open W ("script"
//                 or "logon-script") and end only once it holds it
//   hold-for=N    how long that process holds it, in milliseconds
//                 (default 300)
//   hold-share=S  none (the default) or read: what it lets others do
//   exit=N        end with exit code N (default 0; 0x... in hex)
//   variables=N;… log the variables so named as it received them
//
// The log holds one record per line of this form, each followed by exactly
// length bytes and a line feed:
//   <name> <length>
// A run writes "run" (empty), "command-line" (GetCommandLineA as received),
// "program" (the path of the file that runs), with /nolog "logon-script"
// (its bytes, or "logon-script-error") and, when it has a connect line,
// "echo" ("on" or "off" when that line was read),
// "logon" (the word from the line or the connect line) and, when there is
// one, its parts "user", "password" and "connect-identifier", "script-path",
// "parameters" (one per line), "directory" (its current directory),
// "nls-lang" (the NLS_LANG it received) or "no-nls-lang" (empty: it received
// none), for each name in variables "variable NAME" (its value in UTF-8)
// or "no-variable NAME" (empty: it received none), then "script" (the bytes read through the script path) or
// "script-error" (the error code), and, after the sleep and the action,
// "action", with hold "hold" (what was held, or why not) and "holder" (the
// holding process's id), and "end" (empty). A run whose log has no "end" has
// not finished.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

struct CommandLine
{
    std::string program;
    std::string echo;   // at the log-on script's connect line
    std::vector<std::string> options;
    std::string logon;
    bool hasScript = false;
    std::string scriptPath;
    std::vector<std::string> parameters;
};

// Splits a script line into words: blanks and tabs separate them, double
// quotes group blanks into a word and are dropped. Backslashes are taken as
// they are, as paths need.
std::vector<std::string> SplitWords(const char* line)
{
    std::vector<std::string> words;
    const char* p = line;
    while (*p) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            break;
        std::string word;
        bool quoted = false;
        for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
            if (*p == '"')
                quoted = !quoted;
            else
                word += *p;
        }
        words.push_back(word);
    }
    return words;
}

CommandLine ParseCommandLine(const std::vector<std::string>& words)
{
    CommandLine parsed;
    size_t i = 0;
    if (i < words.size())
        parsed.program = words[i++];
    for (; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (parsed.hasScript)
            parsed.parameters.push_back(word);
        else if (!word.empty() && word[0] == '@') {
            parsed.hasScript = true;
            parsed.scriptPath = word.substr(1);
        } else if (!word.empty() && word[0] == '-' && parsed.logon.empty())
            parsed.options.push_back(word);
        else if (parsed.logon.empty())
            parsed.logon = word;
        else
            parsed.parameters.push_back(word);
    }
    return parsed;
}

// Takes the log-on and the script to run from a log-on script's lines.
void TakeLogonScript(const std::string& bytes, CommandLine* line)
{
    line->logon.clear();
    line->hasScript = false;
    line->scriptPath.clear();
    line->parameters.clear();
    bool echo = true;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos)
            end = bytes.size();
        std::string text = bytes.substr(at, end - at);
        at = end + 1;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text == "set echo off" || text == "set echo on") {
            echo = text == "set echo on";
        } else if (text.compare(0, 8, "connect ") == 0) {
            line->logon = text.substr(8);
            line->echo = echo ? "on" : "off";
        } else if (!text.empty() && text[0] == '@') {
            CommandLine nested = ParseCommandLine(SplitWords(("client " + text).c_str()));
            line->hasScript = nested.hasScript;
            line->scriptPath = nested.scriptPath;
            line->parameters = nested.parameters;
        }
    }
}

struct Logon
{
    std::string user, password, connect;
};

Logon SplitLogon(const std::string& word)
{
    Logon logon;
    size_t end = word.find('/');
    size_t at = word.find('@');
    logon.user = word.substr(0, end != std::string::npos ? end : at);
    if (end != std::string::npos) {
        size_t start = end + 1;
        if (start < word.size() && word[start] == '"') {
            end = word.find('"', start + 1);
            logon.password = word.substr(start + 1, end - (start + 1));
            at = end == std::string::npos ? end : word.find('@', end);
        } else {
            at = word.find('@', start);
            logon.password = word.substr(start, at - start);
        }
    }
    if (at != std::string::npos)
        logon.connect = word.substr(at + 1);
    return logon;
}

// A control value: the parameter name=value when given, else the
// environment variable TAMSIL_CLIENT_<NAME>, else fallback.
std::string Control(const CommandLine& line, const char* name, const char* fallback)
{
    std::string prefix = std::string(name) + "=";
    for (const std::string& parameter : line.parameters) {
        if (parameter.compare(0, prefix.size(), prefix) == 0)
            return parameter.substr(prefix.size());
    }
    std::string variable = "TAMSIL_CLIENT_";
    for (const char* c = name; *c; ++c)
        variable += *c == '-' ? '_' : static_cast<char>(toupper(static_cast<unsigned char>(*c)));
    char value[32768];
    DWORD length = GetEnvironmentVariableA(variable.c_str(), value, sizeof value);
    if (length > 0 && length < sizeof value)
        return std::string(value, length);
    return fallback;
}

bool ReadBytes(const std::string& path, std::string* bytes)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes->clear();
    char chunk[8192];
    size_t count;
    while ((count = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->append(chunk, count);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}

bool WriteBytes(const std::string& path, const std::string& bytes, const char* mode)
{
    FILE* file = fopen(path.c_str(), mode);
    if (!file)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

void LogRecord(const std::string& logPath, const char* name, const std::string& bytes)
{
    if (logPath.empty())
        return;
    std::string record = std::string(name) + " " + std::to_string(bytes.size()) + "\n" + bytes + "\n";
    if (!WriteBytes(logPath, record, "ab"))
        fprintf(stderr, "client: cannot write the log %s\n", logPath.c_str());
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string joined;
    for (const std::string& word : words)
        joined += word + "\n";
    return joined;
}

// The text that rewrite and append put into the script.
std::string GivenText(const CommandLine& line)
{
    std::string textFile = Control(line, "text-file", "");
    std::string text;
    if (!textFile.empty()) {
        if (!ReadBytes(textFile, &text))
            fprintf(stderr, "client: cannot read %s\n", textFile.c_str());
        return text;
    }
    return Control(line, "text", "");
}

// Does the action to the script; false when it is unknown or failed.
bool Act(const CommandLine& line, const std::string& action, std::string* done)
{
    const std::string& script = line.scriptPath;
    if (action == "leave") {
        *done = "left the script alone";
        return true;
    }
    if (action == "rewrite" || action == "append") {
        std::string text = GivenText(line);
        *done = (action == "rewrite" ? "rewrote the script with " : "appended ") +
                std::to_string(text.size()) + " bytes";
        return WriteBytes(script, text, action == "rewrite" ? "wb" : "ab");
    }
    if (action == "grow") {
        long size = strtol(Control(line, "size", "102401").c_str(), NULL, 10);
        std::string bytes;
        if (!ReadBytes(script, &bytes))
            return false;
        if (size > static_cast<long>(bytes.size()))
            bytes.append(static_cast<size_t>(size) - bytes.size(), ' ');
        *done = "grew the script to " + std::to_string(bytes.size()) + " bytes";
        return WriteBytes(script, bytes, "wb");
    }
    if (action == "delete") {
        *done = "deleted the script";
        return DeleteFileA(script.c_str()) != 0;
    }
    *done = "unknown action " + action;
    return false;
}

// The holder: this program started as
//   sqlplus_standin --holder <milliseconds> <none|read> <event> <path>
// opens the file, sets the event and keeps the file open that long.
int Hold(char** argv)
{
    DWORD share = strcmp(argv[3], "read") == 0 ? FILE_SHARE_READ : 0;
    HANDLE file = CreateFileA(argv[5], GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]);
    if (held) {
        SetEvent(held);
        CloseHandle(held);
    }
    Sleep(strtoul(argv[2], NULL, 10));
    CloseHandle(file);
    return 0;
}

// The path of the file that runs, whatever started it and by which name.
std::string OwnPath()
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, self, sizeof self);
    return std::string(self, length < sizeof self ? length : 0);
}

// Starts a holder on path and returns once it holds the file, or has ended
// without; logs "hold" and "holder".
void StartHolder(const CommandLine& line, const std::string& path, const std::string& logPath)
{
    std::string event = "TamsilHolder" + std::to_string(GetCurrentProcessId());
    HANDLE held = CreateEventA(NULL, TRUE, FALSE, event.c_str());
    std::string command = "\"" + OwnPath() + "\" --holder " +
                          Control(line, "hold-for", "300") + " " + Control(line, "hold-share", "none") +
                          " " + event + " \"" + path + "\"";
    std::vector<char> commandLine(command.begin(), command.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION holder;
    std::string done = "cannot start the holder";
    if (held && CreateProcessA(NULL, commandLine.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                               &holder)) {
        HANDLE ends[2] = {held, holder.hProcess};
        bool holding = WaitForMultipleObjects(2, ends, FALSE, INFINITE) == WAIT_OBJECT_0;
        done = (holding ? "held " : "could not hold ") + path;
        LogRecord(logPath, "holder", std::to_string(holder.dwProcessId));
        CloseHandle(holder.hThread);
        CloseHandle(holder.hProcess);
    }
    if (held)
        CloseHandle(held);
    LogRecord(logPath, "hold", done);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && strcmp(argv[1], "--holder") == 0)
        return Hold(argv);
    const char* raw = GetCommandLineA();
    CommandLine line = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    std::string logPath = Control(line, "log", "");

    LogRecord(logPath, "run", "");
    LogRecord(logPath, "command-line", raw);
    LogRecord(logPath, "program", OwnPath());
    std::string logonScriptPath = line.logon == "/nolog" ? line.scriptPath : "";
    if (line.logon == "/nolog" && line.hasScript) {
        std::string logonScript;
        if (ReadBytes(line.scriptPath, &logonScript)) {
            LogRecord(logPath, "logon-script", logonScript);
            TakeLogonScript(logonScript, &line);
        } else {
            LogRecord(logPath, "logon-script-error", std::to_string(GetLastError()));
            line.hasScript = false;
        }
    }
    if (!line.echo.empty())
        LogRecord(logPath, "echo", line.echo);
    LogRecord(logPath, "logon", line.logon);
    Logon logon = SplitLogon(line.logon);
    if (!line.logon.empty() && line.logon != "/nolog") {
        LogRecord(logPath, "user", logon.user);
        LogRecord(logPath, "password", logon.password);
        LogRecord(logPath, "connect-identifier", logon.connect);
    }
    LogRecord(logPath, "script-path", line.scriptPath);
    LogRecord(logPath, "parameters", Joined(line.parameters));
    char directory[MAX_PATH];
    DWORD directoryLength = GetCurrentDirectoryA(sizeof directory, directory);
    LogRecord(logPath, "directory", std::string(directory, directoryLength < sizeof directory ? directoryLength : 0));

    // The character set the client reads the script in is named by NLS_LANG.
    char nlsLang[32768];
    SetLastError(ERROR_SUCCESS);
    DWORD nlsLangLength = GetEnvironmentVariableA("NLS_LANG", nlsLang, sizeof nlsLang);
    bool hasNlsLang = nlsLangLength > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    std::string nlsLangValue(nlsLang, nlsLangLength < sizeof nlsLang ? nlsLangLength : 0);
    LogRecord(logPath, hasNlsLang ? "nls-lang" : "no-nls-lang", nlsLangValue);

    // Other variables it was given, exactly: read in UTF-16, logged in UTF-8.
    std::string names = Control(line, "variables", "");
    for (size_t at = 0, end; at < names.size(); at = end + 1) {
        end = names.find(';', at);
        end = end == std::string::npos ? names.size() : end;
        std::string name = names.substr(at, end - at);
        std::wstring wideName(name.begin(), name.end());
        static wchar_t value[32768];
        static char text[4 * 32768];
        SetLastError(ERROR_SUCCESS);
        DWORD length = GetEnvironmentVariableW(wideName.c_str(), value, 32768);
        bool has = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
        int size = length < 32768 ? WideCharToMultiByte(CP_UTF8, 0, value, static_cast<int>(length), text,
                                                        sizeof text, NULL, NULL) : 0;
        LogRecord(logPath, (std::string(has ? "variable " : "no-variable ") + name).c_str(),
                  std::string(text, static_cast<size_t>(size)));
    }

    printf("client: command line: %s\n", raw);
    printf("client: NLS_LANG: %s\n", hasNlsLang ? nlsLangValue.c_str() : "(none)");
    // A real client never echoes the password; neither does its stand-in.
    if (line.logon.empty())
        printf("client: log-on: (none)\n");
    else
        printf("client: log-on: user %s, password %s, connect identifier %s\n",
               logon.user.c_str(), logon.password.empty() ? "(none)" : "********",
               logon.connect.c_str());

    int status = 0;
    std::string script;
    if (!line.hasScript) {
        printf("client: no @script on the command line\n");
        LogRecord(logPath, "script-error", "no script");
        status = 1;
    } else if (!ReadBytes(line.scriptPath, &script)) {
        DWORD error = GetLastError();
        printf("client: cannot open the script %s\n", line.scriptPath.c_str());
        LogRecord(logPath, "script-error", std::to_string(error));
        status = 1;
    } else {
        printf("client: running %s (%u bytes)\n", line.scriptPath.c_str(),
               static_cast<unsigned>(script.size()));
        LogRecord(logPath, "script", script);
    }
    fflush(stdout);

    long sleep = strtol(Control(line, "sleep", "0").c_str(), NULL, 10);
    if (sleep > 0)
        Sleep(static_cast<DWORD>(sleep));

    std::string action = Control(line, "action", "leave");
    std::string done;
    if (status == 0 && !Act(line, action, &done)) {
        printf("client: %s failed\n", action.c_str());
        status = 1;
    }
    if (status == 0)
        printf("client: %s\n", done.c_str());
    LogRecord(logPath, "action", done);
    std::string hold = Control(line, "hold", "");
    if (!hold.empty())
        StartHolder(line, hold == "logon-script" ? logonScriptPath : line.scriptPath, logPath);

    status = static_cast<int>(strtoul(Control(line, "exit", std::to_string(status).c_str()).c_str(), NULL, 0));
    LogRecord(logPath, "end", "");
    fflush(stdout);
    return status;
}
