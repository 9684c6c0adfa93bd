#include "ui/help.h"
#include <commctrl.h>
#include <winspool.h>
#include "app/machine_layout.h"
#include "app/protocol.h"
#include "app/state.h"
#include "ui/dpi.h"

#define HELP_FILE_KIND 1

WinHelpFunction g_winHelp = WinHelpW;

// The driver directory of the system's own environment + "\3\" + the help file the
// presentation library names (a 32-bit copy on 64-bit Windows would get the 32-bit folder).
static BOOL HelpFilePath(wchar_t* path, DWORD chars)
{
    wchar_t name[MAX_PATH] = L"";
    g_state.libraries.PSM_GetFileName(name, HELP_FILE_KIND);
    name[MAX_PATH - 1] = 0;
    wchar_t* environment = const_cast<wchar_t*>(ThisMachineLayout().printEnvironment);
    DWORD needed = 0;
    if (GetPrinterDriverDirectoryW(NULL, environment, 1, NULL, 0, &needed) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed > chars * sizeof(wchar_t))
        return FALSE;
    if (!GetPrinterDriverDirectoryW(NULL, environment, 1, reinterpret_cast<BYTE*>(path), chars * sizeof(wchar_t),
                                    &needed))
        return FALSE;
    if (DWORD(lstrlenW(path) + lstrlenW(name) + 4) > chars)
        return FALSE;
    lstrcatW(path, L"\\3\\");
    lstrcatW(path, name);
    return TRUE;
}

void ShowHelp(HWND window, UINT command, ULONG_PTR data)
{
    wchar_t path[2 * MAX_PATH];
    if (g_state.libraries.PSM_GetFileName && HelpFilePath(path, ARRAYSIZE(path)))
        g_winHelp(window, path, command, data);
}

// Help topics of the main window's panes.
#define TOPIC_PRINTER_STATUS 3040
#define TOPIC_JOB_STATUS 3050
#define TOPIC_PICTURE 3070
#define TOPIC_TAB_DETAIL 3080   // then 3090 and 3100 for the log and waiting pages
#define TOPIC_TAB_STEP 10
#define TOPIC_PROGRESS 3110
#define TOPIC_TOOLBAR 3120
#define TOPIC_LISTS 3130
#define TOPIC_STATUS_BAR 3140

static DWORD TabTopic(int page)
{
    return TOPIC_TAB_DETAIL + page * TOPIC_TAB_STEP;
}

void Help_OnHelp(const HELPINFO* info)
{
    const MainWindowChildren& c = g_state.children;
    int id = info && info->iContextType == HELPINFO_WINDOW ? info->iCtrlId : 0;
    if (id == IDC_TAB) {
        ShowHelp(c.tab, HELP_CONTEXTPOPUP, TabTopic(g_state.page));
    } else if (id == IDC_LOG_LIST || id == IDC_DETAIL_LIST || id == IDC_WAITING_LIST) {
        ShowHelp(GetDlgItem(g_state.mainWindow, id), HELP_CONTEXTPOPUP, TOPIC_LISTS);
    } else {
        ShowHelp(g_state.mainWindow, HELP_FINDER, 0);
    }
}

struct PaneTopic {
    int id;
    PswRect PswLayoutInfo::*rect;
    DWORD topic;   // 0: the tab page's topic
};

// The panes a right click can hit, in the order they are tried, for each tab page.
static const PaneTopic kCommonPanes[] = {
    {IDC_PRINTER_STATUS_PANE, &PswLayoutInfo::printerStatus, TOPIC_PRINTER_STATUS},
    {IDC_JOB_STATUS_PANE, &PswLayoutInfo::jobStatus, TOPIC_JOB_STATUS},
    {IDC_PICTURE_PANE, &PswLayoutInfo::picture, TOPIC_PICTURE},
};
static const PaneTopic kDetailPanes[] = {
    {IDC_DETAIL_LIST, &PswLayoutInfo::detailList, TOPIC_LISTS},
    {IDC_PROGRESS_BAR, &PswLayoutInfo::progressBar, TOPIC_PROGRESS},
    {IDC_STATUS_TOOLBAR_PANE, &PswLayoutInfo::statusToolbar, TOPIC_TOOLBAR},
    {IDC_TAB, &PswLayoutInfo::tab, 0},
};
static const PaneTopic kLogPanes[] = {
    {IDC_LOG_LIST, &PswLayoutInfo::logList, TOPIC_LISTS},
    {IDC_TAB, &PswLayoutInfo::tab, 0},
};
static const PaneTopic kWaitingPanes[] = {
    {IDC_WAITING_LIST, &PswLayoutInfo::waitingList, TOPIC_LISTS},
    {IDC_WAITING_TOOLBAR_PANE, &PswLayoutInfo::waitingToolbar, TOPIC_TOOLBAR},
    {IDC_TAB, &PswLayoutInfo::tab, 0},
};

// The first pane of the list whose layout rectangle, at the window's DPI, holds the point
// (edges inside).
static const PaneTopic* HitPane(const PaneTopic* panes, size_t count, POINT client)
{
    for (size_t i = 0; i < count; ++i) {
        RECT r = Dpi_Rect(g_state.layout.*panes[i].rect);
        if (client.x >= r.left && client.x <= r.right && client.y >= r.top && client.y <= r.bottom)
            return &panes[i];
    }
    return NULL;
}

// The (control, topic) pair of the last context-help request and the zero pair that ends the
// list: the help viewer may read the list after the call has returned, as with the dialogs'.
static DWORD s_contextPair[4];

BOOL Help_OnContextMenu(HWND clicked, POINT screen)
{
    HWND window = g_state.mainWindow;
    RECT frame;
    GetWindowRect(window, &frame);
    if (screen.y < frame.top + Dpi_Metric(SM_CYCAPTION))
        return FALSE;
    DWORD* pair = s_contextPair;
    ZeroMemory(s_contextPair, sizeof(s_contextPair));
    if (clicked == g_state.children.statusBar) {
        pair[0] = IDC_STATUS_BAR;
        pair[1] = TOPIC_STATUS_BAR;
    } else {
        // Layout rectangles are client coordinates below the title bar and the menu.
        POINT client = {screen.x - frame.left,
                        screen.y - (frame.top + Dpi_Metric(SM_CYCAPTION) + Dpi_Metric(SM_CYMENU))};
        const PaneTopic* hit = HitPane(kCommonPanes, ARRAYSIZE(kCommonPanes), client);
        if (!hit && g_state.page == PAGE_LOG)
            hit = HitPane(kLogPanes, ARRAYSIZE(kLogPanes), client);
        else if (!hit && g_state.page == PAGE_WAITING)
            hit = HitPane(kWaitingPanes, ARRAYSIZE(kWaitingPanes), client);
        else if (!hit)
            hit = HitPane(kDetailPanes, ARRAYSIZE(kDetailPanes), client);
        if (hit) {
            pair[0] = hit->id;
            pair[1] = hit->topic ? hit->topic : TabTopic(g_state.page);
            // On a tab header: that page's topic.
            POINT inTab = screen;
            ScreenToClient(g_state.children.tab, &inTab);
            for (int page = 0; page < PAGE_COUNT; ++page) {
                RECT header;
                if (SendMessageW(g_state.children.tab, TCM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&header)) &&
                    PtInRect(&header, inTab))
                    pair[1] = TabTopic(page);
            }
        }
    }
    HWND target = pair[0] ? GetDlgItem(window, int(pair[0])) : window;
    ShowHelp(target ? target : window, HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(pair));
    return TRUE;
}
