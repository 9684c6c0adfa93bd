// The stand-in status-monitor library XERB5SMK.DLL, loaded from the payload folder: the
// status blocks its simulated printer sends to a window of this thread, the job requests
// that act on a playing job, and the record of every call.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "package/package_probe.h"
#include "package/standin_library.h"
#include "raii.h"

using namespace probe;

namespace {

const wchar_t kStandInKey[] = L"Software\\Tavik\\XERB5\\StandIn";
const wchar_t kTestPrinter[] = L"Stand-in test printer";

using OpenPrinterFn = DWORD(WINAPI*)(HWND, const wchar_t*, const wchar_t*, DWORD*);
using HandleFn = DWORD(WINAPI*)(DWORD);
using StatusFn = DWORD(WINAPI*)(DWORD, DWORD);
using JobRequestFn = DWORD(WINAPI*)(DWORD, DWORD, DWORD);
using RenameFn = DWORD(WINAPI*)(DWORD, const wchar_t*);

DWORD Field(const std::vector<BYTE>& block, DWORD offset)
{
    DWORD value = 0;
    if (offset + 4 <= block.size())
        CopyMemory(&value, &block[offset], 4);
    return value;
}

// The string at the offset held in `offsetField`; "<none>" for offset 0, "<bad>" when it
// does not lie inside the block.
std::wstring Text(const std::vector<BYTE>& block, DWORD offsetField)
{
    const DWORD offset = Field(block, offsetField);
    if (!offset)
        return L"<none>";
    std::wstring text;
    for (DWORD at = offset; at + 2 <= block.size(); at += 2) {
        wchar_t c;
        CopyMemory(&c, &block[at], 2);
        if (!c)
            return text;
        text += c;
    }
    return L"<bad>";
}

struct Received {
    WPARAM wParam;
    ULONG_PTR kind;
    std::vector<BYTE> block;
    DWORD device() const { return Field(block, 0x04); }
    DWORD job() const { return Field(block, 0x08); }
    DWORD started() const { return Field(block, 0x3C); }
    DWORD printed() const { return Field(block, 0x40); }
    // job flags, device flags, pages started, pages printed
    std::tuple<DWORD, DWORD, DWORD, DWORD> State() const { return {job(), device(), started(), printed()}; }
};

std::vector<Received>* g_received;

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA && g_received) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const BYTE* bytes = static_cast<const BYTE*>(data->lpData);
        g_received->push_back({wParam, data->dwData, std::vector<BYTE>(bytes, bytes + data->cbData)});
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

