// Installation as the user sees it: the editor stand-in, a real process of
// its own, loads the built plug-in, and a refusal shows a real message box on
// the display.
#include "tests/wine/host_process.h"
#include "tests/wine/plugin_fixture.h"

namespace {

class InstallInRealHost : public ::testing::Test
{
protected:
    void SetUp() override { folder = MakeTempFolder("th"); }
    void TearDown() override { RemoveFolder(folder); }

    std::string PluginArgument() const { return "\"" + BuildFolder() + "\\Tamsil.dll\""; }

    std::string folder;
};

} // namespace

TEST_F(InstallInRealHost, AcceptedHostRegistersTheCommand)
{
    HostProcess host;
    ASSERT_TRUE(host.Start(PluginArgument() + " --version 1.51.22", folder));
    ASSERT_EQ(0, host.Wait());
    EXPECT_EQ("host: OnInstall -> 0 (Kind 5, Name \"Tamsil\")\n", host.Output());
}

TEST_F(InstallInRealHost, RefusalsAreShownOnScreen)
{
    const struct { const char* hostOptions; const char* message; } refusals[] = {
        // A host wrong in both ways sees only the version message.
        {"--version 1.51.21 --data-size 100",
         "Incompatible Korvel SQL editor version. Required 1.51.22 or higher"},
        {"--version 2.0.0 --data-size 263", "Wrong PL_DATA size: 263. 264 required!"},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.hostOptions);
        HostProcess host;
        ASSERT_TRUE(host.Start(PluginArgument() + " " + refusal.hostOptions, folder));
        EXPECT_EQ(refusal.message, AnswerMessageBox(host.ProcessId(), L"Tamsil plug-in"));
        ASSERT_EQ(0, host.Wait());
        EXPECT_EQ("host: OnInstall -> 1 (Kind 0, Name \"\")\n", host.Output());
    }
}
