// A stand-in for the editor that hosts the plug-in: loads a plug-in DLL by
// path, hands it a host record filled from the options, installs it and then
// picks its commands, printing a trace of every host entry it is called on.
//
//   editor_host <plugin.dll> [options] [--call]... [--settings]
//     --version M.m.b          host version (default 1.51.22)
//     --no-version-check N     the record's NoVersionCheck field
//     --user U --password P --database D
//     --text-file F            the editor's text (default empty)
//     --editor-id N            identifier GetEditor gives (default 1)
//     --no-get-editor | --no-get-text | --no-set-text   leave an entry null
//     --unterminated-text      GetEditorText fills the whole buffer, no NUL
//     --password-in-text P     GetEditorText puts P into the record's
//                              password before it answers, as an editor
//                              whose connection changes meanwhile
//     --raise-once             GetEditorText raises an exception the first
//                              time, caught around the command's entry
//     --jump-once              the same, caught around the loop of commands,
//                              which resumes without the platform's unwind,
//                              leaving the thread's chain as it was then;
//                              every command is then picked from one depth
//     --jump-once-restoring-chain   the same, the loop's registration put
//                              back at the chain's head where it resumes;
//                              commands are picked from deeper, as usual
//     --raise-in-window        the next --settings is picked with a message
//                              queued for the main window, whose handler
//                              raises an exception, caught likewise (then
//                              GetEditorText raises none)
//     --raise-on-disable       the main window raises such an exception the
//                              first time it is disabled (at WM_ENABLE),
//                              which the platform sends: it is caught in
//                              the window, then handled likewise
//     --box-in-window          the next --settings is picked with a message
//                              queued for the main window, whose handler
//                              shows a box of the editor's own, then says
//                              whether the main window is still disabled
//     --call-deeper            pick the plug-in's command from 4 KiB deeper
//                              than the others (may repeat)
//     --raise-own-exception    the editor's own code, in its loop, writes
//                              over the stack below it, where its commands
//                              ran, then raises an exception of its own,
//                              caught as the commands' are (may repeat)
//     --call-on-ending-worker  pick the plug-in's command on a worker thread,
//                              whose GetEditorText ends that thread; the
//                              editor waits for it to end (may repeat)
//     --unload                 unload the plug-in there; no command is
//                              picked after it
//     --data-size N            PL_DATA's Size field (default 264)
//     --call                   pick the plug-in's command (may repeat)
//     --settings               open the plug-in's settings over a main window
//     --out-text F             write the editor's final text to F
//     --print-message-boxes    print the plug-in's message boxes and answer
//                              OK, for a run without a display
//     --print-variable NAME    print the host's own value of NAME at that
//                              point among the commands (may repeat)
//     --wait-for-main-window   at that point among the commands, handle
//                              messages until the main window takes input
//                              again (a dialog left on it is closed)
//   The plug-in's beeps are printed, not sounded.
#include <windows.h>

#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/bounded_text.h"
#include "plugin/host_record.h"
#include "tools/common/editor_exceptions.h"
#include "tools/common/import_patch.h"

typedef int32_t(__cdecl* InstallEntry)(PL_DATA*, PL_HOSTINFO*);
typedef void(__cdecl* CommandEntry)(void);

// Larger than the plug-in's buffer, so a text it cuts can be told apart.
static char EditorText[262144];
static size_t EditorTextLength;
static int32_t EditorIdentifier = 1;
static bool UnterminatedText;
static bool RaiseOnce;
static bool ResumeLoop;
static bool RestoreChain;
static bool RaiseInWindow;
static bool EndThreadInText;
static unsigned char Record[512];
static const char* PasswordInText;
static bool RaiseOnDisable;
static bool BoxInWindow;

static void __cdecl HostGetEditor(int32_t* editorId)
{
    *editorId = EditorIdentifier;
    printf("host: GetEditor -> %d\n", static_cast<int>(EditorIdentifier));
    fflush(stdout);
}

