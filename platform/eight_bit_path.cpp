#include "platform/eight_bit_path.h"

#include <windows.h>

#include <limits.h>
#include <string.h>
#include <wchar.h>

enum Conversion { CONVERTED, TOO_LONG, LOSSY };

// Converts length characters of wide (-1: up to its NUL, which comes too)
// to the system code page; *usedDefault tells whether one had no form there.
static int ToSystemCodePage(const wchar_t* wide, int length, char* text, int size,
                            BOOL* usedDefault)
{
    *usedDefault = FALSE;
    // UTF-8 has a form for every character, and the platform refuses the
    // checks below for it: only a broken UTF-16 text fails to convert then.
    if (GetACP() == CP_UTF8)
        return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, length, text, size, NULL,
                                   NULL);
    // A best-fit conversion turns a missing character into a look-alike (an
    // L for an L with a stroke) that names another folder; without it, the
    // default character comes in, and that is seen.
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, text, size, NULL,
                               usedDefault);
}

static Conversion Convert(const wchar_t* path, char* text, size_t capacity)
{
    BOOL usedDefault;
    // A size of 0 would only measure the text.
    int size = capacity < INT_MAX ? static_cast<int>(capacity) : INT_MAX;
    if (size > 0 && ToSystemCodePage(path, -1, text, size, &usedDefault) > 0)
        return usedDefault ? LOSSY : CONVERTED;
    if (size > 0 && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return LOSSY;
    // Too long for the buffer: whether it converts at all decides which
    // failure the caller reports.
    bool converts = ToSystemCodePage(path, -1, NULL, 0, &usedDefault) > 0 && !usedDefault;
    return converts ? TOO_LONG : LOSSY;
}

// The short form of path's folder with path's own last element after it,
// which names the same file whether or not the file is there yet.
static DWORD ShortFolderForm(const wchar_t* path, wchar_t (&shortPath)[MAX_PATH + 1])
{
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    size_t folderLength = static_cast<size_t>(name - path);
    size_t nameLength = wcslen(name);
    wchar_t folder[MAX_PATH + 1];
    if (folderLength == 0 || folderLength >= ARRAYSIZE(folder))
        return folderLength == 0 ? 0 : ARRAYSIZE(shortPath);
    wmemcpy(folder, path, folderLength);
    folder[folderLength] = L'\0';
    DWORD length = GetShortPathNameW(folder, shortPath, ARRAYSIZE(shortPath));
    if (length == 0 || length >= ARRAYSIZE(shortPath))
        return length;
    if (length + nameLength >= ARRAYSIZE(shortPath))
        return ARRAYSIZE(shortPath);
    wmemcpy(shortPath + length, name, nameLength + 1);
    return static_cast<DWORD>(length + nameLength);
}

bool EightBitPath(const wchar_t* path, char* eightBitPath, size_t capacity)
{
    Conversion asGiven = Convert(path, eightBitPath, capacity);
    if (asGiven == CONVERTED)
        return true;
    // Where the volume keeps short names, they are made for 8-bit programs
    // (ASCII, as a rule), and name the same folder. Only the folder goes by
    // its short form: a file's own name is kept, so that a file named beside
    // a module (the settings file beside the plug-in) is the one the user
    // sees there, and a name that has no 8-bit form is refused.
    wchar_t shortPath[MAX_PATH + 1];
    DWORD length = ShortFolderForm(path, shortPath);
    Conversion asShort = LOSSY;
    if (length >= ARRAYSIZE(shortPath))
        asShort = TOO_LONG;
    else if (length > 0)
        asShort = Convert(shortPath, eightBitPath, capacity);
    if (asShort == CONVERTED)
        return true;
    if (capacity > 0)
        eightBitPath[0] = '\0';
    SetLastError(asGiven == TOO_LONG || asShort == TOO_LONG ? ERROR_BUFFER_OVERFLOW
                                                            : ERROR_NO_UNICODE_TRANSLATION);
    return false;
}

void PathAsShown(const wchar_t* path, char* shown, size_t capacity)
{
    if (capacity == 0)
        return;
    // A path cut at the buffer's end comes without its NUL; the last byte
    // stays one.
    memset(shown, 0, capacity);
    int size = capacity - 1 < INT_MAX ? static_cast<int>(capacity - 1) : INT_MAX;
    WideCharToMultiByte(CP_ACP, 0, path, -1, shown, size, NULL, NULL);
}

bool IsSystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != 0;
}

bool HeldBySystemCodePage(const wchar_t* text)
{
    // In pieces, each converted there and back: the system code page keeps
    // no state from one character to the next.
    enum { PIECE = 128 };
    char eightBit[4 * PIECE];
    wchar_t back[PIECE];
    while (*text) {
        int length = 0;
        while (length < PIECE && text[length])
            ++length;
        // A pair of surrogates is one character, never split.
        if (length == PIECE && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
            --length;
        BOOL usedDefault;
        int size = ToSystemCodePage(text, length, eightBit, sizeof eightBit, &usedDefault);
        if (size == 0 || usedDefault ||
            MultiByteToWideChar(CP_ACP, 0, eightBit, size, back, PIECE) != length ||
            wmemcmp(back, text, length) != 0)
            return false;
        text += length;
    }
    return true;
}
