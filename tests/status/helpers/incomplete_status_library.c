/* A status-monitor library that lacks SmPsw_StopPolling: the status window must refuse it. */
#include <windows.h>

__declspec(dllexport) DWORD WINAPI SmPsw_OpenPrinter(HWND w, const wchar_t* p, const wchar_t* q, DWORD* h)
{
    (void)w, (void)p, (void)q;
    *h = 1;
    return 1;
}
__declspec(dllexport) DWORD WINAPI SmPsw_ClosePrinter(DWORD h) { return h; }
__declspec(dllexport) DWORD WINAPI SmPsw_GetPrinterStatus(DWORD h, DWORD f) { return h + f; }
__declspec(dllexport) DWORD WINAPI SmPsw_JobRequest(DWORD h, DWORD c, DWORD a) { return h + c + a; }
__declspec(dllexport) DWORD WINAPI SmPsw_ChangePrinterName(DWORD h, const wchar_t* n) { return h + (n != 0); }
__declspec(dllexport) DWORD WINAPI SmPsw_StartPolling(DWORD h) { return h; }
