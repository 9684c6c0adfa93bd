// The three job lists: the detail list (page 0), the job log (page 1), the waiting jobs
// (page 2); the texts of their cells and the keyboard focus between the panes.
#pragma once
#include "ui/layer.h"
#include <windows.h>
#include <commctrl.h>

#define DETAIL_ROWS 5

// Columns of the three lists from the layout's widths, and the detail list's fixed rows.
void InitListColumns(void);
// Sets the columns' widths again at the window's DPI.
void ScaleListColumns(void);
// The second column of the detail list from the last status block.
void RefreshDetailRows(void);
// TRUE when the last status block has a job in progress that the detail list shows.
BOOL JobShown(void);
// TRUE when the detail list shows the job's time left and finishing time.
BOOL EstimateShown(void);
// Text of a time left in seconds ("%-2d 秒", "%-2d 分钟", "%-2d 小时").
void TimeLeftText(DWORD seconds, wchar_t* text, int chars);
// A time of day in the user's time format; `time` NULL: now.
void TimeOfDayText(const SYSTEMTIME* time, wchar_t* text, int chars);

// Inserts a row whose every cell text is asked for when shown; FALSE when it cannot.
BOOL InsertCallbackRow(HWND list, int index, LPARAM data, int columns);

// Adds the job that just ended to the job log; the oldest entry goes beyond 100.
void AddJobLogEntry(BOOL cancelled);
void FreeJobLog(void);

// Sets the selected and focused state of a row (-1: every row) to `state`.
void SetRowState(HWND list, int row, UINT state);
// Remembers the selected waiting jobs (at most 100).
void CollectSelection(void);
// PSWM_WAITING_JOBS: shows the set of waiting jobs the monitor thread left, keeps the selection
// of jobs still waiting and releases the previous set. Returns 1 when a set was taken.
LRESULT Views_OnWaitingJobs(void);
// WM_NOTIFY from the lists; returns the notification's result.
LRESULT Views_OnNotify(const NMHDR* header);
// Tab (forward) and Shift+Tab between the tab control, the page's list and toolbar and the
// message box.
void CycleFocus(BOOL forward);
// Gives the keyboard focus back to the child that had it last (the tab control when that one
// cannot take it): the window got activated again, after a dialog or a message box.
void RestoreFocus(void);
