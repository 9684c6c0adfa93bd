// Port facts shared by the port check, the start dialog's classification and the port
// choice: names of the supported driver's ports, the parallel-port device map and the print
// monitors that serve the driver package's ports.
#pragma once
#include "framework/raii.h"

#include <string>

// The driver whose printers the troubleshooter serves.
inline const wchar_t kSupportedDriver[] = L"Tavik QX2210-2370";

inline bool Contains(const std::wstring& text, const wchar_t* part)
{
    return text.find(part) != std::wstring::npos;
}

// A parallel port that a USB adapter stands in for ("LPT_USB", "LPT-USB").
bool IsLptUsbName(const std::wstring& port);

// The number that starts at the port name's fourth character (USB001 gives 1); 0 when none.
int NumberAfterPrefix(const std::wstring& port);

// n of a port LPTn: the character after the first "LPT" as a decimal digit; 0 otherwise.
int LptDigit(const std::wstring& port);

// The name up to its last ":" (LPT1: becomes LPT1); the whole name when it has none.
std::wstring CutAtLastColon(const std::wstring& port);

// Whether some value of "HARDWARE\DEVICEMAP\PARALLEL PORTS" has data that contains `device`
// (a DOS name such as LPT1). False when the key or its value count cannot be read.
bool IsInParallelDeviceMap(const std::wstring& device);

// Whether the print monitor's key has "ZELTCompliant" = 3. A port that names no monitor has
// no monitor key and so is not compliant.
bool IsCompliantMonitor(const wchar_t* monitorName);

// The ports of the local machine (EnumPortsW, level 2), held in one zero-filled block.
class PortEnumeration {
public:
    PortEnumeration();
    DWORD count() const { return count_; }
    const PORT_INFO_2W& operator[](DWORD i) const { return block_.as<PORT_INFO_2W>()[i]; }

private:
    static DWORD SizeNeeded();
    DWORD size_;
    LocalBlock block_;
    DWORD count_ = 0;
};
