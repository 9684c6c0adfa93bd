// The floor of the status window's start-up: only what any start of it cannot avoid. It opens
// the printer through the spooler, asks for the printer's driver and shows one window titled
// with the printer's name, as the status window is; nothing else. What the status window takes
// beyond this program is its own. WM_CLOSE ends it.
//   bench_floor PRINTER
#include <windows.h>
#include <winspool.h>

#include <cstdlib>

#include "minimal_window.h"

static LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// TRUE when the spooler gave the driver's data (level 3, as the status window's check asks).
static BOOL AskDriver(HANDLE printer)
{
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    BYTE* data = needed ? static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, needed)) : nullptr;
    BOOL asked = data && GetPrinterDriverW(printer, nullptr, 3, data, needed, &needed);
    if (data)
        HeapFree(GetProcessHeap(), 0, data);
    return asked;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    if (__argc < 2)
        return 1;
    wchar_t* name = __wargv[1];
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name, &printer, nullptr))
        return 1;
    int result = 1;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FloorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = BENCH_FLOOR_CLASS;
    HWND window = nullptr;
    if (AskDriver(printer) && RegisterClassW(&windowClass))
        window = CreateWindowExW(0, BENCH_FLOOR_CLASS, name, WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 446, 388, nullptr, nullptr, instance, nullptr);
    if (window) {
        ShowWindow(window, show);
        UpdateWindow(window);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        result = int(msg.wParam);
    }
    ClosePrinter(printer);
    return result;
}
