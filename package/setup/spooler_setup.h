// The package's spooler registrations: driver, printer, print monitor, the print
// monitor's own configuration key and the parallel port in the device map.
#pragma once
#include "setup_log.h"

namespace pkg {

// AddPrinterDriverExW for the package's environment, version 3, then the "Version-3" values exactly
// as the checks expect them (plain file names).
void RegisterDriver(SetupLog& log);
void WriteDriverValues(SetupLog& log);

// AddPrinterW on LPT1: when the printer is missing; then bidirectional support on, hold
// mismatched documents off, and the driver data "APPINFO" / "APPINFO-SIZE".
void RegisterPrinter(SetupLog& log);
// Sets and clears bits of the printer's "Attributes" in its spooler key.
LONG ChangePrinterAttributes(DWORD set, DWORD clear);
void WriteDriverData(SetupLog& log);

// "Monitors\XERB5 Monitor" with Driver = "XERB5LMK.DLL", and the monitor's key
// "SOFTWARE\Tavik\XERB5\Monitors\XERB5 Monitor" with "UseDMA" and the LPT1: values.
void RegisterMonitor(SetupLog& log);
void WritePortMonitorKey(SetupLog& log);

// "\Device\Parallel0" = "\DosDevices\LPT1" in the (volatile) parallel-port device map.
void AddParallelPort(SetupLog& log);
// Removes every device-map entry that names `dosName` (e.g. "LPT1").
void RemoveParallelPortEntries(const wchar_t* dosName, SetupLog& log);

// Uninstall: printer, driver, monitor keys, and our device-map entry.
void RemoveSpoolerRegistrations(SetupLog& log);

}  // namespace pkg
