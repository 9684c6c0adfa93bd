#include "status_test_support.h"

#include <commctrl.h>
#include <lmcons.h>

#include <cstring>

#include "ui/main_window.h"
#include "ui/presentation.h"

void ResetStatusState()
{
    CRITICAL_SECTION lock = g_state.ProcessHeapLock;
    ZeroMemory(&g_state, sizeof(g_state));
    g_state.ProcessHeapLock = lock;
    g_state.instance = GetModuleHandleW(nullptr);
}

std::wstring StatusBlock::CurrentUser()
{
    wchar_t name[UNLEN + 1] = L"";
    DWORD chars = ARRAYSIZE(name);
    GetUserNameW(name, &chars);
    return name;
}

std::vector<BYTE> StatusBlock::Bytes() const
{
    PswStatusData data = {};
    data.deviceFlags = device;
    data.jobFlags = job;
    data.jobId = jobId;
    data.totalPages = total;
    data.pagesStarted = started;
    data.pagesPrinted = printed;
    data.estimateMode = estimateMode;
    data.fixedTimeA = fixedA;
    data.timePerPage = perPage;
    data.fixedTimeB = fixedB;
    std::wstring strings;
    const auto place = [&strings](const std::wstring& text) {
        if (text.empty())
            return DWORD(0);
        const DWORD offset = DWORD(sizeof(PswStatusData) + strings.size() * sizeof(wchar_t));
        strings += text + L'\0';
        return offset;
    };
    data.machineOffset = place(machine);
    data.ownerOffset = place(owner);
    data.documentOffset = place(document);
    data.length = DWORD(sizeof(data) + strings.size() * sizeof(wchar_t));
    std::vector<BYTE> bytes(data.length);
    std::memcpy(bytes.data(), &data, sizeof(data));
    std::memcpy(bytes.data() + sizeof(data), strings.data(), strings.size() * sizeof(wchar_t));
    return bytes;
}

void KeepStatusCopy(const StatusBlock& block)
{
    DiscardStatusCopy();
    const std::vector<BYTE> bytes = block.Bytes();
    g_state.statusCopy = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, bytes.size()));
    std::memcpy(g_state.statusCopy, bytes.data(), bytes.size());
    g_state.statusLength = g_state.statusLengthField = DWORD(bytes.size());
}

HWND WaitForStatusWindow(DWORD id, const wchar_t* printer, HANDLE process)
{
    for (int i = 0; i < 150; ++i) {
        for (HWND w = FindWindowW(PSW_MAIN_CLASS, printer); w; w = FindWindowExW(nullptr, w, PSW_MAIN_CLASS, printer)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == id)
                return w;
        }
        // A process that has ended has no window any more.
        if (process && WaitForSingleObject(process, 100) == WAIT_OBJECT_0)
            return nullptr;
        if (!process)
            Sleep(100);
    }
    return nullptr;
}

::testing::AssertionResult StatusWindowProcess::Started() const
{
    if (window)
        return ::testing::AssertionSuccess();
    if (!process.process)
        return ::testing::AssertionFailure() << "the program could not be started, error " << process.startError;
    if (std::optional<DWORD> code = process.Wait(0))
        return ::testing::AssertionFailure() << "the program ended with exit code " << *code << " and no window";
    return ::testing::AssertionFailure() << "the program runs but has no window after 15 s";
}

