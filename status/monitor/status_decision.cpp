#include "monitor/status_decision.h"
#include <stddef.h>

#define MS_PER_SECOND 1000
#define SECONDS_PER_DAY 86400

#define FIELD(block, name) BlockField(block, offsetof(PswStatusData, name))

ArrivalDecision DecideOnArrival(DWORD rememberedDeviceFlags, StatusBlockView block, DWORD showing,
                                BOOL (*jobForThisSeat)(void))
{
    ArrivalDecision decision = {};
    decision.pauseCountdowns = CountdownsPauseForDevice(FIELD(block, deviceFlags), FIELD(block, jobFlags));
    decision.popUp = PopUpFor(showing, block, jobForThisSeat);
    decision.rememberedDeviceFlags = decision.popUp != POP_UP_NONE ? FIELD(block, deviceFlags) : rememberedDeviceFlags;
    return decision;
}

TimeLeft EstimateTimeLeftAt(StatusBlockView block, EstimateForm form, LONGLONG elapsedA, LONGLONG elapsedB,
                            const SYSTEMTIME& now)
{
    // Pages times milliseconds reaches 2^64: the sum is taken in a type that holds it exactly.
    long double fixedA = FIELD(block, fixedTimeA), perPage = FIELD(block, timePerPage), fixedB = FIELD(block, fixedTimeB);
    long double ms = 0;
    if (block.data && fixedA && perPage && fixedB) {
        long double remaining = (long double)FIELD(block, totalPages) - (long double)FIELD(block, pagesStarted);
        DWORD mode = FIELD(block, estimateMode);
        if (form == ESTIMATE_INITIAL)
            ms = remaining * perPage + fixedB + fixedA;
        else if (mode == ESTIMATE_PER_PAGE)
            ms = remaining * perPage - elapsedA + fixedB + fixedA;
        else if (mode == ESTIMATE_LOOPING)
            ms = (remaining + 1) * perPage - elapsedB + fixedB;
    }
    // More than 136 years shows as that much: the count must not wrap to a short time.
    LONGLONG seconds = ms >= 1000.0L * MAXDWORD ? LONGLONG(MAXDWORD) : ms > 0 ? LONGLONG(ms / MS_PER_SECOND) : 0;

    // The time of day it should end; past midnight it wraps, the date stays.
    TimeLeft left = {DWORD(seconds), now};
    LONGLONG end = (LONGLONG(now.wHour) * 3600 + now.wMinute * 60 + now.wSecond + seconds) % SECONDS_PER_DAY;
    left.finish.wHour = WORD(end / 3600);
    left.finish.wMinute = WORD(end / 60 % 60);
    left.finish.wSecond = WORD(end % 60);
    return left;
}

// The decision under way, with the clock and the block it is made for.
struct Deciding {
    DisplayDecision* decision;
    StatusBlockView block;
    const PswDisplayInfo* display;
    const SYSTEMTIME* now;
};

static void Step(Deciding& d, UINT_PTR timer, TimerChange change)
{
    DisplayDecision& decision = *d.decision;
    if (decision.stepCount < TIMER_STEPS_MAX)
        decision.steps[decision.stepCount++] = TimerStep{timer, change};
    decision.next.runs[timer] = change == TIMER_STARTS;
}

// Stopping a timer that does not run changes nothing: no step.
static void StopIfRunning(Deciding& d, UINT_PTR timer)
{
    if (d.decision->next.runs[timer])
        Step(d, timer, TIMER_STOPS);
}

// An animation starts from its first frame, and only when the record has frames.
static void StartAnimation(Deciding& d, UINT_PTR timer)
{
    if (d.display->frameCount && d.display->frames)
        Step(d, timer, TIMER_STARTS);
}

static void Estimate(Deciding& d, EstimateForm form)
{
    const PresentationMemory& next = d.decision->next;
    d.decision->timeLeft = EstimateTimeLeftAt(d.block, form, next.elapsedA, next.elapsedB, *d.now);
    d.decision->estimated = TRUE;
}

static void StopCountdowns(Deciding& d)
{
    StopIfRunning(d, TIMER_COUNTDOWN_FIRST_PAGE);
    StopIfRunning(d, TIMER_COUNTDOWN_PAGES);
}

