// The floor of the status window's start-up: only what any start of it cannot avoid. It opens
// the printer through the spooler, asks for the printer's driver and shows one window titled
// with the printer's name, as the status window is; nothing else. What the status window takes
// beyond this program is its own. WM_CLOSE ends it.
//   bench_floor PRINTER
#include <windows.h>
#include <winspool.h>

#include <cstdlib>

#include "minimal_window.h"

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
    int result = AskDriver(printer)
                     ? RunBenchWindow(instance, BENCH_FLOOR_CLASS, name, WS_SYSMENU | WS_MINIMIZEBOX, COLOR_BTNFACE, 446,
                                      388, show)
                     : 1;
    ClosePrinter(printer);
    return result;
}