static void __cdecl HostGetEditorText(int32_t editorId, char* text, int32_t size)
{
    if (EndThreadInText) {
        EndThreadInText = false;
        printf("host: GetEditorText ends its thread\n");
        fflush(stdout);
        ExitThread(0);
    }
    if (PasswordInText) {
        memset(Record + HOST_PASSWORD, 0, HOST_PASSWORD_WIDTH);
        memcpy(Record + HOST_PASSWORD, PasswordInText, strnlen(PasswordInText, HOST_PASSWORD_WIDTH));
        printf("host: GetEditorText changes the password\n");
    }
    if (RaiseOnce) {
        RaiseOnce = false;
        printf("host: GetEditorText raises an exception\n");
        fflush(stdout);
        RaiseEditorException(ResumeLoop);
    }
    size_t capacity = size > 0 ? static_cast<size_t>(size) : 0;
    size_t length = EditorTextLength;
    if (UnterminatedText) {
        length = capacity;
        memset(text, 'x', length);
    } else if (capacity > 0) {
        if (length > capacity - 1)
            length = capacity - 1;
        memcpy(text, EditorText, length);
        text[length] = '\0';
    }
    printf("host: GetEditorText(editor %d, size %d) -> %u bytes%s\n", static_cast<int>(editorId),
           static_cast<int>(size), static_cast<unsigned>(length),
           UnterminatedText ? ", no NUL" : "");
    fflush(stdout);
}

static int32_t __cdecl HostSetEditorText(int32_t editorId, const char* text)
{
    EditorTextLength = strnlen(text, sizeof EditorText - 1);
    memcpy(EditorText, text, EditorTextLength);
    EditorText[EditorTextLength] = '\0';
    printf("host: SetEditorText(editor %d) <- %u bytes\n", static_cast<int>(editorId),
           static_cast<unsigned>(EditorTextLength));
    fflush(stdout);
    return 1;
}

static void PutInteger(unsigned char* record, size_t offset, int32_t value)
{
    memcpy(record + offset, &value, sizeof value);
}

template <typename Pointer>
static void PutPointer(unsigned char* record, size_t offset, Pointer value)
{
    memcpy(record + offset, &value, sizeof value);
}

static void PutText(unsigned char* record, size_t offset, size_t width, const char* text)
{
    // A field is filled within its width; a text as long as the width is
    // left without a NUL, as a careless host might.
    size_t length = strlen(text);
    if (length > width)
        length = width;
    memcpy(record + offset, text, length);
}

static bool ReadFileBytes(const char* path, char* buffer, size_t capacity, size_t* length)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return false;
    *length = fread(buffer, 1, capacity - 1, file);
    buffer[*length] = '\0';
    fclose(file);
    return true;
}

static bool WriteFileBytes(const char* path, const char* bytes, size_t length)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    bool written = fwrite(bytes, 1, length, file) == length;
    return fclose(file) == 0 && written;
}

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Posted for --raise-in-window; sent as the plug-in disables the window.
    // The one exception of --raise-once and its kin is then spent.
    bool disabled = message == WM_ENABLE && !wParam && RaiseOnDisable;
    if (message == WM_APP || disabled) {
        RaiseOnDisable = RaiseOnce = false;
        printf("host: the main window raises an exception\n");
        fflush(stdout);
        if (disabled)
            LeaveFromCallback(ResumeLoop);   // sent by the platform
        RaiseEditorException(ResumeLoop);
    }
    // Posted for --box-in-window.
    if (message == WM_APP + 1) {
        MessageBoxA(NULL, "The editor's own box", "Editor box", MB_OK);
        printf("host: the editor's box closed, its main window %s\n",
               IsWindowEnabled(window) ? "enabled" : "disabled");
        fflush(stdout);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Handles messages as the editor's own loop does, until the main window
// takes input again.
static void WaitForMainWindow(HWND window)
{
    while (window && !IsWindowEnabled(window)) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

static BOOL WINAPI PrintBeep(UINT type)
{
    printf("host: beep %u\n", type);
    fflush(stdout);
    return TRUE;
}

static HWND CreateMainWindow(void)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "EditorHostMain";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("EditorHostMain", "Editor host", WS_OVERLAPPEDWINDOW, 40, 40,
                                640, 400, NULL, NULL, windowClass.hInstance, NULL);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

// Stands in for the plug-in's message boxes: without a display the
// platform's box would answer at once, showing nothing.
static int WINAPI PrintMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    (void)owner;
    (void)type;
    printf("host: message box \"%s\":\n", caption ? caption : "");
    for (const char* line = text ? text : ""; *line != '\0';) {
        size_t length = strcspn(line, "\n");
        printf("  | %.*s\n", static_cast<int>(length), line);
        line += line[length] == '\n' ? length + 1 : length;
    }
    fflush(stdout);
    return IDOK;
}

// Prints the host's own value of a variable, in UTF-8 as the client
// stand-in logs it, so that the two can be compared.
static void PrintVariable(const char* name)
{
    wchar_t wideName[256];
    static wchar_t value[32768];
    static char text[4 * 32768];
    if (!MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, ARRAYSIZE(wideName))) {
        printf("host: variable %s cannot be named\n", name);
        return;
    }
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(wideName, value, ARRAYSIZE(value));
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
        printf("host: variable %s is not set\n", name);
    else if (length >= ARRAYSIZE(value))
        printf("host: variable %s is too long to print\n", name);
    else {
        int size = WideCharToMultiByte(CP_UTF8, 0, value, static_cast<int>(length), text,
                                       sizeof text, NULL, NULL);
        printf("host: variable %s=%.*s\n", name, size, text);
    }
    fflush(stdout);
}

