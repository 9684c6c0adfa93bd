// The print monitor's and the printer driver's registration in the spooler's keys. A check
// gives 0 when correct, otherwise the code its repair takes.
#pragma once
#include "checks/finding.h"
#include "checks/run_facts.h"

int CheckLanguageMonitor();
int RepairLanguageMonitor(int code);
// -1 when the driver has no key in the spooler's environment.
int CheckPrinterDriver(const RunFacts& facts);
// The registry error of creating or closing the driver's key.
int RepairPrinterDriver(const RunFacts& facts, int code);

// The findings of the two checks from their codes.
Finding LanguageMonitorFinding(int code);
Finding PrinterDriverFinding(const RunFacts& facts, int code);
