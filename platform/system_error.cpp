#include "platform/system_error.h"

#include <windows.h>

#include "common/bounded_text.h"
#include "common/format_text.h"

int SystemErrorText(char* text, size_t capacity)
{
    DWORD code = GetLastError();
    if (capacity > 0)
        text[0] = '\0';
    char* message = NULL;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                        FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = FormatMessageA(flags, NULL, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                  reinterpret_cast<char*>(&message), 0, NULL);
    // A Windows installed without English message texts has none to give;
    // the user's own language (0: the platform's order) then says what went
    // wrong. The documentation names ERROR_RESOURCE_LANG_NOT_FOUND for that,
    // but a Windows whose texts come from language packs answers
    // ERROR_MUI_FILE_NOT_FOUND: any failure is asked again, which changes
    // nothing where the English text is there.
    if (length == 0)
        length = FormatMessageA(flags, NULL, code, 0, reinterpret_cast<char*>(&message), 0, NULL);
    if (length > 0 && message) {
        CopyText(text, capacity, message);
    }
    if (message)
        LocalFree(message);
    return static_cast<int>(code);
}

void FormatSystemFailure(char* text, size_t capacity, const char* format, const char* subject)
{
    char systemText[SYSTEM_ERROR_TEXT_CAPACITY];
    int code = SystemErrorText(systemText, sizeof systemText);
    FormatText(text, capacity, format, subject, code, systemText);
}
