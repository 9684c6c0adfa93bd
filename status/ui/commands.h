// Commands from the menu, the toolbars and the keyboard, and the states of their items.
#pragma once
#include <windows.h>

// Sets the job items of the menu and the toolbars (and the device items when asked) for the
// port, the page and the selection; `clearSelection` forgets the selected waiting jobs
// first. Returns the tab page showing.
int RefreshCommandStates(BOOL clearSelection, BOOL deviceItems);
// The two device items of the menu: 104 and the port settings.
void RefreshDeviceItems(void);
// WM_COMMAND of the main window.
void Commands_OnCommand(UINT id, UINT notification);
// A button of one of the toolbars.
void OnToolbarCommand(UINT id);
// WM_MENUSELECT: the item's help in the status bar, the port name when the menu closes.
void Commands_OnMenuSelect(UINT item, UINT flags, HMENU menu);
