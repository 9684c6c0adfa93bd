// The two STATIC panes that host the presentation library's toolbars.
#pragma once
#include <windows.h>

void SubclassToolbarPanes(void);
