// The printer's queue attributes and the driver's private data in its registry key. Checks
// give 1 when the setting is correct; repairs 0 when the attributes could not be read.
#pragma once
#include "checks/finding.h"
#include "checks/run_facts.h"

// Bidirectional support is on.
int CheckBidiSupport(const RunFacts& facts);
int EnableBidiSupport(const RunFacts& facts);
// A line only when the support is off (0).
Finding BidiSupportFinding(const RunFacts& facts, int result);
// The queue does not hold mismatched documents.
int CheckHoldMismatchedDocuments(const RunFacts& facts);
int DisableHoldMismatchedDocuments(const RunFacts& facts);
// A line only when the queue holds them (0).
Finding HoldMismatchedFinding(const RunFacts& facts, int result);
// The printer's key (the server's, for a printer connection) holds APPINFO and APPINFO-SIZE.
int CheckPrinterRegistry(const RunFacts& facts);
// A damaged key is a fault only reinstalling cures; a sound one writes no line, the App Paths
// entry's finding tells the registry correct.
Finding PrinterRegistryFinding(int result);
