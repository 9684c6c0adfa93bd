// The status window as a real process, started as the package starts it: one window per
// printer, its end through the protocol, and the cases in which it must not start.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/protocol.h"
#include "spooler_printers.h"
#include "status_test_support.h"

namespace {

struct WindowSearch {
    const wchar_t* title;
    int count;
};

BOOL CALLBACK CountTitled(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    wchar_t name[64] = {}, text[300] = {};
    GetClassNameW(window, name, ARRAYSIZE(name));
    GetWindowTextW(window, text, ARRAYSIZE(text));
    if (lstrcmpW(name, PSW_MAIN_CLASS) == 0 && lstrcmpW(text, search->title) == 0)
        ++search->count;
    return TRUE;
}

// The windows of class "PSWM4WindowClass" with this title.
int StatusWindowCount(const wchar_t* title)
{
    WindowSearch search = {title, 0};
    EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

std::wstring Holder(const std::wstring& className, const std::wstring& title, int userData, int lifetimeMs)
{
    return L"\"" WINDOW_HOLDER L"\" \"" + className + L"\" \"" + title + L"\" " + std::to_wstring(userData) + L" " +
           std::to_wstring(lifetimeMs);
}

class StatusProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(StatusWindowCount(kPackagePrinter), 0) << "a status window of an earlier test is still there";
        // Started hidden unless a test says otherwise, as for a fresh user.
        SetRegistryDword(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity", 0);
    }
    SavedDword visibility_{HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity"};
    LibraryCallLog calls_;
};

TEST_F(StatusProcess, QuitSavesTheStateClosesThePrinterAtTheLibraryAndEnds)
{
    StatusWindowProcess status(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(status.Started());
    // Hidden start: polling stops right after the library has the printer.
    EXPECT_FALSE(IsWindowVisible(status.window));
    for (int i = 0; i < 100 && calls_.Calls("SmPsw_StopPolling").empty(); ++i)
        Sleep(50);
    auto lines = calls_.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 18), "SmPsw_OpenPrinter ");
    EXPECT_EQ(lines[0].substr(lines[0].size() - 24), " Tavik QX2210-2370 LPT1:");
    EXPECT_EQ(lines.back(), "SmPsw_StopPolling 1") << "calls: " << lines.size();
    EXPECT_TRUE(calls_.Calls("SmPsw_StartPolling").empty());

    SetRegistryDword(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity", 7);
    EXPECT_EQ(status.QuitAndWait(), 0u);
    EXPECT_EQ(calls_.Lines().back(), "SmPsw_ClosePrinter 1");
    EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity"), 0u);
    // The printer driver was told the code page of the user's texts.
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(kPackagePrinter), &printer, nullptr)) << GetLastError();
    DWORD type = 0, codePage = 0, size = 0;
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<wchar_t*>(L"AnsiCodePage"), &type,
                              reinterpret_cast<BYTE*>(&codePage), sizeof(codePage), &size),
              DWORD(ERROR_SUCCESS));
    EXPECT_EQ(codePage, 936u);
    ClosePrinter(printer);
}

