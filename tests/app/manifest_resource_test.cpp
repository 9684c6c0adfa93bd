// The troubleshooter's embedded manifest, read back from the built program as the system
// reads it when it starts the program.
#include "support/program_manifest.h"

namespace {

class TroubleshooterManifest : public testing::Test {
protected:
    static std::wstring Program() { return ProgramOfThisBuild(L"diag\\pdiag.exe"); }

    void SetUp() override { ASSERT_TRUE(manifest_.made()) << "the system refuses the manifest: " << manifest_.error(); }

    ManifestContext manifest_{Program()};
};

// One manifest, id 1: the one the system looks for when it starts a program.
TEST_F(TroubleshooterManifest, IsTheOnlyOneAndHasIdOne)
{
    EXPECT_EQ(ManifestResourceIds(Program()), std::vector<ULONG_PTR>{1});
}

// Repairs need administrator rights: an administrator is asked to elevate the program, anyone
// else runs it unelevated; it never drives other programs' windows.
TEST_F(TroubleshooterManifest, AsksForTheHighestRightsTheUserHas)
{
    const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = manifest_.RunLevel();
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_HIGHEST_AVAILABLE);
    EXPECT_EQ(level.UiAccess, 0u);
}

// comctl32.dll comes from the program's own binding to the common controls 6 assembly, not
// from the test program's, which is active beneath it here.
TEST_F(TroubleshooterManifest, BindsCommonControlsSix)
{
    const std::wstring assembly = manifest_.AssemblyOfDll(L"comctl32.dll");
    EXPECT_TRUE(IsCommonControlsSix(assembly)) << testing::PrintToString(assembly);
}

// Per-monitor v2 where Windows knows it: the dialogs are laid out anew for each monitor's scale.
// Elsewhere the system's DPI, as the older declaration says.
TEST_F(TroubleshooterManifest, IsAwareOfEachMonitorsDpiWhereWindowsCan)
{
    EXPECT_EQ(manifest_.Setting(kWindowsSettings2005, L"dpiAware"), std::optional<std::wstring>(L"true"));
    EXPECT_EQ(manifest_.Setting(kWindowsSettings2016, L"dpiAwareness"), std::optional<std::wstring>(L"PerMonitorV2, system"));
}

}  // namespace
