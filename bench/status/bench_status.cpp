// The installed status window measured from another process, each figure beside a minimal
// window program (bench_window, in this program's folder) where one compares:
// - start-up: from CreateProcess to the moment this process finds the window, the status
//   window started in turns with the minimal window program and with the floor program
//   (bench_floor: opens the printer, asks for its driver and shows one window, what no start
//   can avoid), so that the ratio to the floor is the status window's own share;
// - where start-up goes: the window's own code taking start-up's steps one by one in a
//   program of its own (bench_startup), each moment's median from CreateProcess;
// - memory: working set and private bytes 1.5 s after the window appeared and after the
//   status blocks;
// - status blocks sent as the status-monitor library sends them (SendMessageW returns once the
//   window has handled the block and repainted), with an empty and with a full job log, beside
//   bare WM_COPYDATA round trips to the minimal window, which does nothing with them;
// - the window's CPU time while idle.
//   bench_status [PRINTER]      (default: the stand-in package's printer)
// Prints the figures and one "target:" line per target. Exit code: 0 when the targets are met,
// 1 when one is not, 2 when a window cannot be started, driven or measured.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../bench_report.h"
#include "app/protocol.h"
#include "app/psw_records.h"
#include "minimal_window.h"

namespace {

const wchar_t kDefaultPrinter[] = L"Tavik QX2210-2370";
const wchar_t kSettingsRoot[] = L"Software\\Tavik\\XERB5\\";
const wchar_t kMinimalWindowProgram[] = L"bench_window.exe";
const wchar_t kFloorProgram[] = L"bench_floor.exe";
const wchar_t kStartupStepsProgram[] = L"bench_startup.exe";

constexpr int kStartRuns = 15;
constexpr int kBlocks = 2000;
constexpr int kLogRows = 100;
constexpr DWORD kIdleMs = 10000;
// Lets the window finish what its start or the last block began before a measurement.
constexpr DWORD kSettleMs = 1500;
constexpr double kWaitForWindowMs = 15000;
// How often a starting program's window is looked for.
constexpr DWORD kPollMs = 1;
constexpr DWORD kEndMs = 10000;
constexpr double kBytesPerMb = 1024.0 * 1024.0;

// Targets: start-up against the minimal window program's (medians), the window's CPU time per
// block, a block's growth with the job log full, CPU time while idle.
constexpr double kStartTargetRatio = 2.0;
constexpr double kBlockCpuTargetMs = 2.0;
constexpr double kGrowthTarget = 1.25;
constexpr double kIdleTargetMs = 50.0;

// The estimate the blocks ask for, so that the countdown runs.
constexpr DWORD kFixedTimeAMs = 2000;
constexpr DWORD kTimePerPageMs = 1000;
constexpr DWORD kFixedTimeBMs = 1000;
// The end-of-job bit of a job printed to its end.
constexpr DWORD kJobDone = 0x1;

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

// CPU time of the process since `before` (a CpuMs reading); -1 when either reading failed.
double CpuMsSince(HANDLE process, double before)
{
    const double now = CpuMs(process);
    return before < 0 || now < 0 ? -1.0 : now - before;
}

double IdleCpuMs(HANDLE process)
{
    const double before = CpuMs(process);
    Sleep(kIdleMs);
    return CpuMsSince(process, before);
}

struct Figures {
    double block, block90, bare;
    double cpuPerBlock;  // the window's process, ms; -1 when it could not be read
};

// kBlocks pages of one job, each page a block whose pages started and printed count up, so
// that the shown page, the progress, the countdown and the per-page animation change every
// time; a bare round trip to the minimal window with the same block after each.
Figures PrintPages(HWND window, HANDLE status, HWND minimal, DWORD jobId)
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
        bare.push_back(TimedSend(minimal, block));
    }
    const double cpu = CpuMsSince(status, cpuBefore);
    return {Median(blocks), Percentile90(blocks), Median(bare), cpu < 0 ? -1.0 : cpu / kBlocks};
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

// ---- programs started and ended ----

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

struct Program {
    HANDLE process = nullptr;
    HWND window = nullptr;
    double startMs = 0;  // from CreateProcess to the window found
};

