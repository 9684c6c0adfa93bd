#include "ui/status_snapshot.h"
#include <stddef.h>
#include "app/state.h"
#include "monitor/status_rules.h"
#include "ui/drawing.h"
#include "ui/views.h"

#define CLASS_NAME_CHARS 64
// A query window that does not take the answer within this time is left without one.
#define ANSWER_TIMEOUT_MS 1000

void TakeStatusSnapshot(PswStatusSnapshot* snapshot)
{
    ZeroMemory(snapshot, sizeof(*snapshot));
    snapshot->size = sizeof(*snapshot);
    if (IsWindowVisible(g_state.mainWindow))
        snapshot->parts |= SNAPSHOT_VISIBLE;
    lstrcpynW(snapshot->printer, g_state.printerName, ARRAYSIZE(snapshot->printer));
    lstrcpynW(snapshot->port, g_state.portName, ARRAYSIZE(snapshot->port));
    snapshot->displayCode = g_state.display.displayCode;
    const PswJobStatusText* jobStatus = g_state.display.jobStatus;
    if (jobStatus && !IsBadReadPtr(jobStatus, sizeof(*jobStatus)) && jobStatus->text)
        lstrcpynW(snapshot->state, jobStatus->text, ARRAYSIZE(snapshot->state));
    MessageLinesText(snapshot->message, ARRAYSIZE(snapshot->message));
    if (!g_state.statusCopy)
        return;
    snapshot->parts |= SNAPSHOT_STATUS;
    snapshot->deviceFlags = StatusField(offsetof(PswStatusData, deviceFlags));
    if (!(StatusField(offsetof(PswStatusData, jobFlags)) & JOB_IN_PROGRESS))
        return;
    // The pages as the progress bar shows them, also while an error empties the detail list;
    // the time left only when the detail list shows it.
    snapshot->parts |= SNAPSHOT_JOB;
    const PresentationMemory& job = g_state.presentation;
    snapshot->totalPages = job.totalPages;
    snapshot->pagesPrinted = job.totalPages && job.pagesPrinted > job.totalPages ? job.totalPages : job.pagesPrinted;
    lstrcpynW(snapshot->document, g_state.documentName, ARRAYSIZE(snapshot->document));
    lstrcpynW(snapshot->owner, StatusString(offsetof(PswStatusData, ownerOffset)), ARRAYSIZE(snapshot->owner));
    if (JobShown() && EstimateShown()) {
        snapshot->parts |= SNAPSHOT_TIME_LEFT;
        snapshot->timeLeftSeconds = g_state.timeLeftSeconds;
    }
}

void StatusQuery_OnQuery(HWND asker)
{
    // The handle comes from another process: the answer goes only to a live query window,
    // so no other window (another printer's, another program's) is sent anything.
    wchar_t name[CLASS_NAME_CHARS];
    if (!IsWindow(asker) || !GetClassNameW(asker, name, ARRAYSIZE(name)) || lstrcmpW(name, PSW_QUERY_CLASS) != 0)
        return;
    PswStatusSnapshot* snapshot = static_cast<PswStatusSnapshot*>(AllocZeroed(sizeof(PswStatusSnapshot)));
    if (!snapshot)
        return;
    TakeStatusSnapshot(snapshot);
    COPYDATASTRUCT data = {PSW_DATA_SNAPSHOT, sizeof(*snapshot), snapshot};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(g_state.mainWindow),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS, &result);
    FreeBlock(snapshot);
}
