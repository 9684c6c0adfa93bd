// Where the spooler and the registry keep the machine's own things, decided from the system.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include "app/machine_layout.h"
#include "status_test_support.h"

namespace {

TEST(MachineLayout, TheSystemNotTheBuildChoosesEnvironmentAndView)
{
    const struct {
        BOOL process64, system64;
        const wchar_t* environment;
        REGSAM view;
    } rows[] = {
        {FALSE, FALSE, L"Windows NT x86", 0},                // 32-bit Windows: nothing added
        {FALSE, TRUE, L"Windows x64", KEY_WOW64_64KEY},      // a 32-bit process under WoW64
        {TRUE, TRUE, L"Windows x64", KEY_WOW64_64KEY},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "process 64-bit " << row.process64 << ", system 64-bit " << row.system64);
        const MachineLayout layout = MachineLayoutFor(row.process64, row.system64);
        EXPECT_STREQ(layout.printEnvironment, row.environment);
        EXPECT_EQ(layout.machineView, row.view);
    }
}

// The package registers its driver for the system's own environment only; the environment this
// machine's layout names is the one that has it.
TEST(MachineLayout, ThisMachinesEnvironmentHoldsThePackagesDriver)
{
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPackagePrinter), &printer, nullptr)) << GetLastError();
    const wchar_t* environment = ThisMachineLayout().printEnvironment;
    DWORD needed = 0;
    SetLastError(ERROR_SUCCESS);
    GetPrinterDriverW(printer, const_cast<wchar_t*>(environment), 3, nullptr, 0, &needed);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER)) << "no driver of the package under " << environment;
    ClosePrinter(printer);
}

}  // namespace
