// The status window: its classes, its creation from the layout record and its procedure.
#pragma once
#include <windows.h>

// Registers "PSWM4WindowClass" and "ProgressBarWindowClass"; FALSE when either fails.
BOOL RegisterWindowClasses(HINSTANCE instance);
// Creates the main window hidden, with every child, on tab page 0; NULL on failure.
HWND CreateMainWindow(void);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window's width: the layout's, its own part scaled to the window's DPI.
int MainWindowWidth(void);
// The window's height: menu bar, title bar, the status-bar allowance and the layout (its own
// part scaled to the window's DPI).
int MainWindowHeight(void);
// Moves the window to the saved position and layer ("Left", "Top", "AlwaysOnTop") at its
// layout size, with `flags` (SWP_HIDEWINDOW, SWP_SHOWWINDOW, SWP_FRAMECHANGED).
void PlaceMainWindow(UINT flags);
// Writes "LastWindowVisiblity", then "LastWindowState".
void SaveWindowState(void);
// Shows the children of one tab page and hides the others'.
void ShowPage(int page);
// Invalidates a window and paints it at once.
void RepaintNow(HWND window);
// Gives the window the display record's big icon, when it has one the window lacks.
void SetBigIcon(void);
// Repaints at once what a new status block changes.
void RepaintStatusPanes(void);
