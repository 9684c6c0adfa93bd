// Commands from the menu, the toolbars and the keyboard.
#pragma once
#include "ui/layer.h"
#include <windows.h>

// WM_COMMAND of the main window.
void Commands_OnCommand(UINT id, UINT notification);
// A button of one of the toolbars.
void OnToolbarCommand(UINT id);
// WM_MENUSELECT: the item's help in the status bar, the port name when the menu closes.
void Commands_OnMenuSelect(UINT item, UINT flags, HMENU menu);
