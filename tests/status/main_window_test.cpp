// The main window made in this process from the installed stand-in libraries: children and
// their layout, tab pages, hiding, moving and the status bar.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/protocol.h"
#include "app/settings.h"
#include "ui/main_window.h"
#include "ui/window_placement.h"
#include "status_test_support.h"

namespace {

class MainWindow : public StatusWindowTest {
protected:
    // The child's rectangle in the main window's client coordinates.
    RECT ClientRect(HWND child) const
    {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    bool Shown(int id) const { return (GetWindowLongW(GetDlgItem(window_, id), GWL_STYLE) & WS_VISIBLE) != 0; }
};

struct ChildCase {
    int id;
    const wchar_t* className;
    DWORD exStyle;
    DWORD style;
    PswRect PswLayoutInfo::*rect;
};

TEST_F(MainWindow, EveryChildHasItsClassStyleAndLayoutRectangle)
{
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const ChildCase cases[] = {
        {IDC_PRINTER_STATUS_PANE, L"Static", 0, child, &PswLayoutInfo::printerStatus},
        // Asked for with WS_EX_WINDOWEDGE, which the window manager drops from a frameless child.
        {IDC_JOB_STATUS_PANE, L"Static", 0, child, &PswLayoutInfo::jobStatus},
        {IDC_MESSAGE_BOX, L"Edit", WS_EX_CLIENTEDGE, child | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
         &PswLayoutInfo::messageBox},
        {IDC_PICTURE_PANE, L"Static", WS_EX_CLIENTEDGE, child, &PswLayoutInfo::picture},
        {IDC_TAB, L"SysTabControl32", 0, child | WS_CLIPSIBLINGS, &PswLayoutInfo::tab},
        {IDC_DETAIL_LIST, L"SysListView32", WS_EX_CLIENTEDGE, child | LVS_REPORT, &PswLayoutInfo::detailList},
        {IDC_LOG_LIST, L"SysListView32", WS_EX_CLIENTEDGE, WS_CHILD | LVS_REPORT, &PswLayoutInfo::logList},
        {IDC_WAITING_LIST, L"SysListView32", WS_EX_CLIENTEDGE, WS_CHILD | LVS_REPORT, &PswLayoutInfo::waitingList},
        {IDC_WAITING_TOOLBAR_PANE, L"Static", 0, WS_CHILD, &PswLayoutInfo::waitingToolbar},
        {IDC_STATUS_TOOLBAR_PANE, L"Static", 0, child, &PswLayoutInfo::statusToolbar},
        {IDC_PROGRESS_BAR, L"ProgressBarWindowClass", WS_EX_CLIENTEDGE, child | WS_BORDER,
         &PswLayoutInfo::progressBar},
    };
    for (const ChildCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "control " << c.id);
        HWND control = GetDlgItem(window_, c.id);
        ASSERT_TRUE(control);
        wchar_t name[64] = {};
        GetClassNameW(control, name, ARRAYSIZE(name));
        EXPECT_EQ(lstrcmpiW(name, c.className), 0) << "class";
        EXPECT_EQ(DWORD(GetWindowLongW(control, GWL_STYLE)) & (c.style | WS_VISIBLE), c.style) << "style";
        EXPECT_EQ(DWORD(GetWindowLongW(control, GWL_EXSTYLE)) & c.exStyle, c.exStyle) << "extended style";
        const PswRect& expected = g_state.layout.*c.rect;
        RECT rect = ClientRect(control);
        EXPECT_EQ(rect.left, expected.x);
        EXPECT_EQ(rect.top, expected.y);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        EXPECT_EQ(rect.bottom - rect.top, expected.height);
    }
    // The toolbars of the presentation library sit in their panes.
    EXPECT_EQ(GetParent(g_state.children.statusToolbar), GetDlgItem(window_, IDC_STATUS_TOOLBAR_PANE));
    EXPECT_EQ(GetParent(g_state.children.waitingToolbar), GetDlgItem(window_, IDC_WAITING_TOOLBAR_PANE));
    // The detail list has its two columns and five rows; the others five and four columns.
    auto columns = [](int id, HWND w) {
        return SendMessageW(reinterpret_cast<HWND>(SendMessageW(GetDlgItem(w, id), LVM_GETHEADER, 0, 0)),
                            HDM_GETITEMCOUNT, 0, 0);
    };
    EXPECT_EQ(columns(IDC_DETAIL_LIST, window_), 2);
    EXPECT_EQ(SendMessageW(GetDlgItem(window_, IDC_DETAIL_LIST), LVM_GETITEMCOUNT, 0, 0), 5);
    EXPECT_EQ(columns(IDC_LOG_LIST, window_), 5);
    EXPECT_EQ(columns(IDC_WAITING_LIST, window_), 4);
}

TEST_F(MainWindow, AFreshUserGetsTheLayoutSizeAtTheDefaultPosition)
{
    wchar_t title[64] = {};
    GetWindowTextW(window_, title, ARRAYSIZE(title));
    EXPECT_STREQ(title, kWindowPrinter);
    EXPECT_FALSE(IsWindowVisible(window_));
    RECT rect;
    GetWindowRect(window_, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 100);
    EXPECT_EQ(rect.right - rect.left, LONG(g_state.layout.width));
    HWND statusBar = GetDlgItem(window_, IDC_STATUS_BAR);
    RECT bar;
    GetWindowRect(statusBar, &bar);
    int allowance = std::max(0L, bar.bottom - bar.top - 20);
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYMENUSIZE) + GetSystemMetrics(SM_CYCAPTION) + allowance +
                                          LONG(g_state.layout.layoutHeight) - 19);
    EXPECT_TRUE(GetMenu(window_));
    EXPECT_EQ(g_state.alwaysOnTop, 0u);
    EXPECT_EQ(g_state.showing, 0u);
}

