#ifndef TAMSIL_SYSTEM_ERROR_H
#define TAMSIL_SYSTEM_ERROR_H

#include <stddef.h>

// The platform's last error code, with its US English system text copied
// into text, or the text in the user's language on a Windows without the
// English texts (empty when the platform has none). Call it right after the
// failing call, before any other platform call can change the code.
int SystemErrorText(char* text, size_t capacity);

enum { SYSTEM_ERROR_TEXT_CAPACITY = 260 };

// Formats a failed call's report into text: format takes, in this order,
// the subject (%s: the path, line or key the call was about), the last
// error code (%d) and its system text (%s). Call it right after the failing
// call, as SystemErrorText.
void FormatSystemFailure(char* text, size_t capacity, const char* format, const char* subject);

#endif
