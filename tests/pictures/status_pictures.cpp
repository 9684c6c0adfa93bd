// Starts the installed status window for the stand-in printer and shows it in the states a
// user meets, one after the other, so that scripts/status-pictures.sh can photograph each.
// The two talk through a folder given as the only argument: once the window shows a state,
// this program writes NAME.ready with the window's rectangle ("left top width height",
// desktop pixels) and goes on as soon as the script has removed that file.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t kPrinter[] = L"Tavik QX2210-2370";
const wchar_t kSettingsKey[] = L"Software\\Tavik\\XERB5\\Tavik QX2210-2370\\PSW";
const UINT kQuit = WM_USER + 3;
const DWORD kSettleMs = 1500;

void SetSetting(const wchar_t* name, DWORD value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof(value));
}

std::wstring DriverDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path) + L"\\spool\\drivers\\w32x86\\3";
}

// Writes NAME.ready with the window's rectangle and waits until the script has taken it.
void Photograph(const std::wstring& folder, const wchar_t* name, HWND window)
{
    SetForegroundWindow(window);
    Sleep(kSettleMs);
    RECT rect;
    GetWindowRect(window, &rect);
    char line[64];
    int n = std::snprintf(line, sizeof line, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top);
    const std::wstring ready = folder + L"\\" + name + L".ready", partial = ready + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, n, &written, nullptr);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING);
    while (GetFileAttributesW(ready.c_str()) != INVALID_FILE_ATTRIBUTES)
        Sleep(100);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    std::wstring folder = commandLine;
    if (folder.size() >= 2 && folder.front() == L'"')
        folder = folder.substr(1, folder.size() - 2);

    // Shown where the picture has room, as the user left it.
    SetSetting(L"Left", 40);
    SetSetting(L"Top", 40);
    SetSetting(L"LastWindowVisiblity", 1);
    SetSetting(L"LastWindowState", 0);
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
    if (window) {
        Photograph(folder, L"status-ready", window);
        PostMessageW(window, kQuit, 0, 0);
    }
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    return window ? 0 : 1;
}
