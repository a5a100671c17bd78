#ifndef TAMSIL_FORMAT_TEXT_H
#define TAMSIL_FORMAT_TEXT_H

#include <stddef.h>

// Every formatted text of the plug-in goes through FormatText. On Windows it
// formats with the system's C runtime (msvcrt.dll), which every Windows
// has: the C++ runtime would otherwise link a formatter of its own into the
// DLL, a third of its size. The formats used are the ones both know: %s,
// %c, %d, %u, %lu and %lX with a width.

#if defined(__GNUC__) && defined(_WIN32)
#define TAMSIL_FORMAT_CHECK __attribute__((format(ms_printf, 3, 4)))
#elif defined(__GNUC__)
#define TAMSIL_FORMAT_CHECK __attribute__((format(printf, 3, 4)))
#else
#define TAMSIL_FORMAT_CHECK
#endif

// Formats into dest, whose capacity counts the NUL. The text always ends with
// a NUL (when the capacity is not 0); false means it was cut.
bool FormatText(char* dest, size_t capacity, const char* format, ...) TAMSIL_FORMAT_CHECK;

#endif
