#include "ui/children.h"
#include <commctrl.h>
#include "app/protocol.h"
#include "app/state.h"
#include "app/strings.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "ui/window_placement.h"
#include "ui/toolbar_panes.h"
#include "ui/views.h"

#define TAB_TEXT_CHARS 64

static HWND CreateChild(HWND parent, int id, const wchar_t* className, DWORD exStyle, DWORD style,
                        const PswRect& layoutRect)
{
    RECT rect = Dpi_Rect(layoutRect);
    return CreateWindowExW(exStyle, className, L"", style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           g_state.instance, NULL);
}

static void SetDefaultFont(HWND window, BOOL redraw = FALSE)
{
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Dpi_GuiFont()), redraw);
}

// The status bar's height beyond the layout's 20 pixels.
static void MeasureStatusBar(HWND bar)
{
    RECT rect = {};
    if (bar)
        GetWindowRect(bar, &rect);
    int allowance = int(rect.bottom - rect.top) - LAYOUT_STATUS_BAR_HEIGHT;
    g_state.statusBarAllowance = allowance > 0 ? allowance : 0;
}

// Each child placed by the layout record, with its rectangle there.
struct LaidOutChild {
    HWND MainWindowChildren::*child;
    PswRect PswLayoutInfo::*rect;
};

static const LaidOutChild kLaidOutChildren[] = {
    {&MainWindowChildren::printerStatusPane, &PswLayoutInfo::printerStatus},
    {&MainWindowChildren::jobStatusPane, &PswLayoutInfo::jobStatus},
    {&MainWindowChildren::messageBox, &PswLayoutInfo::messageBox},
    {&MainWindowChildren::picturePane, &PswLayoutInfo::picture},
    {&MainWindowChildren::tab, &PswLayoutInfo::tab},
    {&MainWindowChildren::detailList, &PswLayoutInfo::detailList},
    {&MainWindowChildren::logList, &PswLayoutInfo::logList},
    {&MainWindowChildren::waitingList, &PswLayoutInfo::waitingList},
    {&MainWindowChildren::waitingToolbarPane, &PswLayoutInfo::waitingToolbar},
    {&MainWindowChildren::statusToolbarPane, &PswLayoutInfo::statusToolbar},
    {&MainWindowChildren::progressBar, &PswLayoutInfo::progressBar},
};