void SetStandInValue(const wchar_t* name, const std::wstring& value)
{
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kStandInKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                             key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

void DeleteStandInValue(const wchar_t* name)
{
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStandInKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        RegDeleteValueW(key.get(), name);
}

class StatusLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_received = &received_;
        module_ = LoadLibraryW((PayloadDir() + L"\\XERB5SMK.DLL").c_str());
        ASSERT_TRUE(module_) << GetLastError();
        open_ = Export<OpenPrinterFn>(module_, "SmPsw_OpenPrinter");
        close_ = Export<HandleFn>(module_, "SmPsw_ClosePrinter");
        status_ = Export<StatusFn>(module_, "SmPsw_GetPrinterStatus");
        request_ = Export<JobRequestFn>(module_, "SmPsw_JobRequest");
        rename_ = Export<RenameFn>(module_, "SmPsw_ChangePrinterName");
        startPolling_ = Export<HandleFn>(module_, "SmPsw_StartPolling");
        stopPolling_ = Export<HandleFn>(module_, "SmPsw_StopPolling");
        ASSERT_TRUE(open_ && close_ && status_ && request_ && rename_ && startPolling_ && stopPolling_);

        WNDCLASSW sink = {};
        sink.lpfnWndProc = SinkProc;
        sink.hInstance = GetModuleHandleW(nullptr);
        sink.lpszClassName = L"StandInSink";
        RegisterClassW(&sink);
        window_ = CreateWindowExW(0, L"StandInSink", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(window_);
        DeleteStandInValue(kTestPrinter);
        DeleteStandInValue(L"Log");
    }

    void TearDown() override
    {
        if (handle_)
            close_(handle_);
        if (window_)
            DestroyWindow(window_);
        Pump(50);
        if (module_)
            FreeLibrary(module_);
        g_received = nullptr;
        DeleteStandInValue(kTestPrinter);
        DeleteStandInValue(L"Log");
    }

    void Open()
    {
        ASSERT_NE(0u, open_(window_, kTestPrinter, L"LPT1:", &handle_));
        ASSERT_NE(0u, handle_);
        ASSERT_TRUE(WaitFor(1)) << "no ready block";
    }

    // Pumps until `count` blocks arrived in all, at most `timeout` ms.
    bool WaitFor(size_t count, DWORD timeout = 10000)
    {
        const DWORD start = GetTickCount();
        while (received_.size() < count && GetTickCount() - start < timeout)
            Pump(10);
        return received_.size() >= count;
    }

    // Pumps until a block satisfies `test`; its index, or -1 after `timeout` ms.
    template <typename Test>
    int WaitUntil(Test test, size_t from = 0, DWORD timeout = 10000)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            for (size_t i = from; i < received_.size(); ++i)
                if (test(received_[i]))
                    return static_cast<int>(i);
            if (GetTickCount() - start >= timeout)
                return -1;
            Pump(10);
        }
    }

    std::vector<std::tuple<DWORD, DWORD, DWORD, DWORD>> States(size_t from = 0) const
    {
        std::vector<std::tuple<DWORD, DWORD, DWORD, DWORD>> states;
        for (size_t i = from; i < received_.size(); ++i)
            states.push_back(received_[i].State());
        return states;
    }

    HMODULE module_ = nullptr;
    HWND window_ = nullptr;
    DWORD handle_ = 0;
    std::vector<Received> received_;
    OpenPrinterFn open_ = nullptr;
    HandleFn close_ = nullptr, startPolling_ = nullptr, stopPolling_ = nullptr;
    StatusFn status_ = nullptr;
    JobRequestFn request_ = nullptr;
    RenameFn rename_ = nullptr;
};

using State = std::tuple<DWORD, DWORD, DWORD, DWORD>;
const State kIdle{0, 0, 0, 0};

bool IsIdleAfterJob(const Received& r) { return r.State() == kIdle && r.job() == 0 && Field(r.block, 0x34) == 0; }

}  // namespace

TEST_F(StatusLibrary, OpeningSendsOneReadyBlockAndEveryStatusRequestSendsItAgain)
{
    Open();
    const Received ready = received_[0];  // a copy: received_ grows below
    EXPECT_EQ(0u, ready.wParam);
    EXPECT_EQ(1u, ready.kind);
    EXPECT_EQ(kIdle, ready.State());
    EXPECT_EQ(0u, Field(ready.block, 0x34)) << "no job";
    EXPECT_EQ(ready.block.size(), Field(ready.block, 0x00));
    EXPECT_EQ(L"<none>", Text(ready.block, 0x64));
    Pump(300);
    EXPECT_EQ(1u, received_.size()) << "an idle printer says it once";

    EXPECT_NE(0u, status_(handle_, 1));
    EXPECT_NE(0u, status_(handle_, 0));
    ASSERT_TRUE(WaitFor(3));
    EXPECT_EQ(ready.block, received_[1].block);
    EXPECT_EQ(ready.block, received_[2].block);
    EXPECT_EQ(0u, status_(handle_ + 100, 1)) << "unknown handle";
}

