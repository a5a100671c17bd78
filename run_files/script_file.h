#ifndef TAMSIL_SCRIPT_FILE_H
#define TAMSIL_SCRIPT_FILE_H

#include "client/command_line_composition.h"
#include "run_files/temporary_files.h"

// The script file that carries the editor's text to the client and back.
// Each step reports its own failure once (see ReportRunError) and returns
// false; the run decides what is kept.

enum { SCRIPT_FOLDER_CAPACITY = PATH_CAPACITY + 1 };

// The folder the script file goes to: the WorkingDirectory setting, or else
// the system's temporary directory. With fullPath a relative working
// directory is taken whole, by its full path from the current folder (see
// FullFolderPath). False, after reporting why, when there is no usable
// temporary directory or full path.
bool ChooseScriptFolder(char (&folder)[SCRIPT_FOLDER_CAPACITY], bool fullPath);

// Reserves a new empty script file, its name starting "se", in that folder.
// A folder too long for a name to be made in it is refused.
bool ReserveScriptFile(const char* folder, char (&path)[SCRIPT_PATH_CAPACITY]);

// Takes the editor's text (by takeEditorText, once the file is open) and
// writes it, byte for byte, into the script file. False when the file could
// not be opened or fully written, or when the text was refused.
bool WriteEditorText(const char* path, TextTaker takeEditorText);

// Deletes the script file as DeleteTemp asks after a run, once no other
// program holds it, and reports at the end of the run when it could not; a
// file already gone counts as deleted. Deletions of a script file whose
// failure was already shown go through DeleteHeldFile, silently.
void DeleteScriptFile(const char* path);

// Reads the script file back into TextBuffer, ended by a NUL. False when it
// could not be read, has grown past what TextBuffer holds, or holds a NUL
// byte: the editor could not take it whole.
bool ReadScriptBack(const char* path);

#endif
