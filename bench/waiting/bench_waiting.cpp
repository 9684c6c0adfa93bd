// Times the rebuild of the waiting-jobs list from one spooler notification: the job records
// taken from the block on the monitor thread's side, then the list rebuilt, the selection
// restored and the previous set released on the window's side, for 100 and 1,000 jobs.
// The window is made as the program makes it, with the installed stand-in libraries.
// Prints the median per rebuild and the ratio; exit code 0 when 1,000 jobs cost at most
// about ten times 100 (no work that grows faster than the queue), 1 when more, 2 when the
// window cannot be made.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../bench_report.h"
#include "app/protocol.h"
#include "app/state.h"
#include "monitor/monitor_thread.h"
#include "monitor/spooler.h"
#include "ui/main_window.h"

namespace {

const int kRounds = 15;
const double kAllowedRatio = 12.0;   // ten times the jobs, with some room for noise

// A notification block of `jobs` jobs, seven entries each, as the spooler builds it.
PRINTER_NOTIFY_INFO* MakeBlock(int jobs, std::vector<std::wstring>& strings)
{
    static const WORD kFields[7] = {JOB_NOTIFY_FIELD_USER_NAME, JOB_NOTIFY_FIELD_STATUS, JOB_NOTIFY_FIELD_DOCUMENT,
                                    JOB_NOTIFY_FIELD_SUBMITTED, JOB_NOTIFY_FIELD_TOTAL_PAGES,
                                    JOB_NOTIFY_FIELD_DEVMODE, JOB_NOTIFY_FIELD_DATATYPE};
    static SYSTEMTIME submitted = {2026, 12, 2, 8, 10, 30, 0, 0};
    DWORD count = DWORD(jobs) * 7;
    auto* info = static_cast<PRINTER_NOTIFY_INFO*>(
        calloc(1, sizeof(PRINTER_NOTIFY_INFO) + count * sizeof(PRINTER_NOTIFY_INFO_DATA)));
    info->Version = 2;
    info->Count = count;
    strings.clear();
    strings.reserve(jobs * 2);
    for (int i = 0; i < jobs; ++i) {
        strings.push_back(L"user");
        strings.push_back(L"document " + std::to_wstring(i) + L".doc");
        for (int f = 0; f < 7; ++f) {
            PRINTER_NOTIFY_INFO_DATA& e = info->aData[i * 7 + f];
            e.Type = JOB_NOTIFY_TYPE;
            e.Field = kFields[f];
            e.Id = DWORD(i + 1);
            if (f == 0 || f == 2) {
                std::wstring& text = strings[i * 2 + (f == 0 ? 0 : 1)];
                e.NotifyData.Data.pBuf = &text[0];
                e.NotifyData.Data.cbBuf = DWORD((text.size() + 1) * sizeof(wchar_t));
            } else if (f == 3) {
                e.NotifyData.Data.pBuf = &submitted;
                e.NotifyData.Data.cbBuf = sizeof(submitted);
            }
        }
    }
    return info;
}

BOOL WINAPI FreeBlockOfTheBench(PPRINTER_NOTIFY_INFO info)
{
    free(info);
    return TRUE;
}

// Median ms of one rebuild from a block of `jobs` jobs, with every tenth job selected.
double MedianRebuild(int jobs)
{
    std::vector<double> times;
    std::vector<std::wstring> strings[2];
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int round = 0; round < kRounds; ++round) {
        // The selection the user made before the refresh.
        g_state.selectedJobCount = 0;
        for (int id = 1; id <= jobs && g_state.selectedJobCount < REMEMBERED_JOBS_MAX; id += 10)
            g_state.selectedJobIds[g_state.selectedJobCount++] = DWORD(id);
        // The window still shows the previous block, whose strings stay alive meanwhile.
        PRINTER_NOTIFY_INFO* info = MakeBlock(jobs, strings[round % 2]);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        int count = 0;
        JOB_INFO_2W* records = JobsFromNotification(info, &count);
        auto* handoff = static_cast<WaitingJobsHandoff*>(AllocZeroed(sizeof(WaitingJobsHandoff)));
        *handoff = {info, records, count};
        g_state.waitingJobsHandoff = handoff;
        SendMessageW(g_state.mainWindow, PSWM_WAITING_JOBS, 0, 0);
        UpdateWindow(g_state.children.waitingList);
        QueryPerformanceCounter(&end);
        times.push_back(double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart));
    }
    return Median(times);
}

std::wstring DriverDirectory()
{
    // The spooler's folder for this program's own environment: the package built beside it
    // is of the same bitness.
    wchar_t path[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(path), sizeof(path), &needed);
    return std::wstring(path) + L"\\3";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    InitializeCriticalSection(&g_state.ProcessHeapLock);
    g_state.instance = instance;
    lstrcpyW(g_state.printerName, L"PSW Bench Printer");
    lstrcpyW(g_state.portName, L"LPT1:");
    g_spooler.FreeNotifyInfo = FreeBlockOfTheBench;
    InitCommonControls();
    SetDllDirectoryW(DriverDirectory().c_str());
    if (!RegisterWindowClasses(instance) || !BindLibraries(&g_state.libraries) || !CreateMainWindow()) {
        std::printf("the window could not be made (is the stand-in package installed?)\n");
        return 2;
    }
    // The waiting list shows, as on its page.
    ShowWindow(g_state.mainWindow, SW_SHOW);
    ShowPage(PAGE_WAITING);
    double hundred = MedianRebuild(100);
    double thousand = MedianRebuild(1000);
    double ratio = thousand / hundred;
    std::printf("waiting list rebuilt from   100 jobs: %8.2f ms (median of %d)\n", hundred, kRounds);
    std::printf("waiting list rebuilt from 1,000 jobs: %8.2f ms (median of %d)\n", thousand, kRounds);
    const bool met = PrintTarget(ratio <= kAllowedRatio,
                                 "waiting list rebuilt from 1,000 jobs at most about 10x from 100 (allowed %.0fx): %.1fx",
                                 kAllowedRatio, ratio);
    std::fflush(stdout);
    return met ? 0 : 1;
}
