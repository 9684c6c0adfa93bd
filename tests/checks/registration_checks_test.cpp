// Print monitor and printer driver registration in the prefix's spooler keys.
#include "app/troubleshooter_app.h"
#include "checks/registration_checks.h"
#include "machine_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring kPrint = L"SYSTEM\\CurrentControlSet\\Control\\Print";
const std::wstring kMonitorKey = kPrint + L"\\Monitors\\XERB5 Monitor";
const wchar_t kPackageDriver[] = L"Tavik QX2210-2370";

std::wstring DriverKey(const std::wstring& driver)
{
    return kPrint + L"\\Environments\\" + kPackageEnvironment + L"\\Drivers\\Version-3\\" + driver;
}

// The six values of a driver entry as the package registers them.
void RegisterPackageValues(const std::wstring& key)
{
    SetMachineString(key, L"Configuration File", L"XERB5UIK.DLL");
    SetMachineString(key, L"Data File", L"XERB5K.DLL");
    SetMachineString(key, L"Driver", L"XERB5K.DLL");
    SetMachineString(key, L"Help File", L"XERB5.HLP");
    SetMachineString(key, L"Monitor", L"XERB5 Monitor");
    SetMachineDword(key, L"Version", 3);
}

class Registration : public ::testing::Test {
protected:
    Registration()
    {
        lstrcpyW(app_.driverName, kPackageDriver);
        lstrcpyW(app_.logFilePath, log_.path());
    }

    CTroubleshooterApp app_;
    TempLog log_;
};

// Starts from the package's driver entry with its six values as registered; puts them back after.
class DriverEntry : public Registration {
protected:
    void SetUp() override { RegisterPackageValues(key_); }

    const std::wstring key_ = DriverKey(kPackageDriver);
    RegistryRestorer restore_{ key_, { L"Configuration File", L"Data File", L"Driver", L"Help File", L"Monitor", L"Version" } };
};

class MonitorEntry : public Registration {
protected:
    RegistryRestorer restore_{ kMonitorKey, { L"Driver" } };
};

}  // namespace

TEST_F(Registration, InstalledPackageIsRegistered)
{
    EXPECT_EQ(app_.CheckLanguageMonitor(), 0);
    EXPECT_EQ(app_.CheckPrinterDriver(), 0);
}

// --- Language monitor ---------------------------------------------------------------------------

TEST_F(MonitorEntry, DriverValueNamesTheMonitorLibrary)
{
    SetMachineString(kMonitorKey, L"Driver", L"xerb5lmk.dll");
    EXPECT_EQ(app_.CheckLanguageMonitor(), 0) << "letter case";
    SetMachineString(kMonitorKey, L"Driver", L"XERB5LM.DLL");
    EXPECT_EQ(app_.CheckLanguageMonitor(), 0x100);
    SetMachineString(kMonitorKey, L"Driver", std::wstring(L"XERB5LMK.DLL") + std::wstring(20, L' '));
    EXPECT_EQ(app_.CheckLanguageMonitor(), 0x100) << "32 characters";
    DeleteMachineValue(kMonitorKey, L"Driver");
    EXPECT_EQ(app_.CheckLanguageMonitor(), 0x100) << "no value";
}

TEST_F(MonitorEntry, RepairWritesTheLibraryName)
{
    DeleteMachineValue(kMonitorKey, L"Driver");
    EXPECT_EQ(app_.RepairLanguageMonitor(0), 1);
    EXPECT_FALSE(ReadMachineValue(kMonitorKey, L"Driver")) << "nothing to repair";

    EXPECT_EQ(app_.RepairLanguageMonitor(0x100), 1);
    std::optional<MachineData> written = ReadMachineValue(kMonitorKey, L"Driver");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->type, DWORD(REG_SZ));
    EXPECT_EQ(written->bytes.size(), 26u);
    EXPECT_EQ(MachineString(kMonitorKey, L"Driver"), L"XERB5LMK.DLL");
    EXPECT_EQ(app_.CheckLanguageMonitor(), 0);
}

