// The two STATIC panes that host the presentation library's toolbars.
#pragma once
#include "ui/layer.h"
#include <windows.h>

void SubclassToolbarPanes(void);
// Gives toolbar `which` (0 the status toolbar, 1 the waiting toolbar) its images and buttons
// at the window's DPI: the library's 96-DPI images scaled smoothly, or the library's own at 96.
void ScaleToolbarImages(HWND toolbar, int which);
// Gives the toolbars the library's images back and frees the scaled ones.
void ReleaseToolbarImages(void);
