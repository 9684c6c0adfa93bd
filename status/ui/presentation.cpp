#include "presentation.h"
#include <stddef.h>
#include "../app/protocol.h"
#include "../app/state.h"
#include "../monitor/status_rules.h"
#include "commands.h"
#include "help.h"
#include "main_window.h"
#include "port_class.h"
#include "views.h"

#define RENAME_CHARS_MAX 259
#define MS_PER_SECOND 1000
#define SECONDS_PER_DAY 86400

static StatusBlockView CurrentBlock(void)
{
    StatusBlockView block = {g_state.statusCopy, g_state.statusLength};
    return block;
}

DWORD StatusField(size_t offset)
{
    return BlockField(CurrentBlock(), offset);
}

const wchar_t* StatusString(size_t offsetField)
{
    return BlockString(CurrentBlock(), offsetField);
}

const wchar_t* StatusMachineName(void)
{
    const wchar_t* machine = StatusString(offsetof(PswStatusData, machineOffset));
    return machine[0] == L'\\' && machine[1] == L'\\' ? machine + 2 : machine;
}

#define FIELD(name) StatusField(offsetof(PswStatusData, name))

void DiscardStatusCopy(void)
{
    if (g_state.statusCopy)
        FreeBlock(g_state.statusCopy);
    g_state.statusCopy = NULL;
    g_state.statusLength = 0;
}

// ---- Timers ----

static void StartTimer(UINT_PTR timer, UINT ms, BOOL* running)
{
    SetTimer(g_state.mainWindow, timer, ms, NULL);
    *running = TRUE;
}

static void StopTimer(UINT_PTR timer, BOOL* running)
{
    KillTimer(g_state.mainWindow, timer);
    *running = FALSE;
}

void StopCountdowns(void)
{
    StopTimer(TIMER_COUNTDOWN_FIRST_PAGE, &g_state.countdownFirstPageRunning);
    StopTimer(TIMER_COUNTDOWN_PAGES, &g_state.countdownPagesRunning);
}

void StopPresentationTimers(void)
{
    StopTimer(TIMER_ANIMATION_A, &g_state.animationA.running);
    StopTimer(TIMER_ANIMATION_B, &g_state.animationB.running);
    StopTimer(TIMER_COUNTDOWN_FIRST_PAGE, &g_state.countdownFirstPageRunning);
    StopTimer(TIMER_STATUS_RETRY, &g_state.retrying);
}

static Animation* AnimationOf(UINT_PTR timer)
{
    return timer == TIMER_ANIMATION_A ? &g_state.animationA : &g_state.animationB;
}

static void StartAnimation(UINT_PTR timer)
{
    const PswDisplayInfo& display = g_state.display;
    Animation* animation = AnimationOf(timer);
    if (!display.frameCount || !display.frames)
        return;
    animation->frameIndex = 1;
    animation->frame = display.frames;
    StartTimer(timer, animation->frame->duration, &animation->running);
}

static void StopAnimation(UINT_PTR timer)
{
    StopTimer(timer, &AnimationOf(timer)->running);
}

// Next frame; a looping animation starts over, another one ends on its last frame.
static void StepAnimation(UINT_PTR timer)
{
    const PswDisplayInfo& display = g_state.display;
    Animation* animation = AnimationOf(timer);
    if (display.frames && animation->frameIndex < display.frameCount) {
        animation->frame = display.frames + animation->frameIndex;
        ++animation->frameIndex;
        SetTimer(g_state.mainWindow, timer, animation->frame->duration, NULL);
    } else if (display.frames && display.animationMode == ANIMATION_LOOPING) {
        animation->frameIndex = 1;
        animation->frame = display.frames;
        SetTimer(g_state.mainWindow, timer, animation->frame->duration, NULL);
    } else {
        animation->frame = NULL;
        StopTimer(timer, &animation->running);
    }
    RepaintNow(g_state.children.picturePane);
    RepaintNow(g_state.children.jobStatusPane);
}

// ---- Time left ----

