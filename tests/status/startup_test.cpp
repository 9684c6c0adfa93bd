// Start-up of the status window: the command line, the printer check and the port look-up.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/startup.h"
#include "spooler_printers.h"
#include "status_test_support.h"

namespace {

struct CommandLineCase {
    const wchar_t* line;
    const wchar_t* printer;
    const wchar_t* port;
    BOOL readToEnd;
};

TEST(CommandLine, SwitchesAreReadAsTheProgramStartersWriteThem)
{
    const CommandLineCase cases[] = {
        {L"C:\\p\\pstatus.exe !DTavik QX2210-2370  !PLPT1:", L"Tavik QX2210-2370", L"LPT1:", TRUE},
        {L"pstatus.exe !P LPT2:  !Dprn", L"prn", L" LPT2:  ", TRUE},
        {L"pstatus.exe !Dprn !LX !PLPT2:", L"prn", L"", FALSE},
        {L"pstatus.exe !Sx !Dprn", L"", L"", FALSE},
        {L"pstatus.exe !Dprn !N", L"prn", L"", FALSE},
        {L"pstatus.exe !Dprn!", L"prn", L"", FALSE},
        {L"pstatus.exe !Dprn !P", L"prn", L"", TRUE},
        {L"pstatus.exe", L"", L"", TRUE},
        // Quotes are not interpreted: the path ends at its first blank.
        {L"\"C:\\Program Files\\pstatus.exe\" !Dq", L"q", L"", TRUE},
    };
    for (const CommandLineCase& c : cases) {
        wchar_t printer[PRINTER_NAME_CHARS], port[PORT_NAME_CHARS];
        BOOL readToEnd = ParseCommandLine(c.line, printer, port);
        SCOPED_TRACE(testing::Message() << "line " << (&c - cases));
        EXPECT_STREQ(printer, c.printer);
        EXPECT_STREQ(port, c.port);
        EXPECT_EQ(readToEnd, c.readToEnd);
    }
}

TEST(CommandLine, OverlongValuesAreCutToTheirBuffers)
{
    const std::wstring longPrinter(300, L'p'), longPort(100, L'q');
    wchar_t printer[PRINTER_NAME_CHARS], port[PORT_NAME_CHARS];
    ParseCommandLine((L"x !D" + longPrinter + L" !P" + longPort).c_str(), printer, port);
    EXPECT_EQ(std::wstring(printer), std::wstring(261, L'p'));
    EXPECT_EQ(std::wstring(port), std::wstring(79, L'q'));
}

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
