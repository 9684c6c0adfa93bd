// The three job lists: the detail list (page 0), the job log (page 1), the waiting jobs (page 2).
#pragma once
#include <windows.h>

#define DETAIL_ROWS 5

// Columns of the three lists from the layout's widths, and the detail list's fixed rows.
void InitListColumns(void);
