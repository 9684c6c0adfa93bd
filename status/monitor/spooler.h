// The spooler calls that tests replace: the platform neither reports job changes nor lets
// one process read or change another's jobs. Everything else goes to the spooler directly.
#pragma once
#include "monitor/layer.h"
#include <windows.h>
#include <winspool.h>

struct SpoolerFunctions {
    HANDLE(WINAPI* FindFirstChange)(HANDLE printer, DWORD filter, DWORD options, LPVOID notifyOptions);
    BOOL(WINAPI* FindNextChange)(HANDLE change, PDWORD changeWord, LPVOID notifyOptions, LPVOID* info);
    BOOL(WINAPI* FreeNotifyInfo)(PPRINTER_NOTIFY_INFO info);
    BOOL(WINAPI* FindCloseChange)(HANDLE change);
    BOOL(WINAPI* GetJob)(HANDLE printer, DWORD jobId, DWORD level, LPBYTE job, DWORD bytes, LPDWORD needed);
    BOOL(WINAPI* SetJob)(HANDLE printer, DWORD jobId, DWORD level, LPBYTE job, DWORD command);
};

extern SpoolerFunctions g_spooler;
