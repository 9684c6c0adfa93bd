// XERB5LMK.DLL, the language monitor "XERB5 Monitor". Wine's spooler loads every registered
// monitor when it enumerates ports; this stand-in declines to initialise, so the spooler
// unloads it again and carries on without it.
#include <windows.h>
#include <winsplp.h>

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor)
{
    if (monitor)
        *monitor = nullptr;
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
}
