#include "tests/wine/plugin_fixture.h"

#include <string.h>

namespace {

const char OLD_HOST_TEXT[] = "Incompatible Korvel SQL editor version. Required 1.51.22 or higher";

void __cdecl EmptyEditorText(int32_t, char* text, int32_t)
{
    text[0] = '\0';
}

struct Host
{
    int32_t major, minor, build, noVersionCheck, dataSize;
};

class InstallCheck : public PluginTest
{
protected:
    // Installs into a host of the given version and record size; returns the
    // result, with the PL_DATA the plug-in left in data.
    int32_t InstallInto(const Host& h)
    {
        SetHostInteger(HOST_MAJOR, h.major);
        SetHostInteger(HOST_MINOR, h.minor);
        SetHostInteger(HOST_BUILD, h.build);
        SetHostInteger(HOST_NO_VERSION_CHECK, h.noVersionCheck);
        memset(&data, 0xAB, sizeof data);
        data.Size = h.dataSize;
        memcpy(&before, &data, sizeof data);
        return OnInstall(&data, host());
    }

    void ExpectInstalled()
    {
        EXPECT_TRUE(ShownMessages.empty());
        EXPECT_EQ(PL_DATA_SIZE, data.Size);
        EXPECT_EQ(5, data.Kind);
        EXPECT_STREQ("Tamsil", data.Name);
    }

    void ExpectRefusedWith(const std::string& text)
    {
        ExpectOneErrorBox("Tamsil plug-in", text);
        EXPECT_EQ(0, memcmp(&before, &data, sizeof data)) << "PL_DATA changed on refusal";
    }

    PL_DATA data;
    PL_DATA before;
};

} // namespace

TEST_F(InstallCheck, AcceptsHostsFromVersion1_51_22AndOtherMajors)
{
    const Host accepted[] = {
        {1, 51, 22, 0, 264}, {1, 52, 0, 0, 264}, {1, 51, 100, 0, 264},
        {2, 0, 0, 0, 264},   {0, 9, 0, 0, 264},  {1, 10, 0, 1, 264},
    };
    for (const Host& h : accepted) {
        ShownMessages.clear();
        SCOPED_TRACE(testing::Message() << h.major << "." << h.minor << "." << h.build
                                        << " nocheck " << h.noVersionCheck);
        EXPECT_EQ(0, InstallInto(h));
        ExpectInstalled();
    }
}

TEST_F(InstallCheck, RefusesOlderHostsOfMajorOne)
{
    const Host refused[] = {{1, 51, 21, 0, 264}, {1, 50, 99, 0, 264}, {1, -1, 50, 0, 264}};
    for (const Host& h : refused) {
        ShownMessages.clear();
        SCOPED_TRACE(testing::Message() << h.major << "." << h.minor << "." << h.build);
        EXPECT_EQ(1, InstallInto(h));
        ExpectRefusedWith(OLD_HOST_TEXT);
    }
}

TEST_F(InstallCheck, RefusesAWrongRecordSizeNamingBothSizes)
{
    EXPECT_EQ(1, InstallInto({1, 51, 22, 0, 263}));
    ExpectRefusedWith("Wrong PL_DATA size: 263. 264 required!");
    ShownMessages.clear();
    EXPECT_EQ(1, InstallInto({1, 10, 0, 1, -1}));
    ExpectRefusedWith("Wrong PL_DATA size: -1. 264 required!");
}

TEST_F(InstallCheck, AHostWrongInBothWaysSeesOnlyTheVersionMessage)
{
    EXPECT_EQ(1, InstallInto({1, 50, 0, 0, 263}));
    ExpectRefusedWith(OLD_HOST_TEXT);
}

TEST_F(InstallCheck, KeepsTheHostRecordAfterARefusal)
{
    // After a refused installation the plug-in still reads the record it was
    // given: a run uses the host's connection from it.
    EXPECT_EQ(1, InstallInto({1, 50, 0, 0, 264}));
    ShownMessages.clear();
    SetHostText(HOST_USER, HOST_USER_WIDTH, "SCOTT");
    SetHostPointer(HOST_GET_EDITOR_TEXT, &EmptyEditorText);
    WriteSettingsFile("[Path]\r\nSqlPlus=no-such-client-program\r\n[Settings]\r\nDeleteTemp=1\r\n");
    SetEnvironmentVariableA("TAMSIL_TEST_UNUSED", NULL);
    OnCall();
    // The run reports the client it could not start, with the host's user.
    ASSERT_EQ(1u, ShownMessages.size());
    EXPECT_EQ("Execute Error!", ShownMessages[0].caption);
    EXPECT_EQ(0u, ShownMessages[0].text.find("RUN : no-such-client-program SCOTT@"))
        << ShownMessages[0].text;
}
