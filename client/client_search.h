#ifndef TAMSIL_CLIENT_SEARCH_H
#define TAMSIL_CLIENT_SEARCH_H

#include "common/path_capacity.h"

// The program the client's line starts. Left to the platform, a program
// named without a folder is looked for in the host's current folder second,
// which is where the user last opened or saved a file (a downloads folder, a
// share): a program of the client's name put there would get the password.
// So such a name is looked for here, in the places the platform's
// documentation lists for process creation, in its order, without that one:
// the host's own program folder, the system folder, the 16-bit system
// folder, the Windows folder, then the folders of PATH as it is now (the
// client's, once its environment is set), leaving out those that depend on
// the current folder. Each is one folder, even one whose name holds ";"
// (PATH itself is split at every ";"). The name (see ProgramNameIn) is
// looked for with ".exe" appended when it has no extension; a folder of
// that name is passed over, and the first file found is the program.
//
// True with the program's full path in program, to be started by it; true
// with program empty when the name holds a folder, so that the line alone
// starts it as it always did. False, with the last error set, when the name
// is found nowhere (ERROR_FILE_NOT_FOUND) or the file found has no 8-bit
// path (see EightBitPath).
bool FindClientProgram(const char* clientArgument, char (&program)[PATH_CAPACITY]);

// A batch file as the client: looked for as above when named without a
// folder; named with one, taken whole, its full path from the current
// folder for a relative one. True with its full path in program, which the
// line names it by, so that the command interpreter, which may run in
// another folder (it moves off a share), finds the same file. False, with
// the last error set, as above; a file named with a folder that is not
// there, or is a folder, is found nowhere.
bool FindBatchFile(const char* clientArgument, char (&program)[PATH_CAPACITY]);

#endif
