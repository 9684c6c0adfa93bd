// Start-up of the status window: the printer check, the port look-up and the libraries.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/startup.h"
#include "spooler_printers.h"
#include "status_test_support.h"

namespace {

const wchar_t kTestDriver[] = L"PSW Test Driver";
const wchar_t kModelDriver[] = L"Tavik MP-800";
const wchar_t kTestPrinter[] = L"PSW Test Printer";
const wchar_t kModelPrinter[] = L"PSW Model Printer";

// Two extra printers: one of a test driver whose monitor each test sets, and one of a model
// driver of the package that names no monitor.
class PrinterCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        AddDriver(kTestDriver);
        AddDriver(kModelDriver);
        SetDriverMonitor(kModelDriver, L"");
        AddTestPrinter(kTestPrinter, kTestDriver, L"LPT2:");
        AddTestPrinter(kModelPrinter, kModelDriver, L"LPT3:");
    }
    static void TearDownTestSuite()
    {
        DeletePrinterNamed(kTestPrinter);
        DeletePrinterNamed(kModelPrinter);
        DeleteDriver(kTestDriver);
        DeleteDriver(kModelDriver);
    }
    void TearDown() override { SetDriverMonitor(kPackagePrinter, PACKAGE_MONITOR_NAME); }

    static BOOL Belongs(const wchar_t* printer, CallSite site = {})
    {
        CallerTrace trace(site);
        HANDLE handle = nullptr;
        EXPECT_TRUE(OpenPrinterW(const_cast<wchar_t*>(printer), &handle, nullptr)) << GetLastError();
        BOOL belongs = PrinterBelongsToPackage(handle);
        ClosePrinter(handle);
        return belongs;
    }
    static std::wstring Port(const wchar_t* printer)
    {
        wchar_t port[PORT_NAME_CHARS] = L"unchanged";
        LookUpPortName(printer, port);
        return port;
    }
};

TEST_F(PrinterCheck, TheMonitorOfThePackageDecidesWhateverTheDriverName)
{
    SetDriverMonitor(kTestDriver, PACKAGE_MONITOR_NAME);
    EXPECT_TRUE(Belongs(kTestPrinter));
    EXPECT_EQ(Port(kTestPrinter), L"LPT2:");

    SetDriverMonitor(kTestDriver, L"Other Monitor");
    EXPECT_FALSE(Belongs(kTestPrinter));
    EXPECT_EQ(Port(kTestPrinter), L"");
}

TEST_F(PrinterCheck, WithoutAMonitorOnlyTheDriverNamesCount)
{
    // Not a model of the package: neither check nor port.
    SetDriverMonitor(kTestDriver, L"");
    EXPECT_FALSE(Belongs(kTestPrinter));
    EXPECT_EQ(Port(kTestPrinter), L"");

    // Another model of the package: its port is found, but the window serves only this model.
    EXPECT_FALSE(Belongs(kModelPrinter));
    EXPECT_EQ(Port(kModelPrinter), L"LPT3:");

    SetDriverMonitor(kPackagePrinter, L"");
    EXPECT_TRUE(Belongs(kPackagePrinter));
    EXPECT_EQ(Port(kPackagePrinter), L"LPT1:");
}

TEST_F(PrinterCheck, AnUnknownPrinterHasNoPort)
{
    EXPECT_EQ(Port(L"No Such Printer"), L"");
}

}  // namespace

namespace {

TEST(LibraryBinding, OneMissingEntryPointLeavesNothingLoaded)
{
    // The presentation library beside an incomplete status library, in a folder of their own.
    const ScratchFolder scratch(L"psw-binding");
    const std::wstring& folder = scratch.path();
    ASSERT_TRUE(CopyFileW((DriverDirectory() + L"\\XERB5PMN.DLL").c_str(), (folder + L"\\XERB5PMN.DLL").c_str(), FALSE))
        << GetLastError();
    ASSERT_TRUE(CopyFileW(L"" INCOMPLETE_LIBRARY, (folder + L"\\XERB5SMK.DLL").c_str(), FALSE)) << GetLastError();
    const SavedDllDirectory dllDirectory;
    ASSERT_TRUE(SetDllDirectoryW(folder.c_str())) << GetLastError();
    PswLibraries libraries;
    EXPECT_FALSE(BindLibraries(&libraries));
    EXPECT_EQ(libraries.presentation, nullptr);
    EXPECT_EQ(libraries.PSM_GetPSWInfo, nullptr);
    EXPECT_EQ(GetModuleHandleW(L"XERB5PMN.DLL"), nullptr) << "the presentation library was freed again";
    EXPECT_EQ(GetModuleHandleW(L"XERB5SMK.DLL"), nullptr);

    ASSERT_TRUE(SetDllDirectoryW(DriverDirectory().c_str())) << GetLastError();
    ASSERT_TRUE(BindLibraries(&libraries)) << GetLastError();
    EXPECT_TRUE(libraries.SmPsw_StopPolling && libraries.PSM_GetFileName);
    ReleaseLibraries(&libraries);
    EXPECT_EQ(GetModuleHandleW(L"XERB5SMK.DLL"), nullptr);
}

}  // namespace
