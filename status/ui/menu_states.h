// The states of the menu's and the toolbars' job commands and of the two device items, as the
// monitor layer decides them, set on the window's menu and toolbars.
#pragma once
#include "ui/layer.h"
#include <windows.h>

// Sets the job items of the menu and the toolbars (and the device items when asked) for the
// port, the page and the selection; `clearSelection` forgets the selected waiting jobs
// first. Returns the tab page showing.
int RefreshCommandStates(BOOL clearSelection, BOOL deviceItems);
// The two device items of the menu: 104 and the port settings.
void RefreshDeviceItems(void);
