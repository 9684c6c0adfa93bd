// The monitor thread and the waiting-jobs list, fed by a fake spooler: under Wine the spooler
// reports no job changes and no process may touch another's jobs.
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/protocol.h"
#include "monitor/job_control.h"
#include "monitor/monitor_thread.h"
#include "monitor/spooler.h"
#include "status_test_support.h"
#include "ui/views.h"

namespace {

struct FakeJob {
    DWORD id, status;
    std::wstring document, owner;
};

// A spooler with jobs in memory: each notification is a block of seven entries per job, as
// the real one builds it; blocks and their strings live until they are freed.
struct FakeSpooler {
    HANDLE change = nullptr;
    DWORD changeWord = 0;
    std::vector<FakeJob> jobs;
    bool failNext = false;
    int firstCalls = 0, blocksMade = 0, blocksFreed = 0;
    std::map<DWORD, FakeJob> queue;   // what GetJob and SetJob see
    std::vector<std::pair<DWORD, DWORD>> setJobs;   // job id, command
    std::vector<DWORD> statusWritten;
    std::map<PRINTER_NOTIFY_INFO*, std::vector<std::wstring>*> strings;
};
FakeSpooler* g_fakeSpooler = nullptr;

PRINTER_NOTIFY_INFO* MakeBlock(const std::vector<FakeJob>& jobs)
{
    static const WORD kFields[7] = {JOB_NOTIFY_FIELD_USER_NAME, JOB_NOTIFY_FIELD_STATUS, JOB_NOTIFY_FIELD_DOCUMENT,
                                    JOB_NOTIFY_FIELD_SUBMITTED, JOB_NOTIFY_FIELD_TOTAL_PAGES,
                                    JOB_NOTIFY_FIELD_DEVMODE, JOB_NOTIFY_FIELD_DATATYPE};
    static SYSTEMTIME submitted = {2026, 12, 2, 8, 10, 30, 0, 0};
    DWORD count = DWORD(jobs.size() * 7);
    auto* info = static_cast<PRINTER_NOTIFY_INFO*>(
        calloc(1, sizeof(PRINTER_NOTIFY_INFO) + count * sizeof(PRINTER_NOTIFY_INFO_DATA)));
    info->Version = 2;
    info->Count = count;
    auto* texts = new std::vector<std::wstring>();
    texts->reserve(count);
    for (size_t i = 0; i < jobs.size(); ++i) {
        for (int f = 0; f < 7; ++f) {
            PRINTER_NOTIFY_INFO_DATA& e = info->aData[i * 7 + f];
            e.Type = JOB_NOTIFY_TYPE;
            e.Field = kFields[f];
            e.Id = jobs[i].id;
            if (f == 0 || f == 2) {
                texts->push_back(f == 0 ? jobs[i].owner : jobs[i].document);
                e.NotifyData.Data.pBuf = &(*texts).back()[0];
                e.NotifyData.Data.cbBuf = DWORD((texts->back().size() + 1) * sizeof(wchar_t));
            } else if (f == 1) {
                e.NotifyData.adwData[0] = jobs[i].status;
            } else if (f == 3) {
                e.NotifyData.Data.pBuf = &submitted;
                e.NotifyData.Data.cbBuf = sizeof(submitted);
            }
        }
    }
    g_fakeSpooler->strings[info] = texts;
    ++g_fakeSpooler->blocksMade;
    return info;
}

HANDLE WINAPI FakeFindFirst(HANDLE, DWORD filter, DWORD, LPVOID options)
{
    auto* o = static_cast<PRINTER_NOTIFY_OPTIONS*>(options);
    EXPECT_EQ(filter, 0xFF00u);
    EXPECT_EQ(o->Version, 2u);
    EXPECT_EQ(o->Flags, DWORD(PRINTER_NOTIFY_OPTIONS_REFRESH));
    EXPECT_EQ(o->pTypes[0].Count, 7u);
    EXPECT_EQ(o->pTypes[0].pFields[3], JOB_NOTIFY_FIELD_SUBMITTED);
    ++g_fakeSpooler->firstCalls;
    return g_fakeSpooler->change;
}

BOOL WINAPI FakeFindNext(HANDLE, PDWORD changeWord, LPVOID, LPVOID* info)
{
    if (g_fakeSpooler->failNext)
        return FALSE;
    *changeWord = g_fakeSpooler->changeWord;
    *info = MakeBlock(g_fakeSpooler->jobs);
    return TRUE;
}

BOOL WINAPI FakeFree(PPRINTER_NOTIFY_INFO info)
{
    delete g_fakeSpooler->strings[info];
    g_fakeSpooler->strings.erase(info);
    free(info);
    ++g_fakeSpooler->blocksFreed;
    return TRUE;
}

BOOL WINAPI FakeFindClose(HANDLE)
{
    return TRUE;
}

BOOL WINAPI FakeGetJob(HANDLE, DWORD id, DWORD level, LPBYTE buffer, DWORD bytes, LPDWORD needed)
{
    EXPECT_EQ(level, 2u);
    auto job = g_fakeSpooler->queue.find(id);
    if (job == g_fakeSpooler->queue.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *needed = sizeof(JOB_INFO_2W);
    if (bytes < sizeof(JOB_INFO_2W)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* record = reinterpret_cast<JOB_INFO_2W*>(buffer);
    record->JobId = id;
    record->Status = job->second.status;
    return TRUE;
}

BOOL WINAPI FakeSetJob(HANDLE, DWORD id, DWORD level, LPBYTE buffer, DWORD command)
{
    EXPECT_EQ(level, 2u);
    g_fakeSpooler->setJobs.push_back({id, command});
    g_fakeSpooler->statusWritten.push_back(reinterpret_cast<JOB_INFO_2W*>(buffer)->Status);
    return TRUE;
}

class WaitingJobs : public StatusWindowTest {
protected:
    void SetUp() override
    {
        StatusWindowTest::SetUp();
        saved_ = g_spooler;
        g_spooler = {FakeFindFirst, FakeFindNext, FakeFree, FakeFindClose, FakeGetJob, FakeSetJob};
        fake_.change = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        g_fakeSpooler = &fake_;
        ASSERT_TRUE(StartMonitorThread());
    }
    void TearDown() override
    {
        SetEvent(g_state.monitorParams.stopEvent);
        WaitForThread();
        CloseHandle(g_state.monitorThread);
        CloseHandle(g_state.monitorParams.stopEvent);
        StatusWindowTest::TearDown();
        g_spooler = saved_;
        for (auto& block : fake_.strings)
            delete block.second;
        CloseHandle(fake_.change);
        g_fakeSpooler = nullptr;
    }
    // Pumps until the thread has ended, delivering what it sends.
    void WaitForThread()
    {
        while (MsgWaitForMultipleObjects(1, &g_state.monitorThread, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
        }
    }
    // One change as the spooler reports it, taken by the thread and shown by the window.
    void Change(DWORD changeWord, std::vector<FakeJob> jobs)
    {
        fake_.changeWord = changeWord;
        fake_.jobs = std::move(jobs);
        int made = fake_.blocksMade;
        SetEvent(fake_.change);
        // Done once the new block is made and every block is either released or shown.
        for (int i = 0; i < 1000; ++i) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            if (fake_.blocksMade > made && fake_.blocksMade == fake_.blocksFreed + Held())
                break;
            Sleep(2);
        }
    }
    int Held() const { return g_state.notifyInfo ? 1 : 0; }
    int Rows() const { return int(SendMessageW(g_state.children.waitingList, LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Cell(int row, int column) const
    {
        wchar_t text[CELL_TEXT_CHARS] = L"";
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = ARRAYSIZE(text);
        SendMessageW(g_state.children.waitingList, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    void Select(int row)
    {
        LVITEMW state = {};
        state.state = state.stateMask = LVIS_SELECTED;
        SendMessageW(g_state.children.waitingList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }

    SpoolerFunctions saved_;
    FakeSpooler fake_;
};

TEST_F(WaitingJobs, JobChangesRebuildTheListWithoutPrintedJobs)
{
    Change(PRINTER_CHANGE_ADD_JOB, {{5, 0, L"a.doc", L"ann"}, {6, JOB_STATUS_PRINTED, L"b.doc", L"bob"},
                                    {7, JOB_STATUS_PAUSED, L"c.doc", L"cy"}});
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), L"a.doc");
    EXPECT_EQ(Cell(0, 1), L"正在等待");
    EXPECT_EQ(Cell(1, 0), L"c.doc");
    EXPECT_EQ(Cell(1, 1), L"暂停");
    EXPECT_EQ(Cell(1, 2), L"cy");

    // A change of the printer alone leaves the list; its block is released at once.
    int freed = fake_.blocksFreed;
    Change(PRINTER_CHANGE_SET_PRINTER, {});
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(fake_.blocksFreed, freed + 1);

    // An empty queue empties the list, and the block the old rows pointed into goes.
    Change(PRINTER_CHANGE_DELETE_JOB, {});
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(fake_.blocksFreed, fake_.blocksMade - 1) << "only the current block is kept";
}

TEST_F(WaitingJobs, TheSelectionSurvivesARefreshForJobsStillWaiting)
{
    Change(PRINTER_CHANGE_ADD_JOB, {{5, 0, L"a", L"u"}, {6, 0, L"b", L"u"}, {7, 0, L"c", L"u"}});
    Select(0);
    Select(2);
    CollectSelection();
    ASSERT_EQ(g_state.selectedJobCount, 2);
    Change(PRINTER_CHANGE_DELETE_JOB, {{6, 0, L"b", L"u"}, {7, 0, L"c", L"u"}, {8, 0, L"d", L"u"}});
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(g_state.selectedJobCount, 1);
    EXPECT_EQ(g_state.selectedJobIds[0], 7u);
    HWND list = g_state.children.waitingList;
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 1, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED), 0);
}

TEST_F(WaitingJobs, AThreadThatEndsEmptiesTheListAndTheWatchdogStartsAnother)
{
    Change(PRINTER_CHANGE_ADD_JOB, {{5, 0, L"a", L"u"}});
    ASSERT_EQ(Rows(), 1);
    fake_.failNext = true;
    SetEvent(fake_.change);
    WaitForThread();
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(g_state.monitorThread, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(fake_.blocksFreed, fake_.blocksMade);

    // The watchdog reopens the printer and starts a new thread.
    lstrcpyW(g_state.printerName, kPackagePrinter);
    fake_.failNext = false;
    SendMessageW(window_, WM_TIMER, TIMER_WATCHDOG, 0);
    EXPECT_EQ(fake_.firstCalls >= 1, true);
    for (int i = 0; i < 100 && fake_.firstCalls < 2; ++i)
        Sleep(10);
    EXPECT_EQ(fake_.firstCalls, 2);
    Change(PRINTER_CHANGE_ADD_JOB, {{9, 0, L"again", L"u"}});
    EXPECT_EQ(Rows(), 1);
    // A running thread is left alone.
    SendMessageW(window_, WM_TIMER, TIMER_WATCHDOG, 0);
    Sleep(50);
    EXPECT_EQ(fake_.firstCalls, 2);
    ClosePrinter(g_state.spooler);
}

// The stop events of the threads refused, read from the parameter block each was to get.
std::vector<HANDLE> g_refusedStopEvents;

// The platform makes every thread asked for; a refusal comes from this seam.
HANDLE WINAPI RefuseThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID parameter, DWORD, LPDWORD)
{
    g_refusedStopEvents.push_back(static_cast<MonitorThreadParams*>(parameter)->stopEvent);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

TEST(MonitorThread, AThreadThatCannotBeMadeLeavesNoStopEventBehind)
{
    ResetStatusState();
    lstrcpyW(g_state.printerName, kPackagePrinter);
    g_refusedStopEvents.clear();
    const CreateThreadFunction saved = g_createThread;
    g_createThread = RefuseThread;
    EXPECT_FALSE(StartMonitorThread());
    // The watchdog tries again at every tick.
    for (int tick = 0; tick < 3; ++tick)
        Monitor_OnWatchdog();
    g_createThread = saved;
    ASSERT_EQ(g_refusedStopEvents.size(), 4u);
    for (size_t i = 0; i < g_refusedStopEvents.size(); ++i) {
        DWORD flags = 0;
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(GetHandleInformation(g_refusedStopEvents[i], &flags)) << "stop event of attempt " << i;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE)) << "stop event of attempt " << i;
    }
    EXPECT_EQ(g_state.monitorParams.stopEvent, nullptr);
    if (g_state.spooler)
        ClosePrinter(g_state.spooler);
    ResetStatusState();
}

TEST(NotificationBlock, OnlyWholeJobsInsideTheBlockAreRead)
{
    // Two jobs and three stray entries; the block claims a third job it does not hold: its
    // memory ends at a page no one may read.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    BYTE* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old);
    size_t bytes = offsetof(PRINTER_NOTIFY_INFO, aData) + 17 * sizeof(PRINTER_NOTIFY_INFO_DATA);
    auto* info = reinterpret_cast<PRINTER_NOTIFY_INFO*>(pages + system.dwPageSize - bytes);
    ZeroMemory(info, bytes);
    wchar_t unterminated[2] = {L'x', L'y'};
    for (int i = 0; i < 17; ++i) {
        info->aData[i].Type = JOB_NOTIFY_TYPE;
        info->aData[i].Field = JOB_NOTIFY_FIELD_DOCUMENT;
        info->aData[i].Id = 1 + i / 7;
        info->aData[i].NotifyData.Data.pBuf = unterminated;
        info->aData[i].NotifyData.Data.cbBuf = sizeof(unterminated);
    }
    info->Count = 17;   // not a multiple of seven
    int count = 0;
    JOB_INFO_2W* jobs = JobsFromNotification(info, &count);
    EXPECT_EQ(count, 2);
    ASSERT_TRUE(jobs);
    EXPECT_EQ(jobs[0].pDocument, nullptr) << "a string without its terminator is not used";
    FreeBlock(jobs);
    // Terminated anywhere inside its buffer, not only in its last character, it is used.
    wchar_t padded[4] = {L'x', 0, L'y', L'z'};
    info->aData[6].NotifyData.Data.pBuf = padded;   // the first job's last entry sets its document
    info->aData[6].NotifyData.Data.cbBuf = sizeof(padded);
    jobs = JobsFromNotification(info, &count);
    ASSERT_TRUE(jobs);
    EXPECT_STREQ(jobs[0].pDocument, L"x");
    FreeBlock(jobs);

    info->Count = 21;   // claims one more job than the memory holds
    jobs = JobsFromNotification(info, &count);
    EXPECT_EQ(count, 2);
    FreeBlock(jobs);
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(WaitingJobs, PauseResumeAndCancelActOnEachSelectedJob)
{
    lstrcpyW(g_state.printerName, kPackagePrinter);
    g_state.page = PAGE_WAITING;
    Change(PRINTER_CHANGE_ADD_JOB,
           {{5, 0, L"a", L"u"}, {6, JOB_STATUS_PAUSED, L"b", L"u"}, {7, 0, L"c", L"u"}, {8, 0, L"d", L"u"}});
    fake_.queue = {{5, {5, 0, L"a", L"u"}}, {6, {6, JOB_STATUS_PAUSED, L"b", L"u"}}, {8, {8, 0, L"d", L"u"}}};   // 7 has just left
    struct Case {
        UINT command;
        DWORD status, control;
    } cases[] = {
        {IDM_PAUSE, JOB_STATUS_PAUSED, JOB_CONTROL_PAUSE},
        {IDM_RESUME, 0, JOB_CONTROL_RESUME},
        {IDM_CANCEL, JOB_STATUS_DELETING, JOB_CONTROL_DELETE},
    };
    HWND list = g_state.children.waitingList;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        fake_.setJobs.clear();
        fake_.statusWritten.clear();
        for (int row : {0, 1, 2, 3})
            Select(row);
        SendMessageW(window_, WM_COMMAND, c.command, 0);
        std::vector<std::pair<DWORD, DWORD>> expected = {{5, c.control}, {6, c.control}, {8, c.control}};
        EXPECT_EQ(fake_.setJobs, expected);
        EXPECT_EQ(fake_.statusWritten, std::vector<DWORD>(3, c.status));
        EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_FOCUSED), LVIS_FOCUSED);
    }
    // Nothing selected: nothing happens.
    fake_.setJobs.clear();
    SendMessageW(window_, WM_COMMAND, IDM_PAUSE, 0);
    EXPECT_TRUE(fake_.setJobs.empty());
}

}  // namespace