TEST_F(Registration, LanguageMonitorLogLines)
{
    app_.WriteFinding(LanguageMonitorFinding(0x100));
    app_.WriteFinding(LanguageMonitorFinding(0));
    const std::string product = "Tavik QX2210-2370 \xd3\xef\xd1\xd4\xbc\xe0\xca\xd3\xc6\xf7";
    EXPECT_EQ(log_.bytes(), "\xb4\xed\xce\xf3:" + product + "\xce\xb4\xb1\xbb\xb0\xb2\xd7\xb0\xa1\xa3" + product +
                                "\xd2\xd1\xb0\xb2\xd7\xb0\xa1\xa3\r\n");
}

// --- Printer driver -----------------------------------------------------------------------------

TEST_F(DriverEntry, PackageValuesAreCorrect)
{
    EXPECT_EQ(app_.CheckPrinterDriver(), 0);
}

TEST_F(DriverEntry, EachWrongValueHasItsBit)
{
    struct Case {
        const wchar_t* name;
        int bit;
    };
    const Case cases[] = { { L"Configuration File", 0x01 }, { L"Data File", 0x02 }, { L"Driver", 0x08 },
                           { L"Help File", 0x10 },          { L"Monitor", 0x20 },   { L"Version", 0x40 } };
    for (const Case& c : cases) {
        RegisterPackageValues(key_);
        DeleteMachineValue(key_, c.name);
        EXPECT_EQ(app_.CheckPrinterDriver(), c.bit) << "missing " << std::string(c.name, c.name + lstrlenW(c.name));
        if (c.bit == 0x40)
            SetMachineDword(key_, c.name, 2);
        else
            SetMachineString(key_, c.name, L"XERB5UI.DLL");
        EXPECT_EQ(app_.CheckPrinterDriver(), c.bit) << "wrong " << std::string(c.name, c.name + lstrlenW(c.name));
    }
}

TEST_F(DriverEntry, LetterCaseDoesNotMatter)
{
    SetMachineString(key_, L"Configuration File", L"xerb5uik.dll");
    SetMachineString(key_, L"Data File", L"Xerb5k.Dll");
    SetMachineString(key_, L"Driver", L"xerb5K.dll");
    SetMachineString(key_, L"Help File", L"xerb5.hlp");
    SetMachineString(key_, L"Monitor", L"XERB5 MONITOR");
    EXPECT_EQ(app_.CheckPrinterDriver(), 0);
}

TEST_F(DriverEntry, StringsAreReadThroughSixtyFourBytes)
{
    SetMachineString(key_, L"Configuration File", std::wstring(L"XERB5UIK.DLL") + std::wstring(20, L' '));
    EXPECT_EQ(app_.CheckPrinterDriver(), 0x01) << "32 characters";
    // The expected name, a zero, then padding: whether the value fits decides.
    std::wstring fits = std::wstring(L"XERB5UIK.DLL") + L'\0' + std::wstring(18, L'x');
    SetMachineString(key_, L"Configuration File", fits);
    EXPECT_EQ(app_.CheckPrinterDriver(), 0) << "64 bytes";
    SetMachineString(key_, L"Configuration File", fits + L'x');
    EXPECT_EQ(app_.CheckPrinterDriver(), 0x01) << "66 bytes";
}

TEST_F(DriverEntry, VersionMustBeTheNumberThree)
{
    SetMachineString(key_, L"Version", L"3");
    EXPECT_EQ(app_.CheckPrinterDriver(), 0x40);
    SetMachineDword(key_, L"Version", 3);
    EXPECT_EQ(app_.CheckPrinterDriver(), 0);
}

TEST_F(DriverEntry, ServersPrinterNeedsNoLocalMonitor)
{
    app_.remotePrinter = 1;
    DeleteMachineValue(key_, L"Monitor");
    EXPECT_EQ(app_.CheckPrinterDriver(), 0);
    SetMachineString(key_, L"Monitor", L"Local Port");
    EXPECT_EQ(app_.CheckPrinterDriver(), 0);
    app_.remotePrinter = 0;
    EXPECT_EQ(app_.CheckPrinterDriver(), 0x20);
}