// The first window of `className` (and title) that belongs to the process.
HWND FindOwnedWindow(DWORD processId, const wchar_t* className, const wchar_t* title)
{
    for (HWND w = FindWindowW(className, title); w; w = FindWindowExW(nullptr, w, className, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId)
            return w;
    }
    return nullptr;
}

// Starts the command line and looks for its window every kPollMs until it is there, the
// process has ended or kWaitForWindowMs have passed; `window` stays null then. `started` gets
// the counter's reading just before CreateProcess.
Program Launch(const std::wstring& commandLine, const wchar_t* className, const wchar_t* title,
               LONGLONG* started = nullptr)
{
    Program program;
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const LONGLONG start = Now();
    if (started)
        *started = start;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return program;
    CloseHandle(info.hThread);
    program.process = info.hProcess;
    for (;;) {
        program.window = FindOwnedWindow(info.dwProcessId, className, title);
        const double elapsed = Milliseconds(Now() - start);
        if (program.window) {
            program.startMs = elapsed;
            break;
        }
        // The wait is the pause between two looks, and ends early when the process has ended.
        if (elapsed >= kWaitForWindowMs || WaitForSingleObject(info.hProcess, kPollMs) == WAIT_OBJECT_0)
            break;
    }
    return program;
}

// Asks the program's window to end with `message` and waits for the process to end; ends it
// by force when it has no window or does not end in time.
void End(Program& program, UINT message)
{
    if (program.window)
        PostMessageW(program.window, message, 0, 0);
    if (program.process) {
        if (!program.window || WaitForSingleObject(program.process, kEndMs) != WAIT_OBJECT_0)
            TerminateProcess(program.process, 1);
        CloseHandle(program.process);
    }
    program = Program();
}

// The folder of the installed package's programs and libraries. The package is of this
// program's bitness: its folder is the spooler's for this program's own environment.
std::wstring PackageFolder()
{
    wchar_t path[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(path), sizeof(path), &needed);
    return std::wstring(path) + L"\\3";
}

std::wstring StatusCommandLine(const std::wstring& printer)
{
    return Quoted(PackageFolder() + L"\\pstatus.exe") + L" !D" + printer + L" !PLPT1:";
}

// A program of this one's folder.
std::wstring BenchPath(const wchar_t* name)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.erase(path.find_last_of(L'\\') + 1);
    return path + name;
}

std::wstring BenchProgram(const wchar_t* name)
{
    return Quoted(BenchPath(name));
}

std::wstring MinimalWindowCommandLine()
{
    return BenchProgram(kMinimalWindowProgram);
}

void SetSetting(const std::wstring& printer, const wchar_t* name, DWORD value)
{
    const std::wstring key = kSettingsRoot + printer + L"\\PSW";
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value));
}

// Every start of the status window shows it, so that every block is painted as a user sees it.
void ShowAtStart(const std::wstring& printer)
{
    SetSetting(printer, L"LastWindowVisiblity", 1);
    SetSetting(printer, L"LastWindowState", 0);
}

// ---- start-up ----

// One moment of start-up as bench_startup tells it: its median from CreateProcess and the
// median of the step that ends there (from the moment before).
struct StartUpMoment {
    std::string moment;
    double sinceStartMs = 0, stepMs = 0;
};

struct StartUp {
    double status = 0, minimal = 0, floor = 0;  // medians, ms
    std::vector<StartUpMoment> moments;
    bool measured = false;
};

// Starts a program that ends by `message` and returns its time to its window; -1 when the
// window did not come up.
double TimeOneStart(const std::wstring& commandLine, const wchar_t* className, const wchar_t* title, UINT message)
{
    Program program = Launch(commandLine, className, title);
    const double ms = program.window ? program.startMs : -1.0;
    End(program, message);
    return ms;
}

