#include "ui/main_window.h"
#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>
#include "app/protocol.h"
#include "app/settings.h"
#include "app/state.h"
#include "app/strings.h"
#include "monitor/monitor_thread.h"
#include "res/resource.h"
#include "ui/accessibility.h"
#include "ui/children.h"
#include "ui/commands.h"
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "ui/help.h"
#include "ui/menu_states.h"
#include "ui/presentation.h"
#include "ui/protocol_handlers.h"
#include "ui/repaint.h"
#include "ui/status_snapshot.h"
#include "ui/toolbar_panes.h"
#include "ui/views.h"
#include "ui/window_placement.h"

#define MENU_TEXT_CHARS 64
#define CLOSE_WITHOUT_STATUS_WAIT_MS 3000   // the library's last block may be under way

static BOOL RegisterOneClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

BOOL RegisterWindowClasses(HINSTANCE instance)
{
    return RegisterOneClass(instance, PSW_MAIN_CLASS, MainWndProc) &&
           RegisterOneClass(instance, PSW_PROGRESS_CLASS, ProgressBarWndProc);
}

HWND CreateMainWindow(void)
{
    const PswLibraries& lib = g_state.libraries;
    lib.PSM_GetPSWDisplay(lib.presentation, 0, NULL, &g_state.display, FALSE);
    if (g_state.display.frameCount && g_state.display.frames) {
        g_state.animationA.frameIndex = 1;
        g_state.animationA.frame = g_state.display.frames;
    }
    lib.PSM_GetPSWInfo(&g_state.layout);
    // The system's DPI until the window is on its monitor (no font was made before the window).
    Dpi_Set(WindowDpi(NULL));
    POINT corner = SavedWindowPosition();
    HMENU menu = LoadMenuW(lib.presentation, MAKEINTRESOURCEW(LOWORD(g_state.layout.menuId)));

    // The window repaints itself in the middle of erasing its background; clipping the
    // children keeps that from wiping out the tab control drawn under them.
    HWND window = CreateWindowExW(0, PSW_MAIN_CLASS, L"", WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, corner.x,
                                  corner.y, MainWindowWidth(), InitialWindowHeight(), NULL, menu,
                                  g_state.instance, NULL);
    if (!window) {
        if (menu)
            DestroyMenu(menu);
        Dpi_Release();
        return NULL;
    }
    // The children are made at the DPI of the monitor the window is on.
    HFONT systemDpiFont = Dpi_Set(WindowDpi(window));
    if (systemDpiFont)
        DeleteObject(systemDpiFont);
    // The window takes no text input: no input-method context.
    ImmAssociateContext(window, NULL);
    if (!CreateChildren(window)) {
        DestroyWindow(window);
        return NULL;
    }
    CreateStatusBar(window);
    SetWindowTextW(window, g_state.printerName);
    ShowPage(PAGE_DETAIL);
    Accessibility_AnnounceParts();
    Accessibility_SayStatus(FALSE);
    return window;
}

// Every child that belongs to one tab page, with that page.
struct PageChild {
    HWND MainWindowChildren::*child;
    int page;
};

static const PageChild kPageChildren[] = {
    {&MainWindowChildren::detailList, PAGE_DETAIL},
    {&MainWindowChildren::progressBar, PAGE_DETAIL},
    {&MainWindowChildren::statusToolbarPane, PAGE_DETAIL},
    {&MainWindowChildren::statusToolbar, PAGE_DETAIL},
    {&MainWindowChildren::logList, PAGE_LOG},
    {&MainWindowChildren::waitingList, PAGE_WAITING},
    {&MainWindowChildren::waitingToolbarPane, PAGE_WAITING},
    {&MainWindowChildren::waitingToolbar, PAGE_WAITING},
};

void ShowPage(int page)
{
    // Hide the other pages' children first, so they never show through the new page.
    for (size_t i = 0; i < ARRAYSIZE(kPageChildren); ++i)
        if (kPageChildren[i].page != page)
            ShowWindow(g_state.children.*kPageChildren[i].child, SW_HIDE);
    for (size_t i = 0; i < ARRAYSIZE(kPageChildren); ++i) {
        if (kPageChildren[i].page == page) {
            HWND child = g_state.children.*kPageChildren[i].child;
            InvalidateRect(child, NULL, TRUE);
            ShowWindow(child, SW_SHOW);
        }
    }
}

static void StopPolling(void)
{
    if (g_state.statusHandle)
        g_state.libraries.SmPsw_StopPolling(g_state.statusHandle);
}

