#include "ui/views.h"
#include <stddef.h>
#include <winspool.h>
#include "app/protocol.h"
#include "app/state.h"
#include "app/strings.h"
#include "monitor/monitor_thread.h"
#include "monitor/status_rules.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/menu_states.h"

#define HEADER_TEXT_CHARS 64
#define WAITING_COLUMNS 4   // document, status, owner, started
#define TIME_FORMAT_CHARS 160
#define TIME_TEXT_CHARS 64
#define FORMAT_CHARS 64
#define OWNER_CHARS_SHOWN 256
#define MACHINE_CHARS_SHOWN 15
#define LOG_FIELD_CHARS 64
#define SECONDS_SHOWN_BELOW 120
#define MINUTES_SHOWN_BELOW 7200

#define LOG_COLUMNS 5
#define DETAIL_COLUMNS 2   // item, contents

enum DetailRow { ROW_DOCUMENT, ROW_OWNER, ROW_MACHINE, ROW_TIME_LEFT, ROW_FINISH };

// While the device shows one of these, no time is estimated for the job.
static const int kNoEstimateCodes[] = {DISPLAY_PRINTING_ODD, DISPLAY_WAITING_EVEN, DISPLAY_WAITING_ODD,
                                       DISPLAY_LAST_PAGE,    DISPLAY_COVER_OPEN,   DISPLAY_OFFLINE,
                                       DISPLAY_MEMORY_FULL};