// kStartRuns starts of each program, in turns, after one uncounted round that warms the
// caches. Each program ends before the next start, so no start of the status window meets
// another instance.
bool TimeStartUps(const std::wstring& printer, StartUp* figures)
{
    std::vector<double> status, minimal, floor;
    const std::wstring floorCommandLine = BenchProgram(kFloorProgram) + L" " + Quoted(printer);
    for (int round = 0; round <= kStartRuns; ++round) {
        const double minimalMs = TimeOneStart(MinimalWindowCommandLine(), BENCH_WINDOW_CLASS, nullptr, WM_CLOSE);
        const double floorMs = TimeOneStart(floorCommandLine, BENCH_FLOOR_CLASS, printer.c_str(), WM_CLOSE);
        ShowAtStart(printer);
        const double statusMs = TimeOneStart(StatusCommandLine(printer), PSW_MAIN_CLASS, printer.c_str(), PSWM_QUIT);
        if (minimalMs < 0 || floorMs < 0 || statusMs < 0) {
            std::fprintf(stderr, "%s did not come up at start %d\n",
                         statusMs < 0 ? "the status window" : minimalMs < 0 ? "the minimal window program"
                                                                           : "the floor program",
                         round);
            return false;
        }
        if (round) {
            minimal.push_back(minimalMs);
            floor.push_back(floorMs);
            status.push_back(statusMs);
        }
    }
    figures->status = Median(status);
    figures->minimal = Median(minimal);
    figures->floor = Median(floor);
    return true;
}

// The moments bench_startup wrote ("ticks moment" a line), as ms since `started`.
std::vector<std::pair<std::string, double>> ReadMoments(const std::wstring& path, LONGLONG started)
{
    std::vector<std::pair<std::string, double>> moments;
    FILE* file = _wfopen(path.c_str(), L"r");
    if (!file)
        return moments;
    char line[256];
    while (std::fgets(line, sizeof(line), file)) {
        char* rest = nullptr;
        const long long ticks = std::strtoll(line, &rest, 10);
        std::string moment = rest && *rest == ' ' ? rest + 1 : "";
        while (!moment.empty() && (moment.back() == '\n' || moment.back() == '\r'))
            moment.pop_back();
        moments.emplace_back(moment, Milliseconds(ticks - started));
    }
    std::fclose(file);
    return moments;
}

// One run of bench_startup to its first status shown: its moments, none when it did not get
// there.
std::vector<std::pair<std::string, double>> RunStartUpSteps(const std::wstring& printer,
                                                            const std::wstring& commandLine,
                                                            const std::wstring& marks)
{
    DeleteFileW(marks.c_str());
    ShowAtStart(printer);
    LONGLONG started = 0;
    Program program = Launch(commandLine, PSW_MAIN_CLASS, printer.c_str(), &started);
    if (!program.process)
        return {};
    // It ends by itself once the first status is shown.
    DWORD code = 2;
    const bool ended = WaitForSingleObject(program.process, kEndMs) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(program.process, &code) && code == 0;
    if (!ended)
        TerminateProcess(program.process, 1);
    CloseHandle(program.process);
    return ended ? ReadMoments(marks, started) : std::vector<std::pair<std::string, double>>();
}

// kStartRuns runs of bench_startup after one uncounted run; the medians of every moment and
// of every step. FALSE when a run did not get to the first status or told other moments than
// the first run.
bool TimeStartUpSteps(const std::wstring& printer, StartUp* figures)
{
    // It runs from the program's own folder, as the program does: the libraries lie beside it
    // there, and under Wine a start from another drive costs differently.
    const std::wstring copy = PackageFolder() + L"\\" + kStartupStepsProgram;
    if (!CopyFileW(BenchPath(kStartupStepsProgram).c_str(), copy.c_str(), FALSE)) {
        std::fprintf(stderr, "bench_startup could not be copied into the package's folder\n");
        return false;
    }
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring marks = std::wstring(temp) + L"bench_startup_moments.txt";
    const std::wstring commandLine = Quoted(copy) + L" " + Quoted(marks) + L" " + Quoted(printer) + L" LPT1:";
    std::vector<std::pair<std::string, double>> first;
    std::vector<std::vector<double>> since, steps;
    bool measured = true;
    for (int run = 0; run <= kStartRuns && measured; ++run) {
        const auto moments = RunStartUpSteps(printer, commandLine, marks);
        if (!run) {
            first = moments;
            since.resize(first.size());
            steps.resize(first.size());
        }
        measured = !moments.empty() && moments.size() == first.size();
        for (size_t i = 0; measured && i < moments.size(); ++i) {
            measured = moments[i].first == first[i].first;
            if (run) {
                since[i].push_back(moments[i].second);
                steps[i].push_back(moments[i].second - (i ? moments[i - 1].second : 0.0));
            }
        }
        if (!measured)
            std::fprintf(stderr, "bench_startup did not get to the first status as before at run %d\n", run);
    }
    DeleteFileW(marks.c_str());
    DeleteFileW(copy.c_str());
    for (size_t i = 0; measured && i < first.size(); ++i)
        figures->moments.push_back({first[i].first, Median(since[i]), Median(steps[i])});
    return measured;
}

