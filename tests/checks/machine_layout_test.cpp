// Where the checks look on each kind of machine: a 32-bit program on 32-bit Windows, a 32-bit
// program on 64-bit Windows (WoW64) and a 64-bit program.
#include "checks/machine_layout.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kSystem = L"C:\\windows\\system32";

struct LayoutCase {
    const char* label;
    bool process64;
    bool system64;
    const wchar_t* environment;
    const wchar_t* locationCode;
    const wchar_t* driverDirectory;
    REGSAM registryView;
    bool redirectedFiles;
};

const LayoutCase kLayouts[] = {
    { "32-bit Windows", false, false, L"Windows NT x86", L"W32_3", L"C:\\windows\\system32\\spool\\drivers\\w32x86\\3", 0,
      false },
    { "32-bit program on 64-bit Windows", false, true, L"Windows x64", L"X64_3",
      L"C:\\windows\\system32\\spool\\drivers\\x64\\3", KEY_WOW64_64KEY, true },
    { "64-bit program", true, true, L"Windows x64", L"X64_3", L"C:\\windows\\system32\\spool\\drivers\\x64\\3",
      KEY_WOW64_64KEY, false },
};

}  // namespace

TEST(MachineLayout, EachKindOfMachineHasItsEnvironmentFoldersAndView)
{
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.label);
        const MachineLayout layout = LayoutFor(c.process64, c.system64, kSystem);
        EXPECT_STREQ(layout.environment, c.environment);
        EXPECT_STREQ(layout.locationCode, c.locationCode);
        EXPECT_EQ(layout.systemDirectory, kSystem);
        EXPECT_EQ(layout.driverDirectory, c.driverDirectory);
        EXPECT_EQ(layout.registryView, c.registryView);
        EXPECT_EQ(layout.redirectedFiles, c.redirectedFiles);
    }
}

TEST(MachineLayout, ThisProcessSeesTheSpoolersPlaces)
{
    const MachineLayout& machine = ThisMachine();
    EXPECT_STREQ(machine.environment, kPackageEnvironment);
    EXPECT_EQ(machine.systemDirectory, SystemDir());
    EXPECT_EQ(machine.driverDirectory, DriverDir());
    EXPECT_EQ(LocationDirectory(machine.locationCode), DriverDir());
}

TEST(MachineLayout, LocationCodesNameTheirFoldersCaseSensitively)
{
    const std::wstring system = SystemDir();
    const struct {
        const wchar_t* code;
        std::wstring directory;
    } cases[] = {
        { L"W32_3", system + L"\\spool\\drivers\\w32x86\\3" },
        { L"X64_3", system + L"\\spool\\drivers\\x64\\3" },
        { L"SYS32", system },
        { L"DRV", system + L"\\drivers" },
        { L"W32", L"" },
        { L"sys32", L"" },
        { L"-", L"" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(LocationDirectory(c.code), c.directory) << Ansi(c.code);
}
