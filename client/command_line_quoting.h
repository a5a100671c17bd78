#ifndef TAMSIL_COMMAND_LINE_QUOTING_H
#define TAMSIL_COMMAND_LINE_QUOTING_H

#include "client/command_line_composition.h"

// How the client program and a file's path go on the client's command line,
// each taken by the platform or the client as one word: what the file system
// says about them (a short form, whether a file is there), handed to the
// composition. Each is false, with the argument cut, when it does not fit.

// A path with a blank goes by its short form, which has none, when the
// volume keeps short names, else in double quotes.
bool PathOnCommandLine(const char* path, char (&argument)[SCRIPT_ARGUMENT_CAPACITY]);

// Only a client path with a folder, a blank and no quote that names an
// existing file, as typed or with ".exe" appended when its name has no
// extension, is quoted; so is one the platform cannot tell about (access
// denied, say).
bool ClientOnCommandLine(const char* sqlPlus, char (&argument)[CLIENT_ARGUMENT_CAPACITY]);

#endif
