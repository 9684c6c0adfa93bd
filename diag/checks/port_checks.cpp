// Whether the printer's port exists on this machine, the classification of the printer's
// port at the start and after the port choice, and the ports the choice offers.
#include "checks/port_checks.h"

#include "checks/check_ids.h"
#include "checks/network_checks.h"
#include "checks/registry_util.h"
#include "framework/strings.h"
#include "res/resource.h"

#include <cwchar>

namespace {

const wchar_t kParallelPorts[] = L"HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
const wchar_t kMonitors[] = L"System\\CurrentControlSet\\control\\Print\\Monitors";

// The local printers and the printer connections (EnumPrintersW, level 2) in one
// zero-filled block.
class PrinterEnumeration {
public:
    PrinterEnumeration() : size_(SizeNeeded()), block_(size_)
    {
        DWORD needed = 0;
        if (!block_ || !EnumPrintersW(kFlags, nullptr, 2, block_.as<BYTE>(), size_, &needed, &count_))
            count_ = 0;
    }
    DWORD count() const { return count_; }
    const PRINTER_INFO_2W& operator[](DWORD i) const { return block_.as<PRINTER_INFO_2W>()[i]; }

private:
    static constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    static DWORD SizeNeeded()
    {
        DWORD needed = 0;
        DWORD returned = 0;
        EnumPrintersW(kFlags, nullptr, 2, nullptr, 0, &needed, &returned);
        return needed;
    }
    DWORD size_;
    LocalBlock block_;
    DWORD count_ = 0;
};

void MovePrinterTo(const std::wstring& printer, const std::wstring& port)
{
    PRINTER_DEFAULTSW access = { nullptr, nullptr, PRINTER_ALL_ACCESS };
    UniquePrinter handle;
    if (!OpenPrinterW(const_cast<wchar_t*>(printer.c_str()), handle.put(), &access))
        return;
    DWORD needed = 0;
    GetPrinterW(handle.get(), 2, nullptr, 0, &needed);
    if (needed == 0)
        return;
    LocalBlock info(needed + 4);
    if (!info || !GetPrinterW(handle.get(), 2, info.as<BYTE>(), needed + 4, &needed))
        return;
    // Every other field, the security descriptor and device mode included, goes back as read.
    std::wstring newPort = port;
    info.as<PRINTER_INFO_2W>()->pPortName = &newPort[0];
    SetPrinterW(handle.get(), 2, info.as<BYTE>(), 0);
}

void ClassifyChosenPort(RunFacts& facts, const std::wstring& port)
{
    if (Contains(port, L"LPT") && IsLptUsbName(port)) {
        facts.portNumber = 0;
        facts.usbLptPort = 1;
    } else if (Contains(port, L"LPT")) {
        facts.portNumber = LptDigit(port);
        facts.networkConnection = NetworkPortInfo(port).FindPersistentConnection(facts.networkPath) ? 1 : 0;
        facts.redirectedLptPort = facts.networkConnection;
    } else if (Contains(port, L"USB")) {
        facts.portNumber = 0;
        facts.networkConnection = 0;
        facts.usbPort = 1;
    } else {
        // Only ports of a compliant monitor are offered without "LPT" or "USB" in their name.
        // Such a port has no LPT number; an old one would still name the previous port.
        facts.portNumber = 0;
        facts.compliantPort = 1;
        facts.networkConnection = 0;
    }
    facts.otherPort = 0;
}

}  // namespace

bool IsLptUsbName(const std::wstring& port)
{
    return Contains(port, L"LPT_USB") || Contains(port, L"LPT-USB");
}

int NumberAfterPrefix(const std::wstring& port)
{
    return port.size() > 3 ? _wtoi(port.c_str() + 3) : 0;
}

int LptDigit(const std::wstring& port)
{
    size_t at = port.find(L"LPT");
    if (at == std::wstring::npos || at + 3 >= port.size())
        return 0;
    wchar_t c = port[at + 3];
    return c >= L'0' && c <= L'9' ? c - L'0' : 0;
}

std::wstring CutAtLastColon(const std::wstring& port)
{
    return port.substr(0, port.rfind(L':'));
}

