// What one run of the plug-in adds to the client's own process round trip.
//
//   run_bench [rounds] [client.exe] [unrelated files] [old "lg" files] [variables]
//
// Loads a copy of Tamsil.dll (from beside this program) in-process, in a
// folder of its own with its own settings file, installs it into a host
// record of this program's (a log-on, and entries that hand out and take
// back the editor text), and points it at a client that ends at once
// (bench_client.exe from beside this program, unless another is named).
// Then, for editor texts of 0, 10 KiB and 100 KiB (the longest text the
// plug-in runs: 102398 bytes), it times, alternating, one OnCall and one bare
// CreateProcessA plus wait of the same command line, and prints the median
// of each, their ratio, and the median of the differences within each pair
// of neighbouring runs, which a busy machine's drift disturbs less. A run
// is counted only when the text came back, so a failed run cannot pass for a
// fast one. With a count of unrelated files, that many empty files are put
// in the temporary folder for the time of the benchmark, which every run
// looks through for stale log-on scripts; with a count of old "lg" files,
// that many files named as log-on scripts, two minutes old, that begin with
// "connect " but have another shape, which every run opens and reads. With
// a count of variables, the settings file's [Environment] gives the client
// that many, each expanded from a variable of the host's.
//
// The plug-in's own work is also timed apart from the client's round trip:
// its imports of CreateProcessA and CloseHandle are pointed at pass-through
// functions here that note when the client was started and when both its
// handles were released (and GetTempFileNameA's, to tell reading the
// settings from reserving the script file, and GetModuleFileNameW's, to tell
// the sweep of the temporary folder from reading the settings), so "own" is a run's time less that span, which
// holds just what a bare round trip does. That figure hardly depends on how
// fast the machine starts processes. Its import of MessageBoxA is answered
// here too, printing the text, so a failing run stops the benchmark instead
// of waiting on a box nobody sees.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "client/command_line_composition.h"
#include "plugin/host_record.h"
#include "settings/settings_record.h"
#include "tools/common/import_patch.h"

namespace {

typedef int32_t(__cdecl* InstallEntry)(PL_DATA*, const PL_HOSTINFO*);
typedef void(__cdecl* CommandEntry)(void);

typedef BOOL(WINAPI* CreateProcessEntry)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES,
                                         LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
                                         LPSTARTUPINFOA, LPPROCESS_INFORMATION);
typedef BOOL(WINAPI* CloseHandleEntry)(HANDLE);
typedef UINT(WINAPI* TempFileNameEntry)(LPCSTR, LPCSTR, UINT, LPSTR);
typedef DWORD(WINAPI* ModuleFileNameEntry)(HMODULE, LPWSTR, DWORD);

CreateProcessEntry RealCreateProcess;
CloseHandleEntry RealCloseHandle;
TempFileNameEntry RealTempFileName;
ModuleFileNameEntry RealModuleFileName;
double SettingsRead;
double Reserving;
HANDLE ClientHandles[2];   // the client's process and thread, until released
double ClientStarted;
double ClientEnded;
// When the host's entries were called, to tell the plug-in's steps apart.
double EditorAsked;
double TextGiven;
double TextHandedBack;
double HandBackReturned;

std::string EditorText;
std::string HandedBack;
int HandBacks;

double Seconds();

void __cdecl HostGetEditor(int32_t* editorId)
{
    EditorAsked = Seconds();
    *editorId = 1;
}

void __cdecl HostGetEditorText(int32_t, char* text, int32_t size)
{
    size_t length = std::min(EditorText.size(), static_cast<size_t>(size) - 1);
    memcpy(text, EditorText.data(), length);
    text[length] = '\0';
    TextGiven = Seconds();
}

int32_t __cdecl HostSetEditorText(int32_t, const char* text)
{
    TextHandedBack = Seconds();
    HandedBack = text;
    ++HandBacks;
    HandBackReturned = Seconds();
    return 1;
}

void Put(unsigned char* record, size_t offset, const void* value, size_t size)
{
    memcpy(record + offset, value, size);
}

void PutInteger(unsigned char* record, size_t offset, int32_t value)
{
    Put(record, offset, &value, sizeof value);
}

template <typename Pointer>
void PutPointer(unsigned char* record, size_t offset, Pointer value)
{
    Put(record, offset, &value, sizeof value);
}

