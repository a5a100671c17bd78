// Every way a run can stop: the exact message the user sees, what is kept,
// and that a script that is not whole never reaches the client. Failures the
// platform will not produce on demand are brought about by pointing the
// plug-in's import of the failing call at a stand-in that fails.
#include "tests/wine/run_fixture.h"

#include "tests/wine/host_process.h"
#include "tools/common/editor_exceptions.h"

using namespace run_test;

namespace {

const char CANNOT_START[] = "RUN : %s\nERROR: %d\nMSG:%s\n";
const char CANNOT_CREATE[] = "Cannot create a script file in %s\nERROR: %d\nMSG:%s\n";
const char CANNOT_WRITE[] = "Cannot write the script file %s\nERROR: %d\nMSG:%s\n";
const char CANNOT_READ_SETTINGS[] = "Cannot read the settings file %s\nERROR: %d\nMSG:%s\n";
const char MARKED[] = "The settings file %s begins with a UTF-8 byte-order mark, which Windows does not "
                      "read: the settings of its first section would be ignored.\nSave it without the "
                      "mark (as ANSI).\n";
const char UNREAD_ENCODING[] = "The settings file %s is saved as %s, which Windows does not read: every setting "
                               "would take its default.\nSave it as ANSI or as Unicode (UTF-16 little-endian).\n";
const char SECOND_MARK[] = "The settings file %s holds a byte-order mark before the name of its first section, which "
                           "Windows reads as part of the name: the settings of that section would be ignored.\nSave "
                           "it without that mark.\n";
const char UNHELD[] = "The settings file %s holds, in %s, characters that the system code page cannot hold: Windows "
                      "would read them as other characters.\nUse characters of the system code page there, or a "
                      "folder's short name (dir /x shows it).\n";

// The script files the plug-in opened, and which of the file calls fail:
// opening fails only for paths that start with FailOpenOf.
std::vector<std::string> OpenedScripts;
// The log-on scripts still there under each box a run showed.
std::string LogonScriptFolder;
std::vector<size_t> LogonScriptsUnderBoxes;
void CountLogonScripts() { LogonScriptsUnderBoxes.push_back(FilesIn(LogonScriptFolder, "lg*").size()); }
std::string FailOpenOf;
DWORD FailOpenWith;
DWORD FailWriteWith;
DWORD FailReadWith;

HANDLE WINAPI OpenScript(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD flags, HANDLE templateFile)
{
    OpenedScripts.push_back(path);
    if (FailOpenWith && std::string(path).compare(0, FailOpenOf.size(), FailOpenOf) == 0) {
        SetLastError(FailOpenWith);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path, access, share, security, disposition, flags, templateFile);
}

BOOL WINAPI WriteScript(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED overlapped)
{
    if (FailWriteWith) {
        *written = 0;
        SetLastError(FailWriteWith);
        return FALSE;
    }
    return WriteFile(file, bytes, count, written, overlapped);
}

BOOL WINAPI ReadScript(HANDLE file, LPVOID bytes, DWORD count, LPDWORD read, LPOVERLAPPED overlapped)
{
    // Only the script's reads: the settings file's would stop the run first.
    if (FailReadWith && !OpenedScripts.empty()) {
        *read = 0;
        SetLastError(FailReadWith);
        return FALSE;
    }
    return ReadFile(file, bytes, count, read, overlapped);
}

// As on a Windows without English message texts: only language 0 has one.
// The documented answer, or that of a Windows with language packs.
DWORD NoEnglishError;
DWORD WINAPI NoEnglishText(DWORD, LPCVOID, DWORD, DWORD language, LPSTR buffer, DWORD, va_list*)
{
    SetLastError(NoEnglishError);
    *reinterpret_cast<void**>(buffer) = language ? NULL : memcpy(LocalAlloc(LMEM_FIXED, 6), "Datei", 6);
    return language ? 0 : 5;
}

DWORD WINAPI FailedWait(HANDLE, DWORD)
{
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
}

// The conversion as it may go on Windows for a first byte of code page 932 followed by a byte with which it makes
// no character ("\x81&"): the first byte alone (here as "?"), the second on its own. Wine takes the two as one.
int WINAPI SplitInvalidPair(UINT codePage, DWORD flags, LPCCH bytes, int count, LPWSTR wide, int capacity)
{
    std::string split(bytes, count < 0 ? strlen(bytes) + 1 : static_cast<size_t>(count));
    std::replace(split.begin(), split.end(), '\x81', '?');
    return MultiByteToWideChar(codePage, flags, split.data(), static_cast<int>(split.size()), wide, capacity);
}

// An exception raised while the client runs and the log-on script is open.
DWORD WINAPI WaitThenRaise(HANDLE client, DWORD time)
{
    WaitForSingleObject(client, time);
    RaiseEditorException();
    return WAIT_FAILED;
}

// A run's client starts only once another editor (the editor stand-in, in
// a process of its own, whose editor gives no text) has run and so swept
// the temporary folder, the run's log-on script aged past the sweep's limit.
std::string SweptFolder, SecondEditor;
BOOL WINAPI StartAfterAnotherSweep(LPCSTR program, LPSTR line, LPSECURITY_ATTRIBUTES process,
                                   LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                   LPCSTR directory, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION information)
{
    BOOL started = CreateProcessA(program, line, process, thread, inherit, flags | CREATE_SUSPENDED,
                                  environment, directory, startup, information);
    ULARGE_INTEGER twoMinutesAgo;
    GetSystemTimeAsFileTime(reinterpret_cast<FILETIME*>(&twoMinutesAgo));
    twoMinutesAgo.QuadPart -= 1200000000ULL;
    for (const std::string& name : FilesIn(SweptFolder, "lg*.tmp")) {
        HANDLE file = CreateFileA((SweptFolder + "\\" + name).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                  NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_TRUE(SetFileTime(file, NULL, NULL, reinterpret_cast<FILETIME*>(&twoMinutesAgo)));
        CloseHandle(file);
    }
    HostProcess editor;
    EXPECT_TRUE(editor.Start(SecondEditor + " --no-get-text --call", SweptFolder) && editor.Wait() == 0);
    ResumeThread(information->hThread);
    return started;
}

class RunFailure : public RunTest
{
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        if (HasFatalFailure())
            return;
        OpenedScripts.clear();
        FailOpenOf.clear();
        FailOpenWith = FailWriteWith = FailReadWith = 0;
        EditorText = "delete from orders where id = 1;\r\n";
        SetHostText(HOST_USER, HOST_USER_WIDTH, "APPUSER");
        SetHostText(HOST_DATABASE, HOST_DATABASE_WIDTH, "ORCL");
    }

    void FailFileCalls()
    {
        ASSERT_TRUE(PatchImport(module, "kernel32.dll", "CreateFileA", reinterpret_cast<void*>(&OpenScript)));
        ASSERT_TRUE(PatchImport(module, "kernel32.dll", "WriteFile", reinterpret_cast<void*>(&WriteScript)));
        ASSERT_TRUE(PatchImport(module, "kernel32.dll", "ReadFile", reinterpret_cast<void*>(&ReadScript)));
    }
};

} // namespace