static void InsertColumns(HWND list, const UINT* texts, const SHORT* widths, int count)
{
    for (int i = 0; i < count; ++i) {
        wchar_t text[HEADER_TEXT_CHARS];
        LoadText(texts[i], text, ARRAYSIZE(text));
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = Dpi_Scale(widths[i]);
        column.pszText = text;
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

// The waiting list's widths: the fourth lies apart from the first three in the layout record.
static void WaitingColumnWidths(SHORT widths[WAITING_COLUMNS])
{
    const PswLayoutInfo& layout = g_state.layout;
    const SHORT all[WAITING_COLUMNS] = {layout.waitingColumns[0], layout.waitingColumns[1], layout.waitingColumns[2],
                                        layout.waitingColumn4};
    CopyMemory(widths, all, sizeof(all));
}

void ScaleListColumns(void)
{
    const PswLayoutInfo& layout = g_state.layout;
    const MainWindowChildren& c = g_state.children;
    SHORT waitingWidths[WAITING_COLUMNS];
    WaitingColumnWidths(waitingWidths);
    const struct {
        HWND list;
        const SHORT* widths;
        int count;
    } lists[] = {
        {c.detailList, layout.detailColumns, DETAIL_COLUMNS},
        {c.logList, layout.logColumns, LOG_COLUMNS},
        {c.waitingList, waitingWidths, WAITING_COLUMNS},
    };
    for (size_t i = 0; i < ARRAYSIZE(lists); ++i)
        for (int column = 0; column < lists[i].count; ++column)
            SendMessageW(lists[i].list, LVM_SETCOLUMNWIDTH, column, Dpi_Scale(lists[i].widths[column]));
}

void InitListColumns(void)
{
    const PswLayoutInfo& layout = g_state.layout;
    const MainWindowChildren& c = g_state.children;

    static const UINT kDetailColumns[] = {IDS_COLUMN_TITLE, IDS_COLUMN_CONTENTS};
    static const UINT kDetailRows[DETAIL_ROWS] = {IDS_DOCUMENT_NAME, IDS_USER_NAME, IDS_COMPUTER_NAME,
                                                  IDS_TIME_LEFT, IDS_TIME_FINISHED};
    SendMessageW(c.detailList, LVM_DELETEALLITEMS, 0, 0);
    InsertColumns(c.detailList, kDetailColumns, layout.detailColumns, ARRAYSIZE(kDetailColumns));
    for (int row = 0; row < DETAIL_ROWS; ++row) {
        wchar_t text[HEADER_TEXT_CHARS];
        LoadText(kDetailRows[row], text, ARRAYSIZE(text));
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text;
        SendMessageW(c.detailList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    static const UINT kLogColumns[] = {IDS_DOCUMENT_NAME, IDS_COLUMN_RESULT, IDS_COLUMN_OWNER, IDS_COLUMN_PAGES,
                                       IDS_COLUMN_PRINTED_AT};
    InsertColumns(c.logList, kLogColumns, layout.logColumns, ARRAYSIZE(kLogColumns));

    static const UINT kWaitingColumns[] = {IDS_DOCUMENT_NAME, IDS_COLUMN_STATUS, IDS_COLUMN_OWNER,
                                           IDS_COLUMN_STARTED};
    SHORT waitingWidths[WAITING_COLUMNS];
    WaitingColumnWidths(waitingWidths);
    InsertColumns(c.waitingList, kWaitingColumns, waitingWidths, ARRAYSIZE(kWaitingColumns));
}

// ---- Detail list ----

static void SetDetailText(int row, const wchar_t* text)
{
    // Only a changed text is set: setting it repaints the row, and this runs while painting.
    wchar_t current[CELL_TEXT_CHARS] = L"";
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = current;
    item.cchTextMax = ARRAYSIZE(current);
    HWND list = g_state.children.detailList;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    if (lstrcmpW(current, text) == 0)
        return;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

BOOL EstimateShown(void)
{
    for (size_t i = 0; i < ARRAYSIZE(kNoEstimateCodes); ++i)
        if (g_state.display.displayCode == kNoEstimateCodes[i])
            return FALSE;
    return StatusField(offsetof(PswStatusData, jobId)) != 0;
}

BOOL JobShown(void)
{
    return g_state.statusCopy && (StatusField(offsetof(PswStatusData, jobFlags)) & JOB_IN_PROGRESS) &&
           !(StatusField(offsetof(PswStatusData, deviceFlags)) & DEVICE_CLEARS_JOB_ROWS);
}

void RefreshDetailRows(void)
{
    wchar_t texts[DETAIL_ROWS][CELL_TEXT_CHARS] = {};
    if (JobShown()) {
        lstrcpynW(texts[ROW_DOCUMENT], g_state.documentName, CELL_TEXT_CHARS);
        lstrcpynW(texts[ROW_OWNER], StatusString(offsetof(PswStatusData, ownerOffset)), OWNER_CHARS_SHOWN + 1);
        lstrcpynW(texts[ROW_MACHINE], BlockMachineName(CurrentStatusBlock()), MACHINE_CHARS_SHOWN + 1);
        if (EstimateShown()) {
            TimeLeftText(g_state.timeLeftSeconds, texts[ROW_TIME_LEFT], CELL_TEXT_CHARS);
            TimeOfDayText(&g_state.finishTime, texts[ROW_FINISH], CELL_TEXT_CHARS);
        }
    }
    for (int row = 0; row < DETAIL_ROWS; ++row)
        SetDetailText(row, texts[row]);
}

void TimeLeftText(DWORD seconds, wchar_t* text, int chars)
{
    UINT id = IDS_TIME_LEFT_HOURS;
    DWORD value = seconds / 3600;
    if (seconds < SECONDS_SHOWN_BELOW) {
        id = seconds == 1 ? IDS_TIME_LEFT_ONE_SECOND : IDS_TIME_LEFT_SECONDS;
        value = seconds;
    } else if (seconds < MINUTES_SHOWN_BELOW) {
        id = IDS_TIME_LEFT_MINUTES;
        value = seconds / 60;
    }
    wchar_t format[FORMAT_CHARS];
    LoadText(id, format, ARRAYSIZE(format));
    wchar_t formatted[FORMATTED_TEXT_CHARS];
    wsprintfW(formatted, format, value);
    lstrcpynW(text, formatted, chars);
}

void TimeOfDayText(const SYSTEMTIME* time, wchar_t* text, int chars)
{
    wchar_t format[TIME_FORMAT_CHARS] = L"";
    text[0] = 0;
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, ARRAYSIZE(format));
    GetTimeFormatW(0, 0, time, format, text, chars);
}

// ---- Job log ----

BOOL InsertCallbackRow(HWND list, int index, LPARAM data, int columns)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
    item.iItem = index;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.lParam = data;
    int inserted = int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0)
        return FALSE;
    for (int column = 1; column < columns; ++column) {
        LVITEMW cell = {};
        cell.iSubItem = column;
        cell.pszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(list, LVM_SETITEMTEXTW, inserted, reinterpret_cast<LPARAM>(&cell));
    }
    return TRUE;
}

void AddJobLogEntry(BOOL cancelled)
{
    HWND list = g_state.children.logList;
    if (g_state.jobLogCount == JOB_LOG_MAX) {
        SendMessageW(list, LVM_DELETEITEM, 0, 0);
        FreeBlock(g_state.jobLog[0]);
        MoveMemory(g_state.jobLog, g_state.jobLog + 1, (JOB_LOG_MAX - 1) * sizeof(g_state.jobLog[0]));
        g_state.jobLog[JOB_LOG_MAX - 1] = NULL;
        --g_state.jobLogCount;
        --g_state.jobLogInsertIndex;
    }
    JobLogEntry* entry = static_cast<JobLogEntry*>(AllocZeroed(sizeof(JobLogEntry)));
    if (!entry)
        return;
    lstrcpynW(entry->document, g_state.documentName, ARRAYSIZE(entry->document));
    LoadText(cancelled ? IDS_RESULT_CANCELLED : IDS_RESULT_DONE, entry->result, ARRAYSIZE(entry->result));
    lstrcpynW(entry->owner, StatusString(offsetof(PswStatusData, ownerOffset)), ARRAYSIZE(entry->owner));
    entry->pages = g_state.presentation.pagesPrinted;
    TimeOfDayText(NULL, entry->endTime, ARRAYSIZE(entry->endTime));

    BOOL inserted = InsertCallbackRow(list, g_state.jobLogInsertIndex, reinterpret_cast<LPARAM>(entry), LOG_COLUMNS);
    ++g_state.jobLogInsertIndex;
    if (inserted) {
        RedrawWindow(g_state.children.messageBox, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        g_state.jobLog[g_state.jobLogCount++] = entry;
    } else {
        FreeBlock(entry);   // no row refers to it
    }
}

void FreeJobLog(void)
{
    for (int i = 0; i < g_state.jobLogCount; ++i) {
        FreeBlock(g_state.jobLog[i]);
        g_state.jobLog[i] = NULL;
    }
    g_state.jobLogCount = 0;
}

// ---- Cell texts ----

// The first status bit of the job's low byte names it; none: waiting.
static UINT JobStatusText(DWORD status)
{
    static const UINT kTexts[] = {IDS_JOB_PAUSED, IDS_JOB_ERROR, IDS_JOB_DELETING, IDS_JOB_SPOOLING,
                                  IDS_JOB_PRINTING, IDS_JOB_OFFLINE, IDS_JOB_PAPER_OUT, IDS_JOB_PRINTED};
    for (int bit = 0; bit < 8; ++bit)
        if (status & (1u << bit))
            return kTexts[bit];
    return IDS_JOB_WAITING;
}

static void WaitingCellText(const JOB_INFO_2W* job, int column, wchar_t* text, int chars)
{
    switch (column) {
    case 0:
        lstrcpynW(text, job->pDocument ? job->pDocument : L"", chars);
        break;
    case 1:
        LoadText(JobStatusText(job->Status), text, chars);
        break;
    case 2:
        lstrcpynW(text, job->pUserName ? job->pUserName : L"", chars);
        break;
    case 3: {
        // Submitted is in UTC; only the local time of day is shown.
        FILETIME utc, local;
        SYSTEMTIME submitted;
        if (SystemTimeToFileTime(&job->Submitted, &utc) && FileTimeToLocalFileTime(&utc, &local) &&
            FileTimeToSystemTime(&local, &submitted))
            TimeOfDayText(&submitted, text, chars);
        break;
    }
    }
}

static void LogCellText(const JobLogEntry* entry, int column, wchar_t* text, int chars)
{
    switch (column) {
    case 0:
        lstrcpynW(text, entry->document, chars);
        break;
    case 1:
        lstrcpynW(text, entry->result, chars);
        break;
    case 2:
        lstrcpynW(text, entry->owner, chars);
        break;
    case 3:
        wsprintfW(text, L"%u", entry->pages);
        break;
    case 4:
        lstrcpynW(text, entry->endTime, chars);
        break;
    }
}

static void OnGetDispInfo(NMLVDISPINFOW* info)
{
    if (!(info->item.mask & LVIF_TEXT))
        return;
    wchar_t* text = g_state.cellText;
    text[0] = 0;
    if (info->item.lParam) {
        if (info->hdr.idFrom == IDC_WAITING_LIST)
            WaitingCellText(reinterpret_cast<const JOB_INFO_2W*>(info->item.lParam), info->item.iSubItem, text,
                            CELL_TEXT_CHARS);
        else
            LogCellText(reinterpret_cast<const JobLogEntry*>(info->item.lParam), info->item.iSubItem, text,
                        CELL_TEXT_CHARS);
    }
    info->item.pszText = text;
}

// ---- Selection and focus ----

void CollectSelection(void)
{
    HWND list = g_state.children.waitingList;
    g_state.selectedJobCount = 0;
    for (int row = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
         row >= 0 && g_state.selectedJobCount < REMEMBERED_JOBS_MAX;
         row = int(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) || !item.lParam)
            continue;
        const JOB_INFO_2W* job = reinterpret_cast<const JOB_INFO_2W*>(item.lParam);
        g_state.selectedJobIds[g_state.selectedJobCount] = job->JobId;
        g_state.selectedJobStatus[g_state.selectedJobCount] = job->Status;
        ++g_state.selectedJobCount;
    }
}

void SetRowState(HWND list, int row, UINT state)
{
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

static void ClearListSelections(void)
{
    const HWND lists[] = {g_state.children.waitingList, g_state.children.logList, g_state.children.detailList};
    for (size_t i = 0; i < ARRAYSIZE(lists); ++i)
        SetRowState(lists[i], -1, 0);
}

// The waiting jobs' selection as the list has it now, and the commands for it.
static void FollowWaitingSelection(void)
{
    CollectSelection();
    RefreshCommandStates(FALSE, FALSE);
}

LRESULT Views_OnNotify(const NMHDR* header)
{
    switch (header->code) {
    case LVN_GETDISPINFOW:
        if (header->idFrom == IDC_LOG_LIST || header->idFrom == IDC_WAITING_LIST)
            OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header)));
        break;
    case LVN_ITEMCHANGED: {
        // Whatever changed the waiting list's selection (the mouse, the keyboard, the list
        // rebuilt), the commands follow it.
        const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (header->idFrom == IDC_WAITING_LIST && (change->uChanged & LVIF_STATE) &&
            ((change->uOldState ^ change->uNewState) & LVIS_SELECTED))
            FollowWaitingSelection();
        break;
    }
    case LVN_KEYDOWN:
        if (g_state.page == PAGE_WAITING)
            FollowWaitingSelection();
        break;
    case NM_CLICK:
        if (header->idFrom == IDC_WAITING_LIST) {
            FollowWaitingSelection();
            g_state.focusPane = IDC_WAITING_LIST;
        } else {
            g_state.focusPane = IDC_TAB;
        }
        break;
    case NM_SETFOCUS:
        if (g_state.page == PAGE_WAITING)
            g_state.focusPane = IDC_WAITING_LIST;
        break;
    case NM_KILLFOCUS:
        ClearListSelections();
        RefreshCommandStates(TRUE, FALSE);
        break;
    case HDN_DIVIDERDBLCLICKW:
        RedrawWindow(g_state.mainWindow, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        break;
    }
    return 0;
}

// The list of the page showing, or NULL when the page has none to visit.
static HWND PageList(void)
{
    const MainWindowChildren& c = g_state.children;
    switch (g_state.page) {
    case PAGE_DETAIL:
        return c.detailList;
    case PAGE_LOG:
        return SendMessageW(c.logList, LVM_GETITEMCOUNT, 0, 0) ? c.logList : NULL;
    case PAGE_WAITING:
        return SendMessageW(c.waitingList, LVM_GETITEMCOUNT, 0, 0) ? c.waitingList : NULL;
    }
    return NULL;
}

// The first button of a toolbar that can be pressed, or -1.
static int FirstEnabledButton(HWND toolbar)
{
    int count = int(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) &&
            (button.fsState & TBSTATE_ENABLED) && !(button.fsStyle & BTNS_SEP))
            return i;
    }
    return -1;
}

