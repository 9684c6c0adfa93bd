// XERB5SMK.DLL, the stand-in status-monitor library: a simulated printer that reports its
// state to a status window as WM_COPYDATA status blocks (status_block.h), sent from a
// thread of its own for every printer opened.
//
// Jobs are handed to it through the registry, key HKCU\Software\Tavik\XERB5\StandIn: a
// REG_SZ value named after the printer holds a job script. The simulator takes the value
// (deletes it) when the printer is opened or the value is written later, and plays the job
// once the printer is idle. A script is blank-separated key=value pairs, a value in double
// quotes may hold blanks; all keys are optional:
//   pages=3         pages of the job (1 to 999)
//   interval=1000   ms a page takes
//   delay=0         ms before the job starts
//   error=NAME@N    an error when page N has started: paperout, jam, cover, offline,
//                   toner, memory
//   for=3000        ms the error lasts before the printer recovers by itself
//   attention=NAME  tonerlow or drum: an attention bit through the whole job
//   estimate=1      estimate mode of the blocks (1 or 2; 0 gives no estimate)
//   id=N            job id (default: 1 for the session's first job, then counting)
//   doc="报告.doc"  document name (default "文档")
//   owner=NAME      default: the current user
//   machine=NAME    default: "\\" + this computer's name
// Example:  pages=10 interval=800 error=paperout@4 for=3000 doc="季度报告.doc"
//
// Job requests act on the playing job: 2048 with the job's id cancels it, 2049 holds it and
// 2050 releases it; every other request is only recorded. While polling is stopped only
// blocks with a change a hidden window must see are sent (job start and end, errors, held,
// cancelled), page progress is not; starting polling sends the current state at once.
//
// A library that cannot report yet: the REG_DWORD value "NotReady" (read when a printer is
// opened) is the number of SmPsw_GetPrinterStatus calls answered 0; until the last of them the
// printer sends no block at all, then it answers as usual.
//
// Every call is recorded when the REG_SZ value "Log" of the same key names a file: one line
// per call, appended as UTF-8 with CR LF, the name and the arguments separated by one blank,
// numbers in decimal, the window in hexadecimal (0x + 8 digits), a null string as "(null)":
//   SmPsw_OpenPrinter 0x0001002A Tavik QX2210-2370 LPT1:
//   SmPsw_GetPrinterStatus 1 1
//   SmPsw_JobRequest 1 2048 7
#include <windows.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "status_block.h"

