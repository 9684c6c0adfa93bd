// Where the main window goes and how large it is: its size from the layout record at the
// window's DPI, the place it was left in (kept in view of the screens), and the window state
// it leaves in the settings.
#pragma once
#include "ui/layer.h"
#include <windows.h>

// The layout is made for a 20-pixel status bar; a taller one adds to the window's height.
#define LAYOUT_STATUS_BAR_HEIGHT 20

// The window's width: the layout's, its own part scaled to the window's DPI.
int MainWindowWidth(void);
// The window's height: menu bar, title bar, the status-bar allowance and the layout (its own
// part scaled to the window's DPI).
int MainWindowHeight(void);
// The height the window is made with, before the status bar's allowance is measured.
int InitialWindowHeight(void);
// Where the window was left ("Left", "Top"), or the default place; a place out of view is
// replaced by one in view, and that is what gets stored.
POINT SavedWindowPosition(void);
// Moves a window rectangle whose title bar no monitor shows (the screens changed since it was
// left there, or the stored place is damaged) into view: onto the nearest monitor's work area
// when the window fits it, else to the default place on the primary monitor. A rectangle the
// user can reach is left exactly as it is. TRUE when it moved.
BOOL MoveIntoView(RECT* rect);
// Moves the window to the saved position and layer ("Left", "Top", "AlwaysOnTop") at its
// layout size, with `flags` (SWP_HIDEWINDOW, SWP_SHOWWINDOW, SWP_FRAMECHANGED).
void PlaceMainWindow(UINT flags);
// Writes "LastWindowVisiblity", then "LastWindowState".
void SaveWindowState(void);
