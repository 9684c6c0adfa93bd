#include "ui/presentation.h"
#include "app/protocol.h"
#include "app/state.h"
#include "monitor/port_class.h"
#include "monitor/status_decision.h"
#include "ui/accessibility.h"
#include "ui/help.h"
#include "ui/menu_states.h"
#include "ui/repaint.h"
#include "ui/views.h"
#include "ui/window_placement.h"

#define RENAME_CHARS_MAX 259

void DiscardStatusCopy(void)
{
    FreeBlock(g_state.statusCopy);
    g_state.statusCopy = NULL;
    g_state.statusLength = 0;
    g_state.statusLengthField = 0;
}

// ---- Timers ----

static void StartTimer(UINT_PTR timer, UINT ms)
{
    SetTimer(g_state.mainWindow, timer, ms, NULL);
    g_state.presentation.runs[timer] = TRUE;
}

static void StopTimer(UINT_PTR timer)
{
    KillTimer(g_state.mainWindow, timer);
    g_state.presentation.runs[timer] = FALSE;
}

void StopCountdowns(void)
{
    StopTimer(TIMER_COUNTDOWN_FIRST_PAGE);
    StopTimer(TIMER_COUNTDOWN_PAGES);
}

void StopPresentationTimers(void)
{
    StopTimer(TIMER_ANIMATION_A);
    StopTimer(TIMER_ANIMATION_B);
    StopTimer(TIMER_COUNTDOWN_FIRST_PAGE);
    StopTimer(TIMER_STATUS_RETRY);
}

static Animation* AnimationOf(UINT_PTR timer)
{
    return timer == TIMER_ANIMATION_A ? &g_state.animationA : &g_state.animationB;
}

// From the first frame: the decision starts an animation only when the record has frames.
static void StartAnimation(UINT_PTR timer)
{
    Animation* animation = AnimationOf(timer);
    animation->frameIndex = 1;
    animation->frame = g_state.display.frames;
    StartTimer(timer, animation->frame->duration);
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
        StopTimer(timer);
    }
    RepaintNow(g_state.children.picturePane);
    RepaintNow(g_state.children.jobStatusPane);
}

// ---- Time left ----

DWORD EstimateTimeLeft(EstimateForm form)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const PresentationMemory& memory = g_state.presentation;
    TimeLeft left = EstimateTimeLeftAt(CurrentStatusBlock(), form, memory.elapsedA, memory.elapsedB, now);
    g_state.timeLeftSeconds = left.seconds;
    g_state.finishTime = left.finish;
    return left.seconds;
}

// ---- Applying what a block decides ----

static void ApplyTimerStep(const TimerStep& step)
{
    if (step.change == TIMER_STOPS)
        StopTimer(step.timer);
    else if (step.timer == TIMER_ANIMATION_A || step.timer == TIMER_ANIMATION_B)
        StartAnimation(step.timer);
    else
        StartTimer(step.timer, step.timer == TIMER_ATTENTION_HOLD ? ATTENTION_HOLD_MS : COUNTDOWN_PERIOD_MS);
}

// Comes up for a job or an error of this seat; a window already showing keeps its reason.
static void PopUp(PopUpReason popUp)
{
    HWND window = g_state.mainWindow;
    ShowReason reason = popUp == POP_UP_FOR_ERROR ? SHOW_REASON_ERROR : SHOW_REASON_JOB;
    if (!IsWindowVisible(window)) {
        ShowWindow(window, SW_SHOW);
        g_state.presentation.showReason = reason;
    }
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
        g_state.presentation.showReason = reason;
    }
    SetForegroundWindow(window);
    InvalidateRect(window, NULL, TRUE);
    ShowWindow(window, SW_SHOW);
    if (g_state.statusHandle)
        g_state.libraries.SmPsw_StartPolling(g_state.statusHandle);
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

// What the decision remembers replaces what the window remembered; its document, when new,
// is copied out of the block, which goes once the block is replaced.
static void ApplyDisplayDecision(const DisplayDecision& decision)
{
    if (decision.next.document != g_state.documentName)
        lstrcpynW(g_state.documentName, decision.next.document, DOCUMENT_NAME_CHARS);
    g_state.presentation = decision.next;
    g_state.presentation.document = g_state.documentName;
    if (decision.estimated) {
        g_state.timeLeftSeconds = decision.timeLeft.seconds;
        g_state.finishTime = decision.timeLeft.finish;
    }
    for (int i = 0; i < decision.stepCount; ++i)
        ApplyTimerStep(decision.steps[i]);

    RepaintNow(g_state.children.jobStatusPane);
    // At a job end the attention hold already runs: the device item greys with the rest.
    RefreshCommandStates(decision.jobEnd, TRUE);
    if (decision.logEntry)
        AddJobLogEntry(decision.cancelled);
    if (decision.hide)
        HideAgain();
    if (decision.tookJob)
        SaveWindowState();
    SetBigIcon();
    RepaintStatusPanes();
}