// Picks a command as an editor with exceptions does, catching them around
// it or around its loop, from depth KiB deeper in the stack: a menu, a
// shortcut or a toolbar may call from different depths. Every pick is 8 KiB
// below the editor's own code in its loop, whose exceptions the platform
// dispatches on the stack below it. The depth is taken at run time, so the
// compiler cannot fold the depths into one frame.
static bool PickFromDepth(CommandEntry command, int depth)
{
    volatile char* frame = static_cast<volatile char*>(_alloca(1024 * (depth + 8)));
    frame[0] = 0;
    bool caught = ResumeLoop ? CallResumingLoopAfterExceptions(command) : CallCatchingExceptions(command);
    frame[1] = frame[0];   // the frame stays until the call is over
    return caught;
}

// What the editor's own code leaves on its stack, for --raise-own-exception:
// here, in every word, the address of a handler that says it was called. A
// record the platform finds there, in a frame that is gone, is this one.
static EXCEPTION_DISPOSITION __cdecl HandlerFromGoneFrame(EXCEPTION_RECORD*, void*, CONTEXT*, void*)
{
    printf("host: the platform called a handler from a frame that is gone\n");
    fflush(stdout);
    ExitProcess(1);
}

static void WriteOverStack(void)
{
    volatile uintptr_t words[16384];
    for (size_t i = 0; i < sizeof words / sizeof words[0]; ++i)
        words[i] = reinterpret_cast<uintptr_t>(&HandlerFromGoneFrame);
}

// The stack is written in a frame of its own, gone before the exception is
// raised from higher up: called through a pointer the compiler cannot see
// through, so that it cannot fold that frame into this one.
static void (*volatile WriteOverStackOnce)(void) = WriteOverStack;

static void __cdecl RaiseOwnException(void)
{
    WriteOverStackOnce();
    RaiseEditorException(ResumeLoop);
}

static CommandEntry WorkerCommand;

static DWORD WINAPI PickOnWorker(void*)
{
    WorkerCommand();
    return 0;
}

