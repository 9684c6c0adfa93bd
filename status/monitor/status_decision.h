// What a status block changes, decided apart from any window. It takes two steps because the
// presentation library's display request comes in between: on arrival the block may pause the
// countdowns and bring the window up (which starts polling before the request); once the
// display record is known it decides the timers, the countdown values, the job's document and
// pages, a job end with its log entry, and hiding. The window keeps what it remembers in one
// PresentationMemory (app/state.h), asks, and applies the answer in order.
#pragma once
#include "monitor/layer.h"
#include <windows.h>
#include "app/protocol.h"
#include "app/psw_records.h"
#include "app/state.h"
#include "monitor/status_rules.h"

#define TIMER_STEPS_MAX 16

// On arrival: the countdowns pause, and the window comes up, for a job or an error.
struct ArrivalDecision {
    BOOL pauseCountdowns;
    PopUpReason popUp;
    DWORD rememberedDeviceFlags;        // the block's once the window came up for it
};
ArrivalDecision DecideOnArrival(DWORD rememberedDeviceFlags, StatusBlockView block, DWORD showing,
                                BOOL (*jobForThisSeat)(void));

// A timer that starts (again, from its first period or animation frame) or stops.
enum TimerChange { TIMER_STARTS, TIMER_STOPS };
struct TimerStep {
    UINT_PTR timer;
    TimerChange change;
};

// The time left of the job in seconds (0 when it cannot be estimated or has run out) and the
// local time of day it should end.
enum EstimateForm { ESTIMATE_INITIAL, ESTIMATE_CONTINUING };
struct TimeLeft {
    DWORD seconds;
    SYSTEMTIME finish;
};
TimeLeft EstimateTimeLeftAt(StatusBlockView block, EstimateForm form, LONGLONG elapsedA, LONGLONG elapsedB,
                            const SYSTEMTIME& now);

// Once the display record is known.
struct DisplayDecision {
    PresentationMemory next;            // remembered afterwards; `runs` as after the steps
    TimerStep steps[TIMER_STEPS_MAX];   // in the order they are taken
    int stepCount;
    BOOL estimated;                     // the time left was computed again
    TimeLeft timeLeft;
    BOOL tookJob;                       // a new status with a block: the window state is saved
    BOOL jobEnd;                        // the job selection is cleared
    BOOL logEntry, cancelled;           // the job log gets an entry, for a cancelled job or not
    BOOL hide;                          // a window that came up by itself goes again
};
DisplayDecision DecideOnDisplay(const PresentationMemory& memory, StatusBlockView block, BOOL newStatus,
                                int previousCode, const PswDisplayInfo& display, const SYSTEMTIME& now);
