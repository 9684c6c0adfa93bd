// Port facts shared by the port check, the start dialog's classification and the port
// choice: names of the supported driver's ports, the parallel-port device map and the print
// monitors that serve the driver package's ports.
#pragma once
#include "checks/finding.h"
#include "checks/run_facts.h"
#include "framework/raii.h"

#include <winspool.h>

#include <string>
#include <vector>

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

// Whether the printer's port exists on this machine: a compliant monitor's port, a USB port
// of the supported driver, an LPT port a USB adapter stands in for or one of the parallel-port
// device map. A missing LPT port sets portMissing.
int CheckPortPresent(RunFacts& facts);
// The port's finding from the check's result: the printer's connection to its port; a
// missing port offers the choice of another.
Finding PortFinding(const RunFacts& facts, int present);

// The names of the local printers and printer connections of the supported driver, in the
// spooler's order.
std::vector<std::wstring> SupportedPrinterNames();

// The spooler's record of the printer `name`, classified by ClassifyPrinter; false when no
// printer has that name (the facts are then classified as for no printer).
bool ClassifyPrinterNamed(RunFacts& facts, const std::wstring& name, int& portNumber);

// Classifies one printer record's port into the facts (driver, port name, the port flags,
// the network path) and gives n of its port LPTn (0 for every other port); a null record
// clears the flags and keeps the names.
void ClassifyPrinter(RunFacts& facts, const PRINTER_INFO_2W* printer, int& portNumber);

// Whether the printer may be moved to the port; the monitor name is the one EnumPortsW reports.
bool IsEligiblePort(const RunFacts& facts, const std::wstring& port, const wchar_t* monitorName);
// The ports of this machine the printer may be moved to, in the spooler's order.
std::vector<std::wstring> EligiblePorts(const RunFacts& facts);

// Moves the facts' printer to `port` (failures are not reported: the next run finds the port
// unchanged) and classifies the port anew; the port before becomes previousPortName.
void MovePrinterToPort(RunFacts& facts, const std::wstring& port);

// The mode the package's port monitor keeps for `port` ("CurrentMode"); false when it keeps none.
bool ReadPortMode(const std::wstring& port, DWORD& mode);
// The port mode's line, which tells and offers nothing; none when the monitor keeps no mode.
Finding PortModeFinding(const std::wstring& port);
