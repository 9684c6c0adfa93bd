// The status window's embedded manifest, read back from the built program as the system
// reads it when it starts the program.
#include "support/program_manifest.h"

namespace {

class StatusWindowManifest : public testing::Test {
protected:
    static std::wstring Program() { return ProgramOfThisBuild(L"status\\pstatus.exe"); }

    void SetUp() override { ASSERT_TRUE(manifest_.made()) << "the system refuses the manifest: " << manifest_.error(); }

    ManifestContext manifest_{Program()};
};

// One manifest, id 1: the one the system looks for when it starts a program.
TEST_F(StatusWindowManifest, IsTheOnlyOneAndHasIdOne)
{
    EXPECT_EQ(ManifestResourceIds(Program()), std::vector<ULONG_PTR>{1});
}

// Started for every user at logon: it runs with the user's rights and never asks for more.
TEST_F(StatusWindowManifest, RunsAsItsInvoker)
{
    const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = manifest_.RunLevel();
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(level.UiAccess, 0u);
}

// comctl32.dll comes from the program's own binding to the common controls 6 assembly, not
// from the test program's, which is active beneath it here.
TEST_F(StatusWindowManifest, BindsCommonControlsSix)
{
    const std::wstring assembly = manifest_.AssemblyOfDll(L"comctl32.dll");
    EXPECT_TRUE(IsCommonControlsSix(assembly)) << testing::PrintToString(assembly);
}

// The window scales its pixel layout to each monitor's DPI: per-monitor v2, falling back to
// per-monitor and, on Windows before 8.1, to the system's DPI.
TEST_F(StatusWindowManifest, IsAwareOfEachMonitorsDpi)
{
    EXPECT_EQ(manifest_.Setting(kWindowsSettings2005, L"dpiAware"), std::optional<std::wstring>(L"true/pm"));
    EXPECT_EQ(manifest_.Setting(kWindowsSettings2016, L"dpiAwareness"),
              std::optional<std::wstring>(L"PerMonitorV2, PerMonitor"));
}

}  // namespace
