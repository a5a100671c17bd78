#ifndef TAMSIL_PATH_CAPACITY_H
#define TAMSIL_PATH_CAPACITY_H

// A path as the platform names a file: MAX_PATH characters with the NUL.
// Every buffer that holds a path, in bytes or in UTF-16 characters, is sized
// from it.
enum { PATH_CAPACITY = 260 };

#endif
