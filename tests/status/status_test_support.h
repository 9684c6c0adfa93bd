// Helpers of the status window's tests: the process-wide state set up as the program sets it
// up, registry values read and written directly, and other processes started and awaited.
#pragma once
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "../support/call_site.h"
#include "app/protocol.h"
#include "app/state.h"
#include "monitor/status_rules.h"

// The printer of the installed stand-in package.
inline const wchar_t kPackagePrinter[] = L"Tavik QX2210-2370";
inline const wchar_t kSettingsRoot[] = L"Software\\Tavik\\XERB5\\";

// Clears the process-wide state as a fresh process has it; the heap lock stays initialised.
void ResetStatusState();

// A status block as the status-monitor library sends one: the fields the window reads, in the
// block's order, then its strings. By default a job of this user, sent from another computer,
// printing "report.doc"; an empty string is not in the block (its offset is 0).
struct StatusBlock {
    DWORD device = 0, job = 0, jobId = 0, total = 0, started = 0, printed = 0;
    DWORD estimateMode = 0, fixedA = 0, perPage = 0, fixedB = 0;
    std::wstring machine = L"\\\\OTHERPC", owner = CurrentUser(), document = L"report.doc";

    static std::wstring CurrentUser();
    std::vector<BYTE> Bytes() const;
};

inline StatusBlockView ViewOf(const std::vector<BYTE>& bytes)
{
    return {bytes.data(), DWORD(bytes.size())};
}

// Makes the block the window's copy of the last one, in place of any copy before.
void KeepStatusCopy(const StatusBlock& block);

// Where the package built beside the tests, of their own bitness, is installed: the spooler's
// driver folder of this process's own environment.
inline std::wstring DriverDirectory()
{
    wchar_t path[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(path), sizeof(path), &needed);
    return std::wstring(path) + L"\\3";
}

inline std::optional<DWORD> RegistryDword(HKEY root, const std::wstring& path, const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

inline void SetRegistryDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD value,
                             CallSite site = {})
{
    CallerTrace trace(site);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << "cannot create " << path;
    EXPECT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)),
              ERROR_SUCCESS)
        << "cannot set " << name << " of " << path;
    RegCloseKey(key);
}

// A DWORD registry value as it was, put back (or removed again) when the guard goes, however
// the test ends.
class SavedDword {
public:
    SavedDword(HKEY root, std::wstring path, const wchar_t* name)
        : root_(root), path_(std::move(path)), name_(name), before_(RegistryDword(root_, path_, name_))
    {
    }
    ~SavedDword()
    {
        if (before_)
            SetRegistryDword(root_, path_, name_, *before_);
        else
            RegDeleteKeyValueW(root_, path_.c_str(), name_);
    }
    SavedDword(const SavedDword&) = delete;
    SavedDword& operator=(const SavedDword&) = delete;

private:
    HKEY root_;
    std::wstring path_;
    const wchar_t* name_;
    std::optional<DWORD> before_;
};

// The DLL search directory as it was, put back when the guard goes; none set: the default
// search order again.
class SavedDllDirectory {
public:
    SavedDllDirectory()
    {
        wchar_t path[MAX_PATH] = {};
        const DWORD chars = GetDllDirectoryW(MAX_PATH, path);
        if (chars && chars < MAX_PATH)
            before_ = path;
    }
    ~SavedDllDirectory() { SetDllDirectoryW(before_ ? before_->c_str() : nullptr); }
    SavedDllDirectory(const SavedDllDirectory&) = delete;
    SavedDllDirectory& operator=(const SavedDllDirectory&) = delete;

private:
    std::optional<std::wstring> before_;
};

