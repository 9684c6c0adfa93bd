#include "monitor/job_control.h"
#include "app/state.h"
#include "monitor/spooler.h"

struct SpoolerCommandRow {
    DWORD status;    // written into the job record
    DWORD control;   // SetJobW command
};

static const SpoolerCommandRow kCommands[] = {
    {JOB_STATUS_PAUSED, JOB_CONTROL_PAUSE},
    {0, JOB_CONTROL_RESUME},
    {JOB_STATUS_DELETING, JOB_CONTROL_DELETE},
};

// Administrators may act on every job; other users on their own, with default access.
static HANDLE OpenForJobCommands(void)
{
    PRINTER_DEFAULTSW defaults = {NULL, NULL, PRINTER_ACCESS_ADMINISTER};
    HANDLE printer = NULL;
    if (OpenPrinterW(g_state.printerName, &printer, &defaults))
        return printer;
    if (GetLastError() == ERROR_ACCESS_DENIED && OpenPrinterW(g_state.printerName, &printer, NULL))
        return printer;
    return NULL;
}

static void CommandJob(HANDLE printer, DWORD jobId, const SpoolerCommandRow& command)
{
    DWORD needed = 0;
    if (g_spooler.GetJob(printer, jobId, 2, NULL, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return;
    JOB_INFO_2W* job = static_cast<JOB_INFO_2W*>(AllocZeroed(needed));
    if (!job)
        return;
    if (g_spooler.GetJob(printer, jobId, 2, reinterpret_cast<BYTE*>(job), needed, &needed) && job->JobId) {
        job->Status = command.status;
        g_spooler.SetJob(printer, jobId, 2, reinterpret_cast<BYTE*>(job), command.control);
    }
    FreeBlock(job);
}

BOOL CommandJobs(const DWORD* jobIds, int count, SpoolerJobCommand command)
{
    HANDLE printer = OpenForJobCommands();
    if (!printer)
        return FALSE;
    for (int i = 0; i < count; ++i)
        CommandJob(printer, jobIds[i], kCommands[command]);
    ClosePrinter(printer);
    return TRUE;
}