namespace {

using namespace standin;

const wchar_t kStandInKey[] = L"Software\\Tavik\\XERB5\\StandIn";
const wchar_t kLogValue[] = L"Log";
const wchar_t kNotReadyValue[] = L"NotReady";

constexpr DWORD kCancelRequest = 2048;
constexpr DWORD kHoldRequest = 2049;
constexpr DWORD kReleaseRequest = 2050;

// How long a status window may take over one block before it counts as hung.
constexpr UINT kSendTimeoutMs = 10000;
// The pause after a job end before the printer reports itself idle.
constexpr DWORD kIdleAfterEndMs = 1500;
constexpr DWORD kCancelDurationMs = 800;
// A job is planned in full when it starts: a page count past this is taken as this.
constexpr DWORD kMaxPages = 999;

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~Lock() { LeaveCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

// Serializes the call log and the session table; set up in DllMain.
CRITICAL_SECTION g_tableLock;
HMODULE g_module;

std::wstring OrNull(const wchar_t* text) { return text ? text : L"(null)"; }

bool ReadStandInString(const wchar_t* name, std::wstring& out)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStandInKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[1024];
    DWORD type = 0, size = sizeof(buffer) - sizeof(wchar_t);
    const bool ok = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_SZ;
    RegCloseKey(key);
    if (ok) {
        buffer[size / sizeof(wchar_t)] = L'\0';
        out = buffer;
    }
    return ok;
}

void Record(const std::wstring& line)
{
    Lock lock(g_tableLock);
    std::wstring path;
    if (!ReadStandInString(kLogValue, path) || path.empty())
        return;
    const std::wstring text = line + L"\r\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

void RecordCall(const wchar_t* function, const std::vector<DWORD>& numbers, const std::wstring& rest = L"")
{
    std::wstring line = function;
    for (DWORD number : numbers)
        line += L" " + std::to_wstring(number);
    Record(rest.empty() ? line : line + L" " + rest);
}

// What the printer reports, before it is packed into a block.
struct PrinterState {
    DWORD deviceFlags = 0, jobFlags = 0, jobId = 0;
    DWORD totalPages = 0, pagesStarted = 0, pagesPrinted = 0;
    DWORD estimateMode = 0, fixedTimeA = 0, timePerPage = 0, fixedTimeB = 0;
    std::wstring machine, owner, document;  // document empty: none
};

std::vector<BYTE> PackBlock(const PrinterState& state)
{
    std::vector<BYTE> block(kFixedPart);
    auto put = [&block](DWORD offset, DWORD value) { CopyMemory(&block[offset], &value, sizeof(value)); };
    auto append = [&block, &put](DWORD offsetField, const std::wstring& text) {
        const size_t at = block.size(), bytes = (text.size() + 1) * sizeof(wchar_t);
        put(offsetField, static_cast<DWORD>(at));
        block.resize(at + bytes);
        CopyMemory(&block[at], text.c_str(), bytes);
    };
    put(kDeviceFlags, state.deviceFlags);
    put(kJobFlags, state.jobFlags);
    put(kJobId, state.jobId);
    put(kTotalPages, state.totalPages);
    put(kPagesStarted, state.pagesStarted);
    put(kPagesPrinted, state.pagesPrinted);
    put(kEstimateMode, state.estimateMode);
    put(kFixedTimeA, state.fixedTimeA);
    put(kTimePerPage, state.timePerPage);
    put(kFixedTimeB, state.fixedTimeB);
    append(kMachineOffset, state.machine);
    append(kOwnerOffset, state.owner);
    if (!state.document.empty())
        append(kDocumentOffset, state.document);
    put(kBlockLength, static_cast<DWORD>(block.size()));
    return block;
}

// One state of a playing job and the time to wait before it is reported.
struct Step {
    DWORD delay;
    PrinterState state;
    bool event;  // sent also while polling is stopped
};

struct JobScript {
    DWORD pages = 3, interval = 1000, delay = 0;
    DWORD errorFlag = 0, errorPage = 0, errorDuration = 3000;
    DWORD attention = 0, estimateMode = 1, id = 0;
    std::wstring document = L"文档", owner, machine;
};

DWORD Number(const std::wstring& text) { return static_cast<DWORD>(wcstoul(text.c_str(), nullptr, 10)); }

DWORD NamedFlag(const std::wstring& name)
{
    static const struct {
        const wchar_t* name;
        DWORD flag;
    } kNames[] = {
        {L"paperout", kDevicePaperOut}, {L"jam", kDevicePaperJam},     {L"cover", kDeviceCoverOpen},
        {L"offline", kDeviceOffline},   {L"toner", kDeviceTonerEmpty}, {L"memory", kDeviceMemoryFull},
        {L"tonerlow", kDeviceTonerLow}, {L"drum", kDeviceDrumWornOut},
    };
    for (const auto& entry : kNames)
        if (name == entry.name)
            return entry.flag;
    return 0;
}

JobScript ParseScript(const std::wstring& text)
{
    JobScript script;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == L' ')
            ++at;
        const size_t equals = text.find(L'=', at);
        if (at >= text.size() || equals == std::wstring::npos)
            break;
        const std::wstring key = text.substr(at, equals - at);
        std::wstring value;
        at = equals + 1;
        if (at < text.size() && text[at] == L'"') {
            const size_t close = text.find(L'"', at + 1);
            value = text.substr(at + 1, close == std::wstring::npos ? std::wstring::npos : close - at - 1);
            at = close == std::wstring::npos ? text.size() : close + 1;
        } else {
            const size_t blank = text.find(L' ', at);
            value = text.substr(at, blank == std::wstring::npos ? std::wstring::npos : blank - at);
            at = blank == std::wstring::npos ? text.size() : blank;
        }
        if (key == L"pages")
            script.pages = std::max<DWORD>(1, std::min(Number(value), kMaxPages));
        else if (key == L"interval")
            script.interval = Number(value);
        else if (key == L"delay")
            script.delay = Number(value);
        else if (key == L"error") {
            const size_t sign = value.find(L'@');
            script.errorFlag = NamedFlag(value.substr(0, sign));
            script.errorPage = sign == std::wstring::npos ? 1 : Number(value.substr(sign + 1));
        } else if (key == L"for")
            script.errorDuration = Number(value);
        else if (key == L"attention")
            script.attention = NamedFlag(value) & kDeviceAttention;
        else if (key == L"estimate")
            script.estimateMode = Number(value);
        else if (key == L"id")
            script.id = Number(value);
        else if (key == L"doc")
            script.document = value;
        else if (key == L"owner")
            script.owner = value;
        else if (key == L"machine")
            script.machine = value;
    }
    return script;
}

