#include "monitor/monitor_thread.h"
#include "app/protocol.h"
#include "app/state.h"
#include "monitor/spooler.h"

// How the work is shared between the two threads:
// - The monitor thread only waits, reads the spooler's notification and builds job records.
//   It leaves them in the hand-off slot of its parameter block and tells the main window with
//   SendMessageW; the UI thread rebuilds the list, restores the selection and releases the
//   previous set.
//   So the remembered selection, the list and the current set have one writer, the UI thread,
//   and a set is released only once no row refers to it.
// - When the thread ends, it hands over an empty set, so the list is emptied before the block
//   its rows point into is released.
// - The watchdog closes an ended thread's handle and stop event before starting the next.

#define PRINTER_CHANGE_JOB_FILTER 0xFF00
#define JOB_CHANGES (PRINTER_CHANGE_ADD_JOB | PRINTER_CHANGE_SET_JOB | PRINTER_CHANGE_DELETE_JOB)
#define JOB_FIELDS 7

static const WORD kJobFields[JOB_FIELDS] = {
    JOB_NOTIFY_FIELD_USER_NAME, JOB_NOTIFY_FIELD_STATUS,      JOB_NOTIFY_FIELD_DOCUMENT, JOB_NOTIFY_FIELD_SUBMITTED,
    JOB_NOTIFY_FIELD_TOTAL_PAGES, JOB_NOTIFY_FIELD_DEVMODE, JOB_NOTIFY_FIELD_DATATYPE,
};

// A string of an entry, or NULL when it does not end inside its own buffer.
static wchar_t* EntryString(const PRINTER_NOTIFY_INFO_DATA& entry)
{
    const wchar_t* text = static_cast<const wchar_t*>(entry.NotifyData.Data.pBuf);
    DWORD chars = entry.NotifyData.Data.cbBuf / sizeof(wchar_t);
    if (!text || chars == 0 || IsBadReadPtr(text, chars * sizeof(wchar_t)))
        return NULL;
    for (DWORD i = 0; i < chars; ++i)
        if (text[i] == 0)
            return const_cast<wchar_t*>(text);
    return NULL;
}

static void CopyField(JOB_INFO_2W& job, const PRINTER_NOTIFY_INFO_DATA& entry)
{
    if (entry.Type != JOB_NOTIFY_TYPE)
        return;
    switch (entry.Field) {
    case JOB_NOTIFY_FIELD_USER_NAME:
        job.pUserName = EntryString(entry);
        job.JobId = entry.Id;
        break;
    case JOB_NOTIFY_FIELD_STATUS:
        job.Status = entry.NotifyData.adwData[0];
        break;
    case JOB_NOTIFY_FIELD_DOCUMENT:
        job.pDocument = EntryString(entry);
        break;
    case JOB_NOTIFY_FIELD_SUBMITTED:
        if (entry.NotifyData.Data.cbBuf >= sizeof(SYSTEMTIME) &&
            !IsBadReadPtr(entry.NotifyData.Data.pBuf, sizeof(SYSTEMTIME)))
            CopyMemory(&job.Submitted, entry.NotifyData.Data.pBuf, sizeof(SYSTEMTIME));
        break;
    case JOB_NOTIFY_FIELD_TOTAL_PAGES:
        job.TotalPages = entry.NotifyData.adwData[0];
        break;
    case JOB_NOTIFY_FIELD_DEVMODE:
        job.pDevMode = static_cast<DEVMODEW*>(entry.NotifyData.Data.pBuf);
        break;
    case JOB_NOTIFY_FIELD_DATATYPE:
        job.pDatatype = EntryString(entry);
        break;
    }
}

JOB_INFO_2W* JobsFromNotification(const PRINTER_NOTIFY_INFO* info, int* count)
{
    *count = 0;
    WORD jobs = WORD(info->Count / JOB_FIELDS);
    if (jobs == 0)
        return NULL;
    // The block may hold fewer entries than it says: read only what can be read.
    DWORD readable = jobs * JOB_FIELDS;
    while (readable && IsBadReadPtr(info->aData, readable * sizeof(PRINTER_NOTIFY_INFO_DATA)))
        readable -= JOB_FIELDS;
    jobs = WORD(readable / JOB_FIELDS);
    JOB_INFO_2W* records = jobs ? static_cast<JOB_INFO_2W*>(AllocZeroed(jobs * sizeof(JOB_INFO_2W))) : NULL;
    if (!records)
        return NULL;
    for (WORD i = 0; i < jobs; ++i)
        for (int j = 0; j < JOB_FIELDS; ++j)
            CopyField(records[i], info->aData[i * JOB_FIELDS + j]);

    // Printed jobs stay in the queue for a while but are no longer waiting.
    JOB_INFO_2W* kept = static_cast<JOB_INFO_2W*>(AllocZeroed(jobs * sizeof(JOB_INFO_2W)));
    if (!kept) {
        FreeBlock(records);
        return NULL;
    }
    int waiting = 0;
    for (WORD i = 0; i < jobs; ++i)
        if (!(records[i].Status & JOB_STATUS_PRINTED))
            kept[waiting++] = records[i];
    ZeroMemory(records, jobs * sizeof(JOB_INFO_2W));
    CopyMemory(records, kept, waiting * sizeof(JOB_INFO_2W));
    FreeBlock(kept);
    *count = waiting;
    return records;
}

