// Status blocks sent to a real main window: what the window shows, when it pops up and
// hides, its timers, the time left and the job log.
#include <windows.h>
#include <commctrl.h>
#define PSAPI_VERSION 2
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "app/protocol.h"
#include "ui/presentation.h"
#include "status_test_support.h"
#include "ui/views.h"

namespace {

// What the presentation library answers, set by each test.
struct FakeDisplay {
    int code = DISPLAY_READY;
    DWORD estimate = 0, animationMode = 0;
    AnimationFrame frames[3] = {{nullptr, 1, 0, 0, 100}, {nullptr, 1, 0, 0, 200}, {nullptr, 1, 0, 0, 300}};
    HICON bigIcon = nullptr;
    const PswJobStatusText* jobStatus = nullptr;
    const PswMessageLine* lines = nullptr;
    DWORD lineCount = 0;
    int calls = 0;
};
FakeDisplay g_fake;
const CommandStateEntry kMenuTable[3] = {{100, MF_ENABLED}, {101, MF_GRAYED}, {103, MF_ENABLED}};
const CommandStateEntry kToolbarTable[3] = {{100, TBSTATE_ENABLED}, {101, 0}, {103, TBSTATE_ENABLED}};

int WINAPI FakeGetPSWDisplay(HMODULE, int, const void*, PswDisplayInfo* display, BOOL)
{
    ++g_fake.calls;
    ZeroMemory(display, sizeof(*display));
    display->displayCode = g_fake.code;
    display->estimateFlag = g_fake.estimate;
    display->animationMode = g_fake.animationMode;
    display->frameCount = g_fake.animationMode ? 3 : 0;
    display->frames = g_fake.frames;
    display->menuTable = kMenuTable;
    display->toolbarTable = kToolbarTable;
    display->bigIcon = g_fake.bigIcon;
    display->jobStatus = g_fake.jobStatus;
    display->messageLines = g_fake.lines;
    display->messageLineCount = g_fake.lineCount;
    return g_fake.code;
}

class Presentation : public StatusWindowTest {
protected:
    void SetUp() override
    {
        StatusWindowTest::SetUp();
        g_fake = FakeDisplay();
        g_state.libraries.PSM_GetPSWDisplay = FakeGetPSWDisplay;
        ASSERT_TRUE(g_state.libraries.SmPsw_OpenPrinter(window_, kWindowPrinter, L"LPT1:", &g_state.statusHandle));
        // The library's own first block, then what the test sends alone.
        DrainSent();
    }
    // Lets the library's thread deliver what it sent, then discards it so the test decides.
    void DrainSent()
    {
        MSG msg;
        for (int i = 0; i < 20; ++i) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(10);
        }
        g_state.libraries.SmPsw_StopPolling(g_state.statusHandle);
    }
    void Send(const StatusBlock& block, int code, ULONG_PTR kind = PSW_DATA_STATUS)
    {
        g_fake.code = code;
        std::vector<BYTE> bytes = block.Bytes();
        COPYDATASTRUCT data = {kind, DWORD(bytes.size()), bytes.data()};
        SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    static StatusBlock JobStart()
    {
        StatusBlock b;
        b.job = JOB_STARTED | JOB_IN_PROGRESS;
        b.jobId = 7;
        b.total = 10;
        b.estimateMode = ESTIMATE_PER_PAGE;
        return b;
    }
    static StatusBlock JobEnd(DWORD endBits = 0x1)
    {
        StatusBlock b;
        b.job = endBits;
        b.jobId = 7;
        b.total = 10;
        b.started = b.printed = 10;
        return b;
    }
};

TEST_F(Presentation, TheUsersJobPopsTheWindowUpAndItsEndHidesItAgain)
{
    LibraryCallLog calls;
    ASSERT_FALSE(IsWindowVisible(window_));
    Send(JobStart(), DISPLAY_PRINTING_EVEN);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(g_state.presentation.showReason, SHOW_REASON_JOB);
    EXPECT_EQ(calls.Calls("SmPsw_StartPolling").size(), 1u);

    Send(JobEnd(), DISPLAY_READY);
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_EQ(calls.Calls("SmPsw_StopPolling").size(), 1u);
    EXPECT_TRUE(g_state.presentation.runs[TIMER_ATTENTION_HOLD]) << "timer 6 holds the device item";
    EXPECT_EQ(g_state.jobLogCount, 1);
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, SettingsKey(kWindowPrinter), L"LastWindowVisiblity"), 0u);
}

