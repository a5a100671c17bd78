#ifndef TAMSIL_TEMPORARY_FILES_H
#define TAMSIL_TEMPORARY_FILES_H

#include <windows.h>

#include <stddef.h>

#include "client/command_line_composition.h"
#include "run_reports/held_reports.h"

// The files a run makes, the script file and the log-on script: reserved
// under a new name in a folder, opened once no other program holds them,
// written whole and deleted. Each step reports its own failure once (see
// ReportRunError) and returns false; the run decides what is kept.

// The system's temporary directory, as an 8-bit path that the client can
// open too. False, after reporting why, when there is none; when it has no
// 8-bit path at all, adviseWorkingDirectory adds that a working directory
// would do.
bool FindTemporaryDirectory(char* directory, size_t capacity, bool adviseWorkingDirectory);

// A folder by its full path: a relative one (".", "scripts", "\scripts",
// "D:scripts") from the current folder, as the platform would take it now,
// an 8-bit path that the client can open too (see EightBitPath); any other
// as it is. False, after reporting that no script file can be made in it,
// when it has no such path.
bool FullFolderPath(const char* folder, char* full, size_t capacity);

// Reserves a new empty file, its name starting with prefix, in directory,
// by the platform's temporary-name service. A folder too long for a name to
// be made in it is refused.
bool ReserveRunFile(const char* directory, const char* prefix, char (&path)[SCRIPT_PATH_CAPACITY]);

// Opens a reserved file, unshared, for reading and writing, once no other
// program holds it; reports failureFormat with the path when it cannot.
HANDLE OpenRunFile(const char* path, const char* failureFormat);

// Opens a written file again for reading only, once no other program holds
// it, sharing it for reading only: while the handle is open, other programs
// may read the file, but not write it, delete it or open it unshared.
// Reports that the file could not be written when it cannot be opened.
HANDLE KeepRunFileOpen(const char* path);

// Puts a text into TextBuffer, its length in *length; false, after
// reporting why, when that text must not be written.
typedef bool (*TextTaker)(size_t* length);

// Opens a reserved file and writes text into it, byte for byte: the given
// text, or when it is null the one takeText puts into TextBuffer, taken
// only once the file is open. False when the text was refused or the file
// could not be opened or fully written.
bool WriteRunFile(const char* path, const char* text, TextTaker takeText);

// Reports that the file could not be written, with the last error.
void ReportCannotWrite(const char* path);

// A run the host abandoned while it asked for the editor's text: the file
// that was to take the text, still empty, is closed and deleted.
void DeleteAbandonedRunFile(void);

// Deletes a file once no other program holds it; holds failureFormat with
// the path as a failure of the given kind when it could not. A file already
// gone counts as deleted. False when the file stays.
bool DeleteOrReport(const char* path, const char* failureFormat, RunFailureKind kind);

#endif