std::wstring CurrentUser()
{
    wchar_t name[256] = L"";
    DWORD length = ARRAYSIZE(name);
    return GetUserNameW(name, &length) ? name : L"";
}

std::wstring ThisMachine()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD length = ARRAYSIZE(name);
    GetComputerNameW(name, &length);
    return std::wstring(L"\\\\") + name;
}

// The whole course of a job, from its start to the idle printer after it.
std::deque<Step> PlanJob(const JobScript& script, DWORD id)
{
    std::deque<Step> steps;
    PrinterState state;
    state.jobId = id;
    state.totalPages = script.pages;
    state.estimateMode = script.estimateMode;
    state.fixedTimeA = 2000;
    state.timePerPage = script.interval;
    state.fixedTimeB = 1000;
    state.deviceFlags = script.attention;
    state.machine = script.machine.empty() ? ThisMachine() : script.machine;
    state.owner = script.owner.empty() ? CurrentUser() : script.owner;
    state.document = script.document;
    auto add = [&steps, &state](DWORD delay, bool event) { steps.push_back({delay, state, event}); };
    const DWORD third = script.interval / 3;

    state.jobFlags = kJobActive | kJobStart | kJobWaitingForData;
    add(script.delay, true);
    state.jobFlags = kJobActive | kJobWaitingForData;
    add(third, false);
    state.jobFlags = kJobActive;
    add(third, false);
    for (DWORD page = 1; page <= script.pages; ++page) {
        state.pagesStarted = page;
        add(third, false);
        if (page == script.errorPage && script.errorFlag) {
            const PrinterState working = state;
            state.deviceFlags |= script.errorFlag | kDeviceStop;
            add(third, true);
            state = working;
            add(script.errorDuration, true);
        }
        state.pagesPrinted = page;
        add(script.interval, false);
    }
    state.jobFlags = kJobDone;
    add(script.interval / 2, true);
    state = PrinterState();
    add(kIdleAfterEndMs, true);
    return steps;
}

enum class Command { Resend, Cancel, Hold, Release };

// One opened printer. The UI thread queues commands; everything else belongs to the
// session's thread.
struct Session {
    DWORD handle = 0;
    HWND window = nullptr;
    HANDLE stop = nullptr, wake = nullptr;  // manual-reset stop, auto-reset wake
    CRITICAL_SECTION lock;                  // guards the fields below
    std::wstring printer;
    std::deque<std::pair<Command, DWORD>> commands;
    bool polling = true;
    DWORD notReady = 0;  // status requests still to be answered 0; no block is sent meanwhile

    Session() { InitializeCriticalSection(&lock); }
    ~Session()
    {
        DeleteCriticalSection(&lock);
        if (stop)
            CloseHandle(stop);
        if (wake)
            CloseHandle(wake);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void Queue(Command command, DWORD argument = 0)
    {
        {
            Lock guard(lock);
            commands.emplace_back(command, argument);
        }
        SetEvent(wake);
    }
};

std::map<DWORD, std::shared_ptr<Session>>& Sessions()
{
    static std::map<DWORD, std::shared_ptr<Session>> sessions;
    return sessions;
}
DWORD g_nextHandle = 1;

std::shared_ptr<Session> FindSession(DWORD handle)
{
    Lock lock(g_tableLock);
    auto found = Sessions().find(handle);
    return found == Sessions().end() ? nullptr : found->second;
}

// The simulated printer of one session, run on the session's thread.
class Simulator {
public:
    explicit Simulator(Session& session) : session_(session) {}

    void Run()
    {
        HKEY key = nullptr;
        HANDLE changed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kStandInKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_NOTIFY,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            key = nullptr;
        Send();
        // Armed again only after it fired: every call would add another notification.
        bool watching = key && RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE) ==
                                   ERROR_SUCCESS;
        for (;;) {
            if (key && steps_.empty())
                TakeScript(key);
            const HANDLE handles[3] = {session_.stop, session_.wake, changed};
            const DWORD result = WaitForMultipleObjects(watching ? 3 : 2, handles, FALSE, TimeToNextStep());
            if (result == WAIT_OBJECT_0 || result == WAIT_FAILED)
                break;
            if (result == WAIT_OBJECT_0 + 1)
                RunCommands();
            else if (result == WAIT_OBJECT_0 + 2)
                watching = RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE) ==
                           ERROR_SUCCESS;
            else if (result == WAIT_TIMEOUT)
                NextStep();
        }
        if (key)
            RegCloseKey(key);
        CloseHandle(changed);
    }