TEST_F(RunFailure, AClientThatCannotStartIsReportedWithThePasswordMasked)
{
    // The password also names the work folder: only the log-on's password
    // is masked, not the same text elsewhere on the line.
    workFolder = folder + "\\tiger";
    ASSERT_TRUE(CreateDirectoryA(workFolder.c_str(), NULL));
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "tiger");
    client = folder + "\\no-such-client-program";
    Settings("DeleteTemp=1\r\n");
    OnCall();

    ASSERT_EQ(1u, StartRequests.size());
    EXPECT_FALSE(StartRequests[0].started);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), StartRequests[0].error);
    const std::string& line = StartRequests[0].line;
    ASSERT_EQ(0u, line.find(client + " APPUSER/tiger@ORCL @" + workFolder + "\\se"));
    std::string shown = client + " APPUSER/********@ORCL" + line.substr(line.find(" @"));
    ExpectOneRunError(FormatMessageText(CANNOT_START, shown, ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(SetTexts().empty());
    EXPECT_TRUE(ScriptsLeft().empty()) << "DeleteTemp still applies";

    // Whether the whole word stands in quotes follows the real password.
    ShownMessages.clear();
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "two words");
    OnCall();
    ASSERT_EQ(2u, StartRequests.size());
    const std::string& quoted = StartRequests[1].line;
    ExpectOneRunError(FormatMessageText(CANNOT_START, client + R"( "APPUSER/\"********\"@ORCL")" +
                                        quoted.substr(quoted.find(" @")), ERROR_FILE_NOT_FOUND));
}