// The block as the library gets it and the window keeps it: a copy at least as long as the
// fixed part (zeros after what arrived), whose own length field claims no more than arrived,
// since the library bounds its string reads by it. The length field as it arrived goes to
// `lengthField`. NULL for an empty message.
static BYTE* LibraryCopy(const COPYDATASTRUCT* data, DWORD* lengthField)
{
    if (!data->lpData || !data->cbData)
        return NULL;
    DWORD size = data->cbData > sizeof(PswStatusData) ? data->cbData : sizeof(PswStatusData);
    BYTE* block = static_cast<BYTE*>(AllocZeroed(size));
    if (!block)
        return NULL;
    CopyMemory(block, data->lpData, data->cbData);
    PswStatusData* fixed = reinterpret_cast<PswStatusData*>(block);
    *lengthField = fixed->length;
    if (fixed->length > data->cbData)
        fixed->length = data->cbData;
    return block;
}

// The library may resend the same block freely: the kept copy, with its length field as it
// arrived, against the new block's bytes.
static BOOL IsKeptBlock(const COPYDATASTRUCT* data)
{
    if (!g_state.statusCopy || !data->lpData || data->cbData != g_state.statusLength)
        return FALSE;
    DWORD head = data->cbData < sizeof(DWORD) ? data->cbData : sizeof(DWORD);
    const BYTE* bytes = static_cast<const BYTE*>(data->lpData);
    return memcmp(&g_state.statusLengthField, bytes, head) == 0 &&
           memcmp(g_state.statusCopy + head, bytes + head, data->cbData - head) == 0;
}

static void TakeOverStatus(const COPYDATASTRUCT* data)
{
    BOOL newStatus = data->dwData == PSW_DATA_STATUS;
    if (IsKeptBlock(data))
        return;
    DiscardStatusCopy();
    DWORD lengthField = 0;
    BYTE* block = LibraryCopy(data, &lengthField);
    if (newStatus && block) {
        g_state.statusCopy = block;
        g_state.statusLength = data->cbData;
        g_state.statusLengthField = lengthField;
    }
    ArrivalDecision arrival = DecideOnArrival(g_state.presentation.rememberedDeviceFlags, CurrentStatusBlock(),
                                              g_state.showing, JobIsForThisSeat);
    if (arrival.pauseCountdowns)
        StopCountdowns();
    g_state.previousDisplayCode = g_state.display.displayCode;
    if (arrival.popUp != POP_UP_NONE)
        PopUp(arrival.popUp);
    g_state.presentation.rememberedDeviceFlags = arrival.rememberedDeviceFlags;

    const PswLibraries& lib = g_state.libraries;
    lib.PSM_GetPSWDisplay(lib.presentation, g_state.previousDisplayCode, block, &g_state.display,
                          data->dwData == PSW_DATA_CLEARED);
    if (block != g_state.statusCopy)
        FreeBlock(block);

    SYSTEMTIME now;
    GetLocalTime(&now);
    ApplyDisplayDecision(DecideOnDisplay(g_state.presentation, CurrentStatusBlock(), newStatus,
                                         g_state.previousDisplayCode, g_state.display, now));
    // A reader hears what changed; an error that brought the window up, at once.
    Accessibility_SayStatus(arrival.popUp == POP_UP_FOR_ERROR);
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
    // A printer named by a network path is a network printer, whatever its port.
    ForgetSeat();
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
    StartTimer(TIMER_STATUS_RETRY, STATUS_RETRY_PERIOD_MS);
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
        g_state.presentation.elapsedA += COUNTDOWN_PERIOD_MS;
        if (EstimateTimeLeft(ESTIMATE_CONTINUING) == 0)
            g_state.presentation.elapsedA -= COUNTDOWN_PERIOD_MS;
        RepaintCountdown();
        break;
    case TIMER_COUNTDOWN_PAGES:
        g_state.presentation.elapsedB += COUNTDOWN_PERIOD_MS;
        if (EstimateTimeLeft(ESTIMATE_CONTINUING) == 0)
            StopTimer(TIMER_COUNTDOWN_PAGES);
        RepaintCountdown();
        break;
    case TIMER_STATUS_RETRY:
        if (g_state.statusCopy || g_state.libraries.SmPsw_GetPrinterStatus(g_state.statusHandle, 0))
            StopTimer(TIMER_STATUS_RETRY);
        break;
    case TIMER_ATTENTION_HOLD:
        StopTimer(TIMER_ATTENTION_HOLD);
        RefreshDeviceItems();
        break;
    }
}
