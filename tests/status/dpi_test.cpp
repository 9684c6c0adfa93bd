// The status window at the DPI of its monitor, made in this process. The tests' display runs
// at 96 DPI (Wine has one DPI for all monitors), so the window is given 144 and 192 through its
// DPI query, and WM_DPICHANGED is sent to it as Windows sends it when the window moves to a
// monitor of another scale. What a larger system font does to the rest of the desktop (the
// menu bar, the title bar, the status bar) is not covered here: only the pictures show it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/protocol.h"
#include "app/settings.h"
#include "app/strings.h"
#include "ui/dpi.h"
#include "ui/drawing.h"
#include "ui/help.h"
#include "status_test_support.h"

namespace {

UINT g_givenDpi = DESIGN_DPI;

UINT GivenDpi(HWND) { return g_givenDpi; }

DWORD g_contextControl;   // the control of the last context-help request

BOOL WINAPI RecordContextHelp(HWND, const wchar_t*, UINT command, ULONG_PTR data)
{
    if (command == HELP_CONTEXTMENU)
        g_contextControl = reinterpret_cast<const DWORD*>(data)[0];
    return TRUE;
}

class WindowAtDpi : public StatusWindowTest {
protected:
    void SetUp() override {}
    void TearDown() override
    {
        StatusWindowTest::TearDown();
        WindowDpi = previousQuery_;
    }
    void OpenAt(UINT dpi, CallSite site = {})
    {
        g_givenDpi = dpi;
        WindowDpi = GivenDpi;
        OpenWindow(L"LPT1:", false, site);
    }
    RECT ClientRect(HWND child) const
    {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    // Every child where its 96-DPI rectangle lies at `dpi`, each side within a pixel; the
    // lists' columns, the toolbars' images and what must fit in them likewise.
    void ExpectLaidOutAt(int dpi);

    UINT (*previousQuery_)(HWND) = WindowDpi;
};

struct LaidOut {
    int id;
    PswRect PswLayoutInfo::*rect;
};

const LaidOut kChildren[] = {
    {IDC_PRINTER_STATUS_PANE, &PswLayoutInfo::printerStatus}, {IDC_JOB_STATUS_PANE, &PswLayoutInfo::jobStatus},
    {IDC_MESSAGE_BOX, &PswLayoutInfo::messageBox},            {IDC_PICTURE_PANE, &PswLayoutInfo::picture},
    {IDC_TAB, &PswLayoutInfo::tab},                           {IDC_DETAIL_LIST, &PswLayoutInfo::detailList},
    {IDC_LOG_LIST, &PswLayoutInfo::logList},                  {IDC_WAITING_LIST, &PswLayoutInfo::waitingList},
    {IDC_WAITING_TOOLBAR_PANE, &PswLayoutInfo::waitingToolbar},
    {IDC_STATUS_TOOLBAR_PANE, &PswLayoutInfo::statusToolbar}, {IDC_PROGRESS_BAR, &PswLayoutInfo::progressBar},
};

void WindowAtDpi::ExpectLaidOutAt(int dpi)
{
    auto scaled = [dpi](int value) { return MulDiv(value, dpi, 96); };
    for (const LaidOut& child : kChildren) {
        const PswRect& at96 = g_state.layout.*child.rect;
        RECT rect = ClientRect(GetDlgItem(window_, child.id));
        SCOPED_TRACE(testing::Message() << "control " << child.id << " at " << rect.left << "," << rect.top << " to "
                                        << rect.right << "," << rect.bottom);
        EXPECT_NEAR(rect.left, scaled(at96.x), 1);
        EXPECT_NEAR(rect.top, scaled(at96.y), 1);
        EXPECT_NEAR(rect.right, scaled(at96.x + at96.width), 1);
        EXPECT_NEAR(rect.bottom, scaled(at96.y + at96.height), 1);
    }
    // The detail list shows its five rows, without a scroll bar.
    HWND detail = GetDlgItem(window_, IDC_DETAIL_LIST);
    EXPECT_EQ(SendMessageW(detail, LVM_GETCOLUMNWIDTH, 1, 0), scaled(g_state.layout.detailColumns[1]));
    RECT list, lastRow = {LVIR_BOUNDS, 0, 0, 0};
    GetClientRect(detail, &list);
    ASSERT_TRUE(SendMessageW(detail, LVM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&lastRow)));
    EXPECT_LE(lastRow.bottom, list.bottom) << "the fifth row";
    EXPECT_EQ(GetWindowLongW(detail, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0) << "scroll bars";

    // All three tabs, without the tab control's scroll arrows.
    HWND tab = GetDlgItem(window_, IDC_TAB);
    RECT tabClient, lastTab;
    GetClientRect(tab, &tabClient);
    ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&lastTab)));
    EXPECT_LE(lastTab.right, tabClient.right) << "the third tab";

    // The progress text in the bar's font.
    HWND bar = GetDlgItem(window_, IDC_PROGRESS_BAR);
    g_state.presentation.totalPages = 10;
    g_state.presentation.pagesPrinted = 2;
    wchar_t progress[FORMATTED_TEXT_CHARS];
    ProgressText(progress);
    RECT barClient, text = {};
    GetClientRect(bar, &barClient);
    HDC dc = GetDC(bar);
    HGDIOBJ previous = SelectObject(dc, Dpi_GuiFont());
    DrawTextW(dc, progress, -1, &text, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(bar, dc);
    EXPECT_LE(text.bottom, barClient.bottom) << "progress text height";
    EXPECT_LE(text.right, barClient.right) << "progress text width";

    // Both lines of the paper-out advice, each on one line of the box and the second inside it.
    std::vector<BYTE> paperOut = StatusBlock{0x2, JOB_IN_PROGRESS}.Bytes();
    g_state.libraries.PSM_GetPSWDisplay(g_state.libraries.presentation, 0, paperOut.data(), &g_state.display, FALSE);
    ASSERT_EQ(g_state.display.messageLineCount, 2u);
    wchar_t advice[512];
    MessageLinesText(advice, ARRAYSIZE(advice));
    HWND box = GetDlgItem(window_, IDC_MESSAGE_BOX);
    SetWindowTextW(box, advice);
    EXPECT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 3) << "two lines and the empty one after them";
    RECT format;
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    LRESULT secondLine = SendMessageW(box, EM_POSFROMCHAR, SendMessageW(box, EM_LINEINDEX, 1, 0), 0);
    dc = GetDC(box);
    previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(box, dc);
    EXPECT_LE(short(HIWORD(secondLine)) + metrics.tmHeight, format.bottom) << "the second line";

    // The toolbars' images at the size they are shown.
    HWND toolbars[] = {g_state.children.statusToolbar, g_state.children.waitingToolbar};
    for (HWND toolbar : toolbars) {
        int width = 0, height = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0)), &width,
                              &height);
        EXPECT_EQ(width, scaled(16)) << "toolbar images";
        EXPECT_EQ(height, scaled(16)) << "toolbar images";
    }
}