TEST_F(RunFailure, WithoutAPasswordTheLogOnIsShownAsComposed)
{
    client = "no-such-client-program";
    Settings("Options=-S\r\n");
    OnCall();
    std::vector<std::string> left = ScriptsLeft();
    ASSERT_EQ(1u, left.size());
    std::string script = workFolder + "\\" + left[0];
    ExpectOneRunError(FormatMessageText(
        CANNOT_START, "no-such-client-program APPUSER@ORCL @" + script + " -S", ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(EditorText, ReadWholeFile(script));
    EXPECT_TRUE(SetTexts().empty());

    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "FormatMessageA", reinterpret_cast<void*>(&NoEnglishText)));
    for (DWORD error : {ERROR_RESOURCE_LANG_NOT_FOUND, ERROR_MUI_FILE_NOT_FOUND}) {
        NoEnglishError = error;
        ShownMessages.clear();
        OnCall();
        EXPECT_EQ("\nERROR: 2\nMSG:Datei\n", ShownMessages.at(0).text.substr(ShownMessages[0].text.find('\n')));
    }
}

TEST_F(RunFailure, AMissingWorkingDirectoryStopsTheRunBeforeTheEditorIsAsked)
{
    workFolder = folder + "\\missing";
    Settings();
    OnCall();
    // The platform's own answer for that directory.
    char name[MAX_PATH];
    ASSERT_EQ(0u, GetTempFileNameA(workFolder.c_str(), "se", 0, name));
    DWORD error = GetLastError();
    ExpectOneRunError(FormatMessageText(CANNOT_CREATE, workFolder, error));
    EXPECT_TRUE(HostCalls.empty());
    EXPECT_TRUE(StartRequests.empty());
}

// The platform makes a name in a folder of at most MAX_PATH - 14 bytes; a
// longer one is refused before the platform is asked, which could write past
// the name's buffer, and nothing is left behind.
TEST_F(RunFailure, AFolderTooLongForAUniqueNameIsRefused)
{
    std::string base = workFolder;
    for (size_t length : {246u, 247u, 259u}) {
        SCOPED_TRACE(length);
        ShownMessages.clear();
        workFolder = base;
        while (workFolder.size() < length) {
            size_t part = std::min<size_t>(60, length - workFolder.size() - 1);
            workFolder += "\\" + std::string(part, 'w');
            CreateDirectoryA(workFolder.c_str(), NULL);   // as deep as the platform allows
        }
        ASSERT_EQ(length, workFolder.size());
        Settings("DeleteTemp=1\r\n");
        OnCall();
        if (length == 246) {
            EXPECT_TRUE(ShownMessages.empty());
            EXPECT_EQ(1u, ClientRuns().size());
        } else {
            ExpectOneRunError(FormatMessageText(CANNOT_CREATE, workFolder, ERROR_BUFFER_OVERFLOW));
        }
        EXPECT_TRUE(ScriptsLeft().empty());
    }
    EXPECT_EQ(1u, StartRequests.size());
    EXPECT_EQ(std::vector<std::string>({"GetEditor", "GetEditorText", "SetEditorText"}), EntriesCalled());
}