TEST_F(Presentation, TheDeviceItemStaysGreyForTheHoldAfterAJobEnd)
{
    const auto deviceItem = [this] { return GetMenuState(GetMenu(window_), IDM_DEVICE_ITEM, MF_BYCOMMAND) & MF_GRAYED; };
    Send(JobStart(), DISPLAY_PRINTING_EVEN);
    EXPECT_EQ(deviceItem(), UINT(MF_GRAYED)) << "a job runs";
    Send(JobEnd(), DISPLAY_READY);
    EXPECT_EQ(deviceItem(), UINT(MF_GRAYED)) << "the hold has begun";
    SendMessageW(window_, WM_TIMER, TIMER_ATTENTION_HOLD, 0);
    EXPECT_EQ(deviceItem(), 0u) << "the hold is over";
}

TEST_F(Presentation, APopUpRestoresAMinimisedWindowForItsReason)
{
    ShowWindow(window_, SW_SHOWMINNOACTIVE);
    g_state.presentation.showReason = SHOW_REASON_USER;
    ASSERT_TRUE(IsIconic(window_));
    Send(JobStart(), DISPLAY_PRINTING_EVEN);
    EXPECT_FALSE(IsIconic(window_));
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(g_state.presentation.showReason, SHOW_REASON_JOB) << "it came up for the job, and goes with it";
}

TEST_F(Presentation, TheDisplaysBigIconAndMessageLinesReachTheWindow)
{
    const HICON icon = LoadIconW(nullptr, IDI_WARNING);
    const PswJobStatusText status = {0, 0, -12, FW_NORMAL, {}, L"缺纸"};
    const PswMessageLine lines[2] = {{{}, L"纸盒 1 缺纸。"}, {{}, L"请装入 A4 纸。"}};
    g_fake.bigIcon = icon;
    g_fake.jobStatus = &status;
    g_fake.lines = lines;
    g_fake.lineCount = 2;
    Send(JobStart(), DISPLAY_PRINTING_EVEN);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, ICON_BIG, 0)), icon);
    wchar_t text[64] = L"";
    GetWindowTextW(g_state.children.messageBox, text, ARRAYSIZE(text));
    EXPECT_STREQ(text, L"纸盒 1 缺纸。\r\n请装入 A4 纸。\r\n");

    g_fake.bigIcon = nullptr;   // a record without an icon keeps the window's
    Send(JobEnd(), DISPLAY_READY);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, ICON_BIG, 0)), icon);
}

