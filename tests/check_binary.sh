#!/usr/bin/env bash
# Checks the built plug-in: exactly the four exports by their plain names, and
# exactly the imports listed below, so that each new import is a decision made
# once. The plug-in's floor is Windows 7: every import must be there on it.
# Each row is DLL!function and, after "#", the oldest Windows that has it, as
# the platform's documentation names it (it names none older than 2000 or XP;
# msvcrt.dll is the system's C runtime, these its exports since 2000). A row
# with a later Windows than 7 does not belong here.
set -u
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll") || exit 1
status=0

# Nothing in the plug-in is there for nothing: it stays within 48 KiB, room
# to grow kept by formatting through the system's C runtime.
size=$(stat -c %s "$dll")
if [ "$size" -gt 49152 ]; then
  echo "the DLL is $size bytes, more than 48 KiB"
  status=1
fi

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
if [ "$exports" != "DllMain OnCall OnInstall OnSettings " ]; then
  echo "exports are: $exports"
  status=1
fi

# A command learns that the host abandoned it through a handler of its own
# (platform/abandon_guard.cpp): Windows calls none in a DLL marked as having
# none (0x400), nor one left out of a table of safe handlers (in the load
# configuration). The DLL has neither.
flags=$(printf '%s\n' "$dump" | sed -n 's/^DllCharacteristics[[:space:]]*//p')
if (( 0x${flags:-0} & 0x400 )) || ! grep -q '^Entry a 00000000 00000000 Load' <<<"$dump"; then
  echo "Windows would call no exception handler of the DLL"
  status=1
fi

