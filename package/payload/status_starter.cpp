// XERB5LAK.EXE, run at logon from the all-users Startup folder: starts the status window
// pstatus.exe from this program's own directory once for every local printer of the
// package's driver, as  "<path>" !D<printer name> !P<port name>,
// and then stays as the notification-area program: a hidden window of the class
// "pswM4_notifyicon" with an icon whose menu brings a printer's status window forward.
// It ends on message 1027, which the last status window to close posts to it. When a
// notification-area program runs already, this one only starts the status windows.
#include <windows.h>
#include <shellapi.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "raii.h"
#include "status_starter_res.h"

namespace {

const wchar_t kDriverName[] = L"Tavik QX2210-2370";
const wchar_t kNotifyClass[] = L"pswM4_notifyicon";
const wchar_t kStatusWindowClass[] = L"PSWM4WindowClass";

constexpr UINT kQuitMessage = WM_USER + 3;      // from the last status window that closes
constexpr UINT kShowStatusMessage = WM_USER + 4; // to a status window: come forward
constexpr UINT kIconMessage = WM_APP + 1;        // notifications of our icon
constexpr UINT kIconId = 1;
constexpr UINT kFirstPrinterCommand = 1000;
constexpr UINT kExitCommand = 999;

struct Printer {
    std::wstring name, port;
};

HINSTANCE g_instance;
UINT g_taskbarCreated;  // the shell's restart: the icon is added again

bool PackagePrinters(std::vector<Printer>& printers)
{
    printers.clear();
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    LocalBlock buffer(needed);
    if (!buffer || !EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.as(), needed, &needed, &count))
        return false;
    const auto* info = buffer.as<PRINTER_INFO_2W>();
    for (DWORD i = 0; i < count; ++i)
        if (info[i].pDriverName && lstrcmpW(info[i].pDriverName, kDriverName) == 0)
            printers.push_back({info[i].pPrinterName, info[i].pPortName ? info[i].pPortName : L""});
    return true;
}

std::wstring StatusWindowPath()
{
    wchar_t own[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own, length);
    path.erase(path.find_last_of(L'\\') + 1);
    return path + L"pstatus.exe";
}

// One argument in quotes, read back as it is by the rules Windows programs read theirs by: a
// quote inside becomes \", and backslashes before a quote (the closing one too) are doubled.
std::wstring Quoted(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
        } else {
            if (c == L'"')
                quoted.append(backslashes + 1, L'\\');
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, L'\\');
    return quoted + L"\"";
}

void StartStatusWindow(const Printer& printer)
{
    const std::wstring program = StatusWindowPath();
    std::wstring commandLine = Quoted(program) + L" " + Quoted(L"!D" + printer.name) + L" " + Quoted(L"!P" + printer.port);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        UniqueFile thread(process.hThread);
        UniqueFile child(process.hProcess);
    }
}

std::wstring LoadText(UINT id)
{
    wchar_t text[128] = L"";
    LoadStringW(g_instance, id, text, ARRAYSIZE(text));
    return text;
}

void SetTrayIcon(HWND window, DWORD action)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kIconId;
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_STARTER), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    lstrcpynW(data.szTip, LoadText(IDS_TRAY_TIP).c_str(), ARRAYSIZE(data.szTip));
    Shell_NotifyIconW(action, &data);
}

// A running status window is shown (closing only hid it) and told that the user asked for
// it; one that is not running (ended from its system menu) is started again and shows itself
// as its own settings say.
void ShowStatusWindow(const Printer& printer)
{
    HWND window = FindWindowW(kStatusWindowClass, printer.name.c_str());
    if (!window) {
        StartStatusWindow(printer);
        return;
    }
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
    PostMessageW(window, kShowStatusMessage, 0, 0);
}

// The printers of the package, one item each, and the item that removes the icon.
void ShowTrayMenu(HWND window)
{
    std::vector<Printer> printers;
    PackagePrinters(printers);
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    for (size_t i = 0; i < printers.size(); ++i)
        AppendMenuW(menu, MF_STRING, kFirstPrinterCommand + i, printers[i].name.c_str());
    if (printers.empty())
        AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, LoadText(IDS_TRAY_NO_PRINTER).c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kExitCommand, LoadText(IDS_TRAY_EXIT).c_str());
    if (!printers.empty())
        SetMenuDefaultItem(menu, kFirstPrinterCommand, FALSE);

    POINT cursor;
    GetCursorPos(&cursor);
    SetForegroundWindow(window);  // so that the menu closes when the user clicks elsewhere
    const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                                       window, nullptr);
    DestroyMenu(menu);
    if (chosen == kExitCommand)
        DestroyWindow(window);
    else if (chosen >= kFirstPrinterCommand && chosen - kFirstPrinterCommand < printers.size())
        ShowStatusWindow(printers[chosen - kFirstPrinterCommand]);
}

void OnIconMessage(HWND window, LPARAM event)
{
    if (event == WM_RBUTTONUP || event == WM_CONTEXTMENU) {
        ShowTrayMenu(window);
    } else if (event == WM_LBUTTONDBLCLK) {
        std::vector<Printer> printers;
        if (PackagePrinters(printers) && !printers.empty())
            ShowStatusWindow(printers.front());
    }
}

LRESULT CALLBACK NotifyWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetTrayIcon(window, NIM_ADD);
        return 0;
    case kIconMessage:
        OnIconMessage(window, lParam);
        return 0;
    case kQuitMessage:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        SetTrayIcon(window, NIM_DELETE);
        PostQuitMessage(0);
        return 0;
    default:
        if (message == g_taskbarCreated && g_taskbarCreated) {
            SetTrayIcon(window, NIM_ADD);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    g_instance = instance;
    std::vector<Printer> printers;
    if (!PackagePrinters(printers))
        return 1;
    for (const Printer& printer : printers)
        StartStatusWindow(printer);
    if (FindWindowW(kNotifyClass, nullptr))
        return 0;

    g_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = NotifyWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kNotifyClass;
    if (!RegisterClassExW(&windowClass))
        return 1;
    // A hidden top-level window, not a message-only one: status windows find it by class.
    if (!CreateWindowExW(0, kNotifyClass, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
