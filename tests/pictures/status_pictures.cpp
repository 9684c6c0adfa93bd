// Starts the installed status window for the stand-in printer and shows it in the states a
// user meets, one after the other, so that scripts/status-pictures.sh can photograph each.
// The printer's jobs are job scripts for the stand-in status-monitor library (registry value
// named after the printer under HKCU\Software\Tavik\XERB5\StandIn); the moments to take a
// picture follow from each script's page interval.
// The two talk through a folder given as the only argument: once the window shows a state,
// this program writes NAME.ready with the window's rectangle ("left top width height",
// desktop pixels) and goes on as soon as the script has removed that file.
#include <windows.h>

#include "handshake.h"

#include <string>

namespace {

const wchar_t kPrinter[] = L"Tavik QX2210-2370";
const wchar_t kSettingsKey[] = L"Software\\Tavik\\XERB5\\Tavik QX2210-2370\\PSW";
const wchar_t kStandInKey[] = L"Software\\Tavik\\XERB5\\StandIn";
const UINT kQuit = WM_USER + 3;
const UINT kShow = WM_USER + 4;
const UINT kCancelCommand = 103;
const int kTabControl = 501;
const DWORD kSettleMs = 1500;
const DWORD kWaitMs = 30000;
const DWORD kPollMs = 50;

// The stand-in plays a job of P pages with page interval I as: start; I/3 waiting for data;
// I/3 more until page 1 starts; each page then prints for I and the next starts I/3 after;
// the end comes I/2 after the last page, and the printer reports itself idle after this.
const DWORD kIdleAfterEndMs = 1500;

DWORD PageStartMs(DWORD page, DWORD interval) { return interval + (page - 1) * (interval + interval / 3); }

DWORD JobMs(DWORD pages, DWORD interval) { return PageStartMs(pages, interval) + interval + interval / 2 + kIdleAfterEndMs; }

void SetSetting(const wchar_t* name, DWORD value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof(value));
}

std::wstring DriverDirectory()
{
    // The spooler's folder for this program's own environment: the package built beside it
    // is of the same bitness.
    wchar_t path[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(path), sizeof(path), &needed);
    return std::wstring(path) + L"\\3";
}

bool ScriptPending()
{
    DWORD type = 0, size = 0;
    return RegGetValueW(HKEY_CURRENT_USER, kStandInKey, kPrinter, RRF_RT_REG_SZ, &type, nullptr, &size) ==
           ERROR_SUCCESS;
}

// Hands the printer a job and returns when the printer has taken it, which is when it
// starts: the printer takes the next script once the job before has ended.
DWORD Play(const std::wstring& script)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kStandInKey, kPrinter, REG_SZ, script.c_str(),
                    DWORD((script.size() + 1) * sizeof(wchar_t)));
    for (DWORD waited = 0; ScriptPending() && waited < kWaitMs; waited += kPollMs)
        Sleep(kPollMs);
    return GetTickCount();
}

void SleepUntil(DWORD start, DWORD afterMs)
{
    const DWORD passed = GetTickCount() - start;
    if (passed < afterMs)
        Sleep(afterMs - passed);
}

bool WaitForVisibility(HWND window, bool visible)
{
    for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
        if ((IsWindowVisible(window) != FALSE) == visible)
            return true;
        Sleep(kPollMs);
    }
    return false;
}

// Writes NAME.ready with the window's rectangle and waits until the script has taken it.
void Photograph(const std::wstring& folder, const wchar_t* name, HWND window)
{
    SetForegroundWindow(window);
    Sleep(kSettleMs);
    const std::wstring ready = folder + L"\\" + name + L".ready";
    AnnounceWindow(ready, window);
    while (GetFileAttributesW(ready.c_str()) != INVALID_FILE_ATTRIBUTES)
        Sleep(100);
}

// The tab control changes its page on the arrow keys and tells the window itself, inside
// the window's process: a notification could not be sent there from here.
void NextTabPage(HWND window, bool forward)
{
    HWND tab = GetDlgItem(window, kTabControl);
    const WPARAM key = forward ? VK_RIGHT : VK_LEFT;
    PostMessageW(tab, WM_KEYDOWN, key, 1);
    PostMessageW(tab, WM_KEYUP, key, 0xC0000001);
}

// Every state in turn; false when the window did not come up or go away as it should.
bool ShowStates(const std::wstring& folder, HWND window)
{
    Photograph(folder, L"status-ready", window);

    // Page 3 of 10 prints: the detail page with progress and time left. The job is cancelled
    // after the picture, so that the log also holds a cancelled job.
    const DWORD interval = 4000;
    DWORD start = Play(L"pages=10 interval=4000 doc=\"季度报告.doc\"");
    SleepUntil(start, PageStartMs(3, interval) + interval / 2 - kSettleMs);
    Photograph(folder, L"status-printing", window);
    PostMessageW(window, WM_COMMAND, kCancelCommand, 0);

    // The user closed the window; paper runs out on page 2 of the next job and brings it up.
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!WaitForVisibility(window, false))
        return false;
    Play(L"pages=3 interval=1000 error=paperout@2 for=8000 doc=\"发票 2026-12.xls\"");
    if (!WaitForVisibility(window, true))
        return false;
    Photograph(folder, L"status-paper-out", window);
    // Up for the error only, the window goes again once the paper is back.
    if (!WaitForVisibility(window, false))
        return false;

    // Two more jobs finish while the window is away; then the user brings it up, as the
    // notification-area program does.
    Play(L"pages=2 interval=500 doc=\"会议纪要.doc\"");
    start = Play(L"pages=1 interval=500 doc=\"readme.txt\"");
    SleepUntil(start, JobMs(1, 500));
    ShowWindow(window, SW_SHOW);
    PostMessageW(window, kShow, 0, 0);

    NextTabPage(window, true);
    Photograph(folder, L"status-job-log", window);
    NextTabPage(window, false);
    Photograph(folder, L"status-after-job", window);
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    std::wstring folder = commandLine;
    if (folder.size() >= 2 && folder.front() == L'"')
        folder = folder.substr(1, folder.size() - 2);

    // Shown where the picture has room, as the user left it; popping up for errors only.
    SetSetting(L"Left", 40);
    SetSetting(L"Top", 40);
    SetSetting(L"LastWindowVisiblity", 1);
    SetSetting(L"LastWindowState", 0);
    SetSetting(L"Showing", 1);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kStandInKey, kPrinter);
    // The library's calls, for the demo to show.
    const wchar_t callLog[] = L"C:\\pstatus-calls.log";
    DeleteFileW(callLog);
    RegSetKeyValueW(HKEY_CURRENT_USER, kStandInKey, L"Log", REG_SZ, callLog, sizeof(callLog));
    std::wstring line = L"\"" + DriverDirectory() + L"\\pstatus.exe\" !D" + kPrinter + L" !PLPT1:";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    CloseHandle(process.hThread);
    HWND window = nullptr;
    for (int i = 0; i < 100 && !(window = FindWindowW(L"PSWM4WindowClass", kPrinter)); ++i)
        Sleep(100);
    const bool shown = window && ShowStates(folder, window);
    if (window)
        PostMessageW(window, kQuit, 0, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    return shown ? 0 : 1;
}