# One row per import: DLL!function  # oldest Windows
imports=$(cat <<'LIST'
KERNEL32.dll!AddVectoredExceptionHandler   # XP
KERNEL32.dll!CloseHandle                 # XP
KERNEL32.dll!CompareStringOrdinal        # Vista
KERNEL32.dll!CreateFileA                 # XP
KERNEL32.dll!CreateFileW                 # XP
KERNEL32.dll!CreateProcessA              # XP
KERNEL32.dll!DeleteCriticalSection       # XP
KERNEL32.dll!DeleteFileA                 # XP
KERNEL32.dll!DuplicateHandle             # 2000
KERNEL32.dll!EnterCriticalSection        # XP
KERNEL32.dll!ExpandEnvironmentStringsW   # XP
KERNEL32.dll!FindClose                   # XP
KERNEL32.dll!FindFirstFileExW            # XP; with the flags FindExInfoBasic, FIND_FIRST_EX_LARGE_FETCH: 7
KERNEL32.dll!FindNextFileW               # XP
KERNEL32.dll!FreeEnvironmentStringsW     # XP
KERNEL32.dll!FormatMessageA              # XP
KERNEL32.dll!FreeLibrary                 # XP
KERNEL32.dll!GetACP                      # 2000
KERNEL32.dll!GetCurrentProcess           # XP
KERNEL32.dll!GetCurrentThread            # XP
KERNEL32.dll!GetCurrentThreadId          # XP
KERNEL32.dll!GetEnvironmentStringsW      # XP
KERNEL32.dll!GetEnvironmentVariableA     # XP
KERNEL32.dll!GetEnvironmentVariableW     # XP
KERNEL32.dll!GetExitCodeProcess          # XP
KERNEL32.dll!GetFileAttributesA          # XP
KERNEL32.dll!GetFileAttributesW          # XP
KERNEL32.dll!GetFullPathNameW            # XP
KERNEL32.dll!GetLastError                # XP
KERNEL32.dll!GetModuleFileNameW          # XP
KERNEL32.dll!GetModuleHandleA            # XP
KERNEL32.dll!GetPrivateProfileSectionA    # 2000
KERNEL32.dll!GetPrivateProfileStringA    # 2000
KERNEL32.dll!GetPrivateProfileStringW    # 2000
KERNEL32.dll!GetProcAddress              # XP
KERNEL32.dll!GetShortPathNameA           # XP
KERNEL32.dll!GetShortPathNameW           # XP
KERNEL32.dll!GetSystemDirectoryA         # 2000
KERNEL32.dll!GetSystemDirectoryW         # 2000
KERNEL32.dll!GetSystemTimeAsFileTime     # 2000
KERNEL32.dll!GetTempFileNameA            # XP
KERNEL32.dll!GetTempPathW                # XP
KERNEL32.dll!GetTickCount                # 2000
KERNEL32.dll!GetWindowsDirectoryW        # 2000
KERNEL32.dll!InitializeCriticalSection   # XP
KERNEL32.dll!IsDBCSLeadByte              # 2000
KERNEL32.dll!LeaveCriticalSection        # XP
KERNEL32.dll!LoadLibraryA                # XP
KERNEL32.dll!LocalFree                   # XP
KERNEL32.dll!MultiByteToWideChar         # 2000
KERNEL32.dll!ReadFile                    # XP
KERNEL32.dll!RemoveVectoredExceptionHandler # XP
KERNEL32.dll!SetEnvironmentVariableW     # XP
KERNEL32.dll!SetFileInformationByHandle  # Vista
KERNEL32.dll!SetLastError                # XP
KERNEL32.dll!Sleep                       # XP
KERNEL32.dll!TlsGetValue                 # XP
KERNEL32.dll!VirtualProtect              # XP
KERNEL32.dll!VirtualQuery                # XP
KERNEL32.dll!WaitForSingleObject         # XP
KERNEL32.dll!WideCharToMultiByte         # 2000
KERNEL32.dll!WriteFile                   # XP
KERNEL32.dll!WritePrivateProfileStringA  # 2000
msvcrt.dll!_amsg_exit                    # 2000
msvcrt.dll!_initterm                     # 2000
msvcrt.dll!_iob                          # 2000
msvcrt.dll!_lock                         # 2000
msvcrt.dll!_unlock                       # 2000
msvcrt.dll!_vsnprintf                    # 2000
msvcrt.dll!_wcsicmp                      # 2000
msvcrt.dll!abort                         # 2000
msvcrt.dll!calloc                        # 2000
msvcrt.dll!free                          # 2000
msvcrt.dll!fwrite                        # 2000
msvcrt.dll!memchr                        # 2000
msvcrt.dll!memcmp                        # 2000
msvcrt.dll!memmove                       # 2000
msvcrt.dll!realloc                       # 2000
msvcrt.dll!strchr                        # 2000
msvcrt.dll!strlen                        # 2000
msvcrt.dll!strncmp                       # 2000
msvcrt.dll!strrchr                       # 2000
msvcrt.dll!strspn                        # 2000
msvcrt.dll!vfprintf                      # 2000
msvcrt.dll!wcschr                        # 2000
msvcrt.dll!wcslen                        # 2000
USER32.dll!CreateDialogParamA            # 2000
USER32.dll!DestroyWindow                 # 2000
USER32.dll!DispatchMessageA              # 2000
USER32.dll!EnableWindow                  # 2000
USER32.dll!GetDlgItemTextA               # 2000
USER32.dll!GetMessageA                   # 2000
USER32.dll!GetWindow                     # 2000
USER32.dll!IsDialogMessageA              # 2000
USER32.dll!IsWindow                      # 2000
USER32.dll!IsWindowEnabled               # 2000
USER32.dll!IsWindowVisible               # 2000
USER32.dll!MessageBeep                   # 2000
USER32.dll!MessageBoxA                   # 2000
USER32.dll!PeekMessageA                  # 2000
USER32.dll!PostMessageA                  # 2000
USER32.dll!PostQuitMessage               # 2000
USER32.dll!SendDlgItemMessageA           # 2000
USER32.dll!SendMessageA                  # 2000
USER32.dll!SetDlgItemTextA               # 2000
USER32.dll!ShowWindow                    # 2000
USER32.dll!TranslateMessage              # 2000
LIST
)
expected=$(printf '%s\n' "$imports" | sed 's/#.*//; s/[[:space:]]//g; /^$/d' | sort)
# objdump lists each DLL's name, then its functions as "<vma> <hint> <name>".
actual=$(printf '%s\n' "$dump" | sed -n '/The Import Tables/,/The Export Tables/p' |
         awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll "!" $3 }' | sort)
while read -r name; do
  [ -n "$name" ] && echo "imports $name, which is not in the list of tests/check_binary.sh" && status=1
done < <(comm -13 <(printf '%s\n' "$expected") <(printf '%s\n' "$actual"))
while read -r name; do
  [ -n "$name" ] && echo "no longer imports $name: take it out of the list" && status=1
done < <(comm -23 <(printf '%s\n' "$expected") <(printf '%s\n' "$actual"))
exit $status
