// Menu and toolbar states by port, page and selection; job requests to the library; menu
// help; the help topics of F1 and right clicks; the relaunch.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/protocol.h"
#include "ui/presentation.h"
#include "status_test_support.h"
#include "ui/commands.h"
#include "ui/help.h"
#include "ui/menu_states.h"
#include "monitor/port_class.h"

namespace {

struct HelpCall {
    HWND window;
    UINT command;
    DWORD first, second;   // data, or the pair of a context menu
};
std::vector<HelpCall> g_helpCalls;

BOOL WINAPI RecordHelp(HWND window, const wchar_t* file, UINT command, ULONG_PTR data)
{
    EXPECT_NE(std::wstring(file).find(L"\\3\\XERB5.HLP"), std::wstring::npos) << "help file";
    HelpCall call = {window, command, DWORD(data), 0};
    if (command == HELP_CONTEXTMENU) {
        call.first = reinterpret_cast<const DWORD*>(data)[0];
        call.second = reinterpret_cast<const DWORD*>(data)[1];
    }
    g_helpCalls.push_back(call);
    return TRUE;
}

class Commands : public StatusWindowTest {
protected:
    void SetUp() override
    {
        StatusWindowTest::SetUp();
        savedHelp_ = g_winHelp;
        g_winHelp = RecordHelp;
        g_helpCalls.clear();
    }
    void TearDown() override
    {
        StatusWindowTest::TearDown();
        g_winHelp = savedHelp_;
    }
    UINT MenuState(UINT id) const { return GetMenuState(GetMenu(window_), id, MF_BYCOMMAND) & MF_GRAYED; }
    void ShowPage(int page)
    {
        TabCtrl_SetCurSel(g_state.children.tab, page);
        NMHDR change = {g_state.children.tab, IDC_TAB, UINT(TCN_SELCHANGE)};
        SendMessageW(window_, WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&change));
    }

    WinHelpFunction savedHelp_;
};

const CommandStateEntry kTable[3] = {{IDM_PAUSE, MF_ENABLED}, {IDM_RESUME, MF_GRAYED}, {IDM_CANCEL, MF_ENABLED}};

TEST_F(Commands, JobItemsFollowThePortThePageAndTheSelection)
{
    g_state.display.menuTable = kTable;
    g_state.display.toolbarTable = kTable;
    g_state.display.displayCode = DISPLAY_PRINTING_EVEN;
    struct Case {
        const wchar_t* port;
        int page;
        int selected;
        UINT pause, resume, cancel;   // MF_GRAYED or 0
    } cases[] = {
        // Local port: the library's table on the detail page, the selection on the waiting page.
        {L"LPT1:", PAGE_DETAIL, 0, 0, MF_GRAYED, 0},
        {L"LPT1:", PAGE_LOG, 0, MF_GRAYED, MF_GRAYED, MF_GRAYED},
        {L"LPT1:", PAGE_WAITING, 0, MF_GRAYED, MF_GRAYED, MF_GRAYED},
        {L"LPT1:", PAGE_WAITING, 2, 0, 0, 0},
        // Network port: never the waiting list's commands.
        {L"\\\\server\\laser", PAGE_WAITING, 2, MF_GRAYED, MF_GRAYED, MF_GRAYED},
        {L"\\\\server\\laser", PAGE_DETAIL, 0, 0, MF_GRAYED, 0},
        // A compliant monitor's port: the waiting list's commands with a selection.
        {L"PSWPORT:", PAGE_WAITING, 1, 0, 0, 0},
    };
    const std::wstring monitor = L"System\\CurrentControlSet\\control\\Print\\Monitors\\PSW Test Monitor";
    SetRegistryDword(HKEY_LOCAL_MACHINE, monitor + L"\\PSWPORT:", L"Unrelated", 0);
    SetRegistryDword(HKEY_LOCAL_MACHINE, monitor, L"ZELTCompliant", 3);
    KeepStatusCopy({0, JOB_IN_PROGRESS, 7});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "port " << std::string(c.port, c.port + wcslen(c.port)) << " page " << c.page);
        lstrcpyW(g_state.portName, c.port);
        ForgetSeat();   // another printer's port
        g_state.selectedJobCount = c.selected;
        TabCtrl_SetCurSel(g_state.children.tab, c.page);
        EXPECT_EQ(RefreshCommandStates(FALSE, FALSE), c.page);
        EXPECT_EQ(MenuState(IDM_PAUSE), c.pause);
        EXPECT_EQ(MenuState(IDM_RESUME), c.resume);
        EXPECT_EQ(MenuState(IDM_CANCEL), c.cancel);
        BYTE waiting = BYTE(SendMessageW(g_state.children.waitingToolbar, TB_GETSTATE, IDM_PAUSE, 0));
        EXPECT_EQ((waiting & TBSTATE_ENABLED) != 0, c.selected > 0 && c.port[0] != L'\\');
    }
    // Another user's job on a network port: the detail page's items and toolbar are grey.
    lstrcpyW(g_state.portName, L"\\\\server\\laser");
    ForgetSeat();
    StatusBlock foreign{0, JOB_IN_PROGRESS, 7};
    foreign.owner = foreign.machine = L"";   // not this seat's
    KeepStatusCopy(foreign);
    TabCtrl_SetCurSel(g_state.children.tab, PAGE_DETAIL);
    RefreshCommandStates(FALSE, FALSE);
    EXPECT_EQ(MenuState(IDM_PAUSE), UINT(MF_GRAYED));
    EXPECT_EQ(SendMessageW(g_state.children.statusToolbar, TB_GETSTATE, IDM_PAUSE, 0) & TBSTATE_ENABLED, 0);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, monitor.c_str());
}