TEST_F(RunFailure, AScriptThatCannotBeOpenedIsDeletedAndNeverRun)
{
    FailFileCalls();
    FailOpenWith = ERROR_SHARING_VIOLATION;
    Settings();
    OnCall();
    ASSERT_LT(5u, OpenedScripts.size()) << "retried while held";
    ExpectOneRunError(FormatMessageText(CANNOT_WRITE, OpenedScripts.back(), ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(HostCalls.empty()) << "the editor is asked only once the file is open";
    EXPECT_TRUE(StartRequests.empty());
    EXPECT_TRUE(ScriptsLeft().empty());
}

TEST_F(RunFailure, AScriptThatCannotBeWrittenIsDeletedAndNeverRun)
{
    FailFileCalls();
    FailWriteWith = ERROR_DISK_FULL;
    Settings();
    OnCall();
    ASSERT_EQ(1u, OpenedScripts.size());
    ExpectOneRunError(FormatMessageText(CANNOT_WRITE, OpenedScripts[0], ERROR_DISK_FULL));
    EXPECT_EQ(std::vector<std::string>({"GetEditor", "GetEditorText"}), EntriesCalled());
    EXPECT_TRUE(StartRequests.empty());
    EXPECT_TRUE(ScriptsLeft().empty());
}

TEST_F(RunFailure, AScriptTheClientDeletedLeavesTheEditorUnchanged)
{
    Settings("DeleteTemp=1\r\n");
    SetClientControl("TAMSIL_CLIENT_ACTION", "delete");
    OnCall();
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size());
    ExpectOneRunError(FormatMessageText(CANNOT_READ_BACK, runs[0]["script-path"], ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(SetTexts().empty());
}

TEST_F(RunFailure, AScriptThatCannotBeReadBackIsKeptEvenWhenDeleteTempIsSet)
{
    FailFileCalls();
    FailReadWith = ERROR_LOCK_VIOLATION;
    Settings("DeleteTemp=1\r\n");
    OnCall();
    ASSERT_EQ(2u, OpenedScripts.size());
    EXPECT_EQ(OpenedScripts[0], OpenedScripts[1]);
    ExpectOneRunError(FormatMessageText(CANNOT_READ_BACK, OpenedScripts[1], ERROR_LOCK_VIOLATION));
    EXPECT_EQ(1u, ClientRuns().size());
    EXPECT_TRUE(SetTexts().empty());
    EXPECT_EQ(EditorText, ReadWholeFile(OpenedScripts[1]));
}

TEST_F(RunFailure, AHostWithoutGetEditorTextGetsNothingDoneAndNoFileLeft)
{
    SetHostPointer(HOST_GET_EDITOR_TEXT, static_cast<GetEditorTextFunction>(NULL));
    Settings("DeleteTemp=0\r\n");
    OnCall();
    EXPECT_TRUE(ShownMessages.empty());
    EXPECT_TRUE(HostCalls.empty());
    EXPECT_TRUE(StartRequests.empty());
    EXPECT_TRUE(ScriptsLeft().empty());
}

// A run that keeps the password off the command line: the log-on script
// never outlives a failed start, a password it cannot carry stops the run
// before anything is made, a log-on script that cannot be written stops it
// with the script deleted, and a failed wait still deletes the log-on script.
TEST_F(RunFailure, HidePasswordLeavesNoPasswordBehindWhenTheRunFails)
{
    std::string temporary = OwnTemporaryFolder(), standIn = client;
    client = folder + "\\no-such-client-program";
    Settings("HidePassword=1\r\n");

    // "&" in any line of the log-on script: the first part that holds it.
    std::string work = workFolder;
    const struct { const char* password; std::string folder, options, part; } refused[] = {
        {"ti&ger", work, "region=EMEA&year=2026", "password"},
        {"tiger", folder + "\\R&D", "region=EMEA&year=2026", "Options setting"},
        {"tiger", folder + "\\R&D", "", "script folder"},
    };
    for (const auto& c : refused) {
        ShownMessages.clear();
        SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, c.password);
        CreateDirectoryA((workFolder = c.folder).c_str(), NULL);
        Settings("HidePassword=1\r\nOptions=" + c.options + "\r\n");
        OnCall();
        ExpectOneRunError("The " + c.part + " holds \"&\", which SQL*Plus reads in a script as a "
                          "substitution variable.\nClear HidePassword in the settings file to pass "
                          "the password on the command line.\n");
        EXPECT_TRUE(HostCalls.empty() && ScriptsLeft().empty() && FilesIn(temporary).empty());
    }
    workFolder = work;
    Settings("HidePassword=1\r\n");
    // No box shows while the password is on disk.
    LogonScriptFolder = temporary;
    WhileMessageShown = CountLogonScripts;

    ShownMessages.clear();
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "tiger");
    OnCall();
    ASSERT_EQ(1u, StartRequests.size());
    const std::string& line = StartRequests[0].line;
    EXPECT_EQ(0u, line.find(client + " /nolog @" + temporary + "\\lg"));
    ExpectOneRunError(FormatMessageText(CANNOT_START, line, ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(FilesIn(temporary).empty());
    EXPECT_EQ(1u, ScriptsLeft().size()) << "kept, as DeleteTemp is not set";

    ShownMessages.clear();
    FailFileCalls();
    FailOpenOf = temporary;
    FailOpenWith = ERROR_ACCESS_DENIED;
    OnCall();
    ExpectOneRunError(FormatMessageText(CANNOT_WRITE, OpenedScripts.back(), ERROR_ACCESS_DENIED));
    EXPECT_EQ(0u, OpenedScripts.back().find(temporary + "\\lg"));
    EXPECT_EQ(1u, StartRequests.size());
    EXPECT_TRUE(FilesIn(temporary).empty());
    EXPECT_EQ(1u, ScriptsLeft().size());

    // A wait that fails: the client may still be at work on the script,
    // which is kept whatever DeleteTemp says, and nothing is handed back.
    ShownMessages.clear();
    FailOpenWith = 0;
    client = standIn;
    Settings("DeleteTemp=1\r\nHidePassword=1\r\n");
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "WaitForSingleObject", reinterpret_cast<void*>(&FailedWait)));
    OnCall();
    ExpectOneRunError("Cannot wait for the client to end\nERROR: 6\nMSG:" + SystemText(6) + "\n");
    EXPECT_TRUE(SetTexts().empty() && FilesIn(temporary).empty());
    EXPECT_EQ(2u, ScriptsLeft().size());
    EXPECT_EQ(std::vector<size_t>(3, 0), LogonScriptsUnderBoxes);
}


// A batch-file client's line as it would be started, holding a character the command interpreter reads as its
// own (the first is named), in the log-on, the folder the file was found in, the script's path or the options:
// the run stops before anything is made. With HidePassword the log-on and the options are not on the line; a
// client that is no batch file goes whatever its line holds. Under code page 932 the line is read as the
// platform hands it to the interpreter, in UTF-16: a byte that makes no character with the first byte before
// it, "&" here, is refused; a character whose second byte is "^" is no "^", and reaches the client whole.
TEST_F(RunFailure, ABatchClientWhoseLineHoldsWhatTheInterpreterReadsEvenInDoubleByteIsRefused)
{
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "MultiByteToWideChar", reinterpret_cast<void*>(&SplitInvalidPair)));
    std::string standIn = client, odd = folder + "\\R&D^1", work = workFolder;
    CreateDirectoryA(odd.c_str(), NULL);
    WriteWholeFile(folder + "\\sqlplus.cmd", "@\"" + standIn + "\" %*\r\n");
    WriteWholeFile(odd + "\\sqlplus2.cmd", "@\"" + standIn + "\" %*\r\n");
    // The client, the password, the options (and for one row HidePassword), the character refused; the work
    // folder, when not the usual one.
    const struct { std::string value, password, options; char refused; std::string work{}; } rows[] = {
        {"sqlplus.cmd", "%PATH%", "", '%'}, {"sqlplus2.cmd", "tiger", "", '&'}, {"sqlplus.cmd", "tiger", "", '&', odd},
        {"sqlplus.cmd", "ti^ger", "", '^'}, {"sqlplus.cmd", "a|b", "<in", '|'}, {"sqlplus.cmd", "tiger", ">out", '>'},
        {"sqlplus.cmd", "tiger", "<in >out", '<'}, {"sqlplus.cmd", "\x81&x", "", '&'}, {"sqlplus.cmd", "\x83\x5e", "", '\0'},
        {"sqlplus.cmd", "%PATH%|<>^", "|\r\nHidePassword=1", '\0'}, {standIn, "^%PATH%|<>", "|", '\0', odd}};
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        ShownMessages.clear();
        SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, row.password);
        client = row.value;
        workFolder = row.work.empty() ? work : row.work;
        Settings("DeleteTemp=1\r\nOptions=" + row.options + "\r\n", "[Environment]\r\nPATH=" + folder + ";" + odd + "\r\n");
        OnCall();
        if (row.refused)
            ExpectOneRunError("The client " + row.value + " is a batch file, and its command line holds \"" +
                              row.refused + "\", which the command interpreter that runs it would read as its "
                              "own.\nName SQL*Plus itself in SqlPlus.\n");
        EXPECT_EQ(row.refused ? "" : row.password, ClientRuns().empty() ? "" : ClientRuns().back()["password"]);
        EXPECT_TRUE(ScriptsLeft().empty() && HostCalls.empty() == (row.refused != '\0'));
    }
}