DWORD EstimateTimeLeft(EstimateForm form)
{
    // Pages times milliseconds reaches 2^64: the sum is taken in a type that holds it exactly.
    long double fixedA = FIELD(fixedTimeA), perPage = FIELD(timePerPage), fixedB = FIELD(fixedTimeB);
    long double ms = 0;
    if (g_state.statusCopy && fixedA && perPage && fixedB) {
        long double remaining = (long double)FIELD(totalPages) - (long double)FIELD(pagesStarted);
        DWORD mode = FIELD(estimateMode);
        if (form == ESTIMATE_INITIAL)
            ms = remaining * perPage + fixedB + fixedA;
        else if (mode == ESTIMATE_PER_PAGE)
            ms = remaining * perPage - g_state.elapsedA + fixedB + fixedA;
        else if (mode == ESTIMATE_LOOPING)
            ms = (remaining + 1) * perPage - g_state.elapsedB + fixedB;
    }
    // More than 136 years shows as that much: the count must not wrap to a short time.
    LONGLONG seconds = ms >= 1000.0L * MAXDWORD ? LONGLONG(MAXDWORD) : ms > 0 ? LONGLONG(ms / MS_PER_SECOND) : 0;
    g_state.timeLeftSeconds = DWORD(seconds);

    // The time of day it should end; past midnight it wraps, the date stays.
    SYSTEMTIME now;
    GetLocalTime(&now);
    LONGLONG end = (LONGLONG(now.wHour) * 3600 + now.wMinute * 60 + now.wSecond + seconds) % SECONDS_PER_DAY;
    g_state.finishTime = now;
    g_state.finishTime.wHour = WORD(end / 3600);
    g_state.finishTime.wMinute = WORD(end / 60 % 60);
    g_state.finishTime.wSecond = WORD(end % 60);
    return g_state.timeLeftSeconds;
}

// ---- Popping up and hiding ----

// The job concerns this seat: the user's own, from this computer, or on a local port.
static BOOL JobIsForThisSeat(void)
{
    return !JobIsForeign() || ClassifyPort() == PORT_CLASS_LOCAL;
}

static void PopUpIfWanted(void)
{
    PopUpReason popUp = PopUpFor(g_state.showing, CurrentBlock(), JobIsForThisSeat);
    if (popUp == POP_UP_NONE)
        return;
    HWND window = g_state.mainWindow;
    ShowReason reason = popUp == POP_UP_FOR_ERROR ? SHOW_REASON_ERROR : SHOW_REASON_JOB;
    if (!IsWindowVisible(window)) {
        ShowWindow(window, SW_SHOW);
        g_state.showReason = reason;
    }
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
        g_state.showReason = reason;
    }
    SetForegroundWindow(window);
    InvalidateRect(window, NULL, TRUE);
    ShowWindow(window, SW_SHOW);
    if (g_state.statusHandle)
        g_state.libraries.SmPsw_StartPolling(g_state.statusHandle);
    g_state.rememberedDeviceFlags = FIELD(deviceFlags);
    SetActiveWindow(window);
}

// Hides a window that came up by itself; the user's own stays.
static void HideAgain(void)
{
    ShowHelp(g_state.mainWindow, HELP_QUIT, 0);
    ShowWindow(g_state.mainWindow, SW_HIDE);
    if (g_state.statusHandle)
        g_state.libraries.SmPsw_StopPolling(g_state.statusHandle);
}

// What a new block changes for the current job: document, pages, animations, job end.
static void TakeOverJob(void)
{
    const wchar_t* document = StatusString(offsetof(PswStatusData, documentOffset));
    if (lstrcmpW(document, g_state.documentName) != 0)
        lstrcpynW(g_state.documentName, document, DOCUMENT_NAME_CHARS);

    DWORD started = FIELD(pagesStarted);
    if (g_state.pagesStarted < started) {
        if (g_state.countdownPagesRunning) {
            g_state.elapsedB = 0;
            StartTimer(TIMER_COUNTDOWN_PAGES, COUNTDOWN_PERIOD_MS, &g_state.countdownPagesRunning);
        }
        if (g_state.countdownFirstPageRunning) {
            StopTimer(TIMER_COUNTDOWN_FIRST_PAGE, &g_state.countdownFirstPageRunning);
            g_state.elapsedB = 0;
            StartTimer(TIMER_COUNTDOWN_PAGES, COUNTDOWN_PERIOD_MS, &g_state.countdownPagesRunning);
        }
        if (g_state.display.animationMode == ANIMATION_PER_PAGE)
            StartAnimation(started % 2 ? TIMER_ANIMATION_A : TIMER_ANIMATION_B);
    } else if (started == 0) {
        // Their timers go too: a stopped animation has nothing to step.
        StopAnimation(TIMER_ANIMATION_A);
        StopAnimation(TIMER_ANIMATION_B);
    }
    g_state.totalPages = FIELD(totalPages);
    g_state.pagesPrinted = FIELD(pagesPrinted);
    g_state.pagesStarted = started;

    if (IsJobEnd(g_state.previousDisplayCode, g_state.display.displayCode, FIELD(jobFlags))) {
        StartTimer(TIMER_ATTENTION_HOLD, ATTENTION_HOLD_MS, &g_state.attentionHoldRunning);
        RefreshCommandStates(TRUE, FALSE);
        if (FIELD(documentOffset))
            AddJobLogEntry((FIELD(jobFlags) & JOB_CANCELLED) != 0);
        if (g_state.showReason == SHOW_REASON_JOB)
            HideAgain();
    }
    if (ErrorHasCleared(g_state.rememberedDeviceFlags, FIELD(deviceFlags), g_state.showReason))
        HideAgain();
    SaveWindowState();
}