BOOL WINAPI TimedCreateProcess(LPCSTR application, LPSTR commandLine,
                               LPSECURITY_ATTRIBUTES processAttributes,
                               LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                               DWORD flags, LPVOID environment, LPCSTR directory,
                               LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process)
{
    ClientStarted = Seconds();
    BOOL started = RealCreateProcess(application, commandLine, processAttributes, threadAttributes,
                                     inheritHandles, flags, environment, directory, startup, process);
    if (started) {
        ClientHandles[0] = process->hProcess;
        ClientHandles[1] = process->hThread;
    }
    return started;
}

UINT WINAPI TimedTempFileName(LPCSTR directory, LPCSTR prefix, UINT unique, LPSTR path)
{
    Reserving = Seconds();
    return RealTempFileName(directory, prefix, unique, path);
}

DWORD WINAPI TimedModuleFileName(HMODULE module, LPWSTR path, DWORD size)
{
    SettingsRead = Seconds();
    return RealModuleFileName(module, path, size);
}

BOOL WINAPI TimedCloseHandle(HANDLE handle)
{
    BOOL closed = RealCloseHandle(handle);
    bool client = false;
    for (HANDLE& clientHandle : ClientHandles) {
        if (handle != NULL && handle == clientHandle) {
            clientHandle = NULL;
            client = true;
        }
    }
    if (client && ClientHandles[0] == NULL && ClientHandles[1] == NULL)
        ClientEnded = Seconds();
    return closed;
}

int WINAPI PrintedMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    printf("message box \"%s\": %s\n", caption, text);
    return IDOK;
}

void Fatal(const char* what)
{
    fprintf(stderr, "run_bench: %s (error %lu)\n", what, GetLastError());
    exit(1);
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

double Seconds()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The bare round trip: start the line as the plug-in does, wait, release.
void RunBare(const char* commandLine)
{
    char line[COMMAND_LINE_CAPACITY];
    snprintf(line, sizeof line, "%s", commandLine);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION client;
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, NORMAL_PRIORITY_CLASS, NULL, NULL,
                        &startup, &client))
        Fatal("the client does not start");
    WaitForSingleObject(client.hProcess, INFINITE);
    CloseHandle(client.hThread);
    CloseHandle(client.hProcess);
}

// The plug-in's own time in one run, step by step, in seconds.
struct Steps
{
    double total;       // the whole OnCall
    double client;      // CreateProcessA to the release of the client's handles
    double sweep;       // looking for stale log-on scripts
    double settings;    // reading the settings file
    double reserve;     // reserving and opening the script file
    double write;       // writing the text, composing the line
    double readBack;    // reading the script back
    double finish;      // after the hand-back: deleting the script file
};