TEST_F(DriverEntry, RepairWritesOnlyTheNamedValues)
{
    SetMachineString(key_, L"Data File", L"OTHER.DLL");
    SetMachineString(key_, L"Help File", L"OTHER.HLP");
    ASSERT_EQ(app_.CheckPrinterDriver(), 0x12);
    EXPECT_EQ(app_.RepairPrinterDriver(0x02), ERROR_SUCCESS);
    EXPECT_EQ(MachineString(key_, L"Data File"), L"XERB5K.DLL");
    EXPECT_EQ(MachineString(key_, L"Help File"), L"OTHER.HLP");
    EXPECT_EQ(app_.CheckPrinterDriver(), 0x10);
    app_.RepairPrinterDriver(0x10);
    EXPECT_EQ(app_.CheckPrinterDriver(), 0);
}

TEST_F(Registration, MissingDriverKeyIsRepairedWhole)
{
    const wchar_t driver[] = L"Chk Missing Driver";
    lstrcpyW(app_.driverName, driver);
    RegistryRestorer restore(DriverKey(driver));
    ASSERT_FALSE(MachineKeyExists(DriverKey(driver)));
    app_.remotePrinter = 1;
    int code = app_.CheckPrinterDriver();
    EXPECT_EQ(code, -1);

    app_.RepairPrinterDriver(code);
    const std::wstring key = DriverKey(driver);
    EXPECT_EQ(MachineString(key, L"Configuration File"), L"XERB5UIK.DLL");
    EXPECT_EQ(MachineString(key, L"Data File"), L"XERB5K.DLL");
    EXPECT_EQ(MachineString(key, L"Driver"), L"XERB5K.DLL");
    EXPECT_EQ(MachineString(key, L"Help File"), L"XERB5.HLP");
    EXPECT_EQ(MachineString(key, L"Monitor"), L"XERB5 Monitor") << "written for a server's printer too";
    EXPECT_EQ(MachineDword(key, L"Version"), 3u);
    std::optional<MachineData> monitor = ReadMachineValue(key, L"Monitor");
    ASSERT_TRUE(monitor);
    EXPECT_EQ(monitor->bytes.size(), sizeof(L"XERB5 Monitor")) << "the size counts the terminator";
    app_.remotePrinter = 0;
    EXPECT_EQ(app_.CheckPrinterDriver(), 0);
    // Only the spooler's own environment is written: it loads drivers from no other.
    const wchar_t* other = lstrcmpW(kPackageEnvironment, L"Windows x64") ? L"Windows x64" : L"Windows NT x86";
    EXPECT_FALSE(MachineKeyExists(kPrint + L"\\Environments\\" + other + L"\\Drivers\\Version-3\\" + driver))
        << "a key written into " << Ansi(other);
}

TEST_F(Registration, PrinterDriverLogLines)
{
    app_.WriteFinding(PrinterDriverFinding(app_.facts, -1));
    app_.WriteFinding(PrinterDriverFinding(app_.facts, 0));
    EXPECT_EQ(log_.bytes(), "\xb4\xed\xce\xf3:Tavik QX2210-2370 \xb4\xf2\xd3\xa1\xbb\xfa\xc7\xfd\xb6\xaf\xb3\xcc\xd0\xf2"
                            "\xc9\xe8\xd6\xc3\xb2\xbb\xd5\xfd\xc8\xb7\xa1\xa3"
                            "Tavik QX2210-2370 \xb4\xf2\xd3\xa1\xbb\xfa\xc7\xfd\xb6\xaf\xb3\xcc\xd0\xf2"
                            "\xc9\xe8\xd6\xc3\xd5\xfd\xc8\xb7\xa1\xa3\r\n");
}