TEST_F(Commands, DeviceItemsAreGreyDuringJobsHoldsAndForUsbPorts)
{
    KeepStatusCopy({});
    RefreshDeviceItems();
    EXPECT_EQ(MenuState(IDM_DEVICE_ITEM), 0u);
    EXPECT_EQ(MenuState(IDM_PORT_SETTINGS), 0u);

    g_state.presentation.runs[TIMER_ATTENTION_HOLD] = TRUE;   // the 30 seconds after a job
    RefreshDeviceItems();
    EXPECT_EQ(MenuState(IDM_DEVICE_ITEM), UINT(MF_GRAYED));
    SendMessageW(window_, WM_TIMER, TIMER_ATTENTION_HOLD, 0);
    EXPECT_EQ(MenuState(IDM_DEVICE_ITEM), 0u);

    KeepStatusCopy({0, JOB_IN_PROGRESS, 3});
    RefreshDeviceItems();
    EXPECT_EQ(MenuState(IDM_DEVICE_ITEM), UINT(MF_GRAYED));
    EXPECT_EQ(MenuState(IDM_PORT_SETTINGS), UINT(MF_GRAYED));

    KeepStatusCopy({});
    lstrcpyW(g_state.portName, L"USB001");
    ForgetSeat();
    RefreshDeviceItems();
    EXPECT_EQ(MenuState(IDM_PORT_SETTINGS), UINT(MF_GRAYED));
    EXPECT_EQ(MenuState(IDM_DEVICE_ITEM), 0u);
}

TEST(UsbPort, OnlyThreeDigitsOfValueOrTheUsbPrinterPortsCount)
{
    EXPECT_TRUE(IsUsbPort(L"USB001"));
    EXPECT_TRUE(IsUsbPort(L"LPT-USB1"));
    EXPECT_TRUE(IsUsbPort(L"LPT_USB"));
    EXPECT_FALSE(IsUsbPort(L"USB000"));
    EXPECT_FALSE(IsUsbPort(L"USB0001"));
    EXPECT_FALSE(IsUsbPort(L"usb001"));
    EXPECT_FALSE(IsUsbPort(L"USBabc"));
}

DWORD WINAPI RedirectedToShare(LPCWSTR, LPWSTR remote, LPDWORD chars)
{
    const wchar_t share[] = L"\\\\server\\laser";
    if (*chars < ARRAYSIZE(share)) {
        *chars = ARRAYSIZE(share);
        return ERROR_MORE_DATA;
    }
    lstrcpyW(remote, share);
    return ERROR_CONNECTION_UNAVAIL;
}

TEST_F(Commands, ALocalPortRedirectedToAShareIsANetworkPort)
{
    EXPECT_EQ(ClassifyPort(), PORT_CLASS_LOCAL);
    WNetGetConnectionFunction saved = g_wnetGetConnection;
    g_wnetGetConnection = RedirectedToShare;
    EXPECT_EQ(ClassifyPort(), PORT_CLASS_OTHER);
    g_wnetGetConnection = saved;
    lstrcpyW(g_state.portName, L"FILE:");
    EXPECT_EQ(ClassifyPort(), PORT_CLASS_OTHER);
}

