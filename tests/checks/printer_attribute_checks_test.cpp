// Printer queue attributes and driver data in the prefix's spooler registry.
#include "app/troubleshooter_app.h"
#include "checks/printer_attribute_checks.h"
#include "checks/shortcut_checks.h"
#include "machine_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring kPrinters = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
const std::wstring kLanManServers =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Providers\\LanMan Print Services\\Servers\\";
// A printer key of the tests' own, removed after each test.
const wchar_t kPrinter[] = L"Chk Attribute Printer";

class PrinterAttributes : public ::testing::Test {
protected:
    PrinterAttributes()
    {
        app_.SetPrinterName(kPrinter);
        lstrcpyW(app_.driverName, L"Tavik QX2210-2370");
        lstrcpyW(app_.logFilePath, log_.path());
    }

    void SetAttributes(DWORD attributes) { SetMachineDword(key_, L"Attributes", attributes); }
    std::optional<DWORD> Attributes() { return MachineDword(key_, L"Attributes"); }

    const std::wstring key_ = kPrinters + kPrinter;
    RegistryRestorer restore_{ key_ };
    CTroubleshooterApp app_;
    TempLog log_;
};

}  // namespace

TEST_F(PrinterAttributes, InstalledPrinterIsCorrect)
{
    app_.SetPrinterName(L"Tavik QX2210-2370");
    EXPECT_EQ(app_.CheckBidiSupport(), 1);
    EXPECT_EQ(app_.CheckHoldMismatchedDocuments(), 1);
    EXPECT_EQ(app_.CheckPrinterRegistry(), 1);
    app_.SetPrinterName(L"TAVIK qx2210-2370");
    EXPECT_EQ(app_.CheckBidiSupport(), 1) << "letter case of the printer name";
}

TEST_F(PrinterAttributes, InstalledPrinterFindsAndRepairsEachInjectedFault)
{
    const std::wstring key = kPrinters + L"Tavik QX2210-2370";
    RegistryRestorer restore(key, { L"Attributes" });
    std::optional<DWORD> installed = MachineDword(key, L"Attributes");
    ASSERT_TRUE(installed);
    app_.SetPrinterName(L"Tavik QX2210-2370");

    SetMachineDword(key, L"Attributes", *installed & ~0x800u);
    EXPECT_EQ(app_.CheckBidiSupport(), 0);
    EXPECT_EQ(app_.CheckHoldMismatchedDocuments(), 1);
    EXPECT_EQ(app_.EnableBidiSupport(), 1);
    EXPECT_EQ(MachineDword(key, L"Attributes"), *installed);

    SetMachineDword(key, L"Attributes", *installed | 0x80u);
    EXPECT_EQ(app_.CheckHoldMismatchedDocuments(), 0);
    EXPECT_EQ(app_.CheckBidiSupport(), 1);
    EXPECT_EQ(app_.DisableHoldMismatchedDocuments(), 1);
    EXPECT_EQ(MachineDword(key, L"Attributes"), *installed);
}

TEST_F(PrinterAttributes, BidiBitDecides)
{
    SetAttributes(0xA40);
    EXPECT_EQ(app_.CheckBidiSupport(), 1);
    SetAttributes(0x2C0);
    EXPECT_EQ(app_.CheckBidiSupport(), 0);
}

TEST_F(PrinterAttributes, HoldMismatchedBitDecides)
{
    SetAttributes(0xC0);
    EXPECT_EQ(app_.CheckHoldMismatchedDocuments(), 0);
    SetAttributes(0x840);
    EXPECT_EQ(app_.CheckHoldMismatchedDocuments(), 1);
}

TEST_F(PrinterAttributes, RepairsChangeOnlyTheirBit)
{
    SetAttributes(0x40);
    EXPECT_EQ(app_.EnableBidiSupport(), 1);
    EXPECT_EQ(Attributes(), 0x840u);
    EXPECT_EQ(app_.CheckBidiSupport(), 1);

    SetAttributes(0xC0);
    EXPECT_EQ(app_.DisableHoldMismatchedDocuments(), 1);
    EXPECT_EQ(Attributes(), 0x40u);
    EXPECT_EQ(app_.CheckHoldMismatchedDocuments(), 1);
}

