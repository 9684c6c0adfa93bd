// The printer's queue attributes and the driver's private data in its registry key. Checks
// give 1 when the setting is correct; repairs 0 when the attributes could not be read.
#pragma once
#include "checks/run_facts.h"

// Bidirectional support is on.
int CheckBidiSupport(const RunFacts& facts);
int EnableBidiSupport(const RunFacts& facts);
// The queue does not hold mismatched documents.
int CheckHoldMismatchedDocuments(const RunFacts& facts);
int DisableHoldMismatchedDocuments(const RunFacts& facts);
// The printer's key (the server's, for a printer connection) holds APPINFO and APPINFO-SIZE.
int CheckPrinterRegistry(const RunFacts& facts);