// The toolbar of the page showing, when one of its buttons can be pressed: a toolbar that
// takes the focus shows it on that button.
static HWND PageToolbar(void)
{
    const MainWindowChildren& c = g_state.children;
    HWND toolbar = g_state.page == PAGE_DETAIL ? c.statusToolbar : g_state.page == PAGE_WAITING ? c.waitingToolbar : NULL;
    return toolbar && FirstEnabledButton(toolbar) >= 0 ? toolbar : NULL;
}

// The pane id a window counts as: its own, or for a toolbar the id of the pane that hosts it.
static int PaneIdOf(HWND window)
{
    const MainWindowChildren& c = g_state.children;
    return window == c.statusToolbar ? IDC_STATUS_TOOLBAR_PANE
           : window == c.waitingToolbar ? IDC_WAITING_TOOLBAR_PANE
                                        : GetDlgCtrlID(window);
}

static void FocusPane(HWND pane)
{
    // A toolbar the focus leaves shows no button as the focused one any more.
    const HWND toolbars[] = {g_state.children.statusToolbar, g_state.children.waitingToolbar};
    for (size_t i = 0; i < ARRAYSIZE(toolbars); ++i)
        if (toolbars[i] != pane)
            SendMessageW(toolbars[i], TB_SETHOTITEM, WPARAM(-1), 0);
    SetFocus(pane);
    int id = PaneIdOf(pane);
    if (id == IDC_DETAIL_LIST || id == IDC_LOG_LIST || id == IDC_WAITING_LIST)
        SetRowState(pane, 0, LVIS_FOCUSED);
    else if (id == IDC_STATUS_TOOLBAR_PANE || id == IDC_WAITING_TOOLBAR_PANE)
        SendMessageW(pane, TB_SETHOTITEM, FirstEnabledButton(pane), 0);
    g_state.focusPane = id;
}