bool IsInParallelDeviceMap(const std::wstring& device)
{
    UniqueKey key;
    if (OpenMachineKey(kParallelPorts, KEY_READ, key) != ERROR_SUCCESS)
        return false;
    DWORD values = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    for (DWORD index = 0; index < values; ++index) {
        // A path's length each; the data buffer keeps one more zero so that data stored
        // without a terminator still ends.
        wchar_t name[kPathChars] = {};
        wchar_t data[kPathChars + 1] = {};
        DWORD nameLength = kPathChars;
        DWORD dataBytes = kPathChars * sizeof(wchar_t);
        LONG error = RegEnumValueW(key.get(), index, name, &nameLength, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(data), &dataBytes);
        if (error == ERROR_NO_MORE_ITEMS)
            break;
        if (error != ERROR_SUCCESS)
            continue;
        if (wcsstr(data, device.c_str()))
            return true;
    }
    return false;
}

bool IsCompliantMonitor(const wchar_t* monitorName)
{
    if (!monitorName || !*monitorName)
        return false;
    std::wstring path = std::wstring(kMonitors) + L"\\" + monitorName;
    UniqueKey key;
    if (OpenMachineKey(path, KEY_READ, key) != ERROR_SUCCESS)
        return false;
    DWORD value = 0;
    DWORD size = sizeof(value);
    return RegQueryValueExW(key.get(), L"ZELTCompliant", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                            &size) == ERROR_SUCCESS &&
           value == 3;
}

DWORD PortEnumeration::SizeNeeded()
{
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPortsW(nullptr, 2, nullptr, 0, &needed, &returned);
    return needed;
}

PortEnumeration::PortEnumeration() : size_(SizeNeeded()), block_(size_)
{
    DWORD needed = 0;
    // A port added since the size was asked for makes the call fail: then the list is empty.
    if (!block_ || !EnumPortsW(nullptr, 2, block_.as<BYTE>(), size_, &needed, &count_))
        count_ = 0;
}

int CheckPortPresent(RunFacts& facts)
{
    const std::wstring& port = facts.portName;
    if (facts.compliantPort)
        return 1;
    if (!Contains(port, L"LPT"))
        return lstrcmpW(facts.driverName, kSupportedDriver) == 0 && Contains(port, L"USB") &&
                       NumberAfterPrefix(port) != 0
                   ? 1
                   : 0;
    if (IsLptUsbName(port))
        return 1;
    if (IsInParallelDeviceMap(CutAtLastColon(port)))
        return 1;
    facts.portMissing = 1;
    return 0;
}

Finding PortFinding(const RunFacts& facts, int present)
{
    std::wstring line = FormatInserts(LoadStr(IDS_PORT_CONNECTION), facts.driverName, facts.portName.c_str());
    if (present)
        return Finding::Correct(CheckId::kPort, line);
    return Finding::Fault(CheckId::kPort, line, Repair::ChoosePort);
}

std::vector<std::wstring> SupportedPrinterNames()
{
    std::vector<std::wstring> names;
    PrinterEnumeration printers;
    for (DWORD i = 0; i < printers.count(); ++i) {
        const PRINTER_INFO_2W& printer = printers[i];
        // The driver name must match exactly, letter case included.
        if (printer.pDriverName && printer.pPrinterName && lstrcmpW(printer.pDriverName, kSupportedDriver) == 0)
            names.push_back(printer.pPrinterName);
    }
    return names;
}

bool ClassifyPrinterNamed(RunFacts& facts, const std::wstring& name, int& portNumber)
{
    PrinterEnumeration printers;
    for (DWORD i = 0; i < printers.count(); ++i) {
        if (printers[i].pPrinterName && name == printers[i].pPrinterName) {
            ClassifyPrinter(facts, &printers[i], portNumber);
            return true;
        }
    }
    ClassifyPrinter(facts, nullptr, portNumber);
    return false;
}