TEST_F(StatusLibrary, ScriptedJobReportsItsPagesAnErrorAndItsEndInOrder)
{
    Open();
    SetStandInValue(kTestPrinter, L"pages=3 interval=150 error=paperout@2 for=200 doc=\"季度 报告.doc\" "
                                  L"owner=张三 machine=\\\\PC7 id=7");
    const int idle = WaitUntil(IsIdleAfterJob, 1);
    ASSERT_GT(idle, 0);
    const std::vector<State> expected = {
        {0x10028, 0, 0, 0}, {0x28, 0, 0, 0}, {0x8, 0, 0, 0},  // job start, waiting for data, preparing
        {0x8, 0, 1, 0},     {0x8, 0, 1, 1},                   // page 1
        {0x8, 0, 2, 1},     {0x8, 0x3, 2, 1}, {0x8, 0, 2, 1}, // page 2 started, paper out, recovered
        {0x8, 0, 2, 2},     {0x8, 0, 3, 2},   {0x8, 0, 3, 3}, // page 2 out, page 3
        {0x1, 0, 3, 3},     kIdle,                            // done, then idle
    };
    EXPECT_EQ(expected, States(1));

    const std::vector<BYTE>& start = received_[1].block;
    EXPECT_EQ(7u, Field(start, 0x34));
    EXPECT_EQ(3u, Field(start, 0x38));
    EXPECT_EQ(1u, Field(start, 0x44));
    EXPECT_EQ(150u, Field(start, 0x4C)) << "time per page";
    EXPECT_NE(0u, Field(start, 0x48));
    EXPECT_NE(0u, Field(start, 0x50));
    EXPECT_EQ(0x68u, Field(start, 0x5C)) << "strings follow the fixed part";
    EXPECT_EQ(L"\\\\PC7", Text(start, 0x5C));
    EXPECT_EQ(L"张三", Text(start, 0x60));
    EXPECT_EQ(L"季度 报告.doc", Text(start, 0x64));
    EXPECT_EQ(0x68u + (6 + 3 + 10) * 2, Field(start, 0x00));
    EXPECT_EQ(start.size(), Field(start, 0x00));
    const std::vector<BYTE>& done = received_[12].block;
    EXPECT_EQ(L"季度 报告.doc", Text(done, 0x64)) << "the job end still names the document";
    EXPECT_EQ(7u, Field(done, 0x34));

    // The value is taken: no second run of the job.
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kStandInKey, 0, KEY_QUERY_VALUE, key.put()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key.get(), kTestPrinter, nullptr, nullptr, nullptr, nullptr));
    const size_t count = received_.size();
    Pump(500);
    EXPECT_EQ(count, received_.size());
}

// As a demonstration starts a job in a running status window: with reg.exe.
TEST_F(StatusLibrary, ScriptWrittenByAnotherProcessStartsTheJob)
{
    Open();
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(0u, RunProgram(std::wstring(system) + L"\\reg.exe",
                             L"add HKCU\\Software\\Tavik\\XERB5\\StandIn /v \"Stand-in test printer\" "
                             L"/d \"pages=1 interval=60 doc=远程.doc\" /f"));
    const int idle = WaitUntil(IsIdleAfterJob, 1);
    ASSERT_GT(idle, 0);
    EXPECT_EQ(L"远程.doc", Text(received_[1].block, 0x64));
}

TEST_F(StatusLibrary, JobOfTheCurrentUserAndComputerByDefault)
{
    Open();
    SetStandInValue(kTestPrinter, L"pages=1 interval=60");
    ASSERT_GT(WaitUntil(IsIdleAfterJob, 1), 0);
    wchar_t user[256], computer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD userLength = 256, computerLength = MAX_COMPUTERNAME_LENGTH + 1;
    GetUserNameW(user, &userLength);
    GetComputerNameW(computer, &computerLength);
    EXPECT_EQ(std::wstring(L"\\\\") + computer, Text(received_[1].block, 0x5C));
    EXPECT_EQ(user, Text(received_[1].block, 0x60));
    EXPECT_EQ(1u, Field(received_[1].block, 0x34)) << "first job of the session";
}

