// Print monitor and printer driver registration in the spooler's keys, and their repairs.
#include "checks/registration_checks.h"

#include "checks/check_ids.h"
#include "checks/registry_util.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <string>

namespace {

const wchar_t kMonitorLibrary[] = L"XERB5LMK.DLL";
const int kMonitorNotRegistered = 0x100;

// String values are read through 64 bytes: 31 characters and the terminator. A longer
// value does not fit and counts as wrong.
const DWORD kValueBytes = 64;

struct ExpectedString {
    const wchar_t* name;
    const wchar_t* value;
    int bit;
};
const int kMonitorBit = 0x20;
const ExpectedString kDriverStrings[] = {
    { L"Configuration File", L"XERB5UIK.DLL", 0x01 },
    { L"Data File", L"XERB5K.DLL", 0x02 },
    { L"Driver", L"XERB5K.DLL", 0x08 },
    { L"Help File", L"XERB5.HLP", 0x10 },
    { L"Monitor", L"XERB5 Monitor", kMonitorBit },
};
const int kVersionBit = 0x40;
const DWORD kDriverVersion = 3;

std::wstring MonitorKeyPath()
{
    return std::wstring(kPrintKey) + L"\\" + L"Monitors\\XERB5 Monitor";
}

// The driver's key in the spooler's own environment: the only one it loads drivers from.
std::wstring DriverKeyPath(const wchar_t* driverName)
{
    return std::wstring(kPrintKey) + L"\\" + L"Environments\\" + ThisMachine().environment +
           L"\\Drivers\\Version-3" + L"\\" + driverName;
}

bool HoldsString(HKEY key, const wchar_t* name, const wchar_t* expected)
{
    std::wstring text;
    return ReadStringValue(key, name, kValueBytes, text) == ERROR_SUCCESS && EqualsIgnoringAsciiCase(text, expected);
}

}  // namespace

int CheckLanguageMonitor()
{
    UniqueKey key;
    if (OpenMachineKey(MonitorKeyPath(), KEY_READ, key) != ERROR_SUCCESS)
        return kMonitorNotRegistered;
    return HoldsString(key.get(), L"Driver", kMonitorLibrary) ? 0 : kMonitorNotRegistered;
}

int RepairLanguageMonitor(int code)
{
    if (!(code & kMonitorNotRegistered))
        return 1;
    UniqueKey key;
    if (CreateMachineKey(MonitorKeyPath(), key) == ERROR_SUCCESS)
        WriteStringValue(key.get(), L"Driver", kMonitorLibrary);
    return 1;
}

int CheckPrinterDriver(const RunFacts& facts)
{
    UniqueKey key;
    if (OpenMachineKey(DriverKeyPath(facts.driverName), KEY_READ, key) != ERROR_SUCCESS)
        return -1;
    int code = 0;
    for (const ExpectedString& expected : kDriverStrings) {
        // A print server's printer uses the server's monitor, whatever the local entry says.
        if (expected.bit == kMonitorBit && facts.remotePrinter)
            continue;
        if (!HoldsString(key.get(), expected.name, expected.value))
            code |= expected.bit;
    }
    DWORD version = 0;
    if (!ReadDwordValue(key.get(), L"Version", version) || version != kDriverVersion)
        code |= kVersionBit;
    return code;
}

int RepairPrinterDriver(const RunFacts& facts, int code)
{
    UniqueKey key;
    LONG error = CreateMachineKey(DriverKeyPath(facts.driverName), key);
    if (error != ERROR_SUCCESS)
        return error;
    for (const ExpectedString& expected : kDriverStrings)
        if (code & expected.bit)
            WriteStringValue(key.get(), expected.name, expected.value);
    if (code & kVersionBit)
        WriteDwordValue(key.get(), L"Version", kDriverVersion);
    return RegCloseKey(key.release());
}

Finding LanguageMonitorFinding(int code)
{
    if (code == 0)
        return Finding::Correct(CheckId::kLanguageMonitor, LoadStr(IDS_LANGMON_INSTALLED));
    return Finding::Fault(CheckId::kLanguageMonitor, LoadStr(IDS_LANGMON_MISSING), Repair::LanguageMonitor, code);
}

Finding PrinterDriverFinding(const RunFacts& facts, int code)
{
    if (code == 0)
        return Finding::Correct(CheckId::kPrinterDriver,
                                FormatPrintf(LoadStr(IDS_DRIVER_CORRECT).c_str(), facts.driverName));
    return Finding::Fault(CheckId::kPrinterDriver, FormatPrintf(LoadStr(IDS_DRIVER_WRONG).c_str(), facts.driverName),
                          Repair::PrinterDriver, code);
}