// A run abandoned while the client runs (an editor's exception caught around
// OnCall) deletes its log-on script, open then, and shows nothing; the next
// run, with a box under which both commands do nothing, goes as usual. A run
// abandoned in SetEditorText, once its client ended with a code to show,
// shows nothing, then or in the next run; and that run, whose editor resumes
// after an exception in its GetEditorText, goes as if none had been raised:
// the client runs, the text comes back, no log-on script is left.
TEST_F(RunFailure, ARunAbandonedWhileTheClientRunsDeletesItsLogOnScript)
{
    std::string temporary = OwnTemporaryFolder();
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "tiger");
    Settings("HidePassword=1\r\nShowExitCode=1\r\n");
    void* wait = PatchImport(module, "kernel32.dll", "WaitForSingleObject", reinterpret_cast<void*>(&WaitThenRaise));
    EXPECT_TRUE(CallCatchingExceptions(OnCall));
    PatchImport(module, "kernel32.dll", "WaitForSingleObject", wait);
    EXPECT_EQ("APPUSER/tiger@ORCL", ClientRuns().at(0)["logon"]);
    EXPECT_TRUE(FilesIn(temporary).empty() && ShownMessages.empty());

    HostCalls.clear();
    WhileMessageShown = PickBothCommandsAgain;
    SetClientControl("TAMSIL_CLIENT_EXIT", "3");
    OnCall();
    EXPECT_EQ((std::vector<std::string>{"GetEditor", "GetEditorText", "SetEditorText", "box"}), EntriesCalled());
    EXPECT_EQ(2u, ClientRuns().size());

    SetHostPointer(HOST_SET_EDITOR_TEXT, +[](int32_t, const char*) -> int32_t { RaiseEditorException(); return 0; });
    EXPECT_TRUE(CallCatchingExceptions(OnCall));
    SetHostPointer(HOST_SET_EDITOR_TEXT, &FakeSetEditorText);
    SetHostPointer(HOST_GET_EDITOR_TEXT,
                   +[](int32_t id, char* text, int32_t size) { RaiseEditorException(true); FakeGetEditorText(id, text, size); });
    SetClientControl("TAMSIL_CLIENT_EXIT", "0");
    WhileMessageShown = NULL;   // a box here would start yet another run under it
    EXPECT_FALSE(CallCatchingExceptions(OnCall));
    EXPECT_EQ(1u, ShownMessages.size()) << ShownMessages.back().text;
    EXPECT_EQ((std::vector<std::string>{EditorText, EditorText}), SetTexts());
    EXPECT_TRUE(FilesIn(temporary).empty());
}