// A toolbar fills its pane, with its images at the window's DPI.
static void FitToolbar(HWND toolbar, HWND pane, int which)
{
    if (!toolbar)
        return;
    ScaleToolbarImages(toolbar, which);
    RECT client;
    GetClientRect(pane, &client);
    SetWindowPos(toolbar, NULL, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayoutChildren(void)
{
    MainWindowChildren& c = g_state.children;
    // Fonts and columns first: a list decides on its header and scroll bars when it is resized.
    HWND fonts[] = {c.tab, c.detailList, c.logList, c.waitingList, c.messageBox};
    for (size_t i = 0; i < ARRAYSIZE(fonts); ++i)
        SetDefaultFont(fonts[i], TRUE);
    ScaleListColumns();
    for (size_t i = 0; i < ARRAYSIZE(kLaidOutChildren); ++i) {
        RECT rect = Dpi_Rect(g_state.layout.*kLaidOutChildren[i].rect);
        SetWindowPos(c.*kLaidOutChildren[i].child, NULL, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitToolbar(c.statusToolbar, c.statusToolbarPane, 0);
    FitToolbar(c.waitingToolbar, c.waitingToolbarPane, 1);
    DropPictureCache();
    // The status bar places itself at the bottom when told of the window's new size.
    SendMessageW(c.statusBar, WM_SIZE, 0, 0);
    MeasureStatusBar(c.statusBar);
}

static BOOL InsertTabPages(HWND tab)
{
    static const UINT kPageTexts[PAGE_COUNT] = {IDS_PAGE_DETAIL, IDS_PAGE_LOG, IDS_PAGE_WAITING};
    SetDefaultFont(tab);
    for (int page = 0; page < PAGE_COUNT; ++page) {
        wchar_t text[TAB_TEXT_CHARS];
        LoadText(kPageTexts[page], text, ARRAYSIZE(text));
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = text;
        item.lParam = page;
        if (SendMessageW(tab, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item)) != page)
            return FALSE;
    }
    return TRUE;
}

static HWND CreateList(HWND parent, int id, const PswRect& rect)
{
    HWND list = CreateChild(parent, id, WC_LISTVIEWW, WS_EX_CLIENTEDGE, WS_CHILD | LVS_REPORT, rect);
    if (list)
        SetDefaultFont(list);
    return list;
}

void ApplyListColours(void)
{
    struct ListColour {
        HWND list;
        int colour;
    } lists[] = {
        {g_state.children.detailList, COLOR_BTNFACE},
        {g_state.children.logList, COLOR_BTNFACE},
        {g_state.children.waitingList, COLOR_WINDOW},
    };
    for (size_t i = 0; i < ARRAYSIZE(lists); ++i) {
        COLORREF colour = GetSysColor(lists[i].colour);
        SendMessageW(lists[i].list, LVM_SETBKCOLOR, 0, colour);
        SendMessageW(lists[i].list, LVM_SETTEXTBKCOLOR, 0, colour);
    }
}

BOOL CreateChildren(HWND window)
{
    MainWindowChildren& c = g_state.children;
    const PswLayoutInfo& layout = g_state.layout;
    const DWORD visibleChild = WS_CHILD | WS_VISIBLE;

    c.printerStatusPane = CreateChild(window, IDC_PRINTER_STATUS_PANE, WC_STATICW, 0, visibleChild,
                                      layout.printerStatus);
    c.jobStatusPane = CreateChild(window, IDC_JOB_STATUS_PANE, WC_STATICW, WS_EX_WINDOWEDGE, visibleChild,
                                  layout.jobStatus);
    c.messageBox = CreateChild(window, IDC_MESSAGE_BOX, WC_EDITW, WS_EX_CLIENTEDGE,
                               visibleChild | WS_VSCROLL | ES_MULTILINE | ES_READONLY, layout.messageBox);
    c.picturePane = CreateChild(window, IDC_PICTURE_PANE, WC_STATICW, WS_EX_CLIENTEDGE, visibleChild,
                                layout.picture);
    if (!c.printerStatusPane || !c.jobStatusPane || !c.messageBox || !c.picturePane)
        return FALSE;
    SetDefaultFont(c.messageBox);
    SubclassPanes();

    c.tab = CreateChild(window, IDC_TAB, WC_TABCONTROLW, 0, visibleChild | WS_CLIPSIBLINGS, layout.tab);
    if (!c.tab || !InsertTabPages(c.tab))
        return FALSE;

    c.detailList = CreateList(window, IDC_DETAIL_LIST, layout.detailList);
    c.logList = CreateList(window, IDC_LOG_LIST, layout.logList);
    c.waitingList = CreateList(window, IDC_WAITING_LIST, layout.waitingList);
    if (!c.detailList || !c.logList || !c.waitingList)
        return FALSE;
    SubclassDetailList();
    ApplyListColours();
    InitListColumns();

    c.waitingToolbarPane = CreateChild(window, IDC_WAITING_TOOLBAR_PANE, WC_STATICW, 0, visibleChild,
                                       layout.waitingToolbar);
    c.statusToolbarPane = CreateChild(window, IDC_STATUS_TOOLBAR_PANE, WC_STATICW, 0, visibleChild,
                                      layout.statusToolbar);
    if (!c.waitingToolbarPane || !c.statusToolbarPane)
        return FALSE;
    SubclassToolbarPanes();
    c.statusToolbar = g_state.libraries.PSM_CreateToolbar(c.statusToolbarPane, 0);
    c.waitingToolbar = g_state.libraries.PSM_CreateToolbar(c.waitingToolbarPane, 1);
    FitToolbar(c.statusToolbar, c.statusToolbarPane, 0);
    FitToolbar(c.waitingToolbar, c.waitingToolbarPane, 1);

    c.progressBar = CreateChild(window, IDC_PROGRESS_BAR, PSW_PROGRESS_CLASS, WS_EX_CLIENTEDGE,
                                visibleChild | WS_BORDER, layout.progressBar);
    if (!c.progressBar)
        return FALSE;
    // The lists, the progress bar and the toolbars lie on the tab control's pages, and each
    // new child went under the earlier ones: the tab control goes to the bottom of the
    // z-order, where its sibling clipping leaves them alone.
    SetWindowPos(c.tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CreateStatusBar(HWND window)
{
    // The allowance is measured on a status bar made for that purpose only.
    HWND measured = CreateStatusWindowW(WS_CHILD | CCS_BOTTOM, L"", window, IDC_STATUS_BAR);
    MeasureStatusBar(measured);
    if (measured)
        DestroyWindow(measured);
    PlaceMainWindow(SWP_HIDEWINDOW | SWP_FRAMECHANGED | SWP_NOZORDER);

    g_state.children.statusBar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE | CCS_BOTTOM, L"", window, IDC_STATUS_BAR);
    SendMessageW(g_state.children.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(g_state.portName));
}