private:
    bool Stopped() const { return WaitForSingleObject(session_.stop, 0) == WAIT_OBJECT_0; }

    // The window may be gone or busy: a block to a vanished window is dropped, and a hung
    // one is given up after the timeout instead of blocking the printer's thread for good.
    void Send()
    {
        if (Stopped() || !IsWindow(session_.window))
            return;
        {
            Lock guard(session_.lock);
            if (session_.notReady)
                return;
        }
        std::vector<BYTE> block = PackBlock(current_);
        COPYDATASTRUCT data = {kNewStatus, static_cast<DWORD>(block.size()), block.data()};
        DWORD_PTR result = 0;
        SendMessageTimeoutW(session_.window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                            SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    }

    void Report(const PrinterState& state, bool event)
    {
        current_ = state;
        bool polling;
        {
            Lock guard(session_.lock);
            polling = session_.polling;
        }
        if (event || polling)
            Send();
    }

    DWORD TimeToNextStep() const
    {
        if (steps_.empty() || held_)
            return INFINITE;
        const DWORD waited = GetTickCount() - stepStart_;
        return waited >= steps_.front().delay ? 0 : steps_.front().delay - waited;
    }

    void NextStep()
    {
        if (steps_.empty())
            return;
        const Step step = steps_.front();
        steps_.pop_front();
        stepStart_ = GetTickCount();
        Report(step.state, step.event);
    }

    void TakeScript(HKEY key)
    {
        std::wstring printer;
        {
            Lock guard(session_.lock);
            printer = session_.printer;
        }
        wchar_t text[1024];
        DWORD type = 0, size = sizeof(text) - sizeof(wchar_t);
        if (RegQueryValueExW(key, printer.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            return;
        text[size / sizeof(wchar_t)] = L'\0';
        RegDeleteValueW(key, printer.c_str());
        const JobScript script = ParseScript(text);
        steps_ = PlanJob(script, script.id ? script.id : ++jobsPlayed_);
        stepStart_ = GetTickCount();
        held_ = false;
    }

    bool JobPlaying() const { return current_.jobFlags & kJobActive; }

    void RunCommands()
    {
        for (;;) {
            std::pair<Command, DWORD> command;
            {
                Lock guard(session_.lock);
                if (session_.commands.empty())
                    return;
                command = session_.commands.front();
                session_.commands.pop_front();
            }
            switch (command.first) {
            case Command::Resend:
                Send();
                break;
            case Command::Cancel:
                if (JobPlaying() && command.second == current_.jobId)
                    Cancel();
                break;
            case Command::Hold:
                if (JobPlaying() && !held_)
                    Hold();
                break;
            case Command::Release:
                if (held_)
                    Release();
                break;
            }
        }
    }

    // The job stops where it is: cancelling, then its end with the cancelled bit, then idle.
    void Cancel()
    {
        held_ = false;
        steps_.clear();
        PrinterState state = current_;
        state.jobFlags = kJobActive | kJobCancelled;
        state.deviceFlags &= kDeviceAttention;
        Report(state, true);
        state.jobFlags = kJobCancelled;
        steps_.push_back({kCancelDurationMs, state, true});
        steps_.push_back({kIdleAfterEndMs, PrinterState(), true});
        stepStart_ = GetTickCount();
    }

    // The time already waited for the next step is kept, so that the job goes on after the
    // release where it stood.
    void Hold()
    {
        held_ = true;
        heldAfter_ = GetTickCount() - stepStart_;
        PrinterState state = current_;
        state.jobFlags |= kJobHeld;
        Report(state, true);
    }

    void Release()
    {
        held_ = false;
        stepStart_ = GetTickCount() - heldAfter_;
        PrinterState state = current_;
        state.jobFlags &= ~kJobHeld;
        Report(state, true);
    }

    Session& session_;
    PrinterState current_;
    std::deque<Step> steps_;
    DWORD stepStart_ = 0, heldAfter_ = 0, jobsPlayed_ = 0;
    bool held_ = false;
};

// The thread keeps the library loaded while it runs, so that a caller may free the library
// right after closing the printer without waiting for the thread, which may still be inside
// a SendMessage to that caller's own thread.
DWORD WINAPI SessionThread(void* parameter)
{
    {
        std::unique_ptr<std::shared_ptr<Session>> session(static_cast<std::shared_ptr<Session>*>(parameter));
        Simulator(**session).Run();
    }
    FreeLibraryAndExitThread(g_module, 0);
}

bool StartSessionThread(const std::shared_ptr<Session>& session)
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&SessionThread), &self))
        return false;
    auto* parameter = new std::shared_ptr<Session>(session);
    HANDLE thread = CreateThread(nullptr, 0, SessionThread, parameter, 0, nullptr);
    if (!thread) {
        delete parameter;
        FreeLibrary(self);
        return false;
    }
    CloseHandle(thread);
    return true;
}

