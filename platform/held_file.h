#ifndef TAMSIL_HELD_FILE_H
#define TAMSIL_HELD_FILE_H

// Virus scanners, indexers and backup agents open a file for a moment,
// often without sharing, just after it was written or closed; an opening or
// a deletion that falls into that moment fails. Such a failure is retried
// for about two seconds:
//
//   HeldFileRetry retry = {};
//   while (!attempt() && RetryHeldFile(&retry)) {}
struct HeldFileRetry
{
    unsigned long firstFailure;   // tick count of the first failure
    unsigned long nextWait;       // milliseconds; 0 before the first failure
};

// Called on the line after a failing opening or deletion. When the failure
// is one a brief hold gives (a sharing or lock violation, or access denied)
// and less than about two seconds have passed since the first failure,
// waits (the first wait 10 ms, each next one twice as long, at most 250 ms;
// no window messages are processed) and returns true: try again. Else
// returns false at once, with the failing call's error as the last error.
bool RetryHeldFile(HeldFileRetry* retry);

// DeleteFileA, retried while the file is held.
bool DeleteHeldFile(const char* path);

#endif
