// Status blocks from the status-monitor library and what the window makes of them.
#pragma once
#include <windows.h>

// WM_COPYDATA from the status-monitor library (any wParam but the quit code).
void Presentation_OnCopyData(const COPYDATASTRUCT* data);
// Asks the library for the printer's status; when it cannot answer now, timer 5 retries.
// `firstRequest` is 1 for the first request, 0 for a retry.
void RequestFirstStatus(DWORD firstRequest);
// Forgets the last status block.
void DiscardStatusCopy(void);
// WM_TIMER of the presentation's timers (1 to 6).
void Presentation_OnTimer(UINT_PTR timer);

// Fields of the last status block. The block comes from another process: a field beyond its
// length reads 0, a string outside it or without a terminator inside it reads empty.
DWORD StatusField(DWORD offset);
const wchar_t* StatusString(DWORD offsetField);
