// The cost of a status block to the installed status window, sent from this process as the
// status-monitor library sends it (SendMessageW returns once the window has handled the
// block and repainted), beside the bare cost of a WM_COPYDATA round trip to a window that
// does nothing, in a second process. Measured with an empty job log and with a full one,
// then the window's idle CPU time.
//   bench_status [PRINTER]      (default: the stand-in package's printer)
//   bench_status --sink         the do-nothing window, started by the benchmark itself
// Exit code: 0 when the targets are met, 1 when not, 2 when the window cannot be driven.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/protocol.h"
#include "app/psw_records.h"

namespace {

const wchar_t kDefaultPrinter[] = L"Tavik QX2210-2370";
const wchar_t kSettingsRoot[] = L"Software\\Tavik\\XERB5\\";
const wchar_t kSinkClass[] = L"PswBenchSink";
const wchar_t kSinkSwitch[] = L"--sink";

constexpr int kBlocks = 2000;
constexpr int kLogRows = 100;
constexpr DWORD kIdleMs = 10000;
// Lets the window finish what its start or the last block began before a measurement.
constexpr DWORD kSettleMs = 1500;
constexpr DWORD kWaitForWindowMs = 15000;
constexpr DWORD kEndMs = 10000;

// Targets: the median block, its growth with the job log full, CPU time while idle.
constexpr double kBlockTargetMs = 2.0;
constexpr double kGrowthTarget = 1.25;
constexpr double kIdleTargetMs = 50.0;

// The estimate the blocks ask for, so that the countdown runs.
constexpr DWORD kFixedTimeAMs = 2000;
constexpr DWORD kTimePerPageMs = 1000;
constexpr DWORD kFixedTimeBMs = 1000;
// The end-of-job bit of a job printed to its end.
constexpr DWORD kJobDone = 0x1;

// ---- the do-nothing window ----

int RunSink()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kSinkClass;
    if (!RegisterClassW(&wc))
        return 2;
    HWND window = CreateWindowExW(0, kSinkClass, nullptr, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!window)
        return 2;
    // DefWindowProcW destroys the window on WM_CLOSE but does not end the loop.
    MSG msg;
    while (IsWindow(window) && GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

// ---- status blocks ----

std::wstring UserName()
{
    wchar_t name[256] = L"";
    DWORD chars = ARRAYSIZE(name);
    GetUserNameW(name, &chars);
    return name;
}

std::wstring MachineName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD chars = ARRAYSIZE(name);
    GetComputerNameW(name, &chars);
    return std::wstring(L"\\\\") + name;
}

// A block of this seat's user and computer, its strings after the fixed part.
struct Job {
    DWORD id = 0, jobFlags = JOB_IN_PROGRESS, totalPages = 0, pagesStarted = 0, pagesPrinted = 0;
    std::wstring document;
};

std::vector<BYTE> Block(const Job& job)
{
    static const std::wstring user = UserName(), machine = MachineName();
    PswStatusData fixed = {};
    fixed.jobFlags = job.jobFlags;
    fixed.jobId = job.id;
    fixed.totalPages = job.totalPages;
    fixed.pagesStarted = job.pagesStarted;
    fixed.pagesPrinted = job.pagesPrinted;
    // An idle printer reports no estimate, as the package's status-monitor library does.
    if (job.id) {
        fixed.estimateMode = ESTIMATE_PER_PAGE;
        fixed.fixedTimeA = kFixedTimeAMs;
        fixed.timePerPage = kTimePerPageMs;
        fixed.fixedTimeB = kFixedTimeBMs;
    }
    std::vector<BYTE> block(sizeof(fixed));
    auto append = [&block](const std::wstring& text) {
        const DWORD at = static_cast<DWORD>(block.size());
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        block.resize(at + bytes);
        CopyMemory(&block[at], text.c_str(), bytes);
        return at;
    };
    fixed.machineOffset = append(machine);
    fixed.ownerOffset = append(user);
    fixed.documentOffset = job.document.empty() ? 0 : append(job.document);
    fixed.length = static_cast<DWORD>(block.size());
    CopyMemory(block.data(), &fixed, sizeof(fixed));
    return block;
}

LRESULT Send(HWND window, const std::vector<BYTE>& block)
{
    COPYDATASTRUCT data = {PSW_DATA_STATUS, static_cast<DWORD>(block.size()), const_cast<BYTE*>(block.data())};
    return SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

double Milliseconds(LONGLONG ticks)
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * double(ticks) / double(frequency.QuadPart);
}

double TimedSend(HWND window, const std::vector<BYTE>& block)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    Send(window, block);
    QueryPerformanceCounter(&end);
    return Milliseconds(end.QuadPart - start.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double Percentile90(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() * 9 / 10];
}

double FileTimeMs(const FILETIME& time)
{
    return double((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000.0;
}

// CPU time of the process, summed over its threads: Wine reports no CPU time for another
// process through GetProcessTimes, but does for its threads.
double CpuMs(HANDLE process)
{
    const DWORD id = GetProcessId(process);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1.0;
    double total = 0.0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != id)
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        FILETIME created, exited, kernel, user;
        if (thread && GetThreadTimes(thread, &created, &exited, &kernel, &user))
            total += FileTimeMs(kernel) + FileTimeMs(user);
        if (thread)
            CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return total;
}

double IdleCpuMs(HANDLE process)
{
    const double before = CpuMs(process);
    Sleep(kIdleMs);
    return CpuMs(process) - before;
}

struct Figures {
    double block, block90, bare;
    double cpuPerBlock;  // the window's process, ms
};

// kBlocks pages of one job, each page a block whose pages started and printed count up, so
// that the shown page, the progress, the countdown and the per-page animation change every
// time; a bare round trip to the sink with the same block after each.
Figures PrintPages(HWND window, HANDLE status, HWND sink, DWORD jobId)
{
    std::vector<double> blocks, bare;
    const double cpuBefore = CpuMs(status);
    Job job;
    job.id = jobId;
    job.totalPages = kBlocks + 1;
    job.document = L"基准测试文档.doc";
    for (int page = 1; page <= kBlocks; ++page) {
        job.pagesStarted = page;
        job.pagesPrinted = page - 1;
        const std::vector<BYTE> block = Block(job);
        blocks.push_back(TimedSend(window, block));
        bare.push_back(TimedSend(sink, block));
    }
    return {Median(blocks), Percentile90(blocks), Median(bare), (CpuMs(status) - cpuBefore) / kBlocks};
}

// Jobs of one page that end, each with a document name: one job-log row each.
void EndJobs(HWND window, DWORD firstId, int count)
{
    for (int i = 0; i < count; ++i) {
        Job job;
        job.id = firstId + i;
        job.totalPages = 1;
        job.pagesStarted = 1;
        job.document = L"已打印文档 " + std::to_wstring(i + 1) + L".doc";
        Send(window, Block(job));
        job.jobFlags = kJobDone;
        job.pagesPrinted = 1;
        Send(window, Block(job));
    }
}

HANDLE Start(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

// The first window of `className` (and title) that belongs to `process`.
HWND WaitForWindow(HANDLE process, const wchar_t* className, const wchar_t* title)
{
    const DWORD id = GetProcessId(process);
    for (DWORD waited = 0; waited < kWaitForWindowMs; waited += 100) {
        for (HWND w = FindWindowW(className, title); w; w = FindWindowExW(nullptr, w, className, title)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == id)
                return w;
        }
        Sleep(100);
    }
    return nullptr;
}

std::wstring StatusProgram()
{
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path) + L"\\spool\\drivers\\w32x86\\3\\pstatus.exe";
}

void SetSetting(const std::wstring& printer, const wchar_t* name, DWORD value)
{
    const std::wstring key = kSettingsRoot + printer + L"\\PSW";
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value));
}

