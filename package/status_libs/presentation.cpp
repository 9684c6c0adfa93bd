// XERB5PMN.DLL, the stand-in presentation library: the status window's layout, menu and
// toolbars, and for every status block what the window shows (state, texts, pictures,
// animation, which job commands are enabled).
//
// DisplayCode values, by the first rule that applies:
//   101 no status block yet            102 status cleared
//   400 paper out  401 paper jam  402 cover open  403 offline  404 toner empty
//   405 printer memory full (the device's error bits, in this order)
//   408 job held   206 job being cancelled
//   203 job started, waiting for data  202 still waiting for data
//   204 last page printed  200/201 printing, by the parity of the pages printed, so that
//       the code changes when a page is out and not when the next one starts
//   301 idle with an attention bit     300 ready
#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "presentation_res.h"
#include "status_block.h"

namespace {

using namespace standin;

// Records shared with the status window; field layout is binary interface.
struct LayoutRect {
    SHORT x, y, width, height;
};
struct EtchedLine {
    SHORT xStart, shadowY, xEnd, highlightY;
};
struct PswLayoutInfo {
    DWORD menuId, width, layoutHeight;
    LayoutRect tab, detailList, logList, waitingList, waitingToolbar, statusToolbar, messageBox, jobStatus,
        printerStatus, picture, progressBar;
    EtchedLine lines[2];
    SHORT detailColumns[2], logColumns[5], waitingColumns[3], unused, waitingColumn4;
};
static_assert(sizeof(PswLayoutInfo) == 140, "layout record");

struct CommandStateEntry {
    DWORD commandId, state;
};
struct AnimationFrame {
    HRSRC picture;
    DWORD order;
    int x, y;
    DWORD duration;
};
struct JobStatusText {
    int x, y, fontHeight, fontWeight;
    DWORD unused[2];
    const wchar_t* text;
};
struct MessageLine {
    DWORD unused[6];
    const wchar_t* text;
};
struct Overlay {
    HRSRC picture;
    DWORD unused;
    int x, y;
};
struct PswDisplayInfo {
    int displayCode;
    DWORD unused04;
    HICON bigIcon;
    DWORD unused0C[2];
    const CommandStateEntry* menuTable;
    DWORD unused18;
    const CommandStateEntry* toolbarTable;
    HICON statusIcon;
    DWORD unused24[2];
    DWORD estimate;
    DWORD unused30;
    const JobStatusText* jobStatus;
    DWORD messageLineCount;
    DWORD unused3C;
    const MessageLine* messageLines;
    DWORD colourScheme;
    const HRSRC* background;
    DWORD overlayCount;
    const Overlay* overlays;
    DWORD animationMode, frameCount;
    const AnimationFrame* frames;
    DWORD unused60[2];
    DWORD hideProgress;
    DWORD unused6C;
};
#ifndef _WIN64  // a 64-bit test build lays it out like the 64-bit program does
static_assert(sizeof(PswDisplayInfo) == 0x70, "display record");
#endif

// A window of 446 x 370 (layout height): above the tab control the picture, the status
// icon, the state text and the advice; inside its page area the lists, the progress bar
// and the toolbars. Client width is 440 after the fixed frame.
const PswLayoutInfo kLayout = {
    IDM_STATUS_WINDOW, 446, 370,
    {8, 124, 424, 196},   // tab control
    {16, 152, 408, 104},  // detail list
    {16, 152, 408, 160},  // log list
    {16, 152, 408, 124},  // waiting list
    {16, 284, 408, 28},   // waiting toolbar
    {16, 288, 408, 28},   // status toolbar
    {144, 56, 288, 56},   // message box
    {184, 8, 248, 40},    // job-status text
    {144, 12, 32, 32},    // printer-status icon
    {8, 8, 132, 100},     // picture: 128 x 96 inside its edge
    {16, 260, 408, 22},   // progress bar
    {{0, 0, 440, 1}, {8, 116, 432, 117}},
    {120, 284},                // detail: item, value
    {150, 60, 60, 70, 64},     // log: document, pages, result, owner, time
    {180, 80, 80}, 0, 64,      // waiting: document, owner, pages, then time
};

constexpr int kCommandCount = 3;
const DWORD kJobCommands[kCommandCount] = {IDC_PAUSE, IDC_RESUME, IDC_CANCEL};

enum Icon { kIconReady, kIconPrinting, kIconError, kIconCount };
const WORD kIconIds[kIconCount] = {IDI_STATE_READY, IDI_STATE_PRINTING, IDI_STATE_ERROR};

enum class Scheme : DWORD { Normal = 600, Attention = 601, Error = 602 };
enum class Animation { None, PaperPath, Data };

// How one DisplayCode looks.
struct StateView {
    int code;
    UINT title;
    UINT advice[2];  // 0: no line
    Icon icon;
    Scheme scheme;
    WORD background;
    WORD mark;  // overlay picture, 0: none
    Animation animation;
};

const StateView kStates[] = {
    {101, IDS_STATE_CONNECTING, {IDS_ADVICE_CONNECTING}, kIconReady, Scheme::Normal, IDB_PRINTER, 0, Animation::None},
    {102, IDS_STATE_NO_STATUS, {IDS_ADVICE_NO_STATUS}, kIconError, Scheme::Attention, IDB_PRINTER, IDB_MARK_WARNING, Animation::None},
    {300, IDS_STATE_READY, {IDS_ADVICE_READY}, kIconReady, Scheme::Normal, IDB_PRINTER, 0, Animation::None},
    {301, IDS_STATE_ATTENTION, {IDS_ADVICE_READY}, kIconReady, Scheme::Attention, IDB_PRINTER, IDB_MARK_WARNING, Animation::None},
    {200, IDS_STATE_PRINTING, {IDS_ADVICE_PRINTING}, kIconPrinting, Scheme::Normal, IDB_PRINTER, 0, Animation::PaperPath},
    {201, IDS_STATE_PRINTING, {IDS_ADVICE_PRINTING}, kIconPrinting, Scheme::Normal, IDB_PRINTER, 0, Animation::PaperPath},
    {202, IDS_STATE_RECEIVING, {IDS_ADVICE_RECEIVING}, kIconPrinting, Scheme::Normal, IDB_PRINTER, 0, Animation::Data},
    {203, IDS_STATE_RECEIVING, {IDS_ADVICE_RECEIVING}, kIconPrinting, Scheme::Normal, IDB_PRINTER, 0, Animation::Data},
    {204, IDS_STATE_FINISHING, {IDS_ADVICE_FINISHING}, kIconPrinting, Scheme::Normal, IDB_PRINTER, 0, Animation::None},
    {206, IDS_STATE_CANCELLING, {IDS_ADVICE_CANCELLING}, kIconPrinting, Scheme::Attention, IDB_PRINTER, 0, Animation::None},
    {408, IDS_STATE_PAUSED, {IDS_ADVICE_PAUSED, IDS_ADVICE_PAUSED_2}, kIconReady, Scheme::Attention, IDB_PRINTER, IDB_MARK_PAUSE, Animation::None},
    {400, IDS_STATE_PAPER_OUT, {IDS_ADVICE_PAPER_OUT, IDS_ADVICE_PAPER_OUT_2}, kIconError, Scheme::Error, IDB_PRINTER_EMPTY, IDB_MARK_ERROR, Animation::None},
    {401, IDS_STATE_PAPER_JAM, {IDS_ADVICE_PAPER_JAM, IDS_ADVICE_PAPER_JAM_2}, kIconError, Scheme::Error, IDB_PRINTER, IDB_MARK_ERROR, Animation::None},
    {402, IDS_STATE_COVER_OPEN, {IDS_ADVICE_COVER_OPEN}, kIconError, Scheme::Error, IDB_PRINTER, IDB_MARK_ERROR, Animation::None},
    {403, IDS_STATE_OFFLINE, {IDS_ADVICE_OFFLINE, IDS_ADVICE_OFFLINE_2}, kIconError, Scheme::Error, IDB_PRINTER, IDB_MARK_WARNING, Animation::None},
    {404, IDS_STATE_TONER_EMPTY, {IDS_ADVICE_TONER_EMPTY}, kIconError, Scheme::Error, IDB_PRINTER, IDB_MARK_ERROR, Animation::None},
    {405, IDS_STATE_MEMORY_FULL, {IDS_ADVICE_MEMORY_FULL, IDS_ADVICE_MEMORY_FULL_2}, kIconError, Scheme::Error, IDB_PRINTER, IDB_MARK_ERROR, Animation::None},
};

// Device errors and their codes, the more urgent first.
const struct {
    DWORD flag;
    int code;
} kErrors[] = {
    {kDevicePaperJam, 401},  {kDeviceCoverOpen, 402},  {kDevicePaperOut, 400},
    {kDeviceOffline, 403},   {kDeviceTonerEmpty, 404}, {kDeviceMemoryFull, 405},
};

const struct {
    DWORD flag;
    UINT note;
} kAttentionNotes[] = {{kDeviceTonerLow, IDS_NOTE_TONER_LOW}, {kDeviceDrumWornOut, IDS_NOTE_DRUM}};

// Pictures in the pane's coordinates: the paper path of one page, and data arriving.
struct FramePlace {
    WORD picture;
    int x, y;
    DWORD duration;
};
const FramePlace kPaperPath[] = {
    {IDB_SHEET_FEED, 46, 0, 200}, {IDB_SHEET_OUT1, 44, 60, 200},
    {IDB_SHEET_OUT2, 44, 60, 200}, {IDB_SHEET_TRAY, 42, 76, 300},
};
const FramePlace kDataArriving[] = {
    {IDB_DATA, 0, 58, 200}, {IDB_DATA, 6, 58, 200}, {IDB_DATA, 12, 58, 200}, {IDB_DATA, 18, 58, 200},
};
constexpr int kMaxFrames = 4;
const int kMarkX = 4, kMarkY = 4;

constexpr int kTextSize = 260;
constexpr int kMaxMessageLines = 2 + static_cast<int>(std::size(kAttentionNotes));

// What the last PSM_GetPSWDisplay handed out: the status window keeps the pointers until
// the next call, on its one UI thread.
struct DisplayStorage {
    CommandStateEntry menu[kCommandCount];
    CommandStateEntry toolbar[kCommandCount];
    wchar_t jobText[2 * kTextSize + 2];
    JobStatusText jobStatus;
    wchar_t lineTexts[kMaxMessageLines][kTextSize];
    MessageLine lines[kMaxMessageLines];
    HRSRC backgrounds[2];  // one entry per picture: the window caches by the entry's address
    Overlay overlay;
    AnimationFrame frames[kMaxFrames];
} g_display;

HINSTANCE g_instance;
HICON g_icons[kIconCount];  // loaded at first use, destroyed when the library is freed

HICON StateIcon(Icon icon)
{
    if (!g_icons[icon])
        g_icons[icon] = static_cast<HICON>(
            LoadImageW(g_instance, MAKEINTRESOURCEW(kIconIds[icon]), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    return g_icons[icon];
}

// A string of the block, or null when its offset does not point at a terminated string
// inside the block: the block comes from another process.
const wchar_t* BlockString(const void* block, DWORD offsetField)
{
    const DWORD length = BlockField(block, kBlockLength), offset = BlockField(block, offsetField);
    if (offset < kFixedPart || offset >= length || offset % sizeof(wchar_t))
        return nullptr;
    const wchar_t* text = reinterpret_cast<const wchar_t*>(static_cast<const BYTE*>(block) + offset);
    for (DWORD i = 0; offset + (i + 1) * sizeof(wchar_t) <= length; ++i)
        if (!text[i])
            return text;
    return nullptr;
}

int DisplayCodeFor(const void* block, BOOL cleared)
{
    if (!block || BlockField(block, kBlockLength) < kFixedPart)
        return 101;
    if (cleared)
        return 102;
    const DWORD device = BlockField(block, kDeviceFlags), job = BlockField(block, kJobFlags);
    for (const auto& error : kErrors)
        if (device & error.flag)
            return error.code;
    if (job & kJobActive) {
        const DWORD total = BlockField(block, kTotalPages), printed = BlockField(block, kPagesPrinted);
        if (job & kJobHeld)
            return 408;
        if (job & kJobCancelled)
            return 206;
        if (job & kJobWaitingForData)
            return job & kJobStart ? 203 : 202;
        if (total && printed >= total)
            return 204;
        return printed % 2 ? 201 : 200;
    }
    return device & kDeviceAttention ? 301 : 300;
}

const StateView& ViewFor(int code)
{
    for (const StateView& view : kStates)
        if (view.code == code)
            return view;
    return kStates[0];
}

// Pause while a job prints, resume while it is held, cancel while there is a job that is
// not being cancelled already.
void FillCommandStates(int code, const void* block)
{
    const bool job = block && code != 101 && code != 102 && BlockField(block, kJobId) &&
                     (BlockField(block, kJobFlags) & kJobActive);
    const bool enabled[kCommandCount] = {job && code != 408 && code != 206, job && code == 408, job && code != 206};
    for (int i = 0; i < kCommandCount; ++i) {
        g_display.menu[i] = {kJobCommands[i], static_cast<DWORD>(enabled[i] ? MF_ENABLED : MF_GRAYED)};
        g_display.toolbar[i] = {kJobCommands[i], static_cast<DWORD>(enabled[i] ? TBSTATE_ENABLED : 0)};
    }
}

// The state on the first line, the document on the second.
void FillJobStatus(const StateView& view, const void* block)
{
    LoadStringW(g_instance, view.title, g_display.jobText, kTextSize);
    const wchar_t* document = block && view.code != 101 && (BlockField(block, kJobFlags) & kJobActive)
                                  ? BlockString(block, kDocumentOffset)
                                  : nullptr;
    if (document && *document) {
        lstrcatW(g_display.jobText, L"\r\n");
        lstrcpynW(g_display.jobText + lstrlenW(g_display.jobText), document, kTextSize);
    }
    g_display.jobStatus = {0, 0, -15, FW_BOLD, {0, 0}, g_display.jobText};
}

DWORD FillMessageLines(const StateView& view, const void* block)
{
    UINT ids[kMaxMessageLines] = {};
    int count = 0;
    for (UINT advice : view.advice)
        if (advice)
            ids[count++] = advice;
    const DWORD device = block && view.code != 101 ? BlockField(block, kDeviceFlags) : 0;
    for (const auto& note : kAttentionNotes)
        if (device & note.flag)
            ids[count++] = note.note;
    for (int i = 0; i < count; ++i) {
        LoadStringW(g_instance, ids[i], g_display.lineTexts[i], kTextSize);
        g_display.lines[i] = {{0, 0, 0, 0, 0, 0}, g_display.lineTexts[i]};
    }
    return count;
}

HRSRC Picture(HMODULE module, WORD id) { return FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP); }

void FillPictures(HMODULE module, const StateView& view, PswDisplayInfo& display)
{
    HRSRC& background = g_display.backgrounds[view.background == IDB_PRINTER ? 0 : 1];
    background = Picture(module, view.background);
    display.background = &background;
    display.colourScheme = static_cast<DWORD>(view.scheme);
    if (view.mark) {
        g_display.overlay = {Picture(module, view.mark), 0, kMarkX, kMarkY};
        display.overlayCount = 1;
        display.overlays = &g_display.overlay;
    }
    if (view.animation == Animation::None)
        return;
    const FramePlace* places = view.animation == Animation::PaperPath ? kPaperPath : kDataArriving;
    for (int i = 0; i < kMaxFrames; ++i)
        g_display.frames[i] = {Picture(module, places[i].picture), 1, places[i].x, places[i].y, places[i].duration};
    display.animationMode = view.animation == Animation::PaperPath ? 1 : 2;
    display.frameCount = kMaxFrames;
    display.frames = g_display.frames;
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI PSM_GetPSWInfo(PswLayoutInfo* layout)
{
    if (!layout)
        return FALSE;
    *layout = kLayout;
    return TRUE;
}

__declspec(dllexport) int WINAPI PSM_GetPSWDisplay(HMODULE module, int, const void* statusBlock, PswDisplayInfo* display, BOOL cleared)
{
    const int code = DisplayCodeFor(statusBlock, cleared);
    if (!display)
        return code;
    const void* block = code == 101 ? nullptr : statusBlock;
    const StateView& view = ViewFor(code);
    *display = PswDisplayInfo();  // every field is written, whatever the caller left in it
    display->displayCode = code;
    display->bigIcon = display->statusIcon = StateIcon(view.icon);
    FillCommandStates(code, block);
    display->menuTable = g_display.menu;
    display->toolbarTable = g_display.toolbar;
    FillJobStatus(view, block);
    display->jobStatus = &g_display.jobStatus;
    display->messageLineCount = FillMessageLines(view, block);
    display->messageLines = g_display.lines;
    FillPictures(module ? module : g_instance, view, *display);
    const DWORD estimateMode = block ? BlockField(block, kEstimateMode) : 0;
    display->estimate = (code >= 200 && code <= 204) && (estimateMode == 1 || estimateMode == 2);
    display->hideProgress = block && (BlockField(block, kJobFlags) & kJobActive) ? 0 : 1;
    return code;
}

__declspec(dllexport) HWND WINAPI PSM_CreateToolbar(HWND parentPane, int which)
{
    static const TBBUTTON kStatusButtons[] = {
        {0, IDC_PAUSE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {1, IDC_RESUME, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {2, IDC_RESTART, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {3, IDC_CANCEL, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    };
    // Waiting jobs can be paused, resumed and cancelled; restarting is for the device.
    static const TBBUTTON kWaitingButtons[] = {kStatusButtons[0], kStatusButtons[1], kStatusButtons[3]};
    if (which != 0 && which != 1)
        return nullptr;
    const TBBUTTON* buttons = which == 0 ? kStatusButtons : kWaitingButtons;
    const int count = which == 0 ? 4 : 3;
    RECT pane = {};
    GetClientRect(parentPane, &pane);
    HWND toolbar = CreateToolbarEx(parentPane,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_NORESIZE |
                                       CCS_NODIVIDER | CCS_NOPARENTALIGN,
                                   0, 4, g_instance, IDB_TOOLBAR, buttons, count, 16, 16, 16, 16, sizeof(TBBUTTON));
    if (toolbar)
        SetWindowPos(toolbar, nullptr, 0, 0, pane.right, pane.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    return toolbar;
}

__declspec(dllexport) UINT WINAPI PSM_GetMenuHelpText(HWND, UINT itemId, UINT menuFlags, HMENU)
{
    if (menuFlags & MF_SYSMENU)
        return itemId == IDC_TERMINATE ? IDS_MENU_HELP_TERMINATE : 0;
    if (menuFlags & MF_POPUP)
        return itemId < 3 ? IDS_MENU_POPUP_BASE + itemId : 0;
    switch (itemId) {
    case IDC_PAUSE:
    case IDC_RESUME:
    case IDC_RESTART:
    case IDC_CANCEL:
    case IDC_TEST_PAGE:
    case IDC_OPTIONS:
    case IDC_HELP_TOPICS:
    case IDC_ABOUT:
    case IDC_PORT_SETTINGS:
        return IDS_MENU_HELP_BASE + itemId;
    }
    return 0;
}

__declspec(dllexport) UINT WINAPI PSM_GetToolTipText(UINT controlId)
{
    return controlId >= IDC_PAUSE && controlId <= IDC_CANCEL ? IDS_TOOLTIP_BASE + controlId : 0;
}

// The name of the help file; the status window finds it in the printer-driver directory.
__declspec(dllexport) BOOL WINAPI PSM_GetFileName(wchar_t* buffer, int kind)
{
    if (!buffer || kind != 1)
        return FALSE;
    lstrcpyW(buffer, L"XERB5.HLP");
    return TRUE;
}

// The printer-specific hook of the presentation interface: this printer has nothing to add.
__declspec(dllexport) void WINAPI PSM_PrinterSpecificProc(void) {}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        for (HICON icon : g_icons)
            if (icon)
                DestroyIcon(icon);
    }
    return TRUE;
}

}  // extern "C"
