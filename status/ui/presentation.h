// Status blocks from the status-monitor library and what the window makes of them: the
// display record, popping up and hiding, countdowns, animations and the job log.
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
// Stops the two countdowns (timers 3 and 4).
void StopCountdowns(void);
// Stops the animations, the first-page countdown and the status retry (window destruction).
void StopPresentationTimers(void);

// Fields of the last status block. The block comes from another process: a field beyond its
// length reads 0, a string outside it or without a terminator inside it reads empty.
DWORD StatusField(size_t offset);
const wchar_t* StatusString(size_t offsetField);
// The computer that sent the current job, without a leading "\\".
const wchar_t* StatusMachineName(void);

enum EstimateForm { ESTIMATE_INITIAL, ESTIMATE_CONTINUING };
// The time left of the job in seconds (0 when it cannot be estimated or has run out); also
// sets the time of day it should end.
DWORD EstimateTimeLeft(EstimateForm form);
