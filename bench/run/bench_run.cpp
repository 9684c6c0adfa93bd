// Times complete unattended troubleshooter runs against starts of a trivial program, taking
// turns, and prints the ratio of the medians. With FLOOR, also the starts of a program that
// loads the troubleshooter's libraries and does nothing else: the part of a run that is the
// platform's cost of those libraries.
//   bench_run RUNS PDIAG TRIVIAL PRINTER [FLOOR]
// Exit code: 0 when the ratio meets the target, 1 when it does not, 2 on bad arguments or
// when a program cannot be started or a troubleshooter run does not reach its checks.
#include <windows.h>

#include "framework/raii.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The whole run, every check included, may cost this many bare process starts.
const double kTargetRatio = 3.0;
// Exit codes of pdiag's unattended mode from 16 on report findings of a run that got to its checks.
const DWORD kFirstFindingsCode = 16;

double Seconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(ticks) / double(frequency.QuadPart);
}

// Starts the command line with its output thrown away and waits for its end; false when it
// cannot be started.
bool TimeRun(const std::wstring& commandLine, HANDLE nul, double& seconds, DWORD& exitCode)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return false;
    UniqueFile thread(process.hThread), child(process.hProcess);
    WaitForSingleObject(child.get(), INFINITE);
    QueryPerformanceCounter(&end);
    GetExitCodeProcess(child.get(), &exitCode);
    seconds = Seconds(end.QuadPart - start.QuadPart);
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Report(const char* name, const std::vector<double>& times)
{
    double total = 0;
    for (double t : times)
        total += t;
    std::printf("%-14s median %8.1f ms  mean %8.1f ms  min %8.1f ms  max %8.1f ms\n", name, Median(times) * 1000,
                total / times.size() * 1000, *std::min_element(times.begin(), times.end()) * 1000,
                *std::max_element(times.begin(), times.end()) * 1000);
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if ((argc != 5 && argc != 6) || _wtoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: bench_run RUNS PDIAG TRIVIAL PRINTER [FLOOR]\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"pdiag-bench.txt";
    const std::wstring troubleshooter = Quoted(argv[2]) + L" /unattended " + Quoted(std::wstring(L"/printer:") + argv[4]) +
                                        L" " + Quoted(L"/log:" + log);
    const std::wstring trivial = Quoted(argv[3]);
    const std::wstring floor = argc == 6 ? Quoted(argv[5]) : std::wstring();

    SECURITY_ATTRIBUTES inherit = {};
    inherit.nLength = sizeof(inherit);
    inherit.bInheritHandle = TRUE;
    UniqueFile nul(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr));

    // A window of this process keeps Wine's desktop process alive between runs, as a Windows
    // desktop always is; otherwise every troubleshooter run would pay for starting it.
    HWND keepDesktop = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

    std::vector<double> trivialTimes, floorTimes, troubleshooterTimes;
    DWORD findings = 0;
    // Round 0 warms the caches and is not counted.
    for (int round = 0; round <= runs; ++round) {
        double seconds = 0;
        DWORD code = 0;
        if (!TimeRun(trivial, nul.get(), seconds, code)) {
            std::fprintf(stderr, "cannot start %ls (error %lu)\n", argv[3], GetLastError());
            return 2;
        }
        if (round)
            trivialTimes.push_back(seconds);

        if (!floor.empty()) {
            if (!TimeRun(floor, nul.get(), seconds, code)) {
                std::fprintf(stderr, "cannot start %ls (error %lu)\n", argv[5], GetLastError());
                return 2;
            }
            if (round)
                floorTimes.push_back(seconds);
        }

        DeleteFileW(log.c_str());
        if (!TimeRun(troubleshooter, nul.get(), seconds, code)) {
            std::fprintf(stderr, "cannot start %ls (error %lu)\n", argv[2], GetLastError());
            return 2;
        }
        if (code != 0 && code < kFirstFindingsCode) {
            std::fprintf(stderr, "the troubleshooter did not get to its checks: exit code %lu\n", code);
            return 2;
        }
        findings = code;
        if (round)
            troubleshooterTimes.push_back(seconds);
    }
    DeleteFileW(log.c_str());
    DestroyWindow(keepDesktop);

    std::printf("%d runs each, in turns, after one uncounted round\n", runs);
    Report("trivial start", trivialTimes);
    if (!floorTimes.empty())
        Report("libraries only", floorTimes);
    Report("pdiag run", troubleshooterTimes);
    if (findings)
        std::printf("note: the troubleshooter reported findings (exit code %lu): the installation is not clean\n",
                    findings);
    if (!floorTimes.empty())
        std::printf("libraries only / trivial start: %.2f (medians)\n", Median(floorTimes) / Median(trivialTimes));
    const double ratio = Median(troubleshooterTimes) / Median(trivialTimes);
    // The fastest runs are the least disturbed by other load on the machine.
    std::printf("ratio of the fastest runs %.2f\n", *std::min_element(troubleshooterTimes.begin(), troubleshooterTimes.end()) /
                                                   *std::min_element(trivialTimes.begin(), trivialTimes.end()));
    std::printf("ratio of the medians %.2f (target at most %.1f): %s\n", ratio, kTargetRatio,
                ratio <= kTargetRatio ? "met" : "NOT met");
    return ratio <= kTargetRatio ? 0 : 1;
}
