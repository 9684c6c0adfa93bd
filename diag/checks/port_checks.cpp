// Whether the printer's port exists on this machine, and the port facts the start dialog
// and the port choice share.
#include "checks/port_checks.h"

#include "app/troubleshooter_app.h"
#include "checks/registry_util.h"

#include <cwchar>

namespace {

const wchar_t kParallelPorts[] = L"HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
const wchar_t kMonitors[] = L"System\\CurrentControlSet\\control\\Print\\Monitors";

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

int CTroubleshooterApp::CheckPortPresent()
{
    if (compliantPort)
        return 1;
    if (!Contains(portName, L"LPT"))
        return lstrcmpW(driverName, kSupportedDriver) == 0 && Contains(portName, L"USB") &&
                       NumberAfterPrefix(portName) != 0
                   ? 1
                   : 0;
    if (IsLptUsbName(portName))
        return 1;
    if (IsInParallelDeviceMap(CutAtLastColon(portName)))
        return 1;
    portMissing = 1;
    return 0;
}