void ClassifyPrinter(RunFacts& facts, const PRINTER_INFO_2W* printer, int& portNumber)
{
    facts.usbLptPort = 0;
    facts.compliantPort = 0;
    facts.otherPort = 0;
    facts.networkConnection = 0;
    facts.redirectedLptPort = 0;
    facts.usbPort = 0;
    facts.remotePrinter = 0;

    std::wstring port;
    if (printer) {
        port = printer->pPortName ? printer->pPortName : L"";
        lstrcpynW(facts.driverName, printer->pDriverName ? printer->pDriverName : L"", kPathChars);
        // A printer connection prints to the server's share.
        if (printer->pServerName && *printer->pServerName) {
            facts.remotePrinter = 1;
            std::wstring server = printer->pServerName;
            facts.serverName = server.size() > 2 ? server.substr(2) : std::wstring();
            port = std::wstring(printer->pServerName) + L"\\" + (printer->pShareName ? printer->pShareName : L"");
        }
        facts.portName = port;
    }

    bool local = port.empty() || port[0] != L'\\';
    if (local && Contains(port, L"LPT")) {
        facts.usbLptPort = IsLptUsbName(port) ? 1 : 0;
        portNumber = LptDigit(port);
        // The device name ends after the character that follows "LPT": LPT1: is asked for as LPT1.
        NetworkPortInfo device(port.substr(0, port.find(L"LPT") + 4));
        if (device.StandsForNetworkPath()) {
            lstrcpynW(facts.networkPath, device.networkName().c_str(), kPathChars);
            facts.networkConnection = 1;
            facts.redirectedLptPort = 1;
        }
    } else if (local && Contains(port, L"USB")) {
        facts.usbPort = 1;
        portNumber = 0;
    } else {
        portNumber = 0;
        if (Contains(port, L"\\")) {
            facts.networkConnection = 1;
            lstrcpynW(facts.networkPath, port.c_str(), kPathChars);
        } else {
            facts.otherPort = 1;
            PortEnumeration ports;
            for (DWORD i = 0; i < ports.count(); ++i) {
                if (ports[i].pPortName && port == ports[i].pPortName && IsCompliantMonitor(ports[i].pMonitorName)) {
                    facts.compliantPort = 1;
                    facts.otherPort = 0;
                }
            }
        }
    }
}

bool IsEligiblePort(const RunFacts& facts, const std::wstring& port, const wchar_t* monitorName)
{
    if (Contains(port, L"\\\\"))
        return false;
    if (Contains(port, L"LPT"))
        return IsLptUsbName(port) || IsInParallelDeviceMap(CutAtLastColon(port));
    if (lstrcmpW(facts.driverName, kSupportedDriver) != 0)
        return false;
    if (Contains(port, L"USBPRN"))
        return true;
    if (Contains(port, L"USB"))
        return NumberAfterPrefix(port) != 0;
    return IsCompliantMonitor(monitorName);
}

std::vector<std::wstring> EligiblePorts(const RunFacts& facts)
{
    std::vector<std::wstring> eligible;
    PortEnumeration ports;
    for (DWORD i = 0; i < ports.count(); ++i)
        if (ports[i].pPortName && IsEligiblePort(facts, ports[i].pPortName, ports[i].pMonitorName))
            eligible.push_back(ports[i].pPortName);
    return eligible;
}

void MovePrinterToPort(RunFacts& facts, const std::wstring& port)
{
    facts.usbLptPort = 0;
    facts.compliantPort = 0;
    facts.networkConnection = 0;
    facts.redirectedLptPort = 0;
    facts.usbPort = 0;
    MovePrinterTo(facts.printerName, port);
    facts.previousPortName = facts.portName;
    facts.portName = port;
    ClassifyChosenPort(facts, port);
}

bool ReadPortMode(const std::wstring& port, DWORD& mode)
{
    UniqueKey key;
    std::wstring path = std::wstring(L"SOFTWARE\\Tavik\\XERB5") + L"\\" + L"Monitors\\XERB5 Monitor" + L"\\" + port;
    return OpenMachineKey(path, KEY_READ, key) == ERROR_SUCCESS && ReadDwordValue(key.get(), L"CurrentMode", mode);
}

Finding PortModeFinding(const std::wstring& port)
{
    DWORD mode = 0;
    if (!ReadPortMode(port, mode))
        return Finding::Correct(CheckId::kPortMode);
    UINT text = mode == 1 ? IDS_MODE_BIDI : mode == 3 ? IDS_MODE_ECP : mode == 4 ? IDS_MODE_ECP_DMA : IDS_MODE_STANDARD;
    return Finding::Correct(CheckId::kPortMode, LoadStr(text));
}
