// The device status block that XERB5SMK.DLL sends to a status window and XERB5PMN.DLL
// reads back: a fixed part of 0x68 bytes of little-endian 32-bit fields, then the strings
// as zero-terminated UTF-16, each addressed by its byte offset from the block's start.
#pragma once
#include <windows.h>

namespace standin {

// Offsets of the fixed part.
constexpr DWORD kBlockLength = 0x00;    // total byte length, strings included
constexpr DWORD kDeviceFlags = 0x04;
constexpr DWORD kJobFlags = 0x08;
constexpr DWORD kJobId = 0x34;          // 0: no current job
constexpr DWORD kTotalPages = 0x38;     // 0: unknown
constexpr DWORD kPagesStarted = 0x3C;
constexpr DWORD kPagesPrinted = 0x40;
constexpr DWORD kEstimateMode = 0x44;   // 1 or 2
constexpr DWORD kFixedTimeA = 0x48;     // ms
constexpr DWORD kTimePerPage = 0x4C;    // ms
constexpr DWORD kFixedTimeB = 0x50;     // ms
constexpr DWORD kMachineOffset = 0x5C;
constexpr DWORD kOwnerOffset = 0x60;
constexpr DWORD kDocumentOffset = 0x64; // 0: no document
constexpr DWORD kFixedPart = 0x68;

// Device flags. Every error sets kDeviceStop as well, so that the window's countdowns
// stop while the printer cannot go on; attention bits leave the printer working.
constexpr DWORD kDeviceStop = 0x1;
constexpr DWORD kDevicePaperOut = 0x2;
constexpr DWORD kDevicePaperJam = 0x8;
constexpr DWORD kDeviceCoverOpen = 0x20;
constexpr DWORD kDeviceOffline = 0x40;
constexpr DWORD kDeviceTonerEmpty = 0x2000;
constexpr DWORD kDeviceMemoryFull = 0x4000;
constexpr DWORD kDeviceTonerLow = 0x02000000;      // attention
constexpr DWORD kDeviceDrumWornOut = 0x20000000;   // attention
constexpr DWORD kDeviceAttention = kDeviceTonerLow | kDeviceDrumWornOut;

// Job flags.
constexpr DWORD kJobDone = 0x1;
constexpr DWORD kJobCancelled = 0x4;
constexpr DWORD kJobEnd = 0x7;          // any end-of-job bit
constexpr DWORD kJobActive = 0x8;
constexpr DWORD kJobWaitingForData = 0x20;
constexpr DWORD kJobHeld = 0x100;
constexpr DWORD kJobStart = 0x10000;    // first block of a job

// COPYDATASTRUCT.dwData of a status block: new status. (2, status cleared, is not sent by
// the stand-in: its simulated printer always answers.)
constexpr ULONG_PTR kNewStatus = 1;

inline DWORD BlockField(const void* block, DWORD offset)
{
    DWORD value;
    CopyMemory(&value, static_cast<const BYTE*>(block) + offset, sizeof(value));
    return value;
}

}  // namespace standin
