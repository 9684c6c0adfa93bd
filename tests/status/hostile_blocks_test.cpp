// Status blocks from another process are not to be trusted: hundreds of malformed ones (any
// length, string offsets anywhere, no terminators, renames without end) leave the installed
// status window free of bad reads, answering, named as its printer and ending as it should.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/protocol.h"
#include "status_test_support.h"

namespace {

// The same seed sends the same messages; a failure names it so that the run can be repeated.
constexpr DWORD kSeed = 20261208;
constexpr int kMessages = 1000;
constexpr DWORD kAnswerMs = 5000;
// The only letters of the sender's new printer names.
const wchar_t kRenameLetters[] = L"PSWH";

// The status window's process, with this test as its debugger. A bad read inside a window
// procedure that another process's SendMessage called is ignored by Wine (as by 64-bit
// Windows): the window would live on with the message's handling cut short. As its debugger
// the test sees every access violation, handled or not.
class DebuggedProcess {
public:
    explicit DebuggedProcess(const std::wstring& commandLine)
    {
        HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        // Debug events go to the thread that started the process.
        debugger_ = std::thread([this, commandLine, started] { Debug(commandLine, started); });
        WaitForSingleObject(started, INFINITE);
        CloseHandle(started);
    }
    ~DebuggedProcess()
    {
        if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_, 99);
        debugger_.join();
        if (process_)
            CloseHandle(process_);
    }
    DebuggedProcess(const DebuggedProcess&) = delete;
    DebuggedProcess& operator=(const DebuggedProcess&) = delete;

    DWORD Id() const { return id_; }
    // The exit code, or nullopt when the process still runs after `ms`.
    std::optional<DWORD> Wait(DWORD ms) const
    {
        DWORD code = 0;
        if (!process_ || WaitForSingleObject(process_, ms) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code))
            return std::nullopt;
        return code;
    }
    // "module+offset reading address" for each access violation so far.
    std::vector<std::string> AccessViolations() const
    {
        std::lock_guard<std::mutex> lock(lock_);
        return violations_;
    }

private:
    void Debug(std::wstring line, HANDLE started)
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        const bool running = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                                            nullptr, nullptr, &startup, &info) != FALSE;
        if (running) {
            CloseHandle(info.hThread);
            process_ = info.hProcess;
            id_ = info.dwProcessId;
        }
        SetEvent(started);
        for (bool ended = !running; !ended;) {
            DEBUG_EVENT event = {};
            if (!WaitForDebugEvent(&event, INFINITE))
                break;
            DWORD status = DBG_CONTINUE;
            switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXCEPTION_DEBUG_EVENT:
                // The process handles its exceptions as it would without a debugger.
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                    status = DBG_EXCEPTION_NOT_HANDLED;
                if (event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_ACCESS_VIOLATION &&
                    event.u.Exception.dwFirstChance)
                    Record(event.u.Exception.ExceptionRecord);
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                ended = true;
                break;
            }
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        }
    }

    void Record(const EXCEPTION_RECORD& record)
    {
        const auto address = reinterpret_cast<ULONG_PTR>(record.ExceptionAddress);
        std::ostringstream text;
        text << ModuleAt(address) << " reading 0x" << std::hex << record.ExceptionInformation[1];
        std::lock_guard<std::mutex> lock(lock_);
        violations_.push_back(text.str());
    }

    // "MODULE+0xOFFSET" of an address of the debugged process.
    std::string ModuleAt(ULONG_PTR address) const
    {
        HMODULE modules[256];
        DWORD bytes = 0;
        std::ostringstream text;
        if (EnumProcessModules(process_, modules, sizeof(modules), &bytes))
            for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < ARRAYSIZE(modules); ++i) {
                MODULEINFO info = {};
                char name[MAX_PATH] = "";
                const auto base = reinterpret_cast<ULONG_PTR>(modules[i]);
                if (GetModuleInformation(process_, modules[i], &info, sizeof(info)) && address >= base &&
                    address - base < info.SizeOfImage && GetModuleBaseNameA(process_, modules[i], name, MAX_PATH)) {
                    text << name << "+0x" << std::hex << address - base;
                    return text.str();
                }
            }
        text << "0x" << std::hex << address;
        return text.str();
    }

    std::thread debugger_;
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    mutable std::mutex lock_;
    std::vector<std::string> violations_;
};