static int Usage(void)
{
    fprintf(stderr, "usage: editor_host <plugin.dll> [options] [--call]... [--settings]\n");
    return 2;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();

    unsigned char* record = Record;
    PutInteger(record, HOST_MAJOR, 1);
    PutInteger(record, HOST_MINOR, 51);
    PutInteger(record, HOST_BUILD, 22);
    PutPointer(record, HOST_GET_EDITOR, &HostGetEditor);
    PutPointer(record, HOST_GET_EDITOR_TEXT, &HostGetEditorText);
    PutPointer(record, HOST_SET_EDITOR_TEXT, &HostSetEditorText);
    PL_DATA data;
    memset(&data, 0, sizeof data);
    data.Size = PL_DATA_SIZE;
    const char* outTextPath = NULL;
    bool printMessageBoxes = false;

    // Options first; the commands run in their order after installation.
    for (int i = 2; i < argc; ++i) {
        const char* option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : NULL;
        if (!strcmp(option, "--call") || !strcmp(option, "--settings") ||
            !strcmp(option, "--wait-for-main-window") || !strcmp(option, "--call-deeper") ||
            !strcmp(option, "--raise-own-exception") || !strcmp(option, "--call-on-ending-worker") ||
            !strcmp(option, "--unload"))
            continue;
        if (!strcmp(option, "--no-get-editor"))
            PutPointer(record, HOST_GET_EDITOR, static_cast<void*>(NULL));
        else if (!strcmp(option, "--no-get-text"))
            PutPointer(record, HOST_GET_EDITOR_TEXT, static_cast<void*>(NULL));
        else if (!strcmp(option, "--no-set-text"))
            PutPointer(record, HOST_SET_EDITOR_TEXT, static_cast<void*>(NULL));
        else if (!strcmp(option, "--unterminated-text"))
            UnterminatedText = true;
        else if (!strcmp(option, "--print-message-boxes"))
            printMessageBoxes = true;
        else if (!strcmp(option, "--raise-once"))
            RaiseOnce = true;
        else if (!strcmp(option, "--jump-once"))
            RaiseOnce = ResumeLoop = true;
        else if (!strcmp(option, "--jump-once-restoring-chain"))
            RaiseOnce = ResumeLoop = RestoreChain = true;
        else if (!strcmp(option, "--raise-in-window"))
            RaiseInWindow = true;
        else if (!strcmp(option, "--raise-on-disable"))
            RaiseOnDisable = true;
        else if (!strcmp(option, "--box-in-window"))
            BoxInWindow = true;
        else if (!value)
            return Usage();
        else {
            ++i;
            if (!strcmp(option, "--version")) {
                int major = 0, minor = 0, build = 0;
                if (sscanf(value, "%d.%d.%d", &major, &minor, &build) != 3)
                    return Usage();
                PutInteger(record, HOST_MAJOR, major);
                PutInteger(record, HOST_MINOR, minor);
                PutInteger(record, HOST_BUILD, build);
            } else if (!strcmp(option, "--no-version-check"))
                PutInteger(record, HOST_NO_VERSION_CHECK, static_cast<int32_t>(strtol(value, NULL, 0)));
            else if (!strcmp(option, "--user"))
                PutText(record, HOST_USER, HOST_USER_WIDTH, value);
            else if (!strcmp(option, "--password"))
                PutText(record, HOST_PASSWORD, HOST_PASSWORD_WIDTH, value);
            else if (!strcmp(option, "--database"))
                PutText(record, HOST_DATABASE, HOST_DATABASE_WIDTH, value);
            else if (!strcmp(option, "--password-in-text"))
                PasswordInText = value;
            else if (!strcmp(option, "--editor-id"))
                EditorIdentifier = static_cast<int32_t>(strtol(value, NULL, 0));
            else if (!strcmp(option, "--data-size"))
                data.Size = static_cast<int32_t>(strtol(value, NULL, 0));
            else if (!strcmp(option, "--out-text"))
                outTextPath = value;
            else if (!strcmp(option, "--print-variable"))
                continue;   // printed in its place among the commands
            else if (!strcmp(option, "--text-file")) {
                if (!ReadFileBytes(value, EditorText, sizeof EditorText, &EditorTextLength)) {
                    fprintf(stderr, "editor_host: cannot read %s\n", value);
                    return 2;
                }
            } else
                return Usage();
        }
    }

    HMODULE plugin = LoadLibraryA(argv[1]);
    if (!plugin) {
        fprintf(stderr, "editor_host: cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 3;
    }
    InstallEntry install = reinterpret_cast<InstallEntry>(reinterpret_cast<void*>(GetProcAddress(plugin, "OnInstall")));
    CommandEntry call = reinterpret_cast<CommandEntry>(reinterpret_cast<void*>(GetProcAddress(plugin, "OnCall")));
    CommandEntry settings = reinterpret_cast<CommandEntry>(reinterpret_cast<void*>(GetProcAddress(plugin, "OnSettings")));
    if (!install || !call || !settings) {
        fprintf(stderr, "editor_host: %s lacks a plug-in export\n", argv[1]);
        return 3;
    }
    if (printMessageBoxes)
        PatchImport(plugin, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&PrintMessageBox));
    PatchImport(plugin, "user32.dll", "MessageBeep", reinterpret_cast<void*>(&PrintBeep));

    PL_HOSTINFO* host = reinterpret_cast<PL_HOSTINFO*>(record);
    int32_t installed = install(&data, host);
    char name[sizeof data.Name + 1];
    CopyField(name, sizeof name, data.Name, sizeof data.Name);
    printf("host: OnInstall -> %d (Kind %d, Name \"%s\")\n", static_cast<int>(installed),
           static_cast<int>(data.Kind), name);
    fflush(stdout);

    HWND mainWindow = NULL;
    EXCEPTION_REGISTRATION_RECORD loop;
    if (ResumeLoop)
        EnterResumingLoop(&loop);
    EXCEPTION_REGISTRATION_RECORD* chainAtStart = ExceptionChainHead();
    for (int i = 2, picked = 0; i < argc; ++i) {
        if (!strcmp(argv[i], "--print-variable") && i + 1 < argc) {
            PrintVariable(argv[++i]);
            continue;
        }
        if (!strcmp(argv[i], "--wait-for-main-window")) {
            WaitForMainWindow(mainWindow);
            continue;
        }
        if (!strcmp(argv[i], "--raise-own-exception")) {
            printf("host: the editor raises its own exception\n");
            fflush(stdout);
            bool caught = ResumeLoop ? CallResumingLoopAfterExceptions(RaiseOwnException)
                                     : CallCatchingExceptions(RaiseOwnException);
            printf(caught ? "host: its own exception caught\n" : "host: its own exception not caught\n");
            fflush(stdout);
            continue;
        }
        if (!plugin)
            continue;
        if (!strcmp(argv[i], "--unload")) {
            FreeLibrary(plugin);
            plugin = NULL;
            printf("host: the plug-in unloaded\n");
            fflush(stdout);
            continue;
        }
        if (!strcmp(argv[i], "--call-on-ending-worker")) {
            printf("host: OnCall on a worker thread\n");
            fflush(stdout);
            EndThreadInText = true;
            WorkerCommand = call;
            HANDLE worker = CreateThread(NULL, 0, PickOnWorker, NULL, 0, NULL);
            WaitForSingleObject(worker, INFINITE);
            CloseHandle(worker);
            printf("host: the worker thread ended\n");
            fflush(stdout);
            continue;
        }
        bool deeper = !strcmp(argv[i], "--call-deeper");
        bool isCall = deeper || !strcmp(argv[i], "--call");
        if (!isCall && strcmp(argv[i], "--settings"))
            continue;
        if (!isCall && !mainWindow) {
            mainWindow = CreateMainWindow();
            PutPointer(record, HOST_MAIN_WINDOW, mainWindow);
        }
        if (!isCall && (RaiseInWindow || BoxInWindow)) {
            // Dispatched by the first loop that takes messages: the dialog's.
            PostMessageA(mainWindow, RaiseInWindow ? WM_APP : WM_APP + 1, 0, 0);
            RaiseInWindow = BoxInWindow = false;
        }
        const char* entry = isCall ? "OnCall" : "OnSettings";
        printf("host: %s\n", entry);
        fflush(stdout);
        bool caught = PickFromDepth(isCall ? call : settings,
                                    (ResumeLoop && !RestoreChain ? 0 : picked++) + (deeper ? 4 : 0));
        if (caught && RestoreChain)
            TakeChainBackToLoop(&loop);
        printf(caught ? "host: %s abandoned by an exception\n" : "host: %s returned\n", entry);
        fflush(stdout);
    }
    if (ExceptionChainHead() != chainAtStart)
        printf("host: the exception chain is not as it began\n");
    if (ResumeLoop)
        LeaveResumingLoop(&loop);

    if (outTextPath && !WriteFileBytes(outTextPath, EditorText, EditorTextLength)) {
        fprintf(stderr, "editor_host: cannot write %s\n", outTextPath);
        return 2;
    }
    if (mainWindow)
        DestroyWindow(mainWindow);
    if (plugin)
        FreeLibrary(plugin);
    return 0;
}
