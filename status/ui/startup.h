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
#include "app/libraries.h"
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
// Start-up's steps, in the order RunStatusWindow takes them; the start-up benchmark takes
// them one by one, in the same order, to time each.
// Fills the process-wide state from the command line; looks up a port not given.
void TakeArguments(HINSTANCE instance, const PswArguments* arguments);
// Opens the printer at the spooler; TRUE when its driver belongs to this package.
BOOL OpenPackagePrinter(void);
// Starts the monitor thread; it tells when it watches the queue.
void StartWatchingQueue(void);
// Waits until the monitor thread watches the queue (or has failed to, or the wait is over).
void WaitUntilWatching(void);
// Registers the window classes and binds the libraries; FALSE when either fails, with
// `failure` telling a library that could not be loaded.
BOOL BindWindowLibraries(LibraryFailure* failure);
// Settles the machine's values for the printer and makes the main window, hidden, where it was
// left and in its place in the z-order; NULL (the libraries released) when it cannot be made.
HWND MakeMainWindow(void);
// Shows or hides the window as it was left, opens the printer at the status library and asks
// for the first status. FALSE when the library refuses the printer: the window is gone then.
BOOL OpenAtStatusLibrary(HWND window);
// The whole life of the program for the printer of the command line; returns the process
// exit code.
int RunStatusWindow(HINSTANCE instance, const PswArguments* arguments);
