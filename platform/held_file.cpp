#include "platform/held_file.h"

#include <windows.h>

enum
{
    FIRST_WAIT_MS = 10,
    LONGEST_WAIT_MS = 250,
    GIVE_UP_AFTER_MS = 2000
};

bool RetryHeldFile(HeldFileRetry* retry)
{
    DWORD error = GetLastError();
    bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                error == ERROR_ACCESS_DENIED;
    DWORD now = GetTickCount();
    if (held && retry->nextWait == 0) {
        retry->firstFailure = now;
        retry->nextWait = FIRST_WAIT_MS;
    }
    // Unsigned arithmetic: right across the tick count's wrap too.
    DWORD waited = now - retry->firstFailure;
    if (!held || waited >= GIVE_UP_AFTER_MS) {
        SetLastError(error);
        return false;
    }
    DWORD wait = retry->nextWait;
    // The last wait ends when the time is up, so the last try comes then.
    if (wait > GIVE_UP_AFTER_MS - waited)
        wait = GIVE_UP_AFTER_MS - waited;
    Sleep(wait);
    retry->nextWait *= 2;
    if (retry->nextWait > LONGEST_WAIT_MS)
        retry->nextWait = LONGEST_WAIT_MS;
    return true;
}

bool DeleteHeldFile(const char* path)
{
    HeldFileRetry retry = {};
    while (!DeleteFileA(path))
        if (!RetryHeldFile(&retry))
            return false;
    return true;
}