TEST_F(Presentation, AWindowTheUserTouchedStaysAfterTheJob)
{
    Send(JobStart(), DISPLAY_PRINTING_EVEN);
    ASSERT_TRUE(IsWindowVisible(window_));
    SetWindowPos(window_, nullptr, 130, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Send(JobEnd(), DISPLAY_READY);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(g_state.presentation.showReason, SHOW_REASON_USER);
}

TEST_F(Presentation, WithShowingOneOnlyAnErrorPopsUpAndItsEndHides)
{
    g_state.showing = 1;
    Send(JobStart(), DISPLAY_PRINTING_EVEN);
    EXPECT_FALSE(IsWindowVisible(window_));
    StatusBlock paperOut = JobStart();
    paperOut.job = JOB_IN_PROGRESS;
    paperOut.device = 0x2 | DEVICE_STOP_COUNTDOWNS;
    Send(paperOut, DISPLAY_ERROR_FIRST);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(g_state.presentation.showReason, SHOW_REASON_ERROR);
    StatusBlock recovered = JobStart();
    recovered.job = JOB_IN_PROGRESS;
    recovered.started = 4;
    Send(recovered, DISPLAY_PRINTING_EVEN);
    EXPECT_FALSE(IsWindowVisible(window_));
}

TEST_F(Presentation, AnotherUsersJobOnANetworkPortNeverPopsUp)
{
    OpenWindow(L"\\\\server\\laser");
    g_state.libraries.PSM_GetPSWDisplay = FakeGetPSWDisplay;
    StatusBlock foreign = JobStart();
    foreign.owner = L"somebody";
    foreign.machine = L"\\\\FARAWAY";
    Send(foreign, DISPLAY_PRINTING_EVEN);
    foreign.device = 0x2;
    Send(foreign, DISPLAY_ERROR_FIRST);
    EXPECT_FALSE(IsWindowVisible(window_));
    // The same job from this seat's user does.
    foreign.owner = StatusBlock::CurrentUser();
    Send(foreign, DISPLAY_ERROR_FIRST + 1);
    EXPECT_TRUE(IsWindowVisible(window_));
}

TEST_F(Presentation, ARenameIsReadOnlyWithinItsMessage)
{
    LibraryCallLog calls;
    const wchar_t name[] = L"Renamed PrinterXXXX";   // the last four characters lie outside
    COPYDATASTRUCT data = {PSW_DATA_RENAME, 15 * sizeof(wchar_t), const_cast<wchar_t*>(name)};
    SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    wchar_t title[64] = L"";
    GetWindowTextW(window_, title, ARRAYSIZE(title));
    EXPECT_STREQ(title, L"Renamed Printer");
    EXPECT_STREQ(g_state.printerName, L"Renamed Printer");
    EXPECT_EQ(calls.Calls("SmPsw_ChangePrinterName"),
              std::vector<std::string>{"SmPsw_ChangePrinterName " + std::to_string(g_state.statusHandle) +
                                       " Renamed Printer"});
    lstrcpyW(g_state.printerName, kWindowPrinter);
}

TEST_F(Presentation, AnIdenticalBlockIsTakenOnce)
{
    StatusBlock block = JobStart();
    Send(block, DISPLAY_PRINTING_EVEN);
    int calls = g_fake.calls;
    Send(block, DISPLAY_PRINTING_EVEN);
    EXPECT_EQ(g_fake.calls, calls);
    block.started = 1;
    Send(block, DISPLAY_PRINTING_EVEN);
    EXPECT_EQ(g_fake.calls, calls + 1);
}

// Kept with its length field lowered to what arrived, a block is still compared as it came.
TEST_F(Presentation, ABlockIsComparedAsDeliveredWhateverItsLengthFieldClaims)
{
    const std::vector<BYTE> bytes = JobStart().Bytes();
    const DWORD delivered = DWORD(bytes.size());
    const struct {
        DWORD firstLength, secondLength;
        bool taken;
    } rows[] = {
        {delivered + 64, delivered + 64, false},   // the same block again
        {delivered + 64, delivered, true},         // another length field
        {delivered + 64, delivered + 128, true},
        {delivered, delivered, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "length fields " << row.firstLength << ", " << row.secondLength << " of "
                                        << delivered << " bytes");
        Send(StatusBlock(), DISPLAY_READY);   // another block in between
        std::vector<BYTE> first = bytes, second = bytes;
        memcpy(first.data(), &row.firstLength, sizeof(DWORD));
        memcpy(second.data(), &row.secondLength, sizeof(DWORD));
        COPYDATASTRUCT data = {PSW_DATA_STATUS, delivered, first.data()};
        SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        const int calls = g_fake.calls;
        data.lpData = second.data();
        SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        EXPECT_EQ(g_fake.calls, calls + (row.taken ? 1 : 0));
    }
}

TEST_F(Presentation, CountdownsRunBeforeAndBetweenPagesAndStopAtZero)
{
    g_fake.estimate = 1;
    StatusBlock block = JobStart();
    block.fixedA = 2000;
    block.perPage = 1000;
    block.fixedB = 1000;
    Send(block, DISPLAY_PRINTING_EVEN);
    // Before the first page: 10 pages x 1 s + 1 s + 2 s.
    EXPECT_TRUE(g_state.presentation.runs[TIMER_COUNTDOWN_FIRST_PAGE]);
    EXPECT_EQ(g_state.timeLeftSeconds, 13u);
    SendMessageW(window_, WM_TIMER, TIMER_COUNTDOWN_FIRST_PAGE, 0);
    EXPECT_EQ(g_state.presentation.elapsedA, 1000);
    EXPECT_EQ(g_state.timeLeftSeconds, 12u);

    // The first page starts: the countdown between pages takes over.
    block.job = JOB_IN_PROGRESS;
    block.started = 1;
    Send(block, DISPLAY_PRINTING_EVEN);
    EXPECT_FALSE(g_state.presentation.runs[TIMER_COUNTDOWN_FIRST_PAGE]);
    EXPECT_TRUE(g_state.presentation.runs[TIMER_COUNTDOWN_PAGES]);
    EXPECT_EQ(g_state.presentation.elapsedB, 0);

    // Run the first-page countdown past zero: it stays at zero.
    g_state.presentation.elapsedA = 12000;
    StopCountdowns();
    g_state.presentation.runs[TIMER_COUNTDOWN_FIRST_PAGE] = TRUE;
    SendMessageW(window_, WM_TIMER, TIMER_COUNTDOWN_FIRST_PAGE, 0);
    EXPECT_EQ(g_state.timeLeftSeconds, 0u);
    EXPECT_EQ(g_state.presentation.elapsedA, 12000);

    // Mode 2 between pages: (remaining + 1) x per page - elapsed B + B, stopping at zero.
    block.estimateMode = ESTIMATE_LOOPING;
    block.started = block.printed = 9;
    Send(block, DISPLAY_PRINTING_ODD);
    g_state.presentation.runs[TIMER_COUNTDOWN_PAGES] = TRUE;
    g_state.presentation.elapsedB = 2000;
    SendMessageW(window_, WM_TIMER, TIMER_COUNTDOWN_PAGES, 0);
    EXPECT_EQ(g_state.timeLeftSeconds, 0u);
    EXPECT_FALSE(g_state.presentation.runs[TIMER_COUNTDOWN_PAGES]);

    // An error stops both.
    g_state.presentation.runs[TIMER_COUNTDOWN_PAGES] = TRUE;
    block.device = DEVICE_STOP_COUNTDOWNS | 0x2;
    Send(block, DISPLAY_ERROR_FIRST);
    EXPECT_FALSE(g_state.presentation.runs[TIMER_COUNTDOWN_PAGES]);

    // So does a block without a job in progress, whatever estimate it still carries.
    g_state.presentation.runs[TIMER_COUNTDOWN_PAGES] = g_state.presentation.runs[TIMER_COUNTDOWN_FIRST_PAGE] = TRUE;
    block.device = 0;
    block.job = 0x1;
    Send(block, DISPLAY_READY);
    EXPECT_FALSE(g_state.presentation.runs[TIMER_COUNTDOWN_PAGES]);
    EXPECT_FALSE(g_state.presentation.runs[TIMER_COUNTDOWN_FIRST_PAGE]);
}

TEST_F(Presentation, TheEstimateUsesSixtyFourBitsAndTheEndTimeWrapsAtMidnight)
{
    StatusBlock block = JobStart();
    block.total = 100000;
    block.fixedA = block.fixedB = 1000;
    block.perPage = 100000;   // 10^10 ms: more than 32 bits hold
    Send(block, DISPLAY_PRINTING_EVEN);
    EXPECT_EQ(EstimateTimeLeft(ESTIMATE_INITIAL), 10000002u);
    // The largest pages and times: near 2^64 ms, shown as the longest time there is.
    block.total = block.perPage = 0xFFFFFFFF;
    Send(block, DISPLAY_PRINTING_ODD);
    EXPECT_EQ(EstimateTimeLeft(ESTIMATE_INITIAL), 0xFFFFFFFFu);

    // Ending one hour after the next midnight: 01 o'clock of the same date.
    SYSTEMTIME now;
    GetLocalTime(&now);
    DWORD untilMidnight = 86400 - (now.wHour * 3600 + now.wMinute * 60 + now.wSecond);
    block.total = untilMidnight + 3600;
    block.perPage = 1000;
    block.fixedA = 1;
    block.fixedB = 1;
    Send(block, DISPLAY_PRINTING_EVEN);
    EstimateTimeLeft(ESTIMATE_INITIAL);
    EXPECT_EQ(g_state.finishTime.wHour, 1);
    EXPECT_LE(g_state.finishTime.wMinute, 1);
    EXPECT_EQ(g_state.finishTime.wDay, now.wDay);
    EXPECT_EQ(g_state.finishTime.wMonth, now.wMonth);
}

TEST_F(Presentation, AnimationsRunOnBetweenThePicturesOfOneState)
{
    g_fake.animationMode = ANIMATION_LOOPING;
    StatusBlock block = JobStart();
    Send(block, DISPLAY_PRINTING_ODD);
    ASSERT_TRUE(g_state.presentation.runs[TIMER_ANIMATION_A]);
    SendMessageW(window_, WM_TIMER, TIMER_ANIMATION_A, 0);
    EXPECT_EQ(g_state.animationA.frameIndex, 2u);
    EXPECT_EQ(g_state.animationA.frame, &g_fake.frames[1]);

    block.started = 1;
    Send(block, DISPLAY_PRINTING_EVEN);   // 201 -> 200: left alone
    EXPECT_EQ(g_state.animationA.frameIndex, 2u);
    block.started = 2;
    Send(block, DISPLAY_PRINTING_ODD);    // 200 -> 201: stopped, and looping starts A again
    EXPECT_TRUE(g_state.presentation.runs[TIMER_ANIMATION_A]);
    EXPECT_EQ(g_state.animationA.frameIndex, 1u);

    // A looping animation starts over after its last frame; a per-page one ends there.
    SendMessageW(window_, WM_TIMER, TIMER_ANIMATION_A, 0);
    SendMessageW(window_, WM_TIMER, TIMER_ANIMATION_A, 0);
    SendMessageW(window_, WM_TIMER, TIMER_ANIMATION_A, 0);
    EXPECT_EQ(g_state.animationA.frameIndex, 1u);
    g_state.display.animationMode = ANIMATION_PER_PAGE;
    g_state.animationA.frameIndex = 3;
    SendMessageW(window_, WM_TIMER, TIMER_ANIMATION_A, 0);
    EXPECT_FALSE(g_state.presentation.runs[TIMER_ANIMATION_A]);
    EXPECT_EQ(g_state.animationA.frame, nullptr);
}

std::wstring CellText(HWND list, int row, int column)
{
    wchar_t text[CELL_TEXT_CHARS] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = ARRAYSIZE(text);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST_F(Presentation, TheJobLogKeepsTheLastHundredJobs)
{
    Send(JobStart(), DISPLAY_PRINTING_EVEN);   // the owner of the logged jobs
    for (int job = 1; job <= 101; ++job) {
        lstrcpyW(g_state.documentName, (L"doc" + std::to_wstring(job)).c_str());
        g_state.presentation.pagesPrinted = job;
        AddJobLogEntry(job == 101);
    }
    HWND log = g_state.children.logList;
    ASSERT_EQ(SendMessageW(log, LVM_GETITEMCOUNT, 0, 0), 100);
    EXPECT_EQ(CellText(log, 0, 0), L"doc2");
    EXPECT_EQ(CellText(log, 0, 1), L"确定");
    EXPECT_EQ(CellText(log, 0, 3), L"2");
    EXPECT_EQ(CellText(log, 99, 0), L"doc101");
    EXPECT_EQ(CellText(log, 99, 1), L"出错");
    EXPECT_EQ(CellText(log, 99, 2), StatusBlock::CurrentUser());
}

TEST_F(Presentation, TheDetailRowsShowTheJobAndTheEstimate)
{
    g_fake.estimate = 1;
    StatusBlock block = JobStart();
    block.job = JOB_IN_PROGRESS;
    block.machine = L"\\\\AVERYLONGCOMPUTERNAME";
    block.fixedA = block.fixedB = 1000;
    block.perPage = 1000;
    Send(block, 205);   // a state with an estimate
    RefreshDetailRows();
    HWND detail = g_state.children.detailList;
    EXPECT_EQ(CellText(detail, 0, 1), L"report.doc");
    EXPECT_EQ(CellText(detail, 1, 1), StatusBlock::CurrentUser());
    EXPECT_EQ(CellText(detail, 2, 1), L"AVERYLONGCOMPUT");
    EXPECT_EQ(CellText(detail, 3, 1), L"12 秒");
    EXPECT_FALSE(CellText(detail, 4, 1).empty());

    // While a page is being printed no estimate is shown; an error empties every row.
    block.started = 1;
    Send(block, DISPLAY_PRINTING_ODD);
    RefreshDetailRows();
    EXPECT_EQ(CellText(detail, 3, 1), L"");
    block.device = 0x2;
    Send(block, DISPLAY_ERROR_FIRST);
    RefreshDetailRows();
    for (int row = 0; row < DETAIL_ROWS; ++row)
        EXPECT_EQ(CellText(detail, row, 1), L"") << row;
}

TEST(TimeLeft, TextsChangeUnitAtTwoMinutesAndTwoHours)
{
    struct Case {
        DWORD seconds;
        const wchar_t* text;
    } cases[] = {
        {0, L"0  秒"}, {1, L"1  秒"}, {119, L"119 秒"}, {120, L"2  分钟"}, {7199, L"119 分钟"}, {7200, L"2  小时"},
    };
    for (const Case& c : cases) {
        wchar_t text[64];
        TimeLeftText(c.seconds, text, ARRAYSIZE(text));
        EXPECT_STREQ(text, c.text) << c.seconds;
    }
}

TEST_F(Presentation, WaitingJobsShowTheirFirstStatusBitAndLocalSubmissionTime)
{
    JOB_INFO_2W jobs[4] = {};
    const DWORD statuses[4] = {JOB_STATUS_PAUSED | JOB_STATUS_PRINTING, 0, JOB_STATUS_PAPEROUT, JOB_STATUS_PRINTED};
    wchar_t document[] = L"queued.doc", owner[] = L"someone";
    HWND waiting = g_state.children.waitingList;
    for (int i = 0; i < 4; ++i) {
        jobs[i].JobId = 20 + i;
        jobs[i].Status = statuses[i];
        jobs[i].pDocument = document;
        jobs[i].pUserName = owner;
        jobs[i].Submitted = {2026, 12, 2, 8, 23, 59, 0, 0};
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = LPSTR_TEXTCALLBACKW;
        item.lParam = reinterpret_cast<LPARAM>(&jobs[i]);
        SendMessageW(waiting, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    EXPECT_EQ(CellText(waiting, 0, 1), L"暂停");
    EXPECT_EQ(CellText(waiting, 1, 1), L"正在等待");
    EXPECT_EQ(CellText(waiting, 2, 1), L"缺纸");
    EXPECT_EQ(CellText(waiting, 3, 1), L"已打印");
    EXPECT_EQ(CellText(waiting, 0, 0), L"queued.doc");
    EXPECT_EQ(CellText(waiting, 0, 2), L"someone");
    // 23:59 UTC as local time of day only: no date.
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    std::wstring submitted = CellText(waiting, 0, 3);
    EXPECT_EQ(submitted.find(L"2026"), std::wstring::npos);
    if (zone.Bias == 0 && zone.DaylightBias == 0) {
        EXPECT_EQ(submitted, L"23:59:00");
    }
    SendMessageW(waiting, LVM_DELETEALLITEMS, 0, 0);
}

TEST_F(Presentation, TabCyclesThroughThePanesOfThePage)
{
    // The status toolbar, with buttons to press, is a stop of its page.
    g_state.focusPane = IDC_TAB;
    for (int pane : {IDC_DETAIL_LIST, IDC_STATUS_TOOLBAR_PANE, IDC_MESSAGE_BOX, IDC_TAB}) {
        SendMessageW(window_, WM_COMMAND, IDM_FOCUS_NEXT, 0);
        EXPECT_EQ(g_state.focusPane, pane);
    }
    for (int pane : {IDC_MESSAGE_BOX, IDC_STATUS_TOOLBAR_PANE, IDC_DETAIL_LIST}) {
        SendMessageW(window_, WM_COMMAND, IDM_FOCUS_PREVIOUS, 0);
        EXPECT_EQ(g_state.focusPane, pane);
    }

    // The log page without rows has no list to visit.
    g_state.page = PAGE_LOG;
    g_state.focusPane = IDC_TAB;
    SendMessageW(window_, WM_COMMAND, IDM_FOCUS_NEXT, 0);
    EXPECT_EQ(g_state.focusPane, IDC_MESSAGE_BOX);
    SendMessageW(window_, WM_COMMAND, IDM_FOCUS_PREVIOUS, 0);
    EXPECT_EQ(g_state.focusPane, IDC_TAB);
}

TEST(HostileBlock, FieldsAndStringsAreReadOnlyInsideTheBlock)
{
    ResetStatusState();
    std::vector<BYTE> block(0x74, 0);
    auto put = [&](size_t offset, DWORD value) { memcpy(block.data() + offset, &value, 4); };
    put(0x40, 3);
    put(0x5C, 0x68);        // machine: "AB" with its terminator inside
    block[0x68] = 'A';
    block[0x6A] = 'B';
    put(0x60, 0x6E);        // owner: no terminator before the end
    block[0x6E] = 'C';
    block[0x70] = 'D';
    block[0x72] = 'E';
    put(0x64, 0x7FFFFFF0);  // document: outside
    g_state.statusCopy = block.data();
    g_state.statusLength = DWORD(block.size());
    EXPECT_EQ(StatusField(offsetof(PswStatusData, pagesPrinted)), 3u);
    EXPECT_STREQ(StatusString(offsetof(PswStatusData, machineOffset)), L"AB");
    EXPECT_STREQ(StatusString(offsetof(PswStatusData, ownerOffset)), L"");
    EXPECT_STREQ(StatusString(offsetof(PswStatusData, documentOffset)), L"");
    // A string at an odd offset is read like any other: "BC" from 0x69, ended inside ...
    std::fill(block.begin() + 0x68, block.end(), BYTE(0));
    block[0x69] = 'B';
    block[0x6B] = 'C';
    put(0x5C, 0x69);
    EXPECT_STREQ(StatusString(offsetof(PswStatusData, machineOffset)), L"BC");
    // ... but not one whose terminator would lie past the block's end.
    block[0x71] = 'X';
    put(0x5C, 0x71);
    EXPECT_STREQ(StatusString(offsetof(PswStatusData, machineOffset)), L"");
    // A block shorter than a field's offset reads the field as 0.
    g_state.statusLength = 0x42;
    EXPECT_EQ(StatusField(offsetof(PswStatusData, pagesPrinted)), 0u);
    EXPECT_STREQ(StatusString(offsetof(PswStatusData, machineOffset)), L"");
    g_state.statusCopy = nullptr;
    g_state.statusLength = 0;
}

TEST_F(Presentation, ThousandsOfBlocksWithAnimationsLeakNoMemory)
{
    g_fake.animationMode = ANIMATION_LOOPING;
    StatusBlock block = JobStart();
    block.job = JOB_IN_PROGRESS;
    block.total = 100000;
    auto run = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            block.started = block.printed = DWORD(i);
            Send(block, i % 2 ? DISPLAY_PRINTING_ODD : DISPLAY_PRINTING_EVEN);
            SendMessageW(window_, WM_TIMER, TIMER_ANIMATION_A, 0);
        }
    };
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX counters = {};
        counters.cb = sizeof(counters);
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters));
        return counters.PrivateUsage;
    };
    run(1, 101);
    SIZE_T bytes = privateBytes();
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    run(101, 2001);
    // Wine reports no object counts (0); the memory a leaked bitmap or DC takes shows instead.
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user);
    EXPECT_LT(privateBytes(), bytes + 256 * 1024) << "grew by " << (privateBytes() - bytes);
}

}  // namespace
