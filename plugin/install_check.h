#ifndef TAMSIL_INSTALL_CHECK_H
#define TAMSIL_INSTALL_CHECK_H

#include <stdint.h>

enum InstallVerdict
{
    INSTALL_ACCEPTED,
    INSTALL_OLD_HOST,
    INSTALL_WRONG_DATA_SIZE
};

// Decides whether the plug-in may install into a host. Only hosts of major
// version 1 are checked (from 1.51.22 on), unless the host asks for no check;
// the version is judged before the record size.
InstallVerdict CheckInstall(uint32_t major, int32_t minor, int32_t build,
                            uint32_t noVersionCheck, int32_t dataSize);

#endif