TEST_F(WindowAtDpi, TheLayoutIsScaledToTheWindowsDpi)
{
    const int rows[] = {96, 144, 192};
    for (int dpi : rows) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        OpenAt(UINT(dpi));
        ExpectLaidOutAt(dpi);
        RECT client;
        GetClientRect(window_, &client);
        EXPECT_EQ(client.right, MulDiv(int(g_state.layout.width) - 6, dpi, 96)) << "client width";
    }
}

// Moved to a monitor of 200 %: the window takes the rectangle Windows suggests, lays itself out
// at 192 DPI and stores the new place in screen pixels; and back at 100 % as it was.
TEST_F(WindowAtDpi, ADpiChangeTakesTheSuggestedRectangleAndLaysTheWindowOutAgain)
{
    OpenAt(96);
    RECT at96;
    GetWindowRect(window_, &at96);
    RECT suggested = {150, 120, 150 + 2 * (at96.right - at96.left), 120 + 2 * (at96.bottom - at96.top)};
    SendMessageW(window_, PSW_WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT rect;
    GetWindowRect(window_, &rect);
    EXPECT_EQ(rect.left, suggested.left);
    EXPECT_EQ(rect.top, suggested.top);
    EXPECT_EQ(rect.right, suggested.right);
    EXPECT_EQ(rect.bottom, suggested.bottom);
    {
        SCOPED_TRACE("after the change to 192 DPI");
        ExpectLaidOutAt(192);
    }
    RECT client, bar;
    GetClientRect(window_, &client);
    GetWindowRect(GetDlgItem(window_, IDC_STATUS_BAR), &bar);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.bottom, client.bottom) << "the status bar at the bottom";
    const std::wstring key = SettingsKey(kWindowPrinter);
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, VALUE_LEFT), std::optional<DWORD>(150));
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, key, VALUE_TOP), std::optional<DWORD>(120));

    SendMessageW(window_, PSW_WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&at96));
    SCOPED_TRACE("back at 96 DPI");
    ExpectLaidOutAt(96);
}

// A right click names the pane under the point where the pane lies at the window's DPI: at 192
// DPI the point halfway down the progress bar lies below where it lies at 96.
TEST_F(WindowAtDpi, ARightClickAt192DpiNamesThePaneWhereItIsShown)
{
    OpenAt(192);
    WinHelpFunction previous = g_winHelp;
    g_winHelp = RecordContextHelp;
    g_contextControl = 0;
    RECT frame;
    GetWindowRect(window_, &frame);
    const PswRect& bar = g_state.layout.progressBar;
    POINT p = {frame.left + MulDiv(bar.x + bar.width / 2, 192, 96),
               frame.top + Dpi_Metric(SM_CYCAPTION) + Dpi_Metric(SM_CYMENU) + MulDiv(bar.y + bar.height / 2, 192, 96)};
    SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(g_state.children.progressBar), MAKELPARAM(p.x, p.y));
    g_winHelp = previous;
    EXPECT_EQ(g_contextControl, DWORD(IDC_PROGRESS_BAR));
}

}  // namespace
