#include "ui/window_placement.h"
#include "app/protocol.h"
#include "app/settings.h"
#include "app/state.h"
#include "ui/dpi.h"

// The layout's heights assume a 19-pixel title bar and a 20-pixel status bar; taller ones
// of the running system are added. Its sizes also hold a 3-pixel fixed frame at each side.
// What remains is the layout's own, and only that scales with the window's DPI.
#define LAYOUT_TITLE_BAR_HEIGHT 19
#define LAYOUT_FRAMES 6

static int TitleBarAllowance(void)
{
    int allowance = Dpi_Metric(SM_CYCAPTION) - LAYOUT_TITLE_BAR_HEIGHT;
    return allowance > 0 ? allowance : 0;
}

// What the layout's own part of a size grows by at the window's DPI.
static int ScaledGrowth(int size, int assumed)
{
    int own = size - assumed;
    return Dpi_Scale(own) - own;
}

static int LayoutHeightGrowth(void)
{
    return ScaledGrowth(int(g_state.layout.layoutHeight),
                        LAYOUT_TITLE_BAR_HEIGHT + LAYOUT_STATUS_BAR_HEIGHT + LAYOUT_FRAMES);
}

int InitialWindowHeight(void)
{
    return Dpi_Metric(SM_CYMENUSIZE) + int(g_state.layout.layoutHeight) + TitleBarAllowance() + LayoutHeightGrowth();
}

int MainWindowWidth(void)
{
    return int(g_state.layout.width) + ScaledGrowth(int(g_state.layout.width), LAYOUT_FRAMES);
}

int MainWindowHeight(void)
{
    return Dpi_Metric(SM_CYMENUSIZE) + Dpi_Metric(SM_CYCAPTION) + g_state.statusBarAllowance +
           int(g_state.layout.layoutHeight) - LAYOUT_TITLE_BAR_HEIGHT + LayoutHeightGrowth();
}

// How much of the title bar must lie inside a monitor's work area for the user to grab it.
#define GRAB_WIDTH_MIN 48
// Window coordinates are 16-bit: a stored place beyond them is off every screen.
#define COORDINATE_MIN (-32768)
#define COORDINATE_MAX 32767

static LONG Clamp(LONG value, LONG low, LONG high)
{
    return value < low ? low : value > high ? high : value;
}

struct CaptionSearch {
    RECT caption;     // the title bar's strip in screen coordinates
    BOOL reachable;   // some monitor's work area shows enough of it
};

static BOOL CALLBACK FindCaptionMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data)
{
    CaptionSearch* search = reinterpret_cast<CaptionSearch*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    RECT inside;
    int width = search->caption.right - search->caption.left;
    int height = search->caption.bottom - search->caption.top;
    if (GetMonitorInfoW(monitor, &info) && IntersectRect(&inside, &search->caption, &info.rcWork) &&
        inside.right - inside.left >= Clamp(width, 0, GRAB_WIDTH_MIN) && 2 * (inside.bottom - inside.top) >= height)
        search->reachable = TRUE;
    return !search->reachable;
}

BOOL MoveIntoView(RECT* rect)
{
    CaptionSearch search = {};
    search.caption = *rect;
    search.caption.bottom = rect->top + Dpi_Metric(SM_CYFIXEDFRAME) + Dpi_Metric(SM_CYCAPTION);
    EnumDisplayMonitors(NULL, NULL, FindCaptionMonitor, reinterpret_cast<LPARAM>(&search));
    if (search.reachable)
        return FALSE;
    int width = rect->right - rect->left, height = rect->bottom - rect->top;
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    POINT corner = {DEFAULT_WINDOW_POSITION, DEFAULT_WINDOW_POSITION};
    if (GetMonitorInfoW(MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST), &info) &&
        width <= info.rcWork.right - info.rcWork.left && height <= info.rcWork.bottom - info.rcWork.top) {
        corner.x = Clamp(rect->left, info.rcWork.left, info.rcWork.right - width);
        corner.y = Clamp(rect->top, info.rcWork.top, info.rcWork.bottom - height);
    } else if (GetMonitorInfoW(MonitorFromPoint(corner, MONITOR_DEFAULTTOPRIMARY), &info)) {
        corner.x += info.rcMonitor.left;
        corner.y += info.rcMonitor.top;
    }
    SetRect(rect, corner.x, corner.y, corner.x + width, corner.y + height);
    return TRUE;
}

POINT SavedWindowPosition(void)
{
    DWORD left = 0, top = 0;
    ReadPswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_LEFT, &left, DEFAULT_WINDOW_POSITION);
    ReadPswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_TOP, &top, DEFAULT_WINDOW_POSITION);
    RECT rect;
    SetRect(&rect, Clamp(LONG(left), COORDINATE_MIN, COORDINATE_MAX), Clamp(LONG(top), COORDINATE_MIN, COORDINATE_MAX),
            0, 0);
    rect.right = rect.left + MainWindowWidth();
    rect.bottom = rect.top + MainWindowHeight();
    if (MoveIntoView(&rect)) {
        WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_LEFT, DWORD(rect.left));
        WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_TOP, DWORD(rect.top));
    }
    POINT corner = {rect.left, rect.top};
    return corner;
}

void PlaceMainWindow(UINT flags)
{
    POINT corner = SavedWindowPosition();
    SetWindowPos(g_state.mainWindow, g_state.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, corner.x, corner.y,
                 MainWindowWidth(), MainWindowHeight(), flags);
}

void SaveWindowState(void)
{
    HWND window = g_state.mainWindow;
    WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_LAST_VISIBILITY, IsWindowVisible(window) ? LAST_WINDOW_VISIBLE : 0);
    WritePswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_LAST_STATE, IsIconic(window) ? LAST_WINDOW_MINIMISED : 0);
}