void PrintRun(const char* label, const Figures& figures)
{
    std::printf("  %-18s block %.3f ms (%.3f), bare WM_COPYDATA round trip %.3f ms, ratio %.1f; "
                "window's CPU %.3f ms a block\n",
                label, figures.block, figures.block90, figures.bare,
                figures.bare > 0 ? figures.block / figures.bare : 0.0, figures.cpuPerBlock);
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

int Measure(const std::wstring& printer, HWND window, HANDLE status, HWND sink)
{
    // The user's own showing: a job end does not hide the window then.
    SendMessageW(window, PSWM_SHOW, 0, 0);
    Sleep(kSettleMs);
    const double idleAtStart = IdleCpuMs(status);

    const Figures empty = PrintPages(window, status, sink, 1000);
    EndJobs(window, 1, kLogRows);
    const LRESULT logRows = SendMessageW(GetDlgItem(window, IDC_LOG_LIST), LVM_GETITEMCOUNT, 0, 0);
    const Figures full = PrintPages(window, status, sink, 2000);
    const bool visible = IsWindowVisible(window) != FALSE;

    // The job ends and the printer is idle again, then the window should do nothing.
    Job job;
    job.id = 2000;
    job.jobFlags = kJobDone;
    Send(window, Block(job));
    Job idle;
    idle.jobFlags = 0;
    Send(window, Block(idle));
    Sleep(kSettleMs);
    const double idleAfter = IdleCpuMs(status);

    const double growth = empty.block > 0 ? full.block / empty.block : 0.0;
    std::printf("status window of \"%ls\", %d status blocks per run, medians (90th percentile)\n", printer.c_str(),
                kBlocks);
    PrintRun("empty job log:", empty);
    PrintRun(("job log " + std::to_string(logRows) + " rows:").c_str(), full);
    std::printf("  growth with the full log: %.2fx\n", growth);
    std::printf("  idle CPU time over %lu s: %.1f ms at start, %.1f ms after the jobs\n",
                static_cast<unsigned long>(kIdleMs / 1000), idleAtStart, idleAfter);
    const bool fast = std::max(empty.block, full.block) < kBlockTargetMs;
    const bool flat = growth <= kGrowthTarget;
    const bool quiet = std::max(idleAtStart, idleAfter) <= kIdleTargetMs;
    std::printf("targets: block under %.1f ms median: %s; no growth with the log (at most %.2fx): %s; "
                "idle CPU at most %.0f ms: %s\n",
                kBlockTargetMs, Verdict(fast), kGrowthTarget, Verdict(flat), kIdleTargetMs, Verdict(quiet));
    if (logRows != kLogRows || !visible) {
        std::printf("the window did not do the work measured: %ld log rows, %s\n", static_cast<long>(logRows),
                    visible ? "visible" : "hidden");
        return 2;
    }
    return fast && flat && quiet ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && lstrcmpW(argv[1], kSinkSwitch) == 0)
        return RunSink();
    const std::wstring printer = argc >= 2 ? argv[1] : kDefaultPrinter;

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    HANDLE sinkProcess = Start(L"\"" + std::wstring(self) + L"\" " + kSinkSwitch);
    // Shown, so that every block is painted as a user sees it.
    SetSetting(printer, L"LastWindowVisiblity", 1);
    SetSetting(printer, L"LastWindowState", 0);
    HANDLE status = Start(L"\"" + StatusProgram() + L"\" !D" + printer + L" !PLPT1:");
    HWND sink = sinkProcess ? WaitForWindow(sinkProcess, kSinkClass, nullptr) : nullptr;
    HWND window = status ? WaitForWindow(status, PSW_MAIN_CLASS, printer.c_str()) : nullptr;
    int result = 2;
    if (sink && window)
        result = Measure(printer, window, status, sink);
    else
        std::fprintf(stderr, "%s did not come up\n", window ? "the do-nothing window" : "the status window");

    if (window)
        PostMessageW(window, PSWM_QUIT, 0, 0);
    if (sink)
        PostMessageW(sink, WM_CLOSE, 0, 0);
    for (HANDLE process : {status, sinkProcess}) {
        if (!process)
            continue;
        if (WaitForSingleObject(process, kEndMs) != WAIT_OBJECT_0)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }
    return result;
}