TEST_F(PrinterAttributes, UnreadableAttributesAreAFaultThatIsNotWritten)
{
    SetMachineString(key_, L"Name", kPrinter);
    EXPECT_EQ(app_.CheckBidiSupport(), 0);
    EXPECT_EQ(app_.CheckHoldMismatchedDocuments(), 0);
    EXPECT_EQ(app_.EnableBidiSupport(), 0);
    EXPECT_EQ(app_.DisableHoldMismatchedDocuments(), 0);
    EXPECT_FALSE(ReadMachineValue(key_, L"Attributes"));

    app_.SetPrinterName(L"Chk Printer Not There");
    EXPECT_EQ(app_.CheckBidiSupport(), 0);
    EXPECT_EQ(app_.EnableBidiSupport(), 0);
    EXPECT_FALSE(MachineKeyExists(kPrinters + L"Chk Printer Not There"));
}

TEST_F(PrinterAttributes, BackslashesOfTheNameBecomeCommas)
{
    const std::wstring key = kPrinters + L",,srv,laser";
    RegistryRestorer restore(key);
    SetMachineDword(key, L"Attributes", 0x8C0);
    app_.SetPrinterName(L"\\\\srv\\laser");
    EXPECT_EQ(app_.CheckBidiSupport(), 1);
    EXPECT_EQ(app_.DisableHoldMismatchedDocuments(), 1);
    EXPECT_EQ(MachineDword(key, L"Attributes"), 0x840u);
}

TEST_F(PrinterAttributes, DriverDataNeedsBothValues)
{
    const std::wstring data = key_ + L"\\PrinterDriverData";
    EXPECT_EQ(app_.CheckPrinterRegistry(), 0) << "no key";
    SetMachineValue(data, L"APPINFO", REG_BINARY, "\x01\x02", 2);
    EXPECT_EQ(app_.CheckPrinterRegistry(), 0) << "APPINFO-SIZE missing";
    SetMachineString(data, L"APPINFO-SIZE", L"");
    EXPECT_EQ(app_.CheckPrinterRegistry(), 1) << "any type and contents";
    DeleteMachineValue(data, L"APPINFO");
    EXPECT_EQ(app_.CheckPrinterRegistry(), 0) << "APPINFO missing";
}

TEST_F(PrinterAttributes, ServersPrinterDataIsUnderTheConnection)
{
    const std::wstring local = kPrinters + L",,srv,laser\\PrinterDriverData";
    const std::wstring connection = kLanManServers + L"srv\\Printers\\laser\\PrinterDriverData";
    RegistryRestorer restoreLocal(kPrinters + L",,srv,laser");
    RegistryRestorer restoreConnection(kLanManServers + L"srv");
    SetMachineDword(local, L"APPINFO", 1);
    SetMachineDword(local, L"APPINFO-SIZE", 4);
    app_.SetPrinterName(L"\\\\srv\\laser");
    app_.remotePrinter = 1;
    app_.serverName = L"srv";
    EXPECT_EQ(app_.CheckPrinterRegistry(), 0) << "the local key is not the connection's";

    SetMachineDword(connection, L"APPINFO", 1);
    SetMachineDword(connection, L"APPINFO-SIZE", 4);
    EXPECT_EQ(app_.CheckPrinterRegistry(), 1);
    app_.serverName = L"\\\\srv";
    EXPECT_EQ(app_.CheckPrinterRegistry(), 1) << "leading backslashes of the server name";
    DeleteMachineValue(connection, L"APPINFO");
    EXPECT_EQ(app_.CheckPrinterRegistry(), 0);
    app_.remotePrinter = 0;
    EXPECT_EQ(app_.CheckPrinterRegistry(), 1) << "a local printer's own key";
}

TEST_F(PrinterAttributes, RegistryLogLines)
{
    app_.WriteFinding(PrinterRegistryFinding(0));
    app_.WriteFinding(AppPathFinding(0));
    EXPECT_EQ(log_.bytes(), "\xb4\xed\xce\xf3:\xd7\xa2\xb2\xe1\xb1\xed\xc9\xe8\xd6\xc3\xb2\xbb\xd5\xfd\xc8\xb7\xa1\xa3"
                            "\xd7\xa2\xb2\xe1\xb1\xed\xc9\xe8\xd6\xc3\xd5\xfd\xc8\xb7\xa1\xa3\r\n");
}