// The panes Tab visits in turn: the tab control, the page's list and toolbar when it has
// them, the message box; from any other pane both ways lead to the tab control.
void CycleFocus(BOOL forward)
{
    const MainWindowChildren& c = g_state.children;
    HWND stops[4];
    int count = 0, from = -1;
    HWND candidates[] = {c.tab, PageList(), PageToolbar(), c.messageBox};
    for (size_t i = 0; i < ARRAYSIZE(candidates); ++i) {
        if (!candidates[i])
            continue;
        if (PaneIdOf(candidates[i]) == g_state.focusPane)
            from = count;
        stops[count++] = candidates[i];
    }
    HWND to = c.tab;
    if (from >= 0)
        to = stops[(from + (forward ? 1 : count - 1)) % count];
    FocusPane(to);
    // The dialog manager shows the focus once the keyboard moves it; Tab comes here through an
    // accelerator instead, so the window shows it from now on.
    SendMessageW(g_state.mainWindow, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void RestoreFocus(void)
{
    HWND child = g_state.focusedChild;
    if (!child || !IsWindow(child) || !IsWindowVisible(child) || !IsWindowEnabled(child))
        child = g_state.children.tab;
    SetFocus(child);
}

// Selects again the rows of jobs selected before (at most 100), and remembers exactly those.
static void RestoreSelection(const DWORD* ids, int idCount)
{
    HWND list = g_state.children.waitingList;
    int selected = 0;
    for (int row = 0; row < g_state.waitingJobCount && selected < REMEMBERED_JOBS_MAX; ++row) {
        BOOL wanted = FALSE;
        for (int i = 0; i < idCount && !wanted; ++i)
            wanted = ids[i] == g_state.waitingJobs[row].JobId;
        if (!wanted)
            continue;
        LVITEMW state = {};
        state.mask = LVIF_STATE;
        state.iItem = row;
        state.state = state.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state));
        ++selected;
    }
    CollectSelection();
}

LRESULT Views_OnWaitingJobs(void)
{
    WaitingJobsHandoff* handoff = static_cast<WaitingJobsHandoff*>(
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&g_state.waitingJobsHandoff), NULL));
    if (!handoff)
        return 0;
    // The selection as it was, before the rows go.
    DWORD ids[REMEMBERED_JOBS_MAX];
    int idCount = g_state.selectedJobCount;
    CopyMemory(ids, g_state.selectedJobIds, idCount * sizeof(DWORD));

    // The list draws once when it is complete, not after every row.
    HWND list = g_state.children.waitingList;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int row = 0; row < handoff->count; ++row)
        InsertCallbackRow(list, row, reinterpret_cast<LPARAM>(&handoff->jobs[row]), WAITING_COLUMNS);
    // No row refers to the previous set any more.
    ReleaseJobs(g_state.notifyInfo, g_state.waitingJobs);
    g_state.notifyInfo = handoff->info;
    g_state.waitingJobs = handoff->jobs;
    g_state.waitingJobCount = handoff->count;
    FreeBlock(handoff);
    RestoreSelection(ids, idCount);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
    return 1;
}