DWORD SetPolling(const wchar_t* function, DWORD handle, bool on)
{
    RecordCall(function, {handle});
    std::shared_ptr<Session> session = FindSession(handle);
    if (!session)
        return 0;
    {
        Lock guard(session->lock);
        session->polling = on;
    }
    if (on)
        session->Queue(Command::Resend);
    return 1;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI SmPsw_OpenPrinter(HWND mainWindow, const wchar_t* printer, const wchar_t* port, DWORD* handle)
{
    wchar_t window[16];
    wsprintfW(window, L"0x%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(mainWindow)));
    Record(std::wstring(L"SmPsw_OpenPrinter ") + window + L" " + OrNull(printer) + L" " + OrNull(port));
    if (!handle || !printer || !IsWindow(mainWindow))
        return 0;
    auto session = std::make_shared<Session>();
    session->window = mainWindow;
    session->printer = printer;
    DWORD notReady = 0, size = sizeof(notReady);
    if (RegGetValueW(HKEY_CURRENT_USER, kStandInKey, kNotReadyValue, RRF_RT_REG_DWORD, nullptr, &notReady, &size) ==
        ERROR_SUCCESS)
        session->notReady = notReady;
    session->stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    session->wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!session->stop || !session->wake)
        return 0;
    {
        Lock lock(g_tableLock);
        session->handle = g_nextHandle++;
        Sessions()[session->handle] = session;
    }
    if (!StartSessionThread(session)) {
        Lock lock(g_tableLock);
        Sessions().erase(session->handle);
        return 0;
    }
    *handle = session->handle;
    return 1;
}

// Does not wait for the session's thread: it may be blocked in a SendMessage to the very
// thread that closes the printer. It sends nothing more once the stop event is set.
__declspec(dllexport) DWORD WINAPI SmPsw_ClosePrinter(DWORD handle)
{
    RecordCall(L"SmPsw_ClosePrinter", {handle});
    std::shared_ptr<Session> session;
    {
        Lock lock(g_tableLock);
        auto found = Sessions().find(handle);
        if (found == Sessions().end())
            return 0;
        session = found->second;
        Sessions().erase(found);
    }
    SetEvent(session->stop);
    return 1;
}

__declspec(dllexport) DWORD WINAPI SmPsw_GetPrinterStatus(DWORD handle, DWORD firstRequest)
{
    RecordCall(L"SmPsw_GetPrinterStatus", {handle, firstRequest});
    std::shared_ptr<Session> session = FindSession(handle);
    if (!session)
        return 0;
    {
        Lock guard(session->lock);
        if (session->notReady) {
            --session->notReady;
            return 0;
        }
    }
    session->Queue(Command::Resend);
    return 1;
}

__declspec(dllexport) DWORD WINAPI SmPsw_JobRequest(DWORD handle, DWORD code, DWORD argument)
{
    RecordCall(L"SmPsw_JobRequest", {handle, code, argument});
    std::shared_ptr<Session> session = FindSession(handle);
    if (!session)
        return 0;
    if (code == kCancelRequest)
        session->Queue(Command::Cancel, argument);
    else if (code == kHoldRequest)
        session->Queue(Command::Hold);
    else if (code == kReleaseRequest)
        session->Queue(Command::Release);
    return 1;
}

__declspec(dllexport) DWORD WINAPI SmPsw_ChangePrinterName(DWORD handle, const wchar_t* newName)
{
    RecordCall(L"SmPsw_ChangePrinterName", {handle}, OrNull(newName));
    std::shared_ptr<Session> session = FindSession(handle);
    if (!session || !newName)
        return 0;
    Lock guard(session->lock);
    session->printer = newName;
    return 1;
}

__declspec(dllexport) DWORD WINAPI SmPsw_StartPolling(DWORD handle) { return SetPolling(L"SmPsw_StartPolling", handle, true); }
__declspec(dllexport) DWORD WINAPI SmPsw_StopPolling(DWORD handle) { return SetPolling(L"SmPsw_StopPolling", handle, false); }

// Session threads hold a reference to the library, so it is unloaded by FreeLibrary only
// when none runs; at process exit they are gone already. Nothing is waited for here.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        InitializeCriticalSection(&g_tableLock);
    } else if (reason == DLL_PROCESS_DETACH) {
        DeleteCriticalSection(&g_tableLock);
    }
    return TRUE;
}

}  // extern "C"