TEST_F(StatusProcess, AWindowLeftVisibleComesBackAndPolls)
{
    SetRegistryDword(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"LastWindowVisiblity", 1);
    StatusWindowProcess status(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(status.Started());
    for (int i = 0; i < 50 && calls_.Calls("SmPsw_StartPolling").empty(); ++i)
        Sleep(100);
    EXPECT_TRUE(IsWindowVisible(status.window));
    EXPECT_EQ(calls_.Calls("SmPsw_StartPolling"), std::vector<std::string>{"SmPsw_StartPolling 1"});
    EXPECT_TRUE(calls_.Calls("SmPsw_StopPolling").empty());
    EXPECT_EQ(status.QuitAndWait(), 0u);
}

TEST_F(StatusProcess, CopyDataQuitEndsTheLoopWithoutDestroyingTheWindow)
{
    StatusWindowProcess status(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(status.Started());
    COPYDATASTRUCT data = {0, 0, nullptr};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(status.window, WM_COPYDATA, PSW_COPYDATA_QUIT, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK,
                        5000, &result);
    EXPECT_EQ(status.process.Wait(10000), 0u);
    // WM_DESTROY would have closed the printer at the library.
    EXPECT_TRUE(calls_.Calls("SmPsw_ClosePrinter").empty());
}

TEST_F(StatusProcess, ASecondStartForTheSamePrinterEndsAtOnce)
{
    StatusWindowProcess first(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(first.Started());
    ChildProcess second(StatusCommand(kPackagePrinter));
    EXPECT_TRUE(second.Wait(10000).has_value());
    EXPECT_EQ(StatusWindowCount(kPackagePrinter), 1);
    EXPECT_EQ(calls_.Calls("SmPsw_OpenPrinter").size(), 1u);
    EXPECT_EQ(first.QuitAndWait(), 0u);
}

TEST_F(StatusProcess, ASecondStartWaitsForAClosingWindowAndThenServes)
{
    // Another instance whose window is being destroyed, for two more seconds.
    ChildProcess closing(Holder(PSW_MAIN_CLASS, kPackagePrinter, PSW_WINDOW_CLOSING, 2000));
    for (int i = 0; i < 50 && !FindWindowW(PSW_MAIN_CLASS, kPackagePrinter); ++i)
        Sleep(100);
    StatusWindowProcess status(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(status.Started());
    // The new window came only after the old one had gone.
    EXPECT_EQ(closing.Wait(0), 0u);
    EXPECT_EQ(status.QuitAndWait(), 0u);
}

TEST_F(StatusProcess, ARelaunchReplacesTheWindowByAFreshCopy)
{
    StatusWindowProcess status(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(status.Started());
    PostMessageW(status.window, PSWM_RELAUNCH, 0, 0);
    EXPECT_EQ(status.process.Wait(10000), 0u);
    // The copy serves the same printer and port, in a process of its own.
    HWND copy = nullptr;
    for (int i = 0; i < 100 && !copy; ++i) {
        copy = FindWindowW(PSW_MAIN_CLASS, kPackagePrinter);
        if (!copy)
            Sleep(100);
    }
    ASSERT_TRUE(copy);
    DWORD copyId = 0;
    GetWindowThreadProcessId(copy, &copyId);
    EXPECT_NE(copyId, status.process.id);
    auto opens = calls_.Calls("SmPsw_OpenPrinter");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[1].substr(opens[1].size() - 24), " Tavik QX2210-2370 LPT1:");
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, copyId);
    PostMessageW(copy, PSWM_QUIT, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
}

// With every core busy, the old window may handle its quit message late; the copy still waits
// for it instead of finding a live window and ending, so one window serves the printer after
// every relaunch.
TEST_F(StatusProcess, ARelaunchUnderLoadLeavesExactlyOneWindow)
{
    // A busy thread on each core while the test runs, stopped however the test ends.
    struct Load {
        std::atomic<bool> busy{true};
        std::vector<std::thread> threads;
        Load()
        {
            for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
                threads.emplace_back([this] {
                    while (busy.load(std::memory_order_relaxed)) {
                    }
                });
        }
        ~Load()
        {
            busy = false;
            for (std::thread& thread : threads)
                thread.join();
        }
    };
    auto load = std::make_unique<Load>();
    StatusWindowProcess first(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(first.Started());
    HWND window = first.window;
    DWORD id = first.process.id;
    for (int relaunch = 1; relaunch <= 4 && window; ++relaunch) {
        SCOPED_TRACE(testing::Message() << "relaunch " << relaunch);
        HANDLE old = OpenProcess(SYNCHRONIZE, FALSE, id);
        ASSERT_TRUE(old) << GetLastError();
        PostMessageW(window, PSWM_RELAUNCH, 0, 0);
        EXPECT_EQ(WaitForSingleObject(old, 20000), WAIT_OBJECT_0) << "the old window's process ended";
        CloseHandle(old);
        HWND copy = nullptr;
        for (int i = 0; i < 200 && !copy; ++i) {
            copy = FindWindowW(PSW_MAIN_CLASS, kPackagePrinter);
            if (!copy)
                Sleep(100);
        }
        ASSERT_TRUE(copy) << "no window serves the printer";
        EXPECT_EQ(StatusWindowCount(kPackagePrinter), 1);
        window = copy;
        GetWindowThreadProcessId(copy, &id);
    }
    load.reset();
    HANDLE last = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageW(window, PSWM_QUIT, 0, 0);
    EXPECT_EQ(WaitForSingleObject(last, 10000), WAIT_OBJECT_0);
    CloseHandle(last);
}

// A library that cannot report yet is asked again on the retry timer until it answers, and then
// no more; the user's show request meanwhile starts no polling.
TEST_F(StatusProcess, AStatusLibraryNotReadyIsAskedAgainUntilItAnswers)
{
    const wchar_t kStandInKey[] = L"Software\\Tavik\\XERB5\\StandIn";
    const SavedDword notReady(HKEY_CURRENT_USER, kStandInKey, L"NotReady");
    SetRegistryDword(HKEY_CURRENT_USER, kStandInKey, L"NotReady", 2);
    const auto requests = [this] { return calls_.Calls("SmPsw_GetPrinterStatus"); };
    StatusWindowProcess status(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(status.Started());
    for (int i = 0; i < 100 && requests().empty(); ++i)
        Sleep(50);
    SendMessageW(status.window, PSWM_SHOW, 0, 0);  // as the notification-area program shows the window
    for (int i = 0; i < 200 && requests().size() < 3; ++i)
        Sleep(50);
    Sleep(STATUS_RETRY_PERIOD_MS + 500);  // one retry period more: no further request
    EXPECT_EQ(requests(), (std::vector<std::string>{"SmPsw_GetPrinterStatus 1 1", "SmPsw_GetPrinterStatus 1 0",
                                                    "SmPsw_GetPrinterStatus 1 0"}));
    EXPECT_TRUE(calls_.Calls("SmPsw_StartPolling").empty());
    EXPECT_EQ(status.QuitAndWait(), 0u);
}

TEST_F(StatusProcess, ARelaunchThatCannotStartACopyKeepsTheWindow)
{
    // The program runs from a folder of its own; once its file is renamed no copy can start.
    const ScratchFolder scratch(L"psw-relaunch");
    const std::wstring& folder = scratch.path();
    for (const wchar_t* name : {L"\\pstatus.exe", L"\\XERB5PMN.DLL", L"\\XERB5SMK.DLL"})
        ASSERT_TRUE(CopyFileW((DriverDirectory() + name).c_str(), (folder + name).c_str(), FALSE)) << GetLastError();
    StatusWindowProcess status(StatusCommand(kPackagePrinter, L"LPT1:", folder + L"\\pstatus.exe"));
    ASSERT_TRUE(status.Started());
    ASSERT_TRUE(MoveFileW((folder + L"\\pstatus.exe").c_str(), (folder + L"\\renamed.exe").c_str()))
        << GetLastError();
    PostMessageW(status.window, PSWM_RELAUNCH, 0, 0);
    EXPECT_FALSE(status.process.Wait(1500).has_value()) << "the window must not end without a replacement";
    EXPECT_TRUE(IsWindow(status.window));
    EXPECT_EQ(status.QuitAndWait(), 0u);
}

TEST_F(StatusProcess, TheLastWindowToCloseEndsTheNotificationAreaProgram)
{
    ChildProcess icon(Holder(PSW_NOTIFY_CLASS, L"-", 0, 20000));
    for (int i = 0; i < 50 && !FindWindowW(PSW_NOTIFY_CLASS, nullptr); ++i)
        Sleep(100);
    StatusWindowProcess status(StatusCommand(kPackagePrinter));
    ASSERT_TRUE(status.Started());
    PostMessageW(status.window, PSWM_CLOSE_INSTANCE, 0, 0);
    EXPECT_EQ(status.process.Wait(10000), 0u);
    EXPECT_EQ(icon.Wait(5000), 27u);
}

TEST_F(StatusProcess, APrinterOfAnotherDriverGetsNoWindow)
{
    const wchar_t driver[] = L"PSW Other Driver", printer[] = L"PSW Other Printer";
    AddDriver(driver);
    SetDriverMonitor(driver, L"Other Monitor");
    AddTestPrinter(printer, driver, L"LPT2:");
    {
        ChildProcess status(StatusCommand(printer, L"LPT2:"));
        EXPECT_EQ(status.Wait(10000), 0u);
    }
    EXPECT_EQ(StatusWindowCount(printer), 0);
    EXPECT_TRUE(calls_.Lines().empty()) << "the library is never asked";
    DeletePrinterNamed(printer);
    DeleteDriver(driver);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kSettingsRoot + std::wstring(printer)).c_str());
}

TEST_F(StatusProcess, AnUnknownPrinterGetsNoWindowButItsWatchingSettled)
{
    // Unknown printers end before any window, but the machine-wide "StatusSense" is settled.
    const wchar_t printer[] = L"PSW Unknown Printer";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kSettingsRoot + std::wstring(printer)).c_str());
    ChildProcess status(StatusCommand(printer));
    EXPECT_EQ(status.Wait(10000), 0u);
    EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, SettingsKey(printer), L"StatusSense"), 1u);
    // A stored choice is kept.
    SetRegistryDword(HKEY_LOCAL_MACHINE, SettingsKey(printer), L"StatusSense", 0);
    ChildProcess again(StatusCommand(printer));
    EXPECT_EQ(again.Wait(10000), 0u);
    EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, SettingsKey(printer), L"StatusSense"), 0u);
    EXPECT_TRUE(calls_.Lines().empty());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kSettingsRoot + std::wstring(printer)).c_str());
}

TEST_F(StatusProcess, AStatusLibraryWithoutOneEntryPointEndsWithOne)
{
    // The program with the presentation library and an incomplete status library beside it.
    const ScratchFolder scratch(L"psw-incomplete");
    const std::wstring& folder = scratch.path();
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), (folder + L"\\pstatus.exe").c_str(), FALSE)) << GetLastError();
    ASSERT_TRUE(CopyFileW((DriverDirectory() + L"\\XERB5PMN.DLL").c_str(), (folder + L"\\XERB5PMN.DLL").c_str(), FALSE))
        << GetLastError();
    ASSERT_TRUE(CopyFileW(L"" INCOMPLETE_LIBRARY, (folder + L"\\XERB5SMK.DLL").c_str(), FALSE)) << GetLastError();
    {
        ChildProcess status(StatusCommand(kPackagePrinter, L"LPT1:", folder + L"\\pstatus.exe"));
        EXPECT_EQ(status.Wait(10000), 1u);
    }
    EXPECT_EQ(StatusWindowCount(kPackagePrinter), 0);
}

}  // namespace