TEST_F(MainWindow, TheStatusBarShowsThePortAndTheSystemMenuCanEndTheProgram)
{
    wchar_t text[64] = {};
    SendMessageW(GetDlgItem(window_, IDC_STATUS_BAR), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"LPT1:");

    HMENU systemMenu = GetSystemMenu(window_, FALSE);
    int last = GetMenuItemCount(systemMenu) - 1;
    EXPECT_EQ(GetMenuItemID(systemMenu, last), UINT(IDM_TERMINATE));
    EXPECT_EQ(GetMenuState(systemMenu, last - 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    GetMenuStringW(systemMenu, last, text, ARRAYSIZE(text), MF_BYPOSITION);
    EXPECT_STREQ(text, L"退出(&E)");
}

TEST_F(MainWindow, EachTabPageShowsItsOwnChildren)
{
    HWND tab = GetDlgItem(window_, IDC_TAB);
    ASSERT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 3);
    const wchar_t* texts[] = {L"打印作业详细信息", L"打印作业日志", L"打印作业列表"};
    for (int page = 0; page < 3; ++page) {
        wchar_t text[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = text;
        item.cchTextMax = ARRAYSIZE(text);
        SendMessageW(tab, TCM_GETITEMW, page, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, texts[page]);
        EXPECT_EQ(item.lParam, page);
    }

    struct Expected {
        int page;
        bool detail, progress, statusPane, log, waiting, waitingPane;
    } pages[] = {
        {1, false, false, false, true, false, false},
        {2, false, false, false, false, true, true},
        {0, true, true, true, false, false, false},
    };
    for (const Expected& e : pages) {
        SCOPED_TRACE(testing::Message() << "page " << e.page);
        SendMessageW(tab, TCM_SETCURSEL, e.page, 0);
        NMHDR change = {tab, IDC_TAB, UINT(TCN_SELCHANGE)};
        SendMessageW(window_, WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&change));
        EXPECT_EQ(g_state.page, e.page);
        EXPECT_EQ(Shown(IDC_DETAIL_LIST), e.detail);
        EXPECT_EQ(Shown(IDC_PROGRESS_BAR), e.progress);
        EXPECT_EQ(Shown(IDC_STATUS_TOOLBAR_PANE), e.statusPane);
        EXPECT_EQ((GetWindowLongW(g_state.children.statusToolbar, GWL_STYLE) & WS_VISIBLE) != 0, e.statusPane);
        EXPECT_EQ(Shown(IDC_LOG_LIST), e.log);
        EXPECT_EQ(Shown(IDC_WAITING_LIST), e.waiting);
        EXPECT_EQ(Shown(IDC_WAITING_TOOLBAR_PANE), e.waitingPane);
        EXPECT_EQ((GetWindowLongW(g_state.children.waitingToolbar, GWL_STYLE) & WS_VISIBLE) != 0, e.waitingPane);
    }
}

TEST_F(MainWindow, ClosingHidesTheWindowAndStopsPolling)
{
    LibraryCallLog calls;
    ASSERT_TRUE(g_state.libraries.SmPsw_OpenPrinter(window_, kWindowPrinter, L"LPT1:", &g_state.statusHandle));
    ShowWindow(window_, SW_SHOW);
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(IsWindowVisible(window_));
    auto stops = calls.Calls("SmPsw_StopPolling ");
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], "SmPsw_StopPolling " + std::to_string(g_state.statusHandle));
}

