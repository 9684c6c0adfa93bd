/* A print monitor for the port tests: it serves the one port "MONPORT1:" under the monitor
   name "Chk Port Monitor". The tests register it with the spooler by its full path. */
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

static const WCHAR portName[] = L"MONPORT1:";
static const WCHAR monitorName[] = L"Chk Port Monitor";
static const WCHAR description[] = L"Chk Port";

static BOOL WINAPI EnumTestPorts(HANDLE monitor, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                                 LPDWORD needed, LPDWORD returned)
{
    DWORD entry = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    DWORD strings = sizeof(portName) + (level > 1 ? sizeof(monitorName) + sizeof(description) : 0);
    WCHAR *text;
    PORT_INFO_2W *port = (PORT_INFO_2W *)buffer;

    (void)monitor;
    (void)name;
    *needed = entry + strings;
    *returned = 0;
    if (!buffer || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    text = (WCHAR *)(buffer + entry);
    lstrcpyW(text, portName);
    port->pPortName = text;
    text += lstrlenW(text) + 1;
    if (level > 1) {
        lstrcpyW(text, monitorName);
        port->pMonitorName = text;
        text += lstrlenW(text) + 1;
        lstrcpyW(text, description);
        port->pDescription = text;
        port->fPortType = PORT_TYPE_WRITE;
        port->Reserved = 0;
    }
    *returned = 1;
    return TRUE;
}

static MONITOR2 functions;

__declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor)
{
    (void)init;
    functions.cbSize = sizeof(functions);
    functions.pfnEnumPorts = EnumTestPorts;
    *monitor = (HANDLE)&functions;
    return &functions;
}
