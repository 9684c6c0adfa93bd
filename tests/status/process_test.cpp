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
#include "ui/startup.h"
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

TEST_F(StatusProcess, TheWindowIsMadeTopmostOnlyWhenItWasLeftSo)
{
    const SavedDword onTop(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"AlwaysOnTop");
    size_t starts = 0;
    for (DWORD value : {1u, 0u}) {
        ++starts;
        SetRegistryDword(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"AlwaysOnTop", value);
        StatusWindowProcess status(StatusCommand(kPackagePrinter));
        ASSERT_TRUE(status.Started()) << "AlwaysOnTop " << value;
        // The printer goes to the library once the window is made and placed.
        for (int i = 0; i < 100 && calls_.Calls("SmPsw_OpenPrinter").size() < starts; ++i)
            Sleep(50);
        EXPECT_EQ((GetWindowLongW(status.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, value != 0)
            << "AlwaysOnTop " << value;
        EXPECT_EQ(status.QuitAndWait(), 0u);
    }
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

// The machine-wide watching default and the printer's code page are written only by a start
// that serves the printer.
TEST_F(StatusProcess, OnlyAStartThatServesThePrinterWritesToTheMachine)
{
    const wchar_t printer[] = L"PSW Unknown Printer";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kSettingsRoot + std::wstring(printer)).c_str());
    ChildProcess unknown(StatusCommand(printer));
    EXPECT_EQ(unknown.Wait(10000), 0u);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kSettingsRoot + std::wstring(printer)));
    EXPECT_TRUE(calls_.Lines().empty());

    const SavedDword sense(HKEY_LOCAL_MACHINE, SettingsKey(kPackagePrinter), L"StatusSense");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SettingsKey(kPackagePrinter).c_str(), L"StatusSense");
    for (DWORD stored : {DWORD(99), DWORD(0)}) {
        SCOPED_TRACE(testing::Message() << "stored " << stored);
        if (stored != 99)
            SetRegistryDword(HKEY_LOCAL_MACHINE, SettingsKey(kPackagePrinter), L"StatusSense", stored);
        StatusWindowProcess status(StatusCommand(kPackagePrinter));
        ASSERT_TRUE(status.Started());
        EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, SettingsKey(kPackagePrinter), L"StatusSense"),
                  stored == 99 ? 1u : stored);
        EXPECT_EQ(status.QuitAndWait(), 0u);
    }
}

// Handles open to a kernel object, as the system counts them.
ULONG OpenHandles(HANDLE object)
{
    struct {
        ULONG attributes;
        ACCESS_MASK grantedAccess;
        ULONG handleCount, pointerCount;
        ULONG reserved[10];
    } basic = {};
    using QueryObject = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    const int objectBasicInformation = 0;
    ULONG length = 0;
    return query && query(object, objectBasicInformation, &basic, sizeof(basic), &length) >= 0 ? basic.handleCount
                                                                                                 : 0;
}

// Of two starts of a printer at the same moment, the one that comes while the other is between
// looking for a window and having made its own waits for it, then finds its window and ends.
TEST_F(StatusProcess, AStartWaitsForAnotherStartOfThePrinterAtWork)
{
    // This test plays the other start: it holds the printer's start lock.
    HANDLE lock = LockPrinterStart(kPackagePrinter);
    ASSERT_TRUE(lock);
    ChildProcess second(StatusCommand(kPackagePrinter));
    // The second start has come to the lock once it holds a handle to it as well.
    for (int i = 0; i < 150 && OpenHandles(lock) < 2 && !second.Wait(0); ++i)
        Sleep(100);
    EXPECT_EQ(OpenHandles(lock), 2u) << "the second start did not wait for the first";
    ChildProcess first(Holder(PSW_MAIN_CLASS, kPackagePrinter, PSW_WINDOW_LIVE, 20000));
    for (int i = 0; i < 50 && !FindWindowW(PSW_MAIN_CLASS, kPackagePrinter); ++i)
        Sleep(100);
    UnlockPrinterStart(lock);
    EXPECT_EQ(second.Wait(10000), 0u);
    EXPECT_EQ(StatusWindowCount(kPackagePrinter), 1);
    EXPECT_TRUE(calls_.Calls("SmPsw_OpenPrinter").empty());
}

struct DialogSearch {
    DWORD id;
    HWND found;
};