// Sends a rename of `bytes` bytes of `name`, which need not hold its terminator.
LRESULT Rename(HWND window, const wchar_t* name, DWORD bytes)
{
    COPYDATASTRUCT data = {PSW_DATA_RENAME, bytes, const_cast<wchar_t*>(name)};
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerMs,
                               &result);
}

std::wstring Title(HWND window)
{
    wchar_t text[300] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

// The window saves its settings under whatever name it was given: remove the keys of the
// sender's names (and of the test's own renames, made of the same letters).
void RemoveSettingsOfRenamedPrinters()
{
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsRoot, 0, KEY_READ | KEY_WRITE, &root) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;;) {
        // Wine keeps names longer than the 255 characters Windows allows.
        wchar_t name[1024];
        DWORD chars = ARRAYSIZE(name);
        const LONG result = RegEnumKeyExW(root, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        const bool renamed =
            result == ERROR_SUCCESS && std::wstring(name).find_first_not_of(kRenameLetters) == std::wstring::npos;
        if (!renamed || RegDeleteTreeW(root, name) != ERROR_SUCCESS)
            ++index;
    }
    RegCloseKey(root);
}

class HostileStatusBlocks : public ::testing::Test {
protected:
    // Shown, so that every block is also painted.
    void SetUp() override
    {
        SetRegistryDword(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity", 1);
    }
    void TearDown() override { RemoveSettingsOfRenamedPrinters(); }
    SavedDword visibility_{HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity"};
    LibraryCallLog calls_;
};

TEST_F(HostileStatusBlocks, LeaveTheWindowAnsweringNamedAndEndingCleanly)
{
    DebuggedProcess status(StatusCommand(kPackagePrinter));
    HWND window = WaitForStatusWindow(status.Id());
    ASSERT_TRUE(window);

    ChildProcess sender(L"\"" HOSTILE_SENDER L"\" \"" + std::wstring(kPackagePrinter) + L"\" " +
                        std::to_wstring(kSeed) + L" " + std::to_wstring(kMessages));
    EXPECT_EQ(sender.Wait(120000), 0u) << "seed " << kSeed << ": not every message was answered";
    ASSERT_FALSE(status.Wait(0).has_value()) << "seed " << kSeed << ": the status window's process ended";
    std::string violations;
    for (const std::string& violation : status.AccessViolations())
        violations += "\n  " + violation;
    EXPECT_TRUE(violations.empty()) << "seed " << kSeed << ": bad reads in the window's process:" << violations;
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result))
        << "seed " << kSeed << ", error " << GetLastError();

    // A name is read only within the message's bytes: an odd count drops the half character,
    // a missing terminator ends the name at the last whole one.
    const wchar_t unterminated[] = L"PSWHPSWHPSWH";
    ASSERT_TRUE(Rename(window, unterminated, 4 * sizeof(wchar_t) + 1)) << GetLastError();
    EXPECT_EQ(Title(window), L"PSWH");
    ASSERT_TRUE(Rename(window, unterminated, 0)) << GetLastError();
    EXPECT_EQ(Title(window), L"");
    ASSERT_TRUE(Rename(window, kPackagePrinter, sizeof(kPackagePrinter))) << GetLastError();
    EXPECT_EQ(Title(window), kPackagePrinter) << "seed " << kSeed;
    const auto renames = calls_.Calls("SmPsw_ChangePrinterName");
    ASSERT_FALSE(renames.empty());
    EXPECT_EQ(renames.back(), "SmPsw_ChangePrinterName 1 Tavik QX2210-2370");

    PostMessageW(window, PSWM_QUIT, 0, 0);
    EXPECT_EQ(status.Wait(10000), 0u) << "seed " << kSeed;
}

}  // namespace
