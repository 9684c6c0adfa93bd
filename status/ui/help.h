// The help file of the status window.
#pragma once
#include "ui/layer.h"
#include <windows.h>

// The help call, replaceable by tests: the platform's would start a help viewer.
typedef BOOL(WINAPI* WinHelpFunction)(HWND window, const wchar_t* file, UINT command, ULONG_PTR data);
extern WinHelpFunction g_winHelp;

// Calls the help viewer with the printer's help file; nothing when the file's folder is unknown.
void ShowHelp(HWND window, UINT command, ULONG_PTR data);

// F1 in the main window: the topic of the tab page or the lists as a pop-up, else the help
// contents.
void Help_OnHelp(const HELPINFO* info);
// A right click in the main window: the pane under the point gets its "What's this?" help.
// FALSE when the click was on the title bar (default processing).
BOOL Help_OnContextMenu(HWND clicked, POINT screen);