TEST_F(Commands, JobCommandsOnTheStatusPageGoToTheLibrary)
{
    LibraryCallLog calls;
    ASSERT_TRUE(g_state.libraries.SmPsw_OpenPrinter(window_, kWindowPrinter, L"LPT1:", &g_state.statusHandle));
    KeepStatusCopy({0, JOB_IN_PROGRESS, 42});
    g_state.presentation.runs[TIMER_COUNTDOWN_PAGES] = TRUE;
    for (UINT id : {IDM_PAUSE, IDM_RESUME, IDM_DEVICE_COMMAND, IDM_CANCEL, IDM_DEVICE_ITEM})
        SendMessageW(window_, WM_COMMAND, id, 0);
    const std::string h = std::to_string(g_state.statusHandle);
    std::vector<std::string> expected = {"SmPsw_JobRequest " + h + " 2049 0", "SmPsw_JobRequest " + h + " 2050 0",
                                         "SmPsw_JobRequest " + h + " 2051 0", "SmPsw_JobRequest " + h + " 2048 42",
                                         "SmPsw_JobRequest " + h + " 2053 0"};
    EXPECT_EQ(calls.Calls("SmPsw_JobRequest"), expected);
    EXPECT_FALSE(g_state.presentation.runs[TIMER_COUNTDOWN_PAGES]) << "cancel stops the countdowns";

    // Resume from the toolbar does nothing while the detail page shows a paused printer.
    g_state.display.displayCode = DISPLAY_PAUSED;
    SendMessageW(g_state.children.statusToolbarPane, WM_COMMAND, IDM_RESUME, 0);
    EXPECT_EQ(calls.Calls("SmPsw_JobRequest").size(), 5u);
    SendMessageW(g_state.children.statusToolbarPane, WM_COMMAND, IDM_PAUSE, 0);
    EXPECT_EQ(calls.Calls("SmPsw_JobRequest").size(), 6u);
}

TEST_F(Commands, MenuHelpShowsInTheStatusBarUntilTheMenuCloses)
{
    HMENU menu = GetMenu(window_);
    SendMessageW(window_, WM_MENUSELECT, MAKEWPARAM(IDM_PAUSE, MF_STRING), reinterpret_cast<LPARAM>(menu));
    wchar_t text[260] = L"";
    SendMessageW(g_state.children.statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    UINT id = g_state.libraries.PSM_GetMenuHelpText(window_, IDM_PAUSE, MF_STRING, menu);
    wchar_t expected[260] = L"";
    ASSERT_GT(LoadStringW(g_state.libraries.presentation, id, expected, 260), 0);
    EXPECT_STREQ(text, expected);
    SendMessageW(window_, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    SendMessageW(g_state.children.statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"LPT1:");
}

TEST_F(Commands, F1ShowsTheTopicOfTheTabPageOrTheListsOrTheContents)
{
    HELPINFO info = {sizeof(info), HELPINFO_WINDOW, IDC_TAB, g_state.children.tab, 0, {0, 0}};
    ShowPage(PAGE_LOG);
    SendMessageW(window_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    info.iCtrlId = IDC_WAITING_LIST;
    SendMessageW(window_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    info.iCtrlId = IDC_PICTURE_PANE;
    SendMessageW(window_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(g_helpCalls.size(), 3u);
    EXPECT_EQ(g_helpCalls[0].window, g_state.children.tab);
    EXPECT_EQ(g_helpCalls[0].command, UINT(HELP_CONTEXTPOPUP));
    EXPECT_EQ(g_helpCalls[0].first, 3090u);
    EXPECT_EQ(g_helpCalls[1].window, g_state.children.waitingList);
    EXPECT_EQ(g_helpCalls[1].first, 3130u);
    EXPECT_EQ(g_helpCalls[2].window, window_);
    EXPECT_EQ(g_helpCalls[2].command, UINT(HELP_FINDER));
}

TEST_F(Commands, ARightClickNamesThePaneUnderThePoint)
{
    RECT frame;
    GetWindowRect(window_, &frame);
    const int top = frame.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU);
    auto click = [&](HWND target, const PswRect& r, int dx, int dy) {
        POINT p = {frame.left + r.x + dx, top + r.y + dy};
        SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), MAKELPARAM(p.x, p.y));
    };
    const PswLayoutInfo& l = g_state.layout;
    click(g_state.children.picturePane, l.picture, 0, 0);                          // edge counts
    click(g_state.children.progressBar, l.progressBar, 2, 2);                      // page 0
    click(g_state.children.statusBar, l.progressBar, 0, 0);                        // the status bar
    ShowPage(PAGE_WAITING);
    click(g_state.children.waitingList, l.waitingList, l.waitingList.width, 1);   // page 2
    click(g_state.children.tab, l.tab, l.tab.width - 2, l.tab.height - 2);        // page area
    RECT header;
    TabCtrl_GetItemRect(g_state.children.tab, 0, &header);
    POINT p = {header.left + 2, header.top + 2};
    ClientToScreen(g_state.children.tab, &p);
    SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(g_state.children.tab), MAKELPARAM(p.x, p.y));
    // The title bar is the system's.
    SendMessageW(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), MAKELPARAM(frame.left + 5, frame.top + 2));

    std::vector<std::pair<DWORD, DWORD>> pairs;
    for (const HelpCall& call : g_helpCalls) {
        EXPECT_EQ(call.command, UINT(HELP_CONTEXTMENU));
        pairs.push_back({call.first, call.second});
    }
    std::vector<std::pair<DWORD, DWORD>> expected = {{504, 3070}, {513, 3110}, {505, 3140},
                                                     {509, 3130}, {501, 3100}, {501, 3080}};
    EXPECT_EQ(pairs, expected);
}

}  // namespace
