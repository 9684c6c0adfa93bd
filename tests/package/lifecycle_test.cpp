// Uninstall and reinstall, the port-driver service, the start-up program and the command
// line of pkginst.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <winspool.h>

#include <algorithm>

#include "installer.h"
#include "package/package_probe.h"
#include "raii.h"
#include "service_setup.h"

using namespace probe;

namespace {

const wchar_t kServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\OndrixM4";
const wchar_t kProfileKey[] =
    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Enum\\Root\\LEGACY_ONDRIXM4\\0000";

bool PrinterListed(const wchar_t* name)
{
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    LocalBlock buffer(needed);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.as(), needed, &needed, &count))
        return false;
    for (DWORD i = 0; i < count; ++i)
        if (lstrcmpW(buffer.as<PRINTER_INFO_2W>()[i].pPrinterName, name) == 0)
            return true;
    return false;
}

bool ServiceOpens()
{
    UniqueService manager(OpenSCManagerW(nullptr, nullptr, GENERIC_READ));
    UniqueService service(manager ? OpenServiceW(manager.get(), L"OndrixM4", SERVICE_QUERY_CONFIG) : nullptr);
    return bool(service);
}

std::wstring Pkginst() { return PayloadDir() + L"\\pkginst.exe"; }

class Reinstalling : public ::testing::Test {
protected:
    void TearDown() override
    {
        pkg::SetupLog log;
        pkg::Install(PayloadDir(), false, log);
        pkg::RemoveService(log);
        EXPECT_TRUE(log.ok()) << testing::PrintToString(log.problems());
    }
};

}  // namespace

TEST_F(Reinstalling, UninstallRemovesEverythingAndInstallBringsItBack)
{
    pkg::SetupLog log;
    pkg::InstallService(log);
    pkg::Uninstall(log);
    ASSERT_TRUE(log.ok()) << testing::PrintToString(log.problems());

    EXPECT_FALSE(PrinterListed(kPrinter));
    EXPECT_FALSE(KeyExists(PrinterKey()));
    EXPECT_FALSE(KeyExists(DriverKey()));
    EXPECT_FALSE(KeyExists(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\XERB5 Monitor"));
    EXPECT_FALSE(KeyExists(L"SOFTWARE\\Tavik\\XERB5\\Monitors\\XERB5 Monitor"));
    EXPECT_FALSE(KeyExists(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\XERB5LAK.EXE"));
    EXPECT_FALSE(ParallelPortListed(L"LPT1"));
    for (const wchar_t* file : {L"XERB5K.DLL", L"XERB5UIK.DLL", L"XERB5LAK.EXE", L"XERB5.HLP", L"XERB5INK.DAT",
                                L"pdiag.exe", L"pstatus.exe", L"XERB5PMN.DLL", L"XERB5SMK.DLL"})
        EXPECT_FALSE(FileExists(DriverDir() + L"\\" + file)) << file;
    EXPECT_FALSE(FileExists(SystemDir() + L"\\XERB5LMK.DLL"));
    EXPECT_FALSE(FileExists(SystemDir() + L"\\drivers\\XERB5LP.SYS"));
    EXPECT_FALSE(FolderExists(SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tavik QX2210-2370"));
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_COMMON_STARTUP) + L"\\Tavik QX2210-2370 状态窗口.lnk"));
    EXPECT_FALSE(ServiceOpens());
    EXPECT_FALSE(KeyExists(kProfileKey));

    pkg::Install(PayloadDir(), false, log);
    ASSERT_TRUE(log.ok()) << testing::PrintToString(log.problems());
    EXPECT_TRUE(PrinterListed(kPrinter));
    EXPECT_TRUE(FileExists(ManifestPath()));
    EXPECT_TRUE(FileExists(DriverDir() + L"\\XERB5PMN.DLL"));
    EXPECT_TRUE(FileExists(DriverDir() + L"\\XERB5SMK.DLL"));
    EXPECT_FALSE(ServiceOpens());
}

TEST_F(Reinstalling, ServiceHasTheExpectedConfiguration)
{
    pkg::SetupLog log;
    pkg::InstallService(log);
    ASSERT_TRUE(log.ok()) << testing::PrintToString(log.problems());

    UniqueService manager(OpenSCManagerW(nullptr, nullptr, GENERIC_READ));
    UniqueService service(OpenServiceW(manager.get(), L"OndrixM4", SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS));
    ASSERT_TRUE(service);
    DWORD needed = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    LocalBlock buffer(needed);
    ASSERT_TRUE(QueryServiceConfigW(service.get(), buffer.as<QUERY_SERVICE_CONFIGW>(), needed, &needed));
    const QUERY_SERVICE_CONFIGW& config = *buffer.as<QUERY_SERVICE_CONFIGW>();
    EXPECT_EQ(static_cast<DWORD>(SERVICE_KERNEL_DRIVER), config.dwServiceType);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_AUTO_START), config.dwStartType);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_ERROR_IGNORE), config.dwErrorControl);
    EXPECT_EQ(L"\\??\\" + SystemDir() + L"\\drivers\\XERB5LP.SYS", config.lpBinaryPathName);
    EXPECT_STREQ(L"Extended base", config.lpLoadOrderGroup);
    EXPECT_STREQ(L"OndrixM4", config.lpDisplayName);

    // The service manager keeps both dependencies, though it does not report them.
    wchar_t dependency[64] = L"";
    DWORD size = sizeof(dependency) - sizeof(wchar_t);
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_READ, key.put()));
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key.get(), L"DependOnService", nullptr, nullptr, reinterpret_cast<BYTE*>(dependency), &size));
    EXPECT_STREQ(L"ParPort", dependency);
    size = sizeof(dependency) - sizeof(wchar_t);
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key.get(), L"DependOnGroup", nullptr, nullptr, reinterpret_cast<BYTE*>(dependency), &size));
    EXPECT_STREQ(L"Parallel arbitrator", dependency);

    std::wstring instance;
    ASSERT_TRUE(ReadString(std::wstring(kServiceKey) + L"\\Enum", L"0", instance));
    EXPECT_EQ(L"Root\\LEGACY_ONDRIXM4\\0000", instance);
    DWORD flags = 1;
    ASSERT_TRUE(ReadDword(L"System\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Enum\\" +
                              instance, L"CSConfigFlags", flags));
    EXPECT_EQ(0u, flags);

    pkg::RemoveService(log);
    ASSERT_TRUE(log.ok()) << testing::PrintToString(log.problems());
    service.reset();
    EXPECT_FALSE(ServiceOpens());
    EXPECT_FALSE(KeyExists(kProfileKey));
}

