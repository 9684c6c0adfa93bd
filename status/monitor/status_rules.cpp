#include "monitor/status_rules.h"
#include <stddef.h>
#include <wchar.h>
#include "app/protocol.h"

// Leaving one of these codes does not count as the end of a job. 302, 501 and 503 are codes of
// the presentation library's that the window gives no other meaning.
static const int kNotAJobEnd[] = {DISPLAY_NO_STATUS, DISPLAY_STATUS_CLEARED, DISPLAY_READY_ATTENTION, 302, 501, 503};

#define FIELD(block, name) BlockField(block, offsetof(PswStatusData, name))

DWORD BlockField(StatusBlockView block, size_t offset)
{
    if (!block.data || offset > block.length || block.length - offset < sizeof(DWORD))
        return 0;
    DWORD value;
    CopyMemory(&value, block.data + offset, sizeof(value));
    return value;
}

const wchar_t* BlockString(StatusBlockView block, size_t offsetField)
{
    DWORD offset = BlockField(block, offsetField);
    if (offset == 0 || offset >= block.length)
        return L"";
    const wchar_t* text = reinterpret_cast<const wchar_t*>(block.data + offset);
    DWORD chars = (block.length - offset) / sizeof(wchar_t);
    for (DWORD i = 0; i < chars; ++i)
        if (text[i] == 0)
            return text;
    return L"";
}

const wchar_t* BlockMachineName(StatusBlockView block)
{
    const wchar_t* machine = BlockString(block, offsetof(PswStatusData, machineOffset));
    return machine[0] == L'\\' && machine[1] == L'\\' ? machine + 2 : machine;
}

StatusBlockView CurrentStatusBlock(void)
{
    StatusBlockView block = {g_state.statusCopy, g_state.statusLength};
    return block;
}

DWORD StatusField(size_t offset)
{
    return BlockField(CurrentStatusBlock(), offset);
}

const wchar_t* StatusString(size_t offsetField)
{
    return BlockString(CurrentStatusBlock(), offsetField);
}

BOOL JobIsForeignTo(StatusBlockView block, const wchar_t* user, const wchar_t* computer)
{
    if (!block.data)
        return FALSE;
    BOOL ownJob = lstrcmpiW(BlockString(block, offsetof(PswStatusData, ownerOffset)), user) == 0;
    BOOL thisComputer = wcsncmp(BlockMachineName(block), computer, wcslen(computer)) == 0;
    return !ownJob && !thisComputer;
}

BOOL IsJobEnd(int previous, int code, DWORD jobFlags)
{
    if (!(jobFlags & JOB_END_BITS) || (jobFlags & JOB_IN_PROGRESS) || code == DISPLAY_CANCELLING || code == previous)
        return FALSE;
    for (size_t i = 0; i < ARRAYSIZE(kNotAJobEnd); ++i)
        if (previous == kNotAJobEnd[i])
            return FALSE;
    return TRUE;
}

PopUpReason PopUpFor(DWORD showing, StatusBlockView block, BOOL (*jobForThisSeat)(void))
{
    DWORD device = FIELD(block, deviceFlags), job = FIELD(block, jobFlags);
    BOOL jobStarts = showing == 0 && FIELD(block, pagesPrinted) == 0 && (job & JOB_STARTED) &&
                     (FIELD(block, estimateMode) & ESTIMATE_PER_PAGE);
    BOOL errorDuringJob = (device & DEVICE_ERROR_POP_UP) && (job & JOB_IN_PROGRESS);
    if (!block.data || !(jobStarts || errorDuringJob) || !jobForThisSeat())
        return POP_UP_NONE;
    return (device & DEVICE_ERROR_POP_UP) ? POP_UP_FOR_ERROR : POP_UP_FOR_JOB;
}

BOOL ErrorHasCleared(DWORD rememberedDeviceFlags, DWORD deviceFlags, ShowReason reason)
{
    return (rememberedDeviceFlags & DEVICE_ERROR_PRESENT) && deviceFlags == 0 && reason == SHOW_REASON_ERROR;
}

BOOL CountdownsPauseForDevice(DWORD deviceFlags, DWORD jobFlags)
{
    return (deviceFlags & DEVICE_BUSY) && (jobFlags & JOB_BUSY_WITH_DEVICE);
}

BOOL CountdownsEnd(StatusBlockView block, int displayCode)
{
    // Without a job in progress there is nothing to count down: a per-page countdown whose
    // estimate never reaches zero would otherwise tick for ever.
    if (block.data && ((FIELD(block, deviceFlags) & DEVICE_STOP_COUNTDOWNS) || !(FIELD(block, jobFlags) & JOB_IN_PROGRESS)))
        return TRUE;
    return displayCode >= DISPLAY_ERROR_FIRST && displayCode <= DISPLAY_ERROR_LAST;
}

BOOL HoldsAttention(DWORD rememberedDeviceFlags)
{
    return (rememberedDeviceFlags & DEVICE_ATTENTION) != 0;
}
