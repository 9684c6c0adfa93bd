// Records exchanged with the two libraries of the driver package. Their layout is binary
// interface: every offset the program reads is pinned below.
#pragma once
#include <windows.h>
#include <stddef.h>

// Records holding pointers or handles have the 32-bit libraries' offsets. A 64-bit build (the
// tests' fallback on machines that run no 32-bit code) builds both sides from these same
// declarations, so there only the compiler's layout has to agree.
#ifdef _WIN64
#define PSW_ABI32_ASSERT(condition, what) static_assert(true, what)
#else
#define PSW_ABI32_ASSERT(condition, what) static_assert(condition, what)
#endif

// A rectangle of the layout: x, y, width, height in client coordinates of the main window.
struct PswRect {
    SHORT x, y, width, height;
};

// An etched line: drawn in the shadow colour at shadowY and in the window colour at highlightY.
struct PswEtchedLine {
    SHORT xStart, shadowY, xEnd, highlightY;
};

// The window layout, filled by PSM_GetPSWInfo.
struct PswLayoutInfo {
    DWORD menuId;            // low 16 bits: menu resource of the presentation library
    DWORD width;             // window width
    DWORD layoutHeight;      // the part of the window height the layout needs
    PswRect tab;             // 501
    PswRect detailList;      // 508
    PswRect logList;         // 507
    PswRect waitingList;     // 509
    PswRect waitingToolbar;  // 511
    PswRect statusToolbar;   // 510
    PswRect messageBox;      // 502
    PswRect jobStatus;       // 503
    PswRect printerStatus;   // 512
    PswRect picture;         // 504
    PswRect progressBar;     // 513
    PswEtchedLine lines[2];
    SHORT detailColumns[2];
    SHORT logColumns[5];
    SHORT waitingColumns[3];
    SHORT unused;
    SHORT waitingColumn4;
};
static_assert(sizeof(PswLayoutInfo) == 140, "layout record");
static_assert(offsetof(PswLayoutInfo, tab) == 0x0C, "tab");
static_assert(offsetof(PswLayoutInfo, waitingList) == 0x24, "waiting list");
static_assert(offsetof(PswLayoutInfo, progressBar) == 0x5C, "progress bar");
static_assert(offsetof(PswLayoutInfo, lines) == 0x64, "etched lines");
static_assert(offsetof(PswLayoutInfo, detailColumns) == 0x74, "detail columns");
static_assert(offsetof(PswLayoutInfo, logColumns) == 0x78, "log columns");
static_assert(offsetof(PswLayoutInfo, waitingColumns) == 0x82, "waiting columns");
static_assert(offsetof(PswLayoutInfo, waitingColumn4) == 0x8A, "fourth waiting column");

// One command and the state the presentation library wants for it.
struct CommandStateEntry {
    DWORD commandId;
    DWORD state;   // menu: EnableMenuItem flags; toolbar: button state in the low 16 bits
};
#define COMMAND_STATE_ENTRIES 3

// One frame of an animation.
struct AnimationFrame {
    HRSRC picture;
    int order;       // lower orders are drawn first
    int x, y;
    DWORD duration;  // ms
};
PSW_ABI32_ASSERT(sizeof(AnimationFrame) == 20, "animation frame");

// The job-status text and how to draw it.
struct PswJobStatusText {
    int x, y;            // offset of the text; both 0: centred vertically
    int fontHeight;      // as LOGFONTW.lfHeight
    int fontWeight;
    DWORD unused[2];
    const wchar_t* text; // one line, or two separated by CR LF
};
PSW_ABI32_ASSERT(offsetof(PswJobStatusText, text) == 24, "job-status text");

struct PswMessageLine {
    DWORD unused[6];
    const wchar_t* text;
};
PSW_ABI32_ASSERT(sizeof(PswMessageLine) == 28, "message line");

struct PswOverlay {
    HRSRC picture;
    DWORD unused;
    int x, y;
};
PSW_ABI32_ASSERT(sizeof(PswOverlay) == 16, "overlay");

// What to show for a status block, filled by PSM_GetPSWDisplay.
struct PswDisplayInfo {
    int displayCode;
    DWORD reserved04;
    HICON bigIcon;                        // 0: keep the window's icon
    DWORD reserved0C[2];
    const CommandStateEntry* menuTable;   // COMMAND_STATE_ENTRIES rows
    DWORD reserved18;
    const CommandStateEntry* toolbarTable;
    HICON statusIcon;
    DWORD reserved24[2];
    DWORD estimateFlag;                   // non-zero: a time estimate is shown
    DWORD reserved30;
    const PswJobStatusText* jobStatus;
    DWORD messageLineCount;
    DWORD reserved3C;
    const PswMessageLine* messageLines;
    DWORD colourScheme;                   // 600, 601, 602
    const HRSRC* background;              // first field: the picture
    DWORD overlayCount;
    const PswOverlay* overlays;
    DWORD animationMode;                  // 1 a step per page, 2 looping
    DWORD frameCount;
    const AnimationFrame* frames;
    DWORD reserved60[2];
    DWORD hideProgress;                   // 1: the progress bar shows nothing
    DWORD reserved6C;
};
PSW_ABI32_ASSERT(sizeof(PswDisplayInfo) == 0x70, "display record");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, bigIcon) == 0x08, "big icon");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, menuTable) == 0x14, "menu table");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, toolbarTable) == 0x1C, "toolbar table");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, statusIcon) == 0x20, "status icon");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, estimateFlag) == 0x2C, "estimate flag");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, jobStatus) == 0x34, "job status");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, messageLineCount) == 0x38, "message lines");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, messageLines) == 0x40, "message line array");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, colourScheme) == 0x44, "colour scheme");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, background) == 0x48, "background");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, overlayCount) == 0x4C, "overlays");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, animationMode) == 0x54, "animation mode");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, frameCount) == 0x58, "frame count");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, frames) == 0x5C, "frames");
PSW_ABI32_ASSERT(offsetof(PswDisplayInfo, hideProgress) == 0x68, "progress switch");

// The device status block the status-monitor library sends. It comes from another process:
// its length and string offsets are checked before use (see the presentation code).
struct PswStatusData {
    DWORD length;
    DWORD deviceFlags;
    DWORD jobFlags;
    DWORD reserved0C[10];
    DWORD jobId;           // 0: no current job
    DWORD totalPages;      // 0: unknown
    DWORD pagesStarted;
    DWORD pagesPrinted;
    DWORD estimateMode;
    DWORD fixedTimeA;      // ms
    DWORD timePerPage;     // ms
    DWORD fixedTimeB;      // ms
    DWORD reserved54[2];
    DWORD machineOffset;   // byte offsets of UTF-16 strings inside the block
    DWORD ownerOffset;
    DWORD documentOffset;  // 0: no document
};
static_assert(offsetof(PswStatusData, deviceFlags) == 0x04, "device flags");
static_assert(offsetof(PswStatusData, jobFlags) == 0x08, "job flags");
static_assert(offsetof(PswStatusData, jobId) == 0x34, "job id");
static_assert(offsetof(PswStatusData, estimateMode) == 0x44, "estimate mode");
static_assert(offsetof(PswStatusData, fixedTimeB) == 0x50, "fixed time B");
static_assert(offsetof(PswStatusData, machineOffset) == 0x5C, "machine name");
static_assert(offsetof(PswStatusData, documentOffset) == 0x64, "document name");
static_assert(sizeof(PswStatusData) == 0x68, "status block fixed part");