TEST_F(StatusLibrary, CancelRequestWithTheJobsIdEndsItAsCancelled)
{
    Open();
    SetStandInValue(kTestPrinter, L"pages=40 interval=100 id=9");
    ASSERT_GE(WaitUntil([](const Received& r) { return r.started() == 1; }), 0);
    EXPECT_NE(0u, request_(handle_, 2048, 8));  // another job's id
    const size_t before = received_.size();
    ASSERT_GE(WaitUntil([](const Received& r) { return r.started() == 3; }, before), 0);
    for (size_t i = before; i < received_.size(); ++i)
        EXPECT_EQ(0u, received_[i].job() & 0x4) << "a request for another job cancels nothing";

    request_(handle_, 2048, 9);
    const int cancelling = WaitUntil([](const Received& r) { return r.job() & 0x4; }, before);
    ASSERT_GE(cancelling, 0);
    ASSERT_GT(WaitUntil(IsIdleAfterJob, cancelling), cancelling);
    const Received& first = received_[cancelling];
    const std::vector<State> expected = {
        {0xC, 0, first.started(), first.printed()}, {0x4, 0, first.started(), first.printed()}, kIdle};
    EXPECT_EQ(expected, States(cancelling));
    EXPECT_LT(first.started(), 40u);
    EXPECT_EQ(9u, Field(received_[cancelling + 1].block, 0x34));
}

TEST_F(StatusLibrary, HoldStopsTheJobAndReleaseGoesOnFromWhereItStood)
{
    Open();
    SetStandInValue(kTestPrinter, L"pages=4 interval=120");
    ASSERT_GE(WaitUntil([](const Received& r) { return r.started() == 1; }), 0);
    request_(handle_, 2049, 0);
    const int held = WaitUntil([](const Received& r) { return r.job() & 0x100; });
    ASSERT_GE(held, 0);
    EXPECT_EQ(0x108u, received_[held].job());
    Pump(700);
    EXPECT_EQ(static_cast<size_t>(held + 1), received_.size()) << "nothing moves while held";

    request_(handle_, 2050, 0);
    ASSERT_TRUE(WaitFor(held + 2));
    EXPECT_EQ(0x8u, received_[held + 1].job());
    EXPECT_EQ(received_[held].started(), received_[held + 1].started());
    EXPECT_EQ(received_[held].printed(), received_[held + 1].printed());
    const int done = WaitUntil([](const Received& r) { return r.job() == 0x1; }, held + 1);
    ASSERT_GT(done, held);
    EXPECT_EQ(4u, received_[done].printed());
}

TEST_F(StatusLibrary, WithoutPollingOnlyTheJobsEventsAreSentAndPollingSendsTheStateAtOnce)
{
    Open();
    EXPECT_NE(0u, stopPolling_(handle_));
    SetStandInValue(kTestPrinter, L"pages=3 interval=60 error=jam@2 for=100");
    ASSERT_GT(WaitUntil(IsIdleAfterJob, 1), 0);
    const std::vector<State> expected = {
        {0x10028, 0, 0, 0}, {0x8, 0x9, 2, 1}, {0x8, 0, 2, 1}, {0x1, 0, 3, 3}, kIdle,
    };
    EXPECT_EQ(expected, States(1));

    const size_t count = received_.size();
    EXPECT_NE(0u, startPolling_(handle_));
    ASSERT_TRUE(WaitFor(count + 1));
    EXPECT_EQ(received_[count - 1].block, received_[count].block);
}

TEST_F(StatusLibrary, ScriptsFollowTheNewPrinterName)
{
    Open();
    const wchar_t renamed[] = L"Stand-in test printer (renamed)";
    EXPECT_NE(0u, rename_(handle_, renamed));
    SetStandInValue(kTestPrinter, L"pages=1 interval=60");
    Pump(400);
    EXPECT_EQ(1u, received_.size()) << "a script under the old name is not this printer's";
    SetStandInValue(renamed, L"pages=1 interval=60");
    EXPECT_GT(WaitUntil(IsIdleAfterJob, 1), 0);
    DeleteStandInValue(renamed);
}

