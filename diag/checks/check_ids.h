// Stable names of the checks whose lines the result log gets, as the unattended report gives
// them to other programs. They never change once published; a new check gets a new name.
#pragma once

namespace CheckId {
inline constexpr char kManifest[] = "manifest";                  // the installation manifest is there
inline constexpr char kPackageFiles[] = "packageFiles";          // the package's files: present, versions, sizes, times
inline constexpr char kPort[] = "port";                          // the printer's port exists
inline constexpr char kPortMode[] = "portMode";                  // the port's mode, from the port monitor's key
inline constexpr char kRegistry[] = "registry";                  // the printer's spooler data and the App Paths entry
inline constexpr char kPortDriverService[] = "portDriverService";// the parallel-port driver service
inline constexpr char kLanguageMonitor[] = "languageMonitor";    // the print monitor's registration
inline constexpr char kPrinterDriver[] = "printerDriver";        // the printer driver's registration
inline constexpr char kStatusWindow[] = "statusWindow";          // the status window's start-up shortcut
inline constexpr char kBidiSupport[] = "bidiSupport";            // the queue's bidirectional support
inline constexpr char kHoldMismatched[] = "holdMismatched";      // the queue's holding of mismatched documents
inline constexpr char kPrinterAttributes[] = "printerAttributes";// both queue attributes correct
inline constexpr char kProgramFolder[] = "programFolder";        // the program folder (and its items, when correct)
inline constexpr char kProgramItem[] = "programItem";            // one shortcut of the program folder
inline constexpr char kPrintServer[] = "printServer";            // the print server answers
inline constexpr char kNetworkPrinter[] = "networkPrinter";      // the shared printer answers
inline constexpr char kNetwork[] = "network";                    // every network setting correct
}  // namespace CheckId
