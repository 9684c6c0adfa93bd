// The prefix after `pkginst install`, seen through the platform's own interfaces.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <winspool.h>

#include "package/package_probe.h"
#include "raii.h"

using namespace probe;

namespace {

const wchar_t kMonitorKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\XERB5 Monitor";
const wchar_t kPortMonitorKey[] = L"SOFTWARE\\Tavik\\XERB5\\Monitors\\XERB5 Monitor";
const wchar_t kAppPathKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\XERB5LAK.EXE";

std::vector<PRINTER_INFO_2W> LocalPrinters(LocalBlock& storage)
{
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    storage = LocalBlock(needed);
    std::vector<PRINTER_INFO_2W> printers;
    if (EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, storage.as(), needed, &needed, &count))
        printers.assign(storage.as<PRINTER_INFO_2W>(), storage.as<PRINTER_INFO_2W>() + count);
    return printers;
}

}  // namespace

TEST(InstalledPackage, SpoolerListsThePrinterWithItsDriverAndPort)
{
    LocalBlock storage(1);
    int found = 0;
    for (const PRINTER_INFO_2W& printer : LocalPrinters(storage)) {
        if (lstrcmpW(printer.pPrinterName, kPrinter) != 0)
            continue;
        ++found;
        EXPECT_STREQ(L"Tavik QX2210-2370", printer.pDriverName);
        EXPECT_STREQ(L"LPT1:", printer.pPortName);
    }
    EXPECT_EQ(1, found);
}

TEST(InstalledPackage, PrinterHasBidiOnAndHoldMismatchedOff)
{
    DWORD attributes = 0;
    ASSERT_TRUE(ReadDword(PrinterKey(), L"Attributes", attributes));
    EXPECT_EQ(0x800u, attributes & 0x800);
    EXPECT_EQ(0u, attributes & 0x80);
}

TEST(InstalledPackage, DriverDataLiesWhereTheChecksLook)
{
    const std::wstring key = PrinterKey() + L"\\PrinterDriverData";
    EXPECT_TRUE(HasValue(key, L"APPINFO"));
    DWORD size = 0;
    ASSERT_TRUE(ReadDword(key, L"APPINFO-SIZE", size));

    // The spooler reads back what lies in that key.
    UniquePrinter printer;
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPrinter), printer.put(), nullptr));
    BYTE data[64];
    DWORD type = 0, needed = 0;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              GetPrinterDataW(printer.get(), const_cast<wchar_t*>(L"APPINFO"), &type, data, sizeof(data), &needed));
    EXPECT_EQ(size, needed);
}

TEST(InstalledPackage, DriverVersion3KeyHoldsThePlainNames)
{
    const std::wstring key = DriverKey();
    std::wstring value;
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"Configuration File", L"XERB5UIK.DLL"}, {L"Data File", L"XERB5K.DLL"}, {L"Driver", L"XERB5K.DLL"},
        {L"Help File", L"XERB5.HLP"},             {L"Monitor", L"XERB5 Monitor"},
    };
    for (const auto& [name, text] : expected) {
        ASSERT_TRUE(ReadShortString(key, name, value)) << name;
        EXPECT_EQ(std::wstring(text), value) << name;
    }
    DWORD version = 0;
    ASSERT_TRUE(ReadDword(key, L"Version", version));
    EXPECT_EQ(3u, version);
}

TEST(InstalledPackage, MonitorIsRegisteredAndTheSpoolerStillEnumeratesPorts)
{
    std::wstring driver;
    ASSERT_TRUE(ReadShortString(kMonitorKey, L"Driver", driver));
    EXPECT_EQ(L"XERB5LMK.DLL", driver);

    // Enumerating ports loads every registered monitor, ours included.
    DWORD needed = 0, count = 0;
    EnumPortsW(nullptr, 2, nullptr, 0, &needed, &count);
    LocalBlock ports(needed);
    ASSERT_TRUE(EnumPortsW(nullptr, 2, ports.as(), needed, &needed, &count));
    bool lpt1 = false;
    for (DWORD i = 0; i < count; ++i)
        lpt1 = lpt1 || lstrcmpW(ports.as<PORT_INFO_2W>()[i].pPortName, L"LPT1:") == 0;
    EXPECT_TRUE(lpt1);
}

TEST(InstalledPackage, PortMonitorKeyHoldsTheLpt1Values)
{
    DWORD value = 0;
    ASSERT_TRUE(ReadDword(kPortMonitorKey, L"UseDMA", value));
    EXPECT_EQ(1u, value);
    const std::wstring port = std::wstring(kPortMonitorKey) + L"\\LPT1:";
    ASSERT_TRUE(ReadDword(port, L"CurrentMode", value));
    EXPECT_EQ(1u, value);
    ASSERT_TRUE(ReadDword(port, L"Mode", value));
    EXPECT_EQ(1u, value);
    ASSERT_TRUE(ReadDword(port, L"Attribute", value));
    EXPECT_EQ(0x0Cu, value);
}