// What a new block changes for the current job: document, pages, animations, job end.
static void TakeOverJob(Deciding& d, int previousCode)
{
    DisplayDecision& decision = *d.decision;
    PresentationMemory& next = decision.next;
    StatusBlockView block = d.block;
    const wchar_t* document = BlockString(block, offsetof(PswStatusData, documentOffset));
    if (lstrcmpW(document, next.document) != 0)
        next.document = document;

    DWORD started = FIELD(block, pagesStarted);
    if (next.pagesStarted < started) {
        if (next.runs[TIMER_COUNTDOWN_PAGES]) {
            next.elapsedB = 0;
            Step(d, TIMER_COUNTDOWN_PAGES, TIMER_STARTS);
        }
        if (next.runs[TIMER_COUNTDOWN_FIRST_PAGE]) {
            Step(d, TIMER_COUNTDOWN_FIRST_PAGE, TIMER_STOPS);
            next.elapsedB = 0;
            Step(d, TIMER_COUNTDOWN_PAGES, TIMER_STARTS);
        }
        if (d.display->animationMode == ANIMATION_PER_PAGE)
            StartAnimation(d, started % 2 ? TIMER_ANIMATION_A : TIMER_ANIMATION_B);
    } else if (started == 0) {
        StopIfRunning(d, TIMER_ANIMATION_A);
        StopIfRunning(d, TIMER_ANIMATION_B);
    }
    next.totalPages = FIELD(block, totalPages);
    next.pagesPrinted = FIELD(block, pagesPrinted);
    next.pagesStarted = started;

    DWORD jobFlags = FIELD(block, jobFlags);
    if (IsJobEnd(previousCode, d.display->displayCode, jobFlags)) {
        Step(d, TIMER_ATTENTION_HOLD, TIMER_STARTS);
        decision.jobEnd = TRUE;
        decision.logEntry = FIELD(block, documentOffset) != 0;
        decision.cancelled = (jobFlags & JOB_CANCELLED) != 0;
        decision.hide = next.showReason == SHOW_REASON_JOB;
    }
    if (ErrorHasCleared(next.rememberedDeviceFlags, FIELD(block, deviceFlags), next.showReason))
        decision.hide = TRUE;
    decision.tookJob = TRUE;
}

// What a new display code changes: animations and the first-page countdown.
static void FollowDisplayCode(Deciding& d, int previousCode)
{
    int code = d.display->displayCode;
    PresentationMemory& next = d.decision->next;
    if (code == previousCode)
        return;
    // Between the two pictures of one state the animations run on.
    BOOL sameState = (previousCode == DISPLAY_PRINTING_ODD && code == DISPLAY_PRINTING_EVEN) ||
                     (previousCode == DISPLAY_WAITING_ODD && code == DISPLAY_WAITING_EVEN);
    if (!sameState) {
        StopIfRunning(d, TIMER_ANIMATION_A);
        StopIfRunning(d, TIMER_ANIMATION_B);
        if (d.display->animationMode == ANIMATION_LOOPING)
            StartAnimation(d, TIMER_ANIMATION_A);
    }
    if (d.display->estimateFlag && next.pagesPrinted == 0) {
        next.elapsedA = next.elapsedB = 0;
        Estimate(d, ESTIMATE_INITIAL);
        Step(d, TIMER_COUNTDOWN_FIRST_PAGE, TIMER_STARTS);
    }
}

DisplayDecision DecideOnDisplay(const PresentationMemory& memory, StatusBlockView block, BOOL newStatus,
                                int previousCode, const PswDisplayInfo& display, const SYSTEMTIME& now)
{
    DisplayDecision decision = {};
    decision.next = memory;
    Deciding d = {&decision, block, &display, &now};
    PresentationMemory& next = decision.next;

    // A job already under way when the window first hears of it counts down between pages.
    DWORD printed = FIELD(block, pagesPrinted);
    if (!next.runs[TIMER_COUNTDOWN_FIRST_PAGE] && !next.runs[TIMER_COUNTDOWN_PAGES] && display.estimateFlag &&
        block.data && printed > 0 && printed < FIELD(block, totalPages)) {
        next.elapsedB = 0;
        Estimate(d, ESTIMATE_CONTINUING);
        Step(d, TIMER_COUNTDOWN_PAGES, TIMER_STARTS);
    }
    if (HoldsAttention(next.rememberedDeviceFlags))
        Step(d, TIMER_ATTENTION_HOLD, TIMER_STARTS);
    if (block.data && newStatus)
        TakeOverJob(d, previousCode);
    if (block.data)
        next.rememberedDeviceFlags = FIELD(block, deviceFlags);
    if (CountdownsEnd(block, display.displayCode))
        StopCountdowns(d);
    FollowDisplayCode(d, previousCode);
    return decision;
}
