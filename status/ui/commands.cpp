#include "ui/commands.h"
#include <commctrl.h>
#include <stddef.h>
#include "app/protocol.h"
#include "app/settings.h"
#include "app/state.h"
#include "monitor/job_control.h"
#include "monitor/status_rules.h"
#include "res/dialog_ids.h"
#include "ui/dialogs.h"
#include "ui/help.h"
#include "ui/menu_states.h"
#include "ui/presentation.h"
#include "ui/views.h"
#include "ui/window_placement.h"

#define MENU_HELP_CHARS 260

static void JobRequest(DWORD code, DWORD argument)
{
    g_state.libraries.SmPsw_JobRequest(g_state.statusHandle, code, argument);
}

// A job command on the device's current job (every page but the waiting list's).
static void DeviceJobCommand(UINT id)
{
    switch (id) {
    case IDM_PAUSE:
        JobRequest(JOB_REQUEST_PAUSE, 0);
        break;
    case IDM_RESUME:
        JobRequest(JOB_REQUEST_RESUME, 0);
        break;
    case IDM_CANCEL:
        StopCountdowns();
        JobRequest(JOB_REQUEST_CANCEL, StatusField(offsetof(PswStatusData, jobId)));
        break;
    }
}

// The options dialog; the library hears of a new way to watch the device, and the window
// takes its new layer.
static void OnOptions(void)
{
    DWORD statusSense = g_state.statusSense;
    ShowStatusDialog(g_state.instance, g_state.mainWindow, IDD_OPTIONS, 0);
    if (g_state.statusSense != statusSense)
        JobRequest(JOB_REQUEST_STATUS_SENSE, 0);
    UINT show = IsWindowVisible(g_state.mainWindow) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    PlaceMainWindow(show | SWP_FRAMECHANGED);
}

// Acts on the jobs selected in the waiting list, then leaves the list with no selection and
// the focus on its first row.
static void CommandSelectedJobs(SpoolerJobCommand command)
{
    CollectSelection();
    if (g_state.selectedJobCount == 0 || !CommandJobs(g_state.selectedJobIds, g_state.selectedJobCount, command))
        return;
    SetRowState(g_state.children.waitingList, -1, 0);
    SetRowState(g_state.children.waitingList, 0, LVIS_FOCUSED);
}

void Commands_OnCommand(UINT id, UINT notification)
{
    switch (id) {
    case IDM_PAUSE:
    case IDM_RESUME:
    case IDM_CANCEL:
        // The waiting page acts on the selected queued jobs, the others on the device's job.
        if (g_state.page == PAGE_WAITING)
            CommandSelectedJobs(id == IDM_PAUSE ? SPOOLER_PAUSE : id == IDM_RESUME ? SPOOLER_RESUME : SPOOLER_CANCEL);
        else
            DeviceJobCommand(id);
        if (id == IDM_CANCEL)
            RefreshCommandStates(TRUE, FALSE);
        break;
    case IDM_DEVICE_COMMAND:
        JobRequest(JOB_REQUEST_DEVICE_COMMAND, 0);
        break;
    case IDM_DEVICE_ITEM:
        JobRequest(JOB_REQUEST_DEVICE_ITEM, 0);
        break;
    case IDM_OPTIONS:
        OnOptions();
        break;
    case IDM_HELP_TOPICS:
        ShowHelp(g_state.mainWindow, HELP_FINDER, 0);
        break;
    case IDM_ABOUT:
        ShowStatusDialog(g_state.instance, g_state.mainWindow, IDD_ABOUT, 0);
        break;
    case IDM_PORT_SETTINGS:
        if (UseDmaPortSettings())
            ShowStatusDialog(g_state.instance, g_state.mainWindow, IDD_PORT_SETTINGS_DMA, PORT_SETTINGS_DMA);
        else
            ShowStatusDialog(g_state.instance, g_state.mainWindow, IDD_PORT_SETTINGS, PORT_SETTINGS_STANDARD);
        break;
    case IDC_MESSAGE_BOX:
        if (notification == EN_SETFOCUS)
            g_state.focusPane = IDC_MESSAGE_BOX;
        break;
    case IDM_FOCUS_NEXT:
    case IDM_FOCUS_PREVIOUS:
        CycleFocus(id == IDM_FOCUS_NEXT);
        break;
    }
}

void OnToolbarCommand(UINT id)
{
    // Resume does nothing on the detail page while the printer is paused there.
    if (id == IDM_RESUME && g_state.page == PAGE_DETAIL && g_state.display.displayCode == DISPLAY_PAUSED)
        return;
    Commands_OnCommand(id, 0);
}

static void ShowStatusText(const wchar_t* text)
{
    SendMessageW(g_state.children.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

void Commands_OnMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && !menu) {
        ShowStatusText(g_state.portName);
        return;
    }
    UINT stringId = g_state.libraries.PSM_GetMenuHelpText(g_state.mainWindow, item, flags, menu);
    wchar_t text[MENU_HELP_CHARS];
    if (LoadStringW(g_state.libraries.presentation, stringId, text, ARRAYSIZE(text)) > 0)
        ShowStatusText(text);
}
