// Repainting what a status block or an animation changes, at once.
#pragma once
#include "ui/layer.h"
#include <windows.h>

// Invalidates a window and paints it at once.
void RepaintNow(HWND window);
// Gives the window the display record's big icon, when it has one the window lacks.
void SetBigIcon(void);
// Repaints at once what a new status block changes.
void RepaintStatusPanes(void);
