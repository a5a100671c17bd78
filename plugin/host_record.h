#ifndef TAMSIL_HOST_RECORD_H
#define TAMSIL_HOST_RECORD_H

#include <stddef.h>
#include <stdint.h>

// The host's record, read at the fixed byte offsets the host lays it out at.
// It is owned by the host and never written here. The plug-in keeps the
// pointer it got at installation and reads the fields afresh at every call,
// since the host may change the connection between calls.
enum HostRecordLayout
{
    HOST_MAJOR = 4,
    HOST_MINOR = 8,
    HOST_BUILD = 12,
    HOST_DATABASE = 16,
    HOST_DATABASE_WIDTH = 64,
    HOST_USER = 80,
    HOST_USER_WIDTH = 192,          // up to the GetEditor entry at 272
    HOST_GET_EDITOR = 272,
    HOST_GET_EDITOR_TEXT = 280,
    HOST_SET_EDITOR_TEXT = 284,
    HOST_PASSWORD = 296,
    HOST_PASSWORD_WIDTH = 64,
    HOST_MAIN_WINDOW = 360,
    HOST_NO_VERSION_CHECK = 404,
    HOST_RECORD_SIZE = 408          // the bytes read: up to the last field's end
};

struct PL_HOSTINFO
{
    unsigned char Bytes[HOST_RECORD_SIZE];
};

// The registration record the plug-in fills at a successful installation.
struct PL_DATA
{
    int32_t Size;
    int32_t Kind;
    char Name[256];
};

enum
{
    PL_DATA_SIZE = 264,
    PLUGIN_KIND = 5
};

// A 32-bit little-endian integer of the record.
int32_t HostInteger(const PL_HOSTINFO* host, size_t offset);

// A text field of the record, read within its width (a field without a NUL
// is taken whole), copied into text with the given capacity.
void HostText(const PL_HOSTINFO* host, size_t offset, size_t width,
              char* text, size_t capacity);

// Length of a text field within its width.
size_t HostTextLength(const PL_HOSTINFO* host, size_t offset, size_t width);

// Copies the log-on fields of host (user, password, database) into logon,
// whose other bytes are zero: a record that gives the log-on as it was at
// the copy, and no entry to call.
void CopyHostLogon(const PL_HOSTINFO* host, PL_HOSTINFO* logon);

#endif