static LRESULT MainWnd_OnCreate(HWND window)
{
    g_state.mainWindow = window;
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    wchar_t text[MENU_TEXT_CHARS];
    LoadText(IDS_TERMINATE, text, ARRAYSIZE(text));
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuW(systemMenu, MF_STRING, IDM_TERMINATE, text);

    ReadPswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_ALWAYS_ON_TOP, &g_state.alwaysOnTop, 0);
    ReadPswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_SHOWING, &g_state.showing, 0);
    ReadPswValue(HKEY_LOCAL_MACHINE, g_state.printerName, VALUE_STATUS_SENSE, &g_state.statusSense,
                 STATUS_SENSE_ALWAYS);
    ZeroMemory(g_state.selectedJobIds, sizeof(g_state.selectedJobIds));
    ZeroMemory(g_state.selectedJobStatus, sizeof(g_state.selectedJobStatus));
    g_state.selectedJobCount = 0;
    ZeroMemory(g_state.jobLog, sizeof(g_state.jobLog));
    g_state.jobLogCount = 0;
    g_state.jobLogInsertIndex = 0;
    // The presentation remembers the current job's document in the state's own buffer.
    g_state.presentation.document = g_state.documentName;
    g_state.palette = CreateProgramPalette();
    SetWindowLongPtrW(window, GWLP_USERDATA, PSW_WINDOW_LIVE);
    g_state.focusPane = IDC_TAB;
    SetTimer(window, TIMER_WATCHDOG, WATCHDOG_PERIOD_MS, NULL);
    return 0;
}

static void MainWnd_OnDestroy(HWND window)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, PSW_WINDOW_CLOSING);
    ShowHelp(window, HELP_QUIT, 0);
    if (g_state.palette)
        DeleteObject(g_state.palette);
    g_state.palette = NULL;
    ReleaseToolbarImages();
    DropStatusIcon();
    Dpi_Release();
    FreeJobLog();
    WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_LAST_STATE, IsIconic(window) ? LAST_WINDOW_MINIMISED : 0);
    // Without any status yet, give the library a moment to deliver what it has under way.
    if (!g_state.statusCopy)
        Sleep(CLOSE_WITHOUT_STATUS_WAIT_MS);
    if (g_state.statusHandle)
        g_state.libraries.SmPsw_ClosePrinter(g_state.statusHandle);
    g_state.statusHandle = 0;
    DiscardStatusCopy();
    StopPresentationTimers();
    ReleaseLibraries(&g_state.libraries);
    Accessibility_Shutdown();
    HMENU menu = GetMenu(window);
    SetMenu(window, NULL);
    if (menu)
        DestroyMenu(menu);
    PostQuitMessage(0);
}

static void MainWnd_OnMove(HWND window)
{
    g_state.presentation.showReason = SHOW_REASON_USER;
    if (IsIconic(window))
        return;
    RECT rect;
    GetWindowRect(window, &rect);
    WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_LEFT, DWORD(rect.left));
    WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_TOP, DWORD(rect.top));
}

// The screens changed: a window left out of view comes back where the user can reach it. The
// move is the system's, not the user's, so it does not count as the user touching the window.
static void MainWnd_OnDisplayChange(HWND window)
{
    RECT rect;
    if (IsIconic(window) || !GetWindowRect(window, &rect) || !MoveIntoView(&rect))
        return;
    ShowReason reason = g_state.presentation.showReason;
    SetWindowPos(window, NULL, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    g_state.presentation.showReason = reason;
}

// A line one pixel high at 96 DPI, as high as that pixel row is at the window's DPI.
static void DrawLine(HDC dc, int colourIndex, int xStart, int y, int xEnd)
{
    RECT band = {Dpi_Scale(xStart), Dpi_Scale(y), Dpi_Scale(xEnd), Dpi_Scale(y + 1)};
    FillRect(dc, &band, GetSysColorBrush(colourIndex));
}

static void MainWnd_OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    for (size_t i = 0; i < ARRAYSIZE(g_state.layout.lines); ++i) {
        const PswEtchedLine& line = g_state.layout.lines[i];
        DrawLine(dc, COLOR_BTNSHADOW, line.xStart, line.shadowY, line.xEnd);
        DrawLine(dc, COLOR_WINDOW, line.xStart, line.highlightY, line.xEnd);
    }
    EndPaint(window, &ps);
}

// Moved to a monitor of another scale (or the scale changed): the window takes the place
// Windows suggests and lays itself out, with its fonts and pictures, at the new DPI. As with a
// change of the screens, the move does not count as the user touching the window.
static void MainWnd_OnDpiChanged(HWND window, UINT dpi, const RECT* suggested)
{
    HFONT previousFont = Dpi_Set(dpi);
    ShowReason reason = g_state.presentation.showReason;
    SetWindowPos(window, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    g_state.presentation.showReason = reason;
    LayoutChildren();
    if (previousFont)
        DeleteObject(previousFont);
    DropStatusIcon();
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

static LRESULT MainWnd_OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDM_TERMINATE) {
        SaveWindowState();
        DestroyWindow(window);
        return 0;
    }
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        ShowWindow(window, SW_HIDE);
        StopPolling();
        SaveWindowState();
        return DefWindowProcW(window, WM_SYSCOMMAND, wParam, lParam);
    }
    LRESULT result = DefWindowProcW(window, WM_SYSCOMMAND, wParam, lParam);
    SaveWindowState();
    return result;
}