// EnumWindows' callback, a plain function: a 32-bit build calls it with the stdcall convention.
BOOL CALLBACK FindShownDialog(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<DialogSearch*>(data);
    wchar_t name[16] = {};
    DWORD owner = 0;
    GetClassNameW(window, name, ARRAYSIZE(name));
    GetWindowThreadProcessId(window, &owner);
    // Shown only once its texts are in place.
    if (owner == s->id && lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window))
        s->found = window;
    return !s->found;
}

// The first shown top-level dialog window of a process (a message box), for up to 15 s;
// nullptr when none came or the process ended first.
HWND WaitForDialogOf(const ChildProcess& process)
{
    DialogSearch search = {process.id, nullptr};
    for (int i = 0; i < 150 && !search.found && !process.Wait(0); ++i) {
        EnumWindows(FindShownDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(100);
    }
    return search.found;
}

// The texts of a dialog's static controls, joined by line feeds.
std::wstring StaticTexts(HWND dialog)
{
    std::wstring texts;
    for (HWND child = FindWindowExW(dialog, nullptr, L"Static", nullptr); child;
         child = FindWindowExW(dialog, child, L"Static", nullptr)) {
        wchar_t text[512] = {};
        if (GetWindowTextW(child, text, ARRAYSIZE(text)))
            texts += (texts.empty() ? L"" : L"\n") + std::wstring(text);
    }
    return texts;
}

// A library that cannot be loaded is named in a message that says what to do; the start ends
// with exit code 1 and has written nothing.
TEST_F(StatusProcess, ALibraryThatCannotBeLoadedIsNamedAndNothingIsWritten)
{
    const std::wstring own = sizeof(void*) == 8 ? L"64" : L"32", other = sizeof(void*) == 8 ? L"32" : L"64";
    const std::wstring installed = DriverDirectory();
    const struct {
        std::wstring presentation, status;   // copied beside the program; empty: none
        std::wstring message;
    } rows[] = {
        {L"" OTHER_BITNESS_LIBRARY, installed + L"\\XERB5SMK.DLL",
         L"无法加载状态库 XERB5PMN.DLL:它是 " + other + L" 位的程序库,而本程序是 " + own +
             L" 位的。请重新安装与本 Windows 相符的打印机驱动程序包。"},
        {installed + L"\\XERB5PMN.DLL", L"" OTHER_BITNESS_LIBRARY,
         L"无法加载状态库 XERB5SMK.DLL:它是 " + other + L" 位的程序库,而本程序是 " + own +
             L" 位的。请重新安装与本 Windows 相符的打印机驱动程序包。"},
        {installed + L"\\XERB5PMN.DLL", L"", L"无法加载状态库 XERB5SMK.DLL。请重新安装打印机驱动程序包。"},
    };
    const SavedDword sense(HKEY_LOCAL_MACHINE, SettingsKey(kPackagePrinter), L"StatusSense");
    const SavedDword left(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"Left");
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SettingsKey(kPackagePrinter).c_str(), L"StatusSense");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter).c_str(), L"Left");
        const ScratchFolder scratch(L"psw-unloadable");
        const std::wstring& folder = scratch.path();
        ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), (folder + L"\\pstatus.exe").c_str(), FALSE)) << GetLastError();
        ASSERT_TRUE(CopyFileW(row.presentation.c_str(), (folder + L"\\XERB5PMN.DLL").c_str(), FALSE))
            << GetLastError();
        if (!row.status.empty()) {
            ASSERT_TRUE(CopyFileW(row.status.c_str(), (folder + L"\\XERB5SMK.DLL").c_str(), FALSE)) << GetLastError();
        }
        ChildProcess status(StatusCommand(kPackagePrinter, L"LPT1:", folder + L"\\pstatus.exe"));
        HWND box = WaitForDialogOf(status);
        ASSERT_TRUE(box) << "no message; exit code " << status.Wait(0).value_or(STILL_ACTIVE);
        EXPECT_EQ(StaticTexts(box), row.message);
        wchar_t title[64] = {};
        GetWindowTextW(box, title, ARRAYSIZE(title));
        EXPECT_STREQ(title, L"打印机状态窗口");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(status.Wait(10000), 1u);
        EXPECT_EQ(StatusWindowCount(kPackagePrinter), 0);
        EXPECT_EQ(RegistryDword(HKEY_LOCAL_MACHINE, SettingsKey(kPackagePrinter), L"StatusSense"), std::nullopt);
        EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, SettingsKey(kPackagePrinter), L"Left"), std::nullopt);
    }
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