void ReleaseJobs(PRINTER_NOTIFY_INFO* info, JOB_INFO_2W* jobs)
{
    FreeBlock(jobs);
    if (info)
        g_spooler.FreeNotifyInfo(info);
}

// Leaves a set for the UI thread and waits until it has been taken; a set nobody took (the
// window is gone) is released here.
static void HandOver(const MonitorThreadParams& params, PRINTER_NOTIFY_INFO* info, JOB_INFO_2W* jobs, int count)
{
    WaitingJobsHandoff* handoff = static_cast<WaitingJobsHandoff*>(AllocZeroed(sizeof(WaitingJobsHandoff)));
    if (!handoff) {
        ReleaseJobs(info, jobs);
        return;
    }
    handoff->info = info;
    handoff->jobs = jobs;
    handoff->count = count;
    InterlockedExchangePointer(reinterpret_cast<void* volatile*>(params.handoff), handoff);
    SendMessageW(*params.window, PSWM_WAITING_JOBS, 0, 0);
    WaitingJobsHandoff* left = static_cast<WaitingJobsHandoff*>(
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(params.handoff), NULL));
    if (left) {
        ReleaseJobs(left->info, left->jobs);
        FreeBlock(left);
    }
}

static DWORD WINAPI MonitorThreadProc(void* parameter)
{
    MonitorThreadParams params = *static_cast<MonitorThreadParams*>(parameter);
    PRINTER_NOTIFY_OPTIONS_TYPE type = {JOB_NOTIFY_TYPE, 0, 0, 0, JOB_FIELDS, const_cast<WORD*>(kJobFields)};
    PRINTER_NOTIFY_OPTIONS options = {2, PRINTER_NOTIFY_OPTIONS_REFRESH, 1, &type};
    HANDLE change = g_spooler.FindFirstChange(params.printer, params.filter, params.options, &options);
    SetEvent(params.readyEvent);
    if (change == INVALID_HANDLE_VALUE)
        return 1;
    HANDLE waits[2] = {params.stopEvent, change};
    for (;;) {
        DWORD result = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (result == WAIT_FAILED || result == WAIT_OBJECT_0)
            break;
        if (result != WAIT_OBJECT_0 + 1)
            continue;
        DWORD changes = 0;
        PRINTER_NOTIFY_INFO* info = NULL;
        if (!g_spooler.FindNextChange(change, &changes, &options, reinterpret_cast<void**>(&info)))
            break;
        if (!(changes & JOB_CHANGES)) {
            if (info)
                g_spooler.FreeNotifyInfo(info);
            continue;
        }
        if (!info)
            continue;
        int count = 0;
        JOB_INFO_2W* jobs = JobsFromNotification(info, &count);
        HandOver(params, info, jobs, count);
    }
    HandOver(params, NULL, NULL, 0);
    g_spooler.FindCloseChange(change);
    return 0;
}

CreateThreadFunction g_createThread = CreateThread;

BOOL StartMonitorThread(void)
{
    MonitorThreadParams& params = g_state.monitorParams;
    params.stopEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    params.printer = g_state.spooler;
    params.filter = PRINTER_CHANGE_JOB_FILTER;
    params.options = 0;
    params.reserved = 0;
    params.window = &g_state.mainWindow;
    params.handoff = &g_state.waitingJobsHandoff;
    if (!params.stopEvent)
        return FALSE;
    g_state.monitorThread = g_createThread(NULL, 0, MonitorThreadProc, &params, 0, &g_state.monitorThreadId);
    if (g_state.monitorThread)
        return TRUE;
    // No thread waits on it: the watchdog's next start makes its own.
    CloseHandle(params.stopEvent);
    params.stopEvent = NULL;
    return FALSE;
}

void Monitor_OnWatchdog(void)
{
    if (g_state.monitorThread) {
        DWORD code = 0;
        if (!GetExitCodeThread(g_state.monitorThread, &code) || code == STILL_ACTIVE)
            return;
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