// What a new display code changes: animations and the first-page countdown.
static void FollowDisplayCode(void)
{
    int previous = g_state.previousDisplayCode, code = g_state.display.displayCode;
    if (code == previous)
        return;
    // Between the two pictures of one state the animations run on.
    BOOL sameState = (previous == DISPLAY_PRINTING_ODD && code == DISPLAY_PRINTING_EVEN) ||
                     (previous == DISPLAY_WAITING_ODD && code == DISPLAY_WAITING_EVEN);
    if (!sameState) {
        if (g_state.animationA.running)
            StopAnimation(TIMER_ANIMATION_A);
        if (g_state.animationB.running)
            StopAnimation(TIMER_ANIMATION_B);
        if (g_state.display.animationMode == ANIMATION_LOOPING)
            StartAnimation(TIMER_ANIMATION_A);
    }
    if (g_state.display.estimateFlag && g_state.pagesPrinted == 0) {
        g_state.elapsedA = g_state.elapsedB = 0;
        EstimateTimeLeft(ESTIMATE_INITIAL);
        StartTimer(TIMER_COUNTDOWN_FIRST_PAGE, COUNTDOWN_PERIOD_MS, &g_state.countdownFirstPageRunning);
    }
}

// The block as the library gets it and the window keeps it: a copy at least as long as the
// fixed part (zeros after what arrived), whose own length field claims no more than arrived,
// since the library bounds its string reads by it. NULL for an empty message.
static BYTE* LibraryCopy(const COPYDATASTRUCT* data)
{
    if (!data->lpData || !data->cbData)
        return NULL;
    DWORD size = data->cbData > sizeof(PswStatusData) ? data->cbData : sizeof(PswStatusData);
    BYTE* block = static_cast<BYTE*>(AllocZeroed(size));
    if (!block)
        return NULL;
    CopyMemory(block, data->lpData, data->cbData);
    PswStatusData* fixed = reinterpret_cast<PswStatusData*>(block);
    if (fixed->length > data->cbData)
        fixed->length = data->cbData;
    return block;
}

