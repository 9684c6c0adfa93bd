// The two libraries of the driver package that the status window loads at run time: the
// status-monitor library talks to the printer, the presentation library turns its status
// into pictures, texts, menus and toolbars.
#pragma once
#include <windows.h>
#include "app/psw_records.h"

#define STATUS_LIBRARY_NAME L"XERB5SMK.DLL"
#define PRESENTATION_LIBRARY_NAME L"XERB5PMN.DLL"

typedef BOOL(WINAPI* PSM_GetPSWInfo_t)(PswLayoutInfo* layout);
typedef int(WINAPI* PSM_GetPSWDisplay_t)(HMODULE module, int previousCode, const void* status,
                                         PswDisplayInfo* display, BOOL cleared);
typedef void(WINAPI* PSM_PrinterSpecificProc_t)(void);
typedef HWND(WINAPI* PSM_CreateToolbar_t)(HWND pane, int which);
typedef UINT(WINAPI* PSM_GetMenuHelpText_t)(HWND window, UINT item, UINT flags, HMENU menu);
typedef UINT(WINAPI* PSM_GetToolTipText_t)(UINT control);
typedef BOOL(WINAPI* PSM_GetFileName_t)(wchar_t* buffer, int kind);

typedef DWORD(WINAPI* SmPsw_OpenPrinter_t)(HWND window, const wchar_t* printer, const wchar_t* port,
                                           DWORD* handle);
typedef DWORD(WINAPI* SmPsw_Handle_t)(DWORD handle);
typedef DWORD(WINAPI* SmPsw_GetPrinterStatus_t)(DWORD handle, DWORD firstRequest);
typedef DWORD(WINAPI* SmPsw_JobRequest_t)(DWORD handle, DWORD code, DWORD argument);
typedef DWORD(WINAPI* SmPsw_ChangePrinterName_t)(DWORD handle, const wchar_t* name);

// The entry points, all bound or none.
struct PswLibraries {
    HMODULE presentation;
    HMODULE status;
    PSM_GetPSWInfo_t PSM_GetPSWInfo;
    PSM_GetPSWDisplay_t PSM_GetPSWDisplay;
    PSM_PrinterSpecificProc_t PSM_PrinterSpecificProc;
    PSM_CreateToolbar_t PSM_CreateToolbar;
    PSM_GetMenuHelpText_t PSM_GetMenuHelpText;
    PSM_GetToolTipText_t PSM_GetToolTipText;
    PSM_GetFileName_t PSM_GetFileName;
    SmPsw_OpenPrinter_t SmPsw_OpenPrinter;
    SmPsw_Handle_t SmPsw_ClosePrinter;
    SmPsw_GetPrinterStatus_t SmPsw_GetPrinterStatus;
    SmPsw_JobRequest_t SmPsw_JobRequest;
    SmPsw_ChangePrinterName_t SmPsw_ChangePrinterName;
    SmPsw_Handle_t SmPsw_StartPolling;
    SmPsw_Handle_t SmPsw_StopPolling;
};

// Why the libraries could not be bound.
struct LibraryFailure {
    const wchar_t* library;   // the one that failed
    DWORD loadError;          // LoadLibraryW's error; 0 when it loaded but lacks an entry point
};

// Loads both libraries and binds all fourteen entry points into `libraries`. When one is
// missing, frees what was loaded, clears the record, says why in `failure` (when given) and
// returns FALSE.
BOOL BindLibraries(PswLibraries* libraries, LibraryFailure* failure = NULL);
// Frees the status library first, then the presentation library; clears the record.
void ReleaseLibraries(PswLibraries* libraries);
