// Times complete unattended troubleshooter runs against starts of a trivial program and of a
// program that loads the troubleshooter's libraries and does nothing else (the platform's cost
// of those libraries), taking turns, and prints the medians and the ratios of a run to both.
// With CHECKS, also runs of the per-check benchmark, whose times it prints as medians.
//   bench_run RUNS PDIAG TRIVIAL PRINTER FLOOR [CHECKS]
// Exit code: 0 when a run costs at most 1.5 times the libraries-only program (medians), 1 when
// it costs more, 2 on bad arguments or when a program cannot be started or a troubleshooter run
// does not reach its checks.
#include <windows.h>

#include "../bench_report.h"
#include "framework/raii.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The whole run, every check included, may cost this many starts of a program that only loads
// the troubleshooter's libraries.
const double kFloorTargetRatio = 1.5;
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

// Adds the "NAME MS" lines of the per-check benchmark's output in `file` to `times`.
void CollectCheckTimes(HANDLE file, std::map<std::string, std::vector<double>>& times)
{
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read)
        text.append(buffer, read);
    std::istringstream lines(text);
    std::string name;
    double ms = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        if (fields >> name >> ms)
            times[name].push_back(ms);
    }
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 6 || argc > 7 || _wtoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: bench_run RUNS PDIAG TRIVIAL PRINTER FLOOR [CHECKS]\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"pdiag-bench.txt";
    const std::wstring troubleshooter = Quoted(argv[2]) + L" /unattended " + Quoted(std::wstring(L"/printer:") + argv[4]) +
                                        L" " + Quoted(L"/log:" + log);
    const std::wstring trivial = Quoted(argv[3]);
    const std::wstring floor = Quoted(argv[5]);
    const std::wstring checks = argc == 7 ? Quoted(argv[6]) + L" " + Quoted(argv[4]) + L" " + Quoted(log) : std::wstring();

    SECURITY_ATTRIBUTES inherit = {};
    inherit.nLength = sizeof(inherit);
    inherit.bInheritHandle = TRUE;
    UniqueFile nul(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr));
    const std::wstring checksOutput = std::wstring(temp) + L"pdiag-bench-checks.txt";
    UniqueFile checksFile(CreateFileW(checksOutput.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      &inherit, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    std::map<std::string, std::vector<double>> checkTimes;

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

        if (!TimeRun(floor, nul.get(), seconds, code)) {
            std::fprintf(stderr, "cannot start %ls (error %lu)\n", argv[5], GetLastError());
            return 2;
        }
        if (round)
            floorTimes.push_back(seconds);

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

        if (!checks.empty()) {
            DeleteFileW(log.c_str());
            if (!TimeRun(checks, checksFile.get(), seconds, code)) {
                std::fprintf(stderr, "cannot start %ls (error %lu)\n", argv[6], GetLastError());
                return 2;
            }
            CollectCheckTimes(checksFile.get(), checkTimes);
            if (!round)
                checkTimes.clear();
        }
    }
    DeleteFileW(log.c_str());
    DestroyWindow(keepDesktop);

    std::printf("%d runs each, in turns, after one uncounted round\n", runs);
    Report("trivial start", trivialTimes);
    Report("libraries only", floorTimes);
    Report("pdiag run", troubleshooterTimes);
    if (findings)
        std::printf("note: the troubleshooter reported findings (exit code %lu): the installation is not clean\n",
                    findings);
    if (!checkTimes.empty()) {
        std::printf("per check, medians of runs in a process of their own (ms):\n");
        for (const auto& [name, times] : checkTimes)
            std::printf("  %-40s %8.2f\n", name.c_str(), Median(times));
    }
    // The fastest runs are the least disturbed by other load on the machine.
    auto fastest = [](const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); };
    std::printf("libraries only / trivial start: %.2f (medians)\n", Median(floorTimes) / Median(trivialTimes));
    std::printf("pdiag run / trivial start: %.2f (medians), %.2f (fastest runs)\n",
                Median(troubleshooterTimes) / Median(trivialTimes), fastest(troubleshooterTimes) / fastest(trivialTimes));
    const double floorRatio = Median(troubleshooterTimes) / Median(floorTimes);
    std::printf("pdiag run / libraries only: %.2f (medians), %.2f (fastest runs)\n", floorRatio,
                fastest(troubleshooterTimes) / fastest(floorTimes));
    const bool met = PrintTarget(floorRatio <= kFloorTargetRatio,
                                 "troubleshooter run at most %.1fx the libraries-only program (medians): %.2fx",
                                 kFloorTargetRatio, floorRatio);
    return met ? 0 : 1;
}