// A log-on script left by a run that never ended is deleted by the next run;
// no other file is, nor one written within the last minute (30 s ago) or
// that someone has open: not one whose short name (LG_SES~1.TMP) matches,
// nor an ordinary script that connects first.
TEST_F(RunFailure, ALogOnScriptLeftByARunThatNeverEndedIsDeletedByTheNextRun)
{
    std::string temporary = OwnTemporaryFolder(), logon = "connect APPUSER/tiger@ORCL\r\n@x.tmp \r\n";
    // Each file's name, bytes, and whether it was last written two minutes ago (else 30 s ago).
    const struct { const char* name; std::string bytes; bool old; } files[] = {
        {"lg1.tmp", logon, true}, {"LGA2.TMP", "set echo off\r\n" + logon, true}, {"lg3.tmp", logon, false},
        {"lg4.tmp", logon, true}, {"lg5.tmp", "select 1 from dual;\r\n", true}, {"se6.tmp", logon, true},
        {"lg_session_backup.tmpl", logon, true}, {"lg12345.tmp", logon, true},
        {"lg1F.tmp", "connect APPUSER/tiger@ORCL\r\nselect 1 from dual;\r\n", true},
    };
    ULARGE_INTEGER twoMinutesAgo;
    GetSystemTimeAsFileTime(reinterpret_cast<FILETIME*>(&twoMinutesAgo));
    twoMinutesAgo.QuadPart -= 1200000000ULL;
    ULONGLONG halfAMinuteAgo = twoMinutesAgo.QuadPart + 900000000ULL;
    for (const auto& file : files) {
        WriteWholeFile(temporary + "\\" + file.name, file.bytes);
        HANDLE written = CreateFileA((temporary + "\\" + file.name).c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL,
                                     OPEN_EXISTING, 0, NULL);
        EXPECT_TRUE(SetFileTime(written, NULL, NULL, reinterpret_cast<FILETIME*>(file.old ? &twoMinutesAgo.QuadPart : &halfAMinuteAgo)));
        CloseHandle(written);
    }
    HANDLE held = CreateFileA((temporary + "\\lg4.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    Settings();
    OnCall();
    CloseHandle(held);
    EXPECT_TRUE(ShownMessages.empty());
    EXPECT_EQ((std::vector<std::string>{"lg12345.tmp", "lg1F.tmp", "lg3.tmp", "lg4.tmp", "lg5.tmp",
                                        "lg_session_backup.tmpl", "se6.tmp"}), FilesIn(temporary));
}

// The client, started late, still reads its log-on script and connects.
TEST_F(RunFailure, AnotherEditorsSweepLeavesTheLogOnScriptOfALiveRun)
{
    SweptFolder = OwnTemporaryFolder();
    SecondEditor = "\"" + folder + "\\Tamsil.dll\"";
    ASSERT_TRUE(PatchImport(module, "kernel32.dll", "CreateProcessA", reinterpret_cast<void*>(&StartAfterAnotherSweep)));
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "tiger");
    Settings("HidePassword=1\r\n");
    OnCall();
    std::vector<ClientRun> runs = ClientRuns();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ("APPUSER/tiger@ORCL", runs[0]["logon"]);
    EXPECT_TRUE(ShownMessages.empty() && FilesIn(SweptFolder, "lg*").empty());
}

// A settings file that is there but cannot be read whole, or would be read
// as other than it is, would give the defaults or other values, which may
// put the password back on the command line or give it to another program:
// the run stops before anything is made, and the dialog does not open on
// them. First the file is held unshared, then it begins with a UTF-8 mark,
// then it is UTF-16 big-endian (which Wine reads, Windows not), UTF-32
// little- and big-endian, UTF-16 big-endian without a mark whose first line
// is a comment in Japanese, a file whose one NUL is the last of the 4 KiB
// the plug-in reads of it, a second mark before the first section (on its
// first line, or on the section's after a line of a file joined on), then
// UTF-16 little-endian with characters code page 1252 lacks: in SqlPlus (and
// in a later value), past the first 128 characters of ConnectString, in a
// flag, in a value of [Environment], and in a name there.
// Saved as Unicode at last, it is read as usual.
TEST_F(RunFailure, ASettingsFileThatCannotBeReadAsWrittenStopsTheRunAndTheDialog)
{
    SetHostPointer(HOST_MAIN_WINDOW, GetDesktopWindow());
    SetHostText(HOST_PASSWORD, HOST_PASSWORD_WIDTH, "tiger");
    Settings("HidePassword=1\r\n");
    std::string plain = ReadSettingsFile(), utf32("\xFF\xFE\0\0", 4), utf32BigEndian("\0\0\xFE\xFF", 4);
    for (char c : plain)
        utf32 += c + std::string(3, '\0'), utf32BigEndian += std::string(3, '\0') + c;
    std::string japanese = "\xEF\xBC\x9B\xE8\xA8\xAD\xE5\xAE\x9A\r\n" + plain,
                lodz = "C:\\\xC5\x81\xC3\xB3" "d\xC5\xBA\\sqlplus.exe", inLodz = plain;
    inLodz.replace(plain.find(client), client.size(), lodz);
    auto text = [&](const char* format, const char* part) {
        char formatted[1024];
        return std::string(formatted, snprintf(formatted, sizeof formatted, format, SettingsPath().c_str(), part));
    };
    auto unicode = [](const std::string& utf8) { return "\xFF\xFE" + Utf16Bytes(utf8); };
    const struct { std::string file, text; } rows[] = {
        {plain, FormatMessageText(CANNOT_READ_SETTINGS, SettingsPath(), ERROR_SHARING_VIOLATION)},
        {"\xEF\xBB\xBF \t" + plain, text(MARKED, "")},
        {"\xFE\xFF" + Utf16Bytes(plain, true), text(UNREAD_ENCODING, "UTF-16 big-endian")},
        {utf32, text(UNREAD_ENCODING, "UTF-32")}, {utf32BigEndian, text(UNREAD_ENCODING, "UTF-32")},
        {Utf16Bytes(japanese, true), text(UNREAD_ENCODING, "UTF-16 without a byte-order mark")},
        {std::string(4095, ';') + '\0', text(UNREAD_ENCODING, "UTF-16 without a byte-order mark")},
        {"\xFF\xFE" + unicode(plain), text(SECOND_MARK, "")}, {"\xEF\xBB\xBF\xEF\xBB\xBF" + plain, text(SECOND_MARK, "")},
        {unicode("; joined\r\n\xEF\xBB\xBF" + plain), text(SECOND_MARK, "")},
        {unicode(inLodz + "[Environment]\r\nTNS_ADMIN=" + lodz + "\r\n"), text(UNHELD, "[Path] SqlPlus")},
        {unicode("[Settings]\r\nConnectString=" + std::string(200, 'x') + "\xC5\x81\r\n"), text(UNHELD, "[Settings] ConnectString")},
        {unicode("[Settings]\r\nHidePassword=\xC5\x81\r\n"), text(UNHELD, "[Settings] HidePassword")},
        {unicode(plain + "[Environment]\r\nTNS_ADMIN=C:\\\r\nPATH=" + lodz + "\r\n"), text(UNHELD, "[Environment] PATH")},
        {unicode(plain + "[Environment]\r\n\xC5\x81=C:\\\r\n"), text(UNHELD, "[Environment]")},
    };
    HANDLE holder = CreateFileA(SettingsPath().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    for (const auto& row : rows) {
        if (holder == INVALID_HANDLE_VALUE)
            WriteSettingsFile(row.file);
        ShownMessages.clear();
        OnCall();
        OnSettings();
        CloseHandle(holder);
        holder = INVALID_HANDLE_VALUE;
        ASSERT_EQ(2u, ShownMessages.size());
        EXPECT_EQ(row.text, ShownMessages[0].text);
        EXPECT_EQ("Execute Error!", ShownMessages[0].caption);
        EXPECT_EQ(row.text, ShownMessages[1].text);
        EXPECT_EQ("Tamsil plug-in", ShownMessages[1].caption);
        EXPECT_TRUE(ShownMessages[0].owner == NULL && ShownMessages[1].owner == GetDesktopWindow());
        EXPECT_EQ(0x10u, ShownMessages[0].style | ShownMessages[1].style);
        EXPECT_EQ(row.file, ReadSettingsFile());
    }
    EXPECT_TRUE(HostCalls.empty() && StartRequests.empty() && ScriptsLeft().empty());
    // Saved at last as Unicode (UTF-16 little-endian after its mark), it is read: the password stays off the line.
    WriteSettingsFile(unicode(plain));
    OnCall();
    EXPECT_TRUE(ClientRuns().size() == 1 && StartRequests.at(0).line.find("tiger") == std::string::npos);
}
