// What a status block decides, apart from any window: reading the block within its length,
// what ends a job, when the window comes up by itself and when it goes again, when the
// countdowns stop. Each rule takes the block's fields and what the window remembers as values,
// so that the window only applies the answers.
#pragma once
#include "monitor/layer.h"
#include <windows.h>
#include "app/state.h"

// A status block as it arrived from another process. A field beyond its length reads 0; a
// string outside it, or without a terminator inside it, reads empty. Strings may start at any
// byte (x86 reads unaligned characters).
struct StatusBlockView {
    const BYTE* data;   // NULL: no block
    DWORD length;
};
DWORD BlockField(StatusBlockView block, size_t offset);
const wchar_t* BlockString(StatusBlockView block, size_t offsetField);
// The computer that sent the block's job, without a leading "\\".
const wchar_t* BlockMachineName(StatusBlockView block);

// The last status block the window took, and its fields read as above.
StatusBlockView CurrentStatusBlock(void);
DWORD StatusField(size_t offset);
const wchar_t* StatusString(size_t offsetField);

// The block's job belongs to another user (names compared ignoring case) on another computer
// (the sending machine's name starts with this computer's, case-sensitively). No block: not foreign.
BOOL JobIsForeignTo(StatusBlockView block, const wchar_t* user, const wchar_t* computer);

// Going from display code `previous` to `code` with these job flags ends a job: it gets its log
// entry, the device items their attention hold, and a window that came up for it hides again.
// Leaving the start-up, ready-to-refresh and cancel-request states is not an end, nor is
// entering the cancelling state or staying in one.
BOOL IsJobEnd(int previous, int code, DWORD jobFlags);

// Why the window comes up by itself for a block, if it does: a job that starts (only with
// "Showing" 0 and a first-page estimate) or an error during a job; either only for a job of
// this seat (the user's own, from this computer, or on a local port), which `jobForThisSeat`
// tells when asked: only then, as it looks up the user, the computer and the port.
enum PopUpReason { POP_UP_NONE, POP_UP_FOR_JOB, POP_UP_FOR_ERROR };
PopUpReason PopUpFor(DWORD showing, StatusBlockView block, BOOL (*jobForThisSeat)(void));

// A window that came up for an error hides once a block reports no device flags at all.
BOOL ErrorHasCleared(DWORD rememberedDeviceFlags, DWORD deviceFlags, ShowReason reason);

// The countdowns stop before the block is shown while the device is busy with the job...
BOOL CountdownsPauseForDevice(DWORD deviceFlags, DWORD jobFlags);
// ...and after it when the device says so, no job is in progress, or the code is an error.
BOOL CountdownsEnd(StatusBlockView block, int displayCode);

// Attention flags keep the device items grey for a while (the attention hold).
BOOL HoldsAttention(DWORD rememberedDeviceFlags);