// ---- memory ----

struct Memory {
    double workingSetMb = 0, privateMb = 0;
};

// Working set and private bytes of another process. Under Wine its PrivateUsage reads 0, but
// PagefileUsage is real; on Windows the two are the same figure (the process's committed
// private memory), so PagefileUsage is reported as the private bytes.
Memory MemoryOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    Memory memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
        memory.workingSetMb = double(counters.WorkingSetSize) / kBytesPerMb;
        memory.privateMb = double(counters.PagefileUsage) / kBytesPerMb;
    }
    return memory;
}

// The status window's memory beside the minimal window program's, taken at the same moment.
struct MemoryPair {
    Memory status, minimal;
    bool measured() const { return status.workingSetMb > 0 && minimal.workingSetMb > 0; }
};

MemoryPair MemoryOf(const Program& status, const Program& minimal)
{
    return {MemoryOf(status.process), MemoryOf(minimal.process)};
}

void PrintMemory(const char* when, const MemoryPair& memory)
{
    std::printf("  memory %s: working set %.1f MB (minimal window program %.1f MB, ratio %.2f), "
                "private bytes %.1f MB (%.1f MB, ratio %.2f)\n",
                when, memory.status.workingSetMb, memory.minimal.workingSetMb,
                Ratio(memory.status.workingSetMb, memory.minimal.workingSetMb), memory.status.privateMb,
                memory.minimal.privateMb, Ratio(memory.status.privateMb, memory.minimal.privateMb));
}

// ---- the measuring run ----

void PrintRun(const char* label, const Figures& figures)
{
    std::printf("  %-18s block %.3f ms (%.3f), bare WM_COPYDATA round trip %.3f ms, ratio %.1f; "
                "window's CPU %.3f ms a block\n",
                label, figures.block, figures.block90, figures.bare, Ratio(figures.block, figures.bare),
                figures.cpuPerBlock);
}

