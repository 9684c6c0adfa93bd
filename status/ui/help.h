// The help file of the status window.
#pragma once
#include <windows.h>

// The help call, replaceable by tests: the platform's would start a help viewer.
typedef BOOL(WINAPI* WinHelpFunction)(HWND window, const wchar_t* file, UINT command, ULONG_PTR data);
extern WinHelpFunction g_winHelp;

// Calls the help viewer with the printer's help file; nothing when the file's folder is unknown.
void ShowHelp(HWND window, UINT command, ULONG_PTR data);
