// The children of the main window, placed by the layout record.
#pragma once
#include "ui/layer.h"
#include <windows.h>

// Creates every child in its order, with the lists' columns and the tab pages; FALSE when a
// child cannot be made.
BOOL CreateChildren(HWND window);
// Creates the status bar (id 505) showing the port name, after measuring its allowance.
void CreateStatusBar(HWND window);
// Background and text-background colours of the three lists.
void ApplyListColours(void);
// Places every child at the window's DPI again, with its font, columns and images (the
// window moved to a monitor of another scale).
void LayoutChildren(void);
