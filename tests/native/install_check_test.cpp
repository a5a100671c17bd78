#include "plugin/install_check.h"

#include <gtest/gtest.h>

TEST(InstallCheck, VersionBoundaryOfMajorOne)
{
    EXPECT_EQ(INSTALL_ACCEPTED, CheckInstall(1, 51, 22, 0, 264));
    EXPECT_EQ(INSTALL_ACCEPTED, CheckInstall(1, 52, 0, 0, 264));
    EXPECT_EQ(INSTALL_OLD_HOST, CheckInstall(1, 51, 21, 0, 264));
    EXPECT_EQ(INSTALL_OLD_HOST, CheckInstall(1, 50, 99, 0, 264));
    // Signed comparisons: a negative minor or build is old.
    EXPECT_EQ(INSTALL_OLD_HOST, CheckInstall(1, -1, 100, 0, 264));
    EXPECT_EQ(INSTALL_OLD_HOST, CheckInstall(1, 51, -5, 0, 264));
}

TEST(InstallCheck, OtherMajorsAndNoVersionCheckPassUnchecked)
{
    EXPECT_EQ(INSTALL_ACCEPTED, CheckInstall(2, 0, 0, 0, 264));
    EXPECT_EQ(INSTALL_ACCEPTED, CheckInstall(0, 9, 0, 0, 264));
    EXPECT_EQ(INSTALL_ACCEPTED, CheckInstall(1, 0, 0, 1, 264));
    EXPECT_EQ(INSTALL_ACCEPTED, CheckInstall(1, 0, 0, 0x80000000u, 264));
}

TEST(InstallCheck, WrongSizeIsJudgedAfterTheVersion)
{
    EXPECT_EQ(INSTALL_WRONG_DATA_SIZE, CheckInstall(1, 51, 22, 0, 263));
    EXPECT_EQ(INSTALL_WRONG_DATA_SIZE, CheckInstall(1, 0, 0, 1, -264));
    EXPECT_EQ(INSTALL_OLD_HOST, CheckInstall(1, 50, 0, 0, 263));
}
