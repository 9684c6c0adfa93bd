// The thread that watches the spooler's jobs of the printer, and its watchdog.
#pragma once
#include <windows.h>

// Creates the stop event, fills the parameter block from the spooler handle and starts the
// thread. FALSE when the event or the thread cannot be made.
BOOL StartMonitorThread(void);
// Timer tick of the watchdog: a thread that has ended is replaced, with the printer reopened.
void Monitor_OnWatchdog(void);
