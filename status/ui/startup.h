// Start-up and shutdown of the status window: command line, printer check, one window per
// printer, the libraries, the window and the message loop.
#pragma once
#include <windows.h>

#define EXIT_SETUP_FAILED 1

#define PACKAGE_MONITOR_NAME L"XERB5 Monitor"
#define PACKAGE_DRIVER_NAME L"Tavik QX2210-2370"

// Reads the switches of a whole command line (program path first) into the two buffers
// (PRINTER_NAME_CHARS and PORT_NAME_CHARS). Returns TRUE when the line was read to its end,
// FALSE when a switch other than !D and !P stopped it.
BOOL ParseCommandLine(const wchar_t* commandLine, wchar_t* printer, wchar_t* port);
// The port of a printer of this package from the spooler; `port` stays empty for a printer
// whose driver names another print monitor or is not one of the package's models.
void LookUpPortName(const wchar_t* printer, wchar_t* port);
// TRUE when the driver of the open printer belongs to this package.
BOOL PrinterBelongsToPackage(HANDLE printer);
// Looks for a window already serving the printer. TRUE: go on (none, or one that finished
// closing within the wait); FALSE: another instance serves it.
BOOL WaitForOtherInstance(const wchar_t* printer);
// The whole life of the program; returns the process exit code.
int RunStatusWindow(HINSTANCE instance, const wchar_t* commandLine);
