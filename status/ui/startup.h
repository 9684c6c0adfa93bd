// Start-up and shutdown of the status window: the printer check, one window per printer, the
// libraries, the window and the message loop.
#pragma once
#include "ui/layer.h"
// Only the entry point (app/main.cpp) starts the program; the window layer does not call up here.
#ifndef PSTATUS_ENTRY_POINT
#error "start-up is reached from the entry point only"
#endif
#include <windows.h>
#include "app/command_line.h"
#include "app/protocol.h"

#define EXIT_SETUP_FAILED 1

// The port of a printer of this package from the spooler; `port` stays empty for a printer
// whose driver names another print monitor or is not one of the package's models.
void LookUpPortName(const wchar_t* printer, wchar_t* port);
// TRUE when the driver of the open printer belongs to this package.
BOOL PrinterBelongsToPackage(HANDLE printer);
// Takes the lock a start of the printer holds from looking for another window until its own
// is there, so that two starts at the same moment do not both find none; waits for another
// start's. NULL when it could not be had in time: another start is still at work.
HANDLE LockPrinterStart(const wchar_t* printer);
void UnlockPrinterStart(HANDLE lock);
// Looks for a window already serving the printer. TRUE: go on (none, or one that finished
// closing within the wait); FALSE: another instance serves it.
BOOL WaitForOtherInstance(const wchar_t* printer);
// The whole life of the program for the printer of the command line; returns the process
// exit code.
int RunStatusWindow(HINSTANCE instance, const PswArguments* arguments);