namespace {

// The start-up program's lines in commands.txt once `count` copies of the stand-in status
// window have written theirs, sorted; what is there after 10 s otherwise.
std::vector<std::wstring> RecordedCommandLines(const std::wstring& record, size_t count)
{
    std::vector<std::wstring> lines;
    for (int wait = 0; wait < 200 && lines.size() < count; ++wait) {
        Sleep(50);
        UniqueFile file(CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file)
            continue;
        std::wstring text(GetFileSize(file.get(), nullptr) / sizeof(wchar_t), L'\0');
        DWORD read = 0;
        ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
        lines.clear();
        for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// A started program that is ended by force when a test stops before it ended it properly.
class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& program)
    {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process)) {
            CloseHandle(process.hThread);
            process_.reset(process.hProcess);
            id_ = process.dwProcessId;
        }
    }
    ~ChildProcess()
    {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    HANDLE handle() const { return process_.get(); }
    DWORD id() const { return id_; }

private:
    UniqueFile process_;
    DWORD id_ = 0;
};

// The hidden notification-area window of process `id`, looked for during up to 10 s.
HWND NotificationWindowOf(DWORD id)
{
    for (int wait = 0; wait < 200; ++wait) {
        for (HWND window = FindWindowW(L"pswM4_notifyicon", nullptr); window;
             window = FindWindowExW(nullptr, window, L"pswM4_notifyicon", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == id)
                return window;
        }
        Sleep(50);
    }
    return nullptr;
}

int g_showRequests;

LRESULT CALLBACK FakeStatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 4)
        ++g_showRequests;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window that stands in for a printer's status window: class and title as the real one.
HWND FakeStatusWindow(const wchar_t* printer)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FakeStatusWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PSWM4WindowClass";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"PSWM4WindowClass", printer, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void PumpFor(DWORD milliseconds)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
}

}  // namespace