int Measure(const std::wstring& printer, const Program& status, const Program& minimal, const StartUp& startUp)
{
    // Both windows as they are once started, before this process touches them.
    Sleep(kSettleMs);
    const MemoryPair atStart = MemoryOf(status, minimal);

    // The user's own showing: a job end does not hide the window then.
    SendMessageW(status.window, PSWM_SHOW, 0, 0);
    Sleep(kSettleMs);
    const double idleAtStart = IdleCpuMs(status.process);

    const Figures empty = PrintPages(status.window, status.process, minimal.window, 1000);
    const MemoryPair afterBlocks = MemoryOf(status, minimal);
    EndJobs(status.window, 1, kLogRows);
    const LRESULT logRows = SendMessageW(GetDlgItem(status.window, IDC_LOG_LIST), LVM_GETITEMCOUNT, 0, 0);
    const Figures full = PrintPages(status.window, status.process, minimal.window, 2000);
    const bool visible = IsWindowVisible(status.window) != FALSE;

    // The job ends and the printer is idle again, then the window should do nothing.
    Job job;
    job.id = 2000;
    job.jobFlags = kJobDone;
    Send(status.window, Block(job));
    Job idle;
    idle.jobFlags = 0;
    Send(status.window, Block(idle));
    Sleep(kSettleMs);
    const double idleAfter = IdleCpuMs(status.process);

    const double startRatio = Ratio(startUp.status, startUp.minimal);
    const double growth = Ratio(full.block, empty.block);
    const double cpuPerBlock = std::max(empty.cpuPerBlock, full.cpuPerBlock);
    const double idleCpu = std::max(idleAtStart, idleAfter);
    std::printf("status window of \"%ls\"\n", printer.c_str());
    std::printf("  start-up to the window, medians of %d starts each in turns after one uncounted round: "
                "%.1f ms, minimal window program %.1f ms, ratio %.2f; floor program %.1f ms, ratio %.2f "
                "(the floor %.2f times the minimal window program)\n",
                kStartRuns, startUp.status, startUp.minimal, startRatio, startUp.floor,
                Ratio(startUp.status, startUp.floor), Ratio(startUp.floor, startUp.minimal));
    std::printf("  start-up's steps by the window's own code (bench_startup), medians of %d runs after one "
                "uncounted run, from CreateProcess (the step's own):\n",
                kStartRuns);
    for (const StartUpMoment& m : startUp.moments)
        std::printf("    %-30s %7.1f ms (%6.1f ms)\n", (m.moment + ":").c_str(), m.sinceStartMs, m.stepMs);
    PrintMemory("1.5 s after start-up", atStart);
    PrintMemory(("after " + std::to_string(kBlocks) + " blocks").c_str(), afterBlocks);
    std::printf("  %d status blocks per run, medians (90th percentile):\n", kBlocks);
    PrintRun("empty job log:", empty);
    PrintRun(("job log " + std::to_string(logRows) + " rows:").c_str(), full);
    std::printf("  growth with the full log: %.2fx\n", growth);
    std::printf("  idle CPU time over %lu s: %.1f ms at start, %.1f ms after the jobs\n",
                static_cast<unsigned long>(kIdleMs / 1000), idleAtStart, idleAfter);

    if (logRows != kLogRows || !visible) {
        std::printf("the window did not do the work measured: %ld log rows, %s\n", static_cast<long>(logRows),
                    visible ? "visible" : "hidden");
        return 2;
    }
    if (!atStart.measured() || !afterBlocks.measured() || std::min(empty.cpuPerBlock, full.cpuPerBlock) < 0 ||
        std::min(idleAtStart, idleAfter) < 0) {
        std::printf("the memory or the CPU time of the programs could not be read\n");
        return 2;
    }
    bool met = PrintTarget(startRatio <= kStartTargetRatio,
                           "status window start-up at most %.1fx the minimal window program's (medians): %.2fx",
                           kStartTargetRatio, startRatio);
    met = PrintTarget(cpuPerBlock < kBlockCpuTargetMs, "status block under %.1f ms of the window's CPU: %.3f ms",
                      kBlockCpuTargetMs, cpuPerBlock) && met;
    met = PrintTarget(growth <= kGrowthTarget, "status block no slower with the job log full (at most %.2fx): %.2fx",
                      kGrowthTarget, growth) && met;
    met = PrintTarget(idleCpu <= kIdleTargetMs, "status window idle CPU about 0 (at most %.0f ms over %lu s): %.1f ms",
                      kIdleTargetMs, static_cast<unsigned long>(kIdleMs / 1000), idleCpu) && met;
    return met ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring printer = argc >= 2 ? argv[1] : kDefaultPrinter;

    // A window of this process keeps Wine's desktop process alive between the starts, as a
    // Windows desktop always is; otherwise a start would pay for starting it.
    HWND keepDesktop = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    // Waits of kPollMs while looking for a window; Windows would otherwise round them up to its
    // timer period (about 15.6 ms).
    timeBeginPeriod(kPollMs);

    int result = 2;
    StartUp startUp;
    startUp.measured = TimeStartUps(printer, &startUp) && TimeStartUpSteps(printer, &startUp);
    if (startUp.measured) {
        Program minimal = Launch(MinimalWindowCommandLine(), BENCH_WINDOW_CLASS, nullptr);
        ShowAtStart(printer);
        Program status = Launch(StatusCommandLine(printer), PSW_MAIN_CLASS, printer.c_str());
        if (minimal.window && status.window)
            result = Measure(printer, status, minimal, startUp);
        else
            std::fprintf(stderr, "%s did not come up\n",
                         status.window ? "the minimal window program" : "the status window");
        End(status, PSWM_QUIT);
        End(minimal, WM_CLOSE);
    }

    timeEndPeriod(kPollMs);
    if (keepDesktop)
        DestroyWindow(keepDesktop);
    return result;
}