inline bool RegistryKeyExists(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The per-printer settings key of a printer name as the program forms it.
inline std::wstring SettingsKey(const std::wstring& printer)
{
    return kSettingsRoot + printer + L"\\PSW";
}

// The installed status window program and the command line the package starts it with.
inline std::wstring ProgramPath()
{
    return DriverDirectory() + L"\\pstatus.exe";
}

// A name as the start-up program writes it, without quotes; a quote in it is written as
// Windows programs read one, \" (with the backslashes before it doubled).
inline std::wstring UnquotedName(const std::wstring& name)
{
    std::wstring written;
    size_t backslashes = 0;
    for (wchar_t c : name) {
        if (c == L'"')
            written.append(backslashes + 1, L'\\');
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        written += c;
    }
    return written;
}

inline std::wstring StatusCommand(const std::wstring& printer, const std::wstring& port = L"LPT1:",
                                  const std::wstring& program = ProgramPath())
{
    return L"\"" + program + L"\" !D" + UnquotedName(printer) + L" !P" + UnquotedName(port);
}

// The printer's status window of process `id`, waited for up to 15 s, or only until the
// process ends when its handle is given.
HWND WaitForStatusWindow(DWORD id, const wchar_t* printer = kPackagePrinter, HANDLE process = nullptr);

// A process started with a whole command line; its handle is closed when it goes, and it is
// ended first if it still runs.
struct ChildProcess {
    HANDLE process = nullptr;
    DWORD id = 0;
    DWORD startError = 0;  // why it could not be started
    explicit ChildProcess(const std::wstring& commandLine)
    {
        std::wstring line = commandLine;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            process = info.hProcess;
            id = info.dwProcessId;
        } else {
            startError = GetLastError();
        }
    }
    ~ChildProcess()
    {
        // Ended before the handle goes, so that its files can be removed right after.
        if (process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT && TerminateProcess(process, 99))
            WaitForSingleObject(process, 5000);
        if (process)
            CloseHandle(process);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // The exit code, or nullopt when the process still runs after `ms`.
    std::optional<DWORD> Wait(DWORD ms) const
    {
        DWORD code = 0;
        if (!process || WaitForSingleObject(process, ms) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code))
            return std::nullopt;
        return code;
    }
};

// The status window program started with a whole command line, and its window once it has
// come; nullptr when it did not come within 15 s or the process ended first.
struct StatusWindowProcess {
    explicit StatusWindowProcess(const std::wstring& commandLine, const wchar_t* printer = kPackagePrinter)
        : process(commandLine),
          window(process.process ? WaitForStatusWindow(process.id, printer, process.process) : nullptr)
    {
    }
    // Whether the window came; if not, what can be seen of the process.
    ::testing::AssertionResult Started() const;
    // Posts the window PSWM_QUIT and waits up to `ms` for the process: its exit code, or
    // nullopt when it still runs.
    std::optional<DWORD> QuitAndWait(DWORD ms = 10000) const
    {
        if (window)
            PostMessageW(window, PSWM_QUIT, 0, 0);
        return process.Wait(ms);
    }

    ChildProcess process;
    HWND window;
};

// A folder of the temporary directory for one test, removed with the files in it when the
// guard goes, however the test ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

// Runs a command line to its end (at most `ms`) with its standard output and error caught in
// `out` and `err`; the exit code, or nullopt when it could not start or did not end.
std::optional<DWORD> RunCaught(const std::wstring& commandLine, std::string* out, std::string* err, DWORD ms = 20000);

// The lines the stand-in status-monitor library records, while it is in scope: the library
// appends a line per call to the file named by HKCU\Software\Tavik\XERB5\StandIn "Log".
class LibraryCallLog {
public:
    LibraryCallLog();
    ~LibraryCallLog();
    LibraryCallLog(const LibraryCallLog&) = delete;
    LibraryCallLog& operator=(const LibraryCallLog&) = delete;
    // Every line so far, UTF-8.
    std::vector<std::string> Lines() const;
    // The lines that begin with `prefix`.
    std::vector<std::string> Calls(const std::string& prefix) const;

private:
    std::wstring path_;
};

// The printer the in-process window tests use; its settings are removed around each test.
inline const wchar_t kWindowPrinter[] = L"PSW Window Printer";

// A main window made in this process, as the program makes it, from the installed stand-in
// libraries, for the printer kWindowPrinter on "LPT1:" (or the port a test sets first).
class StatusWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override { OpenWindow(L"LPT1:"); }
    void TearDown() override;
    // Replaces the window by one for another port; the printer's settings are removed first
    // unless a test has just stored some.
    void OpenWindow(const wchar_t* port, bool keepSettings = false, CallSite site = {});
    void CloseWindow();

    HWND window_ = nullptr;
};
