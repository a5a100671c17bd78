#include "plugin/host_record.h"

#include <string.h>

#include "common/bounded_text.h"

static_assert(sizeof(PL_DATA) == PL_DATA_SIZE, "PL_DATA is 264 bytes");
static_assert(HOST_USER + HOST_USER_WIDTH == HOST_GET_EDITOR, "User runs up to GetEditor");

int32_t HostInteger(const PL_HOSTINFO* host, size_t offset)
{
    const unsigned char* b = host->Bytes + offset;
    uint32_t value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                     static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    return static_cast<int32_t>(value);
}

void HostText(const PL_HOSTINFO* host, size_t offset, size_t width,
              char* text, size_t capacity)
{
    CopyField(text, capacity, reinterpret_cast<const char*>(host->Bytes + offset), width);
}

size_t HostTextLength(const PL_HOSTINFO* host, size_t offset, size_t width)
{
    return FieldLength(reinterpret_cast<const char*>(host->Bytes + offset), width);
}

void CopyHostLogon(const PL_HOSTINFO* host, PL_HOSTINFO* logon)
{
    memset(logon, 0, sizeof *logon);
    const size_t fields[][2] = {{HOST_USER, HOST_USER_WIDTH},
                                {HOST_PASSWORD, HOST_PASSWORD_WIDTH},
                                {HOST_DATABASE, HOST_DATABASE_WIDTH}};
    for (const auto& field : fields)
        memcpy(logon->Bytes + field[0], host->Bytes + field[0], field[1]);
}
