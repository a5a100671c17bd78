#ifndef TAMSIL_SYSTEM_ERROR_H
#define TAMSIL_SYSTEM_ERROR_H

#include <stddef.h>

// The platform's last error code, with its US English system text copied
// into text, or the text in the user's language on a Windows without the
// English texts (empty when the platform has none). Call it right after the
// failing call, before any other platform call can change the code.
int SystemErrorText(char* text, size_t capacity);

enum { SYSTEM_ERROR_TEXT_CAPACITY = 260 };

#endif