TEST_F(MainWindow, MovingWritesThePositionUnlessMinimized)
{
    const std::wstring key = SettingsKey(kWindowPrinter);
    SetWindowPos(window_, nullptr, 150, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"Left"), 150u);
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"Top"), 160u);
    EXPECT_EQ(g_state.presentation.showReason, SHOW_REASON_USER);

    ShowWindow(window_, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window_));
    SendMessageW(window_, WM_MOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"Left"), 150u);
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"Top"), 160u);

    // Any system command saves the window state: visible and iconic now.
    SendMessageW(window_, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"LastWindowVisiblity"), 1u);
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"LastWindowState"), 0u);
}

// A stored place out of view (screens changed, or a damaged value) opens on the screen and is
// stored corrected; a place where the title bar can be grabbed is kept to the pixel. Under
// Wine there is one monitor, whose work area is the whole screen.
TEST_F(MainWindow, AStoredPlaceOutOfViewOpensOnTheScreenAndIsStoredCorrected)
{
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) << GetLastError();
    RECT created;
    GetWindowRect(window_, &created);
    const LONG width = created.right - created.left, height = created.bottom - created.top;
    const LONG farLeft = work.right - width, farTop = work.bottom - height;
    const std::wstring key = SettingsKey(kWindowPrinter);
    struct Row {
        DWORD left, top;
        LONG expectedLeft, expectedTop;
    } rows[] = {
        {DWORD(-1000), DWORD(-1000), work.left, work.top},
        {10000, 10000, farLeft, farTop},
        {0x7FFFFFFF, 0x7FFFFFFF, farLeft, farTop},
        {0x80000000, 0x80000000, work.left, work.top},
        {DWORD(-32000), DWORD(-32000), work.left, work.top},
        {DWORD(work.right), DWORD(work.bottom), farLeft, farTop},
        {DWORD(work.right - 20), 200, farLeft, 200},                 // 20 pixels of title bar: too few
        // On the screen, or partly off it with the title bar in reach: kept as stored.
        {220, 130, 220, 130},
        {DWORD(-100), 50, -100, 50},
        {DWORD(work.right - 60), DWORD(work.bottom - 40), work.right - 60, work.bottom - 40},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "stored " << LONG(row.left) << ", " << LONG(row.top));
        CloseWindow();
        SetRegistryDword(HKEY_CURRENT_USER, key, L"Left", row.left);
        SetRegistryDword(HKEY_CURRENT_USER, key, L"Top", row.top);
        OpenWindow(L"LPT1:", true);
        PlaceMainWindow(SWP_HIDEWINDOW);
        RECT rect;
        GetWindowRect(window_, &rect);
        EXPECT_EQ(rect.left, row.expectedLeft);
        EXPECT_EQ(rect.top, row.expectedTop);
        EXPECT_EQ(rect.right - rect.left, width);
        EXPECT_EQ(rect.bottom - rect.top, height);
        EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"Left"), DWORD(row.expectedLeft));
        EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"Top"), DWORD(row.expectedTop));
    }

    // While the window runs, a display change brings it back from where it was left; the
    // system's move does not count as the user touching the window.
    SetWindowPos(window_, nullptr, 5000, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    g_state.presentation.showReason = SHOW_REASON_JOB;
    SendMessageW(window_, WM_DISPLAYCHANGE, 32, MAKELPARAM(work.right, work.bottom));
    RECT rect;
    GetWindowRect(window_, &rect);
    EXPECT_EQ(rect.left, farLeft);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, L"Left"), DWORD(farLeft));
    EXPECT_EQ(g_state.presentation.showReason, SHOW_REASON_JOB);
    SetWindowPos(window_, nullptr, -3000, -3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window_, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    GetWindowRect(window_, &rect);
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
}

TEST_F(MainWindow, ThePaletteHasTheSixteenColoursOfTheProgramsBitmap)
{
    ASSERT_TRUE(g_state.palette);
    PALETTEENTRY entries[17] = {};
    EXPECT_EQ(GetPaletteEntries(g_state.palette, 0, 17, entries), 16u);
    EXPECT_EQ(RGB(entries[13].peRed, entries[13].peGreen, entries[13].peBlue), RGB(255, 0, 255));
    EXPECT_EQ(RGB(entries[7].peRed, entries[7].peGreen, entries[7].peBlue), RGB(192, 192, 192));
}

}  // namespace
