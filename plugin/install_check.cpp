#include "plugin/install_check.h"

#include "plugin/host_record.h"

InstallVerdict CheckInstall(uint32_t major, int32_t minor, int32_t build,
                            uint32_t noVersionCheck, int32_t dataSize)
{
    if (noVersionCheck == 0 && major == 1 &&
        (minor < 51 || (minor == 51 && build < 22)))
        return INSTALL_OLD_HOST;
    if (dataSize != PL_DATA_SIZE)
        return INSTALL_WRONG_DATA_SIZE;
    return INSTALL_ACCEPTED;
}
