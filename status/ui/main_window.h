// The status window: its classes, its creation from the layout record and its procedure.
// What the window's parts call lives below it (window_placement.h, repaint.h).
#pragma once
#include "ui/layer.h"
#include <windows.h>

// Registers "PSWM4WindowClass" and "ProgressBarWindowClass"; FALSE when either fails.
BOOL RegisterWindowClasses(HINSTANCE instance);
// Creates the main window hidden, with every child, on tab page 0; NULL on failure.
HWND CreateMainWindow(void);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the children of one tab page and hides the others'.
void ShowPage(int page);
