#include "spooler_setup.h"

#include <winspool.h>
#include <string>
#include <vector>

#include "package_layout.h"
#include "raii.h"
#include "registry.h"

namespace pkg {

namespace {

// The spooler's structures take non-const strings it does not change.
wchar_t* Mutable(const wchar_t* text) { return const_cast<wchar_t*>(text); }

// The driver's private block, written at printer installation as the real driver does.
struct AppInfo {
    char signature[8];
    DWORD version;  // driver generation
    DWORD port;  // LPT number
};
const AppInfo kAppInfo = {{'X', 'E', 'R', 'B', '5', 0, 0, 0}, 3, 1};

bool PrinterExists()
{
    UniquePrinter printer;
    return OpenPrinterW(Mutable(kPrinterName), printer.put(), nullptr) != FALSE;
}

void AddDriver(const wchar_t* environment, SetupLog& log)
{
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = Mutable(kDriverName);
    info.pEnvironment = Mutable(environment);
    info.pDriverPath = Mutable(kDriverFile);
    info.pDataFile = Mutable(kDriverFile);
    info.pConfigFile = Mutable(kConfigurationFile);
    info.pHelpFile = Mutable(kHelpFile);
    info.pMonitorName = Mutable(kMonitorName);
    info.pDefaultDataType = Mutable(L"RAW");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED)
        log.Failed(L"AddPrinterDriverExW", GetLastError());
}

}  // namespace

void RegisterDriver(SetupLog& log)
{
    AddDriver(kEnvironment, log);
    WriteDriverValues(log);
}

void WriteDriverValues(SetupLog& log)
{
    const std::wstring key = DriverKeyPath();
    log.Check(L"driver value Configuration File", WriteString(key, L"Configuration File", kConfigurationFile));
    log.Check(L"driver value Data File", WriteString(key, L"Data File", kDriverFile));
    log.Check(L"driver value Driver", WriteString(key, L"Driver", kDriverFile));
    log.Check(L"driver value Help File", WriteString(key, L"Help File", kHelpFile));
    log.Check(L"driver value Monitor", WriteString(key, L"Monitor", kMonitorName));
    log.Check(L"driver value Version", WriteDword(key, L"Version", 3));
}

void RegisterPrinter(SetupLog& log)
{
    if (!PrinterExists()) {
        PRINTER_INFO_2W info = {};
        info.pPrinterName = Mutable(kPrinterName);
        info.pPortName = Mutable(kPortName);
        info.pDriverName = Mutable(kDriverName);
        info.pPrintProcessor = Mutable(L"winprint");
        info.pDatatype = Mutable(L"RAW");
        info.Attributes = PRINTER_ATTRIBUTE_LOCAL | kAttributeBidi;
        UniquePrinter printer(AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info)));
        if (!printer) {
            log.Failed(L"AddPrinterW", GetLastError());
            return;
        }
    }
    log.Check(L"printer Attributes", ChangePrinterAttributes(kAttributeBidi, kAttributeHoldMismatched));
    WriteDriverData(log);
}

LONG ChangePrinterAttributes(DWORD set, DWORD clear)
{
    DWORD attributes = 0;
    if (!ReadDword(PrinterKeyPath(), L"Attributes", attributes))
        return ERROR_FILE_NOT_FOUND;
    return WriteDword(PrinterKeyPath(), L"Attributes", (attributes | set) & ~clear);
}

void WriteDriverData(SetupLog& log)
{
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    UniquePrinter printer;
    if (!log.CheckBool(L"OpenPrinterW", OpenPrinterW(Mutable(kPrinterName), printer.put(), &defaults)))
        return;
    DWORD size = sizeof(kAppInfo);
    log.Check(L"SetPrinterDataW APPINFO",
              SetPrinterDataW(printer.get(), Mutable(L"APPINFO"), REG_BINARY,
                              reinterpret_cast<BYTE*>(const_cast<AppInfo*>(&kAppInfo)), sizeof(kAppInfo)));
    log.Check(L"SetPrinterDataW APPINFO-SIZE",
              SetPrinterDataW(printer.get(), Mutable(L"APPINFO-SIZE"), REG_DWORD, reinterpret_cast<BYTE*>(&size),
                              sizeof(size)));
}

void RegisterMonitor(SetupLog& log)
{
    log.Check(L"monitor registration", WriteString(MonitorKeyPath(), L"Driver", kMonitorLibrary));
}

void WritePortMonitorKey(SetupLog& log)
{
    const std::wstring port = std::wstring(kPortMonitorKey) + L"\\" + kPortSubkey;
    log.Check(L"port monitor UseDMA", WriteDword(kPortMonitorKey, L"UseDMA", 1));
    log.Check(L"port monitor CurrentMode", WriteDword(port, L"CurrentMode", 1));
    log.Check(L"port monitor Mode", WriteDword(port, L"Mode", 1));
    log.Check(L"port monitor Attribute", WriteDword(port, L"Attribute", 0x0C));
}

void AddParallelPort(SetupLog& log)
{
    // The hardware tree is volatile: it lives only as long as the wineserver (or boot).
    log.Check(L"parallel port device map",
              WriteString(kParallelPortsKey, kParallelPortValue, kParallelPortDevice, REG_OPTION_VOLATILE));
}

void RemoveParallelPortEntries(const wchar_t* dosName, SetupLog& log)
{
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kParallelPortsKey, 0, KEY_READ | KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> doomed;
    for (DWORD index = 0;; ++index) {
        wchar_t name[260], data[260];
        DWORD nameSize = 260, dataSize = sizeof(data), type = 0;
        LONG error = RegEnumValueW(key.get(), index, name, &nameSize, nullptr, &type,
                                   reinterpret_cast<BYTE*>(data), &dataSize);
        if (error == ERROR_NO_MORE_ITEMS)
            break;
        if (error == ERROR_SUCCESS && type == REG_SZ) {
            data[dataSize / sizeof(wchar_t) < 260 ? dataSize / sizeof(wchar_t) : 259] = L'\0';
            if (wcsstr(data, dosName))
                doomed.push_back(name);
        }
    }
    for (const std::wstring& name : doomed)
        log.Check(L"remove device map entry " + name, RegDeleteValueW(key.get(), name.c_str()));
}

void RemoveSpoolerRegistrations(SetupLog& log)
{
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    UniquePrinter printer;
    if (OpenPrinterW(Mutable(kPrinterName), printer.put(), &defaults))
        log.CheckBool(L"DeletePrinter", DeletePrinter(printer.get()));
    printer.reset();
    if (KeyExists(DriverKeyPath()))
        log.CheckBool(L"DeletePrinterDriverW",
                      DeletePrinterDriverW(nullptr, Mutable(kEnvironment), Mutable(kDriverName)));
    log.Check(L"remove printer key", DeleteKeyTree(PrinterKeyPath()));
    log.Check(L"remove driver key", DeleteKeyTree(DriverKeyPath()));
    log.Check(L"remove monitor registration", DeleteKeyTree(MonitorKeyPath()));

    log.Check(L"remove port monitor key", DeleteKeyTree(kPortMonitorKey));
    DeleteKeyIfEmpty(L"SOFTWARE\\Tavik\\XERB5\\Monitors");
    DeleteKeyIfEmpty(L"SOFTWARE\\Tavik\\XERB5");
    DeleteKeyIfEmpty(L"SOFTWARE\\Tavik");

    std::wstring device;
    if (ReadString(kParallelPortsKey, kParallelPortValue, device) && device == kParallelPortDevice)
        log.Check(L"remove device map entry", DeleteValue(kParallelPortsKey, kParallelPortValue));
}

}  // namespace pkg