TEST(InstalledPackage, DeviceMapNamesLpt1)
{
    EXPECT_TRUE(ParallelPortListed(L"LPT1"));
}

TEST(InstalledPackage, AppPathPointsAtTheStarterInTheDriverDirectory)
{
    std::wstring value;
    ASSERT_TRUE(ReadString(kAppPathKey, nullptr, value));
    EXPECT_EQ(DriverDir() + L"\\XERB5LAK.EXE", value);
}

TEST(InstalledPackage, ProgramGroupShortcutsTargetTheDriverDirectory)
{
    const std::wstring folder = SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tavik QX2210-2370";
    const std::pair<const wchar_t*, const wchar_t*> items[] = {{L"状态窗口", L"XERB5LAK.EXE"},
                                                                {L"疑难解答", L"PDIAG.EXE"}};
    for (const auto& [name, file] : items) {
        ShortcutFields link = ReadShortcut(folder + L"\\" + name + L".lnk");
        ASSERT_TRUE(link.loaded) << name;
        EXPECT_EQ(0, lstrcmpiW((DriverDir() + L"\\" + file).c_str(), link.target.c_str())) << link.target;
        EXPECT_EQ(std::wstring(name), link.description);
        EXPECT_EQ(0, lstrcmpiW(DriverDir().c_str(), link.workingDirectory.c_str())) << link.workingDirectory;
        EXPECT_TRUE(link.arguments.empty());
        EXPECT_TRUE(FileExists(DriverDir() + L"\\" + file)) << file;
    }
}

TEST(InstalledPackage, StartupShortcutStartsTheStarter)
{
    ShortcutFields link = ReadShortcut(SpecialFolder(CSIDL_COMMON_STARTUP) + L"\\Tavik QX2210-2370 状态窗口.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(0, lstrcmpiW((DriverDir() + L"\\XERB5LAK.EXE").c_str(), link.target.c_str())) << link.target;
    EXPECT_EQ(L"Tavik QX2210-2370 状态窗口", link.description);
}

TEST(InstalledPackage, ProjectProgramsLieInTheDriverDirectory)
{
    EXPECT_TRUE(FileExists(DriverDir() + L"\\pdiag.exe"));
    EXPECT_TRUE(FileExists(DriverDir() + L"\\pstatus.exe"));
}

// Beside pstatus.exe, where its LoadLibraryW finds them, with version resources, and not in
// the manifest, which the troubleshooter checks.
TEST(InstalledPackage, StatusWindowLibrariesLieBesideTheStatusWindowUnlisted)
{
    const std::vector<FileEntry> entries = ReadFileEntries();
    ASSERT_FALSE(entries.empty());
    for (const wchar_t* name : {L"XERB5PMN.DLL", L"XERB5SMK.DLL"}) {
        EXPECT_EQ(L"3.10.0.118", FileVersion(DriverDir() + L"\\" + name)) << name;
        EXPECT_EQ(nullptr, FindEntry(entries, name)) << name;
    }
}

TEST(InstalledPackage, PlainInstallLeavesThePortDriverServiceOut)
{
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, GENERIC_READ));
    ASSERT_TRUE(manager);
    UniqueService service(OpenServiceW(manager.get(), L"OndrixM4", SERVICE_QUERY_CONFIG));
    EXPECT_FALSE(service);
}

// The spooler calls the configuration module without checking its entry points; these
// calls reach the stand-in module and come back with its answers.
TEST(InstalledPackage, SpoolerCallsIntoTheConfigurationModuleSafely)
{
    UniquePrinter printer;
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPrinter), printer.put(), nullptr));
    LONG size = DocumentPropertiesW(nullptr, printer.get(), const_cast<wchar_t*>(kPrinter), nullptr, nullptr, 0);
    ASSERT_EQ(static_cast<LONG>(sizeof(DEVMODEW)), size);

    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);  // Wine passes the module this as the output's capacity
    ASSERT_EQ(IDOK, DocumentPropertiesW(nullptr, printer.get(), const_cast<wchar_t*>(kPrinter), &mode, nullptr,
                                        DM_OUT_BUFFER));
    EXPECT_STREQ(kPrinter, mode.dmDeviceName);
    EXPECT_EQ(DMPAPER_A4, mode.dmPaperSize);

    EXPECT_EQ(0x0400, DeviceCapabilitiesW(kPrinter, L"LPT1:", DC_DRIVER, nullptr, nullptr));

    DWORD needed = 0;
    GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    LocalBlock info(needed);
    ASSERT_TRUE(GetPrinterW(printer.get(), 2, info.as(), needed, &needed));
    EXPECT_STREQ(L"LPT1:", info.as<PRINTER_INFO_2W>()->pPortName);
}