// The start-up program, run from a scratch folder beside a stand-in pstatus.exe, starts it
// once per printer of the package's driver with "<path>" !D<printer> !P<port>, then stays
// as the hidden notification-area window until message 1027 ends it. A second start while
// it runs starts the status windows again and ends at once.
TEST(StatusStarter, StartsTheStatusWindowForEachPrinterAndStaysUntilTold)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"pkg_starter_test";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring starter = folder + L"\\XERB5LAK.EXE", status = folder + L"\\pstatus.exe",
                       record = folder + L"\\commands.txt";
    DeleteFileW(record.c_str());
    ASSERT_TRUE(CopyFileW((DriverDir() + L"\\XERB5LAK.EXE").c_str(), starter.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(L"" PKG_RECORDER, status.c_str(), FALSE));

    // A second queue of the same driver, on LPT2:.
    const wchar_t second[] = L"Tavik QX2210-2370 (副本 2)";
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(second);
    info.pPortName = const_cast<wchar_t*>(L"LPT2:");
    info.pDriverName = const_cast<wchar_t*>(kPrinter);
    info.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    UniquePrinter added(AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info)));
    ASSERT_TRUE(added) << GetLastError();

    // Each argument in quotes, so that a name with blanks (or quotes) reads back whole; in the
    // order the lines sort in.
    const std::vector<std::wstring> expected = {
        L"\"" + status + L"\" \"!DTavik QX2210-2370 (副本 2)\" \"!PLPT2:\"",
        L"\"" + status + L"\" \"!DTavik QX2210-2370\" \"!PLPT1:\"",
    };
    {
        ChildProcess first(starter);
        ASSERT_TRUE(first.handle());
        EXPECT_EQ(expected, RecordedCommandLines(record, 2));
        HWND notify = NotificationWindowOf(first.id());
        ASSERT_TRUE(notify);
        EXPECT_FALSE(IsWindowVisible(notify));
        EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(first.handle(), 0));

        EXPECT_EQ(0u, RunProgram(starter, L""));
        std::vector<std::wstring> twice = {expected[0], expected[0], expected[1], expected[1]};
        EXPECT_EQ(twice, RecordedCommandLines(record, 4));
        EXPECT_EQ(notify, FindWindowW(L"pswM4_notifyicon", nullptr)) << "one notification window only";

        // A double click on the icon brings the first printer's status window forward, or
        // starts it when it is not running.
        HWND windows[2] = {FakeStatusWindow(kPrinter), FakeStatusWindow(second)};
        g_showRequests = 0;
        SendMessageW(notify, WM_APP + 1, 0, WM_LBUTTONDBLCLK);
        PumpFor(300);
        EXPECT_EQ(1, g_showRequests);
        EXPECT_TRUE(IsWindowVisible(windows[0])) << "a hidden status window comes back";
        EXPECT_FALSE(IsWindowVisible(windows[1]));
        for (HWND window : windows)
            DestroyWindow(window);
        SendMessageW(notify, WM_APP + 1, 0, WM_LBUTTONDBLCLK);
        EXPECT_EQ(5u, RecordedCommandLines(record, 5).size());

        ASSERT_TRUE(PostMessageW(notify, WM_USER + 3, 0, 0));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first.handle(), 10000));
        DWORD code = 99;
        GetExitCodeProcess(first.handle(), &code);
        EXPECT_EQ(0u, code);
    }
    DeletePrinter(added.get());
    added.reset();
    DeleteFileW(record.c_str());
    DeleteFileW(starter.c_str());
    DeleteFileW(status.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(PkginstCommandLine, BadArgumentsGiveUsageAndFailure)
{
    for (const wchar_t* arguments : {L"", L"bogus", L"fault", L"fault no-such-fault", L"install --bogus",
                                     L"uninstall now", L"status extra"}) {
        std::string output;
        EXPECT_EQ(2u, RunProgram(Pkginst(), arguments, &output)) << arguments;
        EXPECT_NE(std::string::npos, output.find("usage: pkginst")) << arguments;
    }
}

TEST(PkginstCommandLine, StatusReportsTheInstallationInCodePage936)
{
    for (const wchar_t* command : {L"status", L"show"}) {
        std::string output;
        ASSERT_EQ(0u, RunProgram(Pkginst(), command, &output)) << command;
        int length = MultiByteToWideChar(936, 0, output.data(), static_cast<int>(output.size()), nullptr, 0);
        std::wstring text(length, L'\0');
        MultiByteToWideChar(936, 0, output.data(), static_cast<int>(output.size()), &text[0], length);
        EXPECT_NE(std::wstring::npos,
                  text.find(L"Printer \"Tavik QX2210-2370\": driver \"Tavik QX2210-2370\", port \"LPT1:\""));
        EXPECT_NE(std::wstring::npos, text.find(L"\\疑难解答.lnk: present"));
        EXPECT_EQ(std::wstring::npos, text.find(L"MISSING"));
        EXPECT_EQ(std::wstring::npos, text.find(L"EXPECTED"));
    }
}