static void TakeOverStatus(const COPYDATASTRUCT* data)
{
    BOOL newStatus = data->dwData == PSW_DATA_STATUS;
    // The library may resend the same block freely.
    if (g_state.statusCopy && data->cbData == g_state.statusLength && data->lpData &&
        memcmp(g_state.statusCopy, data->lpData, data->cbData) == 0)
        return;
    DiscardStatusCopy();
    BYTE* block = LibraryCopy(data);
    if (newStatus && block) {
        g_state.statusCopy = block;
        g_state.statusLength = data->cbData;
    }
    if (CountdownsPauseForDevice(FIELD(deviceFlags), FIELD(jobFlags)))
        StopCountdowns();
    g_state.previousDisplayCode = g_state.display.displayCode;
    PopUpIfWanted();

    const PswLibraries& lib = g_state.libraries;
    lib.PSM_GetPSWDisplay(lib.presentation, g_state.previousDisplayCode, block, &g_state.display,
                          data->dwData == PSW_DATA_CLEARED);
    if (block != g_state.statusCopy)
        FreeBlock(block);
    DWORD printed = FIELD(pagesPrinted);
    if (!g_state.countdownFirstPageRunning && !g_state.countdownPagesRunning && g_state.display.estimateFlag &&
        g_state.statusCopy && printed > 0 && printed < FIELD(totalPages)) {
        g_state.elapsedB = 0;
        EstimateTimeLeft(ESTIMATE_CONTINUING);
        StartTimer(TIMER_COUNTDOWN_PAGES, COUNTDOWN_PERIOD_MS, &g_state.countdownPagesRunning);
    }
    RepaintNow(g_state.children.jobStatusPane);
    if (HoldsAttention(g_state.rememberedDeviceFlags))
        StartTimer(TIMER_ATTENTION_HOLD, ATTENTION_HOLD_MS, &g_state.attentionHoldRunning);
    RefreshCommandStates(FALSE, TRUE);
    if (g_state.statusCopy && newStatus)
        TakeOverJob();
    if (g_state.statusCopy)
        g_state.rememberedDeviceFlags = FIELD(deviceFlags);
    if (CountdownsEnd(CurrentBlock(), g_state.display.displayCode))
        StopCountdowns();
    SetBigIcon();
    RepaintStatusPanes();
    FollowDisplayCode();
}

// The new printer name of a rename message, read only within the message's bytes.
static void RenamePrinter(const COPYDATASTRUCT* data)
{
    const wchar_t* name = static_cast<const wchar_t*>(data->lpData);
    DWORD chars = name ? data->cbData / sizeof(wchar_t) : 0;
    DWORD length = 0;
    while (length < chars && length < RENAME_CHARS_MAX && name[length])
        ++length;
    CopyMemory(g_state.printerName, name, length * sizeof(wchar_t));
    g_state.printerName[length] = 0;
    SetWindowTextW(g_state.mainWindow, g_state.printerName);
    g_state.libraries.SmPsw_ChangePrinterName(g_state.statusHandle, g_state.printerName);
}

void Presentation_OnCopyData(const COPYDATASTRUCT* data)
{
    if (data->dwData == PSW_DATA_RENAME)
        RenamePrinter(data);
    else if (data->dwData == PSW_DATA_STATUS || data->dwData == PSW_DATA_CLEARED)
        TakeOverStatus(data);
}

void RequestFirstStatus(DWORD firstRequest)
{
    if (g_state.libraries.SmPsw_GetPrinterStatus(g_state.statusHandle, firstRequest))
        return;
    StartTimer(TIMER_STATUS_RETRY, STATUS_RETRY_PERIOD_MS, &g_state.retrying);
}

// The countdowns' panes: the job status and, when it shows, the detail list.
static void RepaintCountdown(void)
{
    RepaintNow(g_state.children.jobStatusPane);
    if (IsWindowVisible(g_state.children.detailList))
        RepaintNow(g_state.children.detailList);
}

void Presentation_OnTimer(UINT_PTR timer)
{
    switch (timer) {
    case TIMER_ANIMATION_A:
    case TIMER_ANIMATION_B:
        StepAnimation(timer);
        break;
    case TIMER_COUNTDOWN_FIRST_PAGE:
        // Past zero the estimate stays at zero.
        g_state.elapsedA += COUNTDOWN_PERIOD_MS;
        if (EstimateTimeLeft(ESTIMATE_CONTINUING) == 0)
            g_state.elapsedA -= COUNTDOWN_PERIOD_MS;
        RepaintCountdown();
        break;
    case TIMER_COUNTDOWN_PAGES:
        g_state.elapsedB += COUNTDOWN_PERIOD_MS;
        if (EstimateTimeLeft(ESTIMATE_CONTINUING) == 0)
            StopTimer(TIMER_COUNTDOWN_PAGES, &g_state.countdownPagesRunning);
        RepaintCountdown();
        break;
    case TIMER_STATUS_RETRY:
        if (g_state.statusCopy || g_state.libraries.SmPsw_GetPrinterStatus(g_state.statusHandle, 0))
            StopTimer(TIMER_STATUS_RETRY, &g_state.retrying);
        break;
    case TIMER_ATTENTION_HOLD:
        StopTimer(TIMER_ATTENTION_HOLD, &g_state.attentionHoldRunning);
        RefreshDeviceItems();
        break;
    }
}
