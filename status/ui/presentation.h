// Status blocks from the status-monitor library, taken into the window: the display record
// asked for, and what the block decides (popping up and hiding, timers, countdowns,
// animations, the job log) applied in order.
#pragma once
#include "ui/layer.h"
#include <windows.h>
#include "monitor/status_decision.h"

// WM_COPYDATA from the status-monitor library (any wParam but the quit code).
void Presentation_OnCopyData(const COPYDATASTRUCT* data);
// Asks the library for the printer's status; when it cannot answer now, the status retry
// timer asks again. `firstRequest` is 1 for the first request, 0 for a retry.
void RequestFirstStatus(DWORD firstRequest);
// Forgets the last status block.
void DiscardStatusCopy(void);
// WM_TIMER of the presentation's timers (the animations, countdowns, status retry and
// attention hold).
void Presentation_OnTimer(UINT_PTR timer);
// Stops the two countdowns.
void StopCountdowns(void);
// Stops the animations, the first-page countdown and the status retry (window destruction).
void StopPresentationTimers(void);

// The time left of the job in seconds (0 when it cannot be estimated or has run out); also
// sets the time of day it should end.
DWORD EstimateTimeLeft(EstimateForm form);