static void MainWnd_OnTabChange(void)
{
    RepaintNow(g_state.children.tab);
    g_state.page = RefreshCommandStates(TRUE, FALSE);
    ShowPage(g_state.page);
}

static LRESULT MainWnd_OnNotify(const NMHDR* header)
{
    if (header->idFrom == IDC_TAB && header->code == TCN_SELCHANGE) {
        MainWnd_OnTabChange();
        return 0;
    }
    return Views_OnNotify(header);
}

// Closing only hides: the window comes back with the next job.
static void MainWnd_OnClose(HWND window)
{
    ShowWindow(window, SW_HIDE);
    StopPolling();
}

// After the default erase. Children that draw the parent's background under themselves (the
// tab control) send WM_ERASEBKGND too: only the window's own erase repaints it.
static void MainWnd_OnEraseBackground(HWND window, HDC dc)
{
    if (WindowFromDC(dc) == window) {
        InvalidateRect(window, NULL, FALSE);
        UpdateWindow(window);
    }
}

// A status block, a rename or the quit code from the status-monitor library.
static void MainWnd_OnCopyData(WPARAM code, const COPYDATASTRUCT* data)
{
    if (code == PSW_COPYDATA_QUIT)
        PostQuitMessage(0);
    else
        Presentation_OnCopyData(data);
}

static void MainWnd_OnTimer(UINT_PTR timer)
{
    if (timer == TIMER_WATCHDOG)
        Monitor_OnWatchdog();
    else
        Presentation_OnTimer(timer);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return MainWnd_OnCreate(window);
    case WM_DESTROY:
        MainWnd_OnDestroy(window);
        return 0;
    case WM_MOVE:
        MainWnd_OnMove(window);
        return 0;
    case WM_PAINT:
        MainWnd_OnPaint(window);
        return 0;
    case WM_CLOSE:
        MainWnd_OnClose(window);
        return 0;
    case WM_ERASEBKGND:
        DefWindowProcW(window, message, wParam, lParam);
        MainWnd_OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_DISPLAYCHANGE:
        MainWnd_OnDisplayChange(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA)
            MainWnd_OnDisplayChange(window);
        else if (wParam == SPI_SETHIGHCONTRAST)
            ForgetHighContrast();
        return DefWindowProcW(window, message, wParam, lParam);
    case PSW_WM_DPICHANGED:
        MainWnd_OnDpiChanged(window, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETFOCUS:
        // Activated again (after a dialog or a message box) or left by a child that hid: the
        // focus goes to a child that shows it, not to the window itself.
        if (!IsIconic(window))
            RestoreFocus();
        return 0;
    case WM_SYSCOLORCHANGE:
        ForgetHighContrast();
        ApplyListColours();
        // Under a high-contrast scheme the picture pane's background is a system colour.
        DropPictureCache();
        RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_COPYDATA:
        MainWnd_OnCopyData(wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    case WM_NOTIFY:
        return MainWnd_OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_SYSCOMMAND:
        return MainWnd_OnSysCommand(window, wParam, lParam);
    case WM_COMMAND:
        Commands_OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        MainWnd_OnTimer(wParam);
        return 0;
    case WM_MENUSELECT:
        Commands_OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_HELP:
        Help_OnHelp(reinterpret_cast<const HELPINFO*>(lParam));
        return TRUE;
    case WM_CONTEXTMENU: {
        POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (Help_OnContextMenu(reinterpret_cast<HWND>(wParam), screen))
            return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
        g_state.presentation.showReason = SHOW_REASON_USER;
        return 0;
    case PSWM_RESET_STATUS:
        Protocol_OnResetStatus();
        return 0;
    case PSWM_QUIT:
        Protocol_OnQuit(window);
        return 0;
    case PSWM_SHOW:
        Protocol_OnShow();
        return 0;
    case PSWM_RELAUNCH:
        Protocol_OnRelaunch(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case PSWM_CLOSE_INSTANCE:
        Protocol_OnCloseInstance(window);
        return 0;
    case PSWM_WAITING_JOBS:
        return Views_OnWaitingJobs();
    case PSWM_QUERY_STATUS:
        StatusQuery_OnQuery(reinterpret_cast<HWND>(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
