// The thread that watches the spooler's jobs of the printer, and its watchdog.
#pragma once
#include "monitor/layer.h"
#include <windows.h>
#include <winspool.h>

// A set of waiting jobs from the monitor thread: records pointing into the notification
// block. Both NULL: the thread ended and the list is to be emptied.
struct WaitingJobsHandoff {
    PRINTER_NOTIFY_INFO* info;
    JOB_INFO_2W* jobs;
    int count;
};

// Thread creation, replaceable by tests: the platform does not refuse a thread on demand.
typedef HANDLE(WINAPI* CreateThreadFunction)(LPSECURITY_ATTRIBUTES security, SIZE_T stack,
                                             LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                                             LPDWORD id);
extern CreateThreadFunction g_createThread;

// Creates the stop event, fills the parameter block from the spooler handle and starts the
// thread. FALSE when the event or the thread cannot be made; no stop event is left then.
BOOL StartMonitorThread(void);
// Timer tick of the watchdog: a thread that has ended is replaced, with the printer reopened.
void Monitor_OnWatchdog(void);
// The job records of one notification block, printed jobs left out; NULL with no jobs or no
// memory. Only entries inside the block's count are read.
JOB_INFO_2W* JobsFromNotification(const PRINTER_NOTIFY_INFO* info, int* count);
// Releases a set of job records and the notification block they point into (either NULL).
void ReleaseJobs(PRINTER_NOTIFY_INFO* info, JOB_INFO_2W* jobs);