namespace {

// Deletes the files of a folder; subfolders are not expected.
void RemoveFilesIn(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

// What an earlier run could not remove is removed first, so that each test starts empty.
ScratchFolder::ScratchFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + name;
    RemoveFilesIn(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    RemoveFilesIn(path_);
    RemoveDirectoryW(path_.c_str());
}

namespace {

// An inheritable temporary file that is deleted when closed, and what was written to it.
HANDLE InheritableTempFile()
{
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"psw", 0, file);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileW(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherit, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string Contents(HANDLE file)
{
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read)
        text.append(buffer, read);
    return text;
}

}  // namespace

std::optional<DWORD> RunCaught(const std::wstring& commandLine, std::string* out, std::string* err, DWORD ms)
{
    HANDLE outFile = InheritableTempFile(), errFile = InheritableTempFile();
    std::optional<DWORD> code;
    if (outFile != INVALID_HANDLE_VALUE && errFile != INVALID_HANDLE_VALUE) {
        std::wstring line = commandLine;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = outFile;
        startup.hStdError = errFile;
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
            DWORD exitCode = 0;
            if (WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0 && GetExitCodeProcess(info.hProcess, &exitCode))
                code = exitCode;
            else
                TerminateProcess(info.hProcess, 99);
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
        *out = Contents(outFile);
        *err = Contents(errFile);
    }
    for (HANDLE file : {outFile, errFile})
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    return code;
}

LibraryCallLog::LibraryCallLog()
{
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"smk", 0, file);
    path_ = file;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Tavik\\XERB5\\StandIn", L"Log", REG_SZ, path_.c_str(),
                    DWORD((path_.size() + 1) * sizeof(wchar_t)));
}

LibraryCallLog::~LibraryCallLog()
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Tavik\\XERB5\\StandIn", L"Log");
    DeleteFileW(path_.c_str());
}

std::vector<std::string> LibraryCallLog::Lines() const
{
    std::vector<std::string> lines;
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read)
        text.append(buffer, read);
    CloseHandle(file);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> LibraryCallLog::Calls(const std::string& prefix) const
{
    std::vector<std::string> calls;
    for (const std::string& line : Lines())
        if (line.compare(0, prefix.size(), prefix) == 0)
            calls.push_back(line);
    return calls;
}

namespace {

// The DLL directory from before the suite that runs, put back after it.
std::optional<SavedDllDirectory> g_suiteDllDirectory;

}  // namespace

void StatusWindowTest::SetUpTestSuite()
{
    InitCommonControls();
    // The libraries lie beside the installed program.
    g_suiteDllDirectory.emplace();
    ASSERT_TRUE(SetDllDirectoryW(DriverDirectory().c_str())) << GetLastError();
    static const bool registered = RegisterWindowClasses(GetModuleHandleW(nullptr)) != FALSE;
    ASSERT_TRUE(registered);
}

void StatusWindowTest::TearDownTestSuite()
{
    g_suiteDllDirectory.reset();
}

void StatusWindowTest::OpenWindow(const wchar_t* port, bool keepSettings, CallSite site)
{
    CallerTrace trace(site);
    CloseWindow();
    ResetStatusState();
    if (!keepSettings)
        RegDeleteTreeW(HKEY_CURRENT_USER, (kSettingsRoot + std::wstring(kWindowPrinter)).c_str());
    lstrcpyW(g_state.printerName, kWindowPrinter);
    lstrcpynW(g_state.portName, port, PORT_NAME_CHARS);
    ASSERT_TRUE(BindLibraries(&g_state.libraries)) << GetLastError();
    window_ = CreateMainWindow();
    ASSERT_TRUE(window_) << GetLastError();
}

void StatusWindowTest::CloseWindow()
{
    if (IsWindow(window_)) {
        // With a status block at hand the window does not wait for one while closing.
        if (!g_state.statusCopy)
            g_state.statusCopy = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 4));
        DestroyWindow(window_);
    }
    window_ = nullptr;
    // The destroyed window posted its quit message.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT)
            DispatchMessageW(&msg);
}

void StatusWindowTest::TearDown()
{
    CloseWindow();
    RegDeleteTreeW(HKEY_CURRENT_USER, (kSettingsRoot + std::wstring(kWindowPrinter)).c_str());
}

namespace {

// The process-wide state starts as the program starts it: instance handle and heap lock.
class StatusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        InitializeCriticalSection(&g_state.ProcessHeapLock);
        ResetStatusState();
    }
    void TearDown() override { DeleteCriticalSection(&g_state.ProcessHeapLock); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new StatusEnvironment);

}  // namespace