TEST_F(StatusLibrary, EveryCallIsRecordedWithItsArguments)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"standin_calls.log";
    DeleteFileW(log.c_str());
    SetStandInValue(L"Log", log);

    Open();
    const DWORD h = handle_;
    status_(h, 1);
    request_(h, 2048, 7);
    request_(h, 2054, 0);
    rename_(h, L"新名字");
    stopPolling_(h);
    startPolling_(h);
    EXPECT_EQ(0u, stopPolling_(h + 100));
    EXPECT_NE(0u, close_(h));
    handle_ = 0;
    EXPECT_EQ(0u, close_(h)) << "closed already";

    wchar_t window[16];
    wsprintfW(window, L"0x%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window_)));
    const std::wstring n = std::to_wstring(h);
    const std::wstring expected = std::wstring(L"SmPsw_OpenPrinter ") + window + L" Stand-in test printer LPT1:\r\n" +
                                  L"SmPsw_GetPrinterStatus " + n + L" 1\r\n" +
                                  L"SmPsw_JobRequest " + n + L" 2048 7\r\n" +
                                  L"SmPsw_JobRequest " + n + L" 2054 0\r\n" +
                                  L"SmPsw_ChangePrinterName " + n + L" 新名字\r\n" +
                                  L"SmPsw_StopPolling " + n + L"\r\n" +
                                  L"SmPsw_StartPolling " + n + L"\r\n" +
                                  L"SmPsw_StopPolling " + std::to_wstring(h + 100) + L"\r\n" +
                                  L"SmPsw_ClosePrinter " + n + L"\r\n" +
                                  L"SmPsw_ClosePrinter " + n + L"\r\n";
    const std::string bytes = ReadBytes(log);
    std::wstring text(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], static_cast<int>(text.size()));
    EXPECT_EQ(expected, text);
    DeleteFileW(log.c_str());
}

TEST_F(StatusLibrary, OpeningFailsWithoutAWindowOrPrinter)
{
    DWORD handle = 0;
    EXPECT_EQ(0u, open_(nullptr, kTestPrinter, L"LPT1:", &handle));
    EXPECT_EQ(0u, open_(window_, nullptr, L"LPT1:", &handle));
    EXPECT_EQ(0u, open_(window_, kTestPrinter, L"LPT1:", nullptr));
    EXPECT_EQ(0u, handle);
}

// The window's thread closes the printer while the library's thread waits for that same
// thread to take a block: closing returns at once, freeing the library leaves it mapped
// for its thread, and once the block is taken the thread ends and the library goes.
TEST_F(StatusLibrary, ClosingWhileTheSenderWaitsForThisThreadNeitherBlocksNorCrashes)
{
    ASSERT_NE(0u, open_(window_, kTestPrinter, L"LPT1:", &handle_));
    Sleep(300);  // the ready block is now waiting for this thread
    const DWORD start = GetTickCount();
    EXPECT_NE(0u, close_(handle_));
    handle_ = 0;
    EXPECT_LT(GetTickCount() - start, 1000u);
    FreeLibrary(module_);
    module_ = nullptr;
    EXPECT_TRUE(GetModuleHandleW(L"XERB5SMK.DLL")) << "still mapped for the waiting thread";
    const DWORD pumpStart = GetTickCount();
    while (GetModuleHandleW(L"XERB5SMK.DLL") && GetTickCount() - pumpStart < 10000)
        Pump(20);
    EXPECT_FALSE(GetModuleHandleW(L"XERB5SMK.DLL"));
    EXPECT_LE(received_.size(), 1u) << "nothing after the close but the block already on its way";
}

TEST_F(StatusLibrary, WindowThatWentAwayDuringAJobIsLeftAlone)
{
    Open();
    SetStandInValue(kTestPrinter, L"pages=3 interval=60");
    ASSERT_GE(WaitUntil([](const Received& r) { return r.started() == 1; }), 0);
    DestroyWindow(window_);
    window_ = nullptr;
    const size_t count = received_.size();
    Pump(800);
    EXPECT_EQ(count, received_.size());
    EXPECT_NE(0u, status_(handle_, 1)) << "the printer still answers";
}
