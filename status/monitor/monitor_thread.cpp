#include "monitor_thread.h"
#include <winspool.h>
#include "../app/state.h"

#define PRINTER_CHANGE_JOB_FILTER 0xFF00

// Waits for the stop event. Watching the spooler's job notifications and rebuilding the
// waiting list from them takes this thread's place.
static DWORD WINAPI MonitorThreadProc(void* parameter)
{
    MonitorThreadParams params = *static_cast<MonitorThreadParams*>(parameter);
    WaitForSingleObject(params.stopEvent, INFINITE);
    return 0;
}

BOOL StartMonitorThread(void)
{
    MonitorThreadParams& params = g_state.monitorParams;
    params.stopEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    params.printer = g_state.spooler;
    params.filter = PRINTER_CHANGE_JOB_FILTER;
    params.options = 0;
    params.reserved = 0;
    if (!params.stopEvent)
        return FALSE;
    g_state.monitorThread = CreateThread(NULL, 0, MonitorThreadProc, &params, 0, &g_state.monitorThreadId);
    return g_state.monitorThread != NULL;
}

void Monitor_OnWatchdog(void)
{
    if (g_state.monitorThread) {
        DWORD code = 0;
        if (!GetExitCodeThread(g_state.monitorThread, &code) || code == STILL_ACTIVE)
            return;
        // The ended thread's handle and event are closed here: nothing refers to them once
        // the thread has returned.
        CloseHandle(g_state.monitorThread);
        g_state.monitorThread = NULL;
        CloseHandle(g_state.monitorParams.stopEvent);
        g_state.monitorParams.stopEvent = NULL;
    }
    if (g_state.spooler)
        ClosePrinter(g_state.spooler);
    g_state.spooler = NULL;
    // A printer that cannot be opened now is tried again at the next tick.
    if (OpenPrinterW(g_state.printerName, &g_state.spooler, NULL))
        StartMonitorThread();
}