Steps RunPlugin(CommandEntry onCall)
{
    int handBacks = HandBacks;
    ClientStarted = ClientEnded = 0;
    double called = Seconds();
    onCall();
    double returned = Seconds();
    if (HandBacks != handBacks + 1 || ClientEnded == 0)
        Fatal("a run did not start the client and hand the text back");
    Steps steps;
    steps.total = returned - called;
    steps.client = ClientEnded - ClientStarted;
    steps.sweep = SettingsRead - called;
    steps.settings = Reserving - SettingsRead;
    steps.reserve = EditorAsked - Reserving;
    steps.write = ClientStarted - TextGiven;
    steps.readBack = TextHandedBack - ClientEnded;
    steps.finish = returned - HandBackReturned;
    return steps;
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    size_t middle = times.size() / 2;
    return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

// SQL text of the given length, in lines as an editor holds them.
std::string SqlText(size_t length)
{
    static const char line[] = "SELECT owner, table_name FROM all_tables WHERE rownum < 10;\r\n";
    std::string text;
    while (text.size() < length)
        text += line;
    text.resize(length);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : 40;
    if (rounds < 1)
        rounds = 1;

    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    std::string binFolder = FolderOf(self);
    std::string client = argc > 2 && argv[2][0] ? argv[2] : binFolder + "\\bench_client.exe";
    int unrelated = argc > 3 ? atoi(argv[3]) : 0;
    int others = argc > 4 ? atoi(argv[4]) : 0;
    int variables = argc > 5 ? atoi(argv[5]) : 0;
    if (client.find(' ') != std::string::npos)
        client = "\"" + client + "\"";

    // A folder of the benchmark's own for the plug-in copy, its settings
    // file and the script files.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "tamsil-bench-" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(folder.c_str(), NULL))
        Fatal("cannot create the benchmark's folder");
    std::vector<std::string> made;
    for (int i = 0; i < unrelated + others; ++i) {
        char name[32];
        snprintf(name, sizeof name, i < unrelated ? "unrelated%d.tmp" : "lg%X.tmp",
                 i < unrelated ? i : i - unrelated);
        made.push_back(std::string(temp) + name);
        HANDLE file = CreateFileA(made.back().c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE)
            Fatal("cannot create the files in the temporary folder");
        static const char other[] = "connect APPUSER/secret@ORCL\r\nselect 1 from dual;\r\n";
        ULARGE_INTEGER old;
        GetSystemTimeAsFileTime(reinterpret_cast<FILETIME*>(&old));
        old.QuadPart -= 1200000000ULL;   // two minutes
        DWORD written;
        if (i >= unrelated && (!WriteFile(file, other, sizeof other - 1, &written, NULL) ||
                               !SetFileTime(file, NULL, NULL, reinterpret_cast<FILETIME*>(&old))))
            Fatal("cannot write the old log-on-named files");
        CloseHandle(file);
    }
    std::string plugin = folder + "\\Tamsil.dll";
    std::string settingsFile = folder + "\\Tamsil.ini";
    if (!CopyFileA((binFolder + "\\Tamsil.dll").c_str(), plugin.c_str(), FALSE))
        Fatal("cannot copy Tamsil.dll from beside run_bench.exe");
    // The whole round trip: written, run, read back, handed back, deleted.
    WritePrivateProfileStringA("Settings", "ReadOnly", "0", settingsFile.c_str());
    WritePrivateProfileStringA("Settings", "DeleteTemp", "1", settingsFile.c_str());
    WritePrivateProfileStringA("Settings", "Options", "", settingsFile.c_str());
    WritePrivateProfileStringA("Settings", "ConnectString", "", settingsFile.c_str());
    WritePrivateProfileStringA("Path", "WorkingDirectory", folder.c_str(), settingsFile.c_str());
    WritePrivateProfileStringA("Path", "SqlPlus", client.c_str(), settingsFile.c_str());
    for (int i = 0; i < variables; ++i)
        WritePrivateProfileStringA("Environment", ("TAMSIL_BENCH_" + std::to_string(i)).c_str(),
                                   "C:\\bench\\client\\bin;%TEMP%", settingsFile.c_str());

    HMODULE module = LoadLibraryA(plugin.c_str());
    if (!module)
        Fatal("cannot load Tamsil.dll");
    InstallEntry onInstall = reinterpret_cast<InstallEntry>(reinterpret_cast<void*>(GetProcAddress(module, "OnInstall")));
    CommandEntry onCall = reinterpret_cast<CommandEntry>(reinterpret_cast<void*>(GetProcAddress(module, "OnCall")));
    if (!onInstall || !onCall)
        Fatal("Tamsil.dll lacks OnInstall or OnCall");
    RealCreateProcess = reinterpret_cast<CreateProcessEntry>(PatchImport(
        module, "kernel32.dll", "CreateProcessA", reinterpret_cast<void*>(&TimedCreateProcess)));
    RealCloseHandle = reinterpret_cast<CloseHandleEntry>(PatchImport(
        module, "kernel32.dll", "CloseHandle", reinterpret_cast<void*>(&TimedCloseHandle)));
    RealTempFileName = reinterpret_cast<TempFileNameEntry>(PatchImport(
        module, "kernel32.dll", "GetTempFileNameA", reinterpret_cast<void*>(&TimedTempFileName)));
    RealModuleFileName = reinterpret_cast<ModuleFileNameEntry>(PatchImport(
        module, "kernel32.dll", "GetModuleFileNameW", reinterpret_cast<void*>(&TimedModuleFileName)));
    if (!RealCreateProcess || !RealCloseHandle || !RealTempFileName || !RealModuleFileName ||
        !PatchImport(module, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&PrintedMessageBox)))
        Fatal("Tamsil.dll does not import the functions the benchmark times");

    alignas(8) static unsigned char record[512];
    PutInteger(record, HOST_MAJOR, 1);
    PutInteger(record, HOST_MINOR, 51);
    PutInteger(record, HOST_BUILD, 22);
    Put(record, HOST_USER, "APPUSER", 8);
    Put(record, HOST_PASSWORD, "secret", 7);
    Put(record, HOST_DATABASE, "ORCL", 5);
    PutPointer(record, HOST_GET_EDITOR, &HostGetEditor);
    PutPointer(record, HOST_GET_EDITOR_TEXT, &HostGetEditorText);
    PutPointer(record, HOST_SET_EDITOR_TEXT, &HostSetEditorText);
    const PL_HOSTINFO* host = reinterpret_cast<const PL_HOSTINFO*>(record);
    PL_DATA data = {};
    data.Size = PL_DATA_SIZE;
    if (onInstall(&data, host) != 0)
        Fatal("Tamsil.dll refused to install");

    // The same line the plug-in starts: its script names have the same
    // length ("se", four hex digits, ".tmp").
    SettingsRecord settings = {};
    snprintf(settings.SqlPlus, sizeof settings.SqlPlus, "%s", client.c_str());
    std::string script = folder + "\\se0000.tmp";
    char line[COMMAND_LINE_CAPACITY];
    if (!ComposeCommandLine(&settings, host, settings.SqlPlus, script.c_str(), false, line, sizeof line))
        Fatal("the command line does not fit");
    printf("client line: %s\n", line);
    printf("rounds: %d per size, alternating; times are medians\n", rounds);
    printf("in the temporary folder: %d unrelated files, %d old \"lg\" files of other shapes\n",
           unrelated, others);
    printf("variables in [Environment]: %d\n\n", variables);
    printf("%8s %10s %10s %7s %8s %10s %10s %8s\n", "text", "OnCall ms", "bare ms", "ratio",
           "added", "paired ms", "own ms", "own");

    const size_t sizes[] = {0, 10240, 102398};
    bool met = true;
    std::string stepLines;
    for (size_t size : sizes) {
        EditorText = SqlText(size);
        // Warm the file cache, the loader and the client's image first.
        for (int i = 0; i < 3; ++i) {
            RunPlugin(onCall);
            RunBare(line);
        }
        std::vector<double> pluginTimes, bareTimes, differences, ownTimes;
        std::vector<double> sweep, settingsTimes, reserve, write, readBack, finish;
        for (int i = 0; i < rounds; ++i) {
            // Which goes first alternates too, so a drift in the machine's
            // speed weighs on both alike.
            for (int turn = 0; turn < 2; ++turn) {
                double start = Seconds();
                if ((i + turn) % 2 == 0) {
                    Steps steps = RunPlugin(onCall);
                    pluginTimes.push_back(Seconds() - start);
                    ownTimes.push_back(pluginTimes.back() - steps.client);
                    sweep.push_back(steps.sweep);
                    settingsTimes.push_back(steps.settings);
                    reserve.push_back(steps.reserve);
                    write.push_back(steps.write);
                    readBack.push_back(steps.readBack);
                    finish.push_back(steps.finish);
                } else {
                    RunBare(line);
                    bareTimes.push_back(Seconds() - start);
                }
            }
            differences.push_back(pluginTimes.back() - bareTimes.back());
            if (HandedBack != EditorText)
                Fatal("the text came back changed");
        }
        double plugin = Median(pluginTimes) * 1000;
        double bare = Median(bareTimes) * 1000;
        double ratio = plugin / bare;
        double own = Median(ownTimes) * 1000;
        printf("%8u %10.3f %10.3f %7.3f %7.1f%% %10.3f %10.3f %7.1f%%\n",
               static_cast<unsigned>(size), plugin, bare, ratio, (ratio - 1) * 100,
               Median(differences) * 1000, own, own / bare * 100);
        met = met && ratio <= 1.05;
        char stepsLine[200];
        snprintf(stepsLine, sizeof stepsLine, "%8u %10.3f %10.3f %10.3f %10.3f %10.3f %10.3f\n",
                 static_cast<unsigned>(size), Median(sweep) * 1000, Median(settingsTimes) * 1000,
                 Median(reserve) * 1000, Median(write) * 1000, Median(readBack) * 1000,
                 Median(finish) * 1000);
        stepLines += stepsLine;
    }
    printf("\nthe plug-in's own time by step, medians in ms:\n");
    printf("%8s %10s %10s %10s %10s %10s %10s\n", "text", "sweep", "settings", "reserve", "write",
           "read back", "delete");
    printf("%s", stepLines.c_str());
    printf("\nadded: OnCall's median over the bare median; paired: median of OnCall less\n"
           "the bare run next to it; own: median of OnCall less its own client span.\n");
    printf("goal (OnCall's median at most 5%% over the bare median at every size): %s\n",
           met ? "met" : "NOT met");

    FreeLibrary(module);
    DeleteFileA(plugin.c_str());
    DeleteFileA(settingsFile.c_str());
    RemoveDirectoryA(folder.c_str());
    for (const std::string& path : made)
        DeleteFileA(path.c_str());
    return 0;
}
