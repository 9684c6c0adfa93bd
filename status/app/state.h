// The one process-wide state of the status window. Everything the window procedures share
// lives here; the monitor thread gets only its parameter block.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <lmcons.h>
#include <winspool.h>
#include "app/libraries.h"
#include "app/protocol.h"
#include "app/psw_records.h"

#define PRINTER_NAME_CHARS 262   // a longer !D value is cut to 261 characters
#define PORT_NAME_CHARS 80       // a longer !P value is cut to 79 characters
#define DOCUMENT_NAME_CHARS 260
#define REMEMBERED_JOBS_MAX 100
#define JOB_LOG_MAX 100
#define CELL_TEXT_CHARS 260

// Handed to the monitor thread when it starts; the thread reads it once and touches nothing
// else of the process-wide state (but the heap lock, through AllocZeroed and FreeBlock).
struct MonitorThreadParams {
    HANDLE stopEvent;   // manual reset; set at shutdown
    HANDLE readyEvent;  // set by the thread once it waits for changes, or has failed to
    HANDLE printer;     // spooler handle
    DWORD filter;       // PRINTER_CHANGE_JOB
    DWORD options;
    DWORD reserved;
    HWND volatile* window;                           // where the main window's handle is, once made
    struct WaitingJobsHandoff* volatile* handoff;    // the slot a set of waiting jobs is left in
};

// Why the window is showing; decides whether it may hide itself again.
enum ShowReason {
    SHOW_REASON_JOB = 0,     // popped up for a job: hides at the job end
    SHOW_REASON_USER = 2,    // the user touched it: stays
    SHOW_REASON_ERROR = 3,   // popped up for an error: hides when the error clears
};

// What kind of port the printer uses.
enum PortClass {
    PORT_CLASS_OTHER = 0,       // a network or any other port
    PORT_CLASS_LOCAL = 1,       // LPT1: to LPT3: or a USB port, not redirected to the network
    PORT_CLASS_COMPLIANT = 2,   // served by a print monitor that declares itself compliant
};

// Who sits at this window and what port it serves: learned once for the printer (when first
// needed, and again after the printer is renamed), so that no status block asks the system.
struct PrinterSeat {
    BOOL known;
    wchar_t user[UNLEN + 1];
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
    PortClass portClass;
    BOOL usbPort;
};

// What the window remembers of the status blocks before: kept here once, read by the decision
// on each block and replaced by what it decides. `runs` tells, by timer id, which of the
// presentation's timers run (the animations, the countdowns, the status retry, the
// attention hold).
struct PresentationMemory {
    DWORD rememberedDeviceFlags;
    ShowReason showReason;
    DWORD totalPages, pagesStarted, pagesPrinted;
    const wchar_t* document;            // the current job's document name
    LONGLONG elapsedA, elapsedB;        // ms counted by the two countdowns
    BOOL runs[TIMER_ATTENTION_HOLD + 1];   // by timer id: the timer runs
};

// One finished job of the job log.
struct JobLogEntry {
    wchar_t document[260];
    wchar_t result[64];
    wchar_t owner[64];
    DWORD pages;
    wchar_t endTime[64];
};
static_assert(sizeof(JobLogEntry) == 908, "job log entry");

// An animation of the picture pane, driven by its own timer; whether that runs is the
// presentation's `runs`.
struct Animation {
    DWORD frameIndex;               // from 1
    const AnimationFrame* frame;    // the frame drawn now, NULL when none
};

// A toolbar's images: the presentation library's, at 96 DPI, and ours at the window's DPI.
struct ToolbarImages {
    HIMAGELIST library;   // the toolbar's own list, freed with it
    SIZE button;          // the toolbar's button size with the library's images
    HIMAGELIST scaled;    // ours, set on the toolbar; NULL at 96 DPI
    HIMAGELIST disabled;  // ours for disabled buttons, with `scaled`
};

// The children of the main window.
struct MainWindowChildren {
    HWND tab, messageBox, jobStatusPane, picturePane, statusBar;
    HWND logList, detailList, waitingList;
    HWND statusToolbarPane, waitingToolbarPane, statusToolbar, waitingToolbar;
    HWND printerStatusPane, progressBar;
};

struct StatusWindowState {
    HINSTANCE instance;
    wchar_t printerName[PRINTER_NAME_CHARS];  // queue name, window title, settings key
    wchar_t portName[PORT_NAME_CHARS];        // shown in the status bar
    HANDLE spooler;                           // OpenPrinterW handle of the queue
    HANDLE monitorThread;
    DWORD monitorThreadId;
    MonitorThreadParams monitorParams;
    DWORD statusHandle;                       // from SmPsw_OpenPrinter; 0 until then
    BYTE* statusCopy;                         // last status block, process heap; NULL: none
    DWORD statusLength;                       // bytes delivered
    DWORD statusLengthField;                  // its length field as delivered; the copy's own is
                                              // lowered to the bytes delivered
    PrinterSeat seat;                         // the user, the computer and the port's class
    PswLibraries libraries;
    CRITICAL_SECTION ProcessHeapLock;         // serializes AllocZeroed and FreeBlock

    // Main window.
    HWND mainWindow;
    MainWindowChildren children;
    PswLayoutInfo layout;
    int statusBarAllowance;                   // status bar height beyond 20 pixels
    UINT dpi;                                 // the DPI the window is laid out for (its monitor's)
    HFONT guiFont;                            // DEFAULT_GUI_FONT made for that DPI; NULL: the stock one
    ToolbarImages toolbarImages[2];           // status toolbar, waiting toolbar
    HICON shownStatusIcon;                    // the status icon at its size on the screen
    HICON shownStatusIconSource;              // the library's icon it was made from
    HPALETTE palette;                         // from the program's 16-colour bitmap
    int page;                                 // tab page showing
    int focusPane;                            // control id that has the keyboard focus
    HWND focusedChild;                        // the child that took the focus last; gets it back on activation
    WNDPROC previousPaneProc;                 // of the subclassed picture and status-text panes
    WNDPROC previousToolbarPaneProc;          // of the two subclassed toolbar panes
    WNDPROC previousListProc;                 // of the subclassed detail list
    HDC pictureCache;                         // gradient and background of the picture pane
    HBITMAP pictureCacheBitmap, pictureCacheOldBitmap;
    const HRSRC* cacheBackground;             // what the cache was built for
    DWORD cacheScheme;
    int pictureWidth, pictureHeight;          // of the background: the area pictures are drawn in

    // Settings read by the window.
    DWORD alwaysOnTop;
    DWORD showing;
    DWORD statusSense;

    // Presentation of the last status block.
    PswDisplayInfo display;
    int previousDisplayCode;
    PresentationMemory presentation;          // `document` points at documentName from WM_CREATE on
    wchar_t documentName[DOCUMENT_NAME_CHARS];
    DWORD timeLeftSeconds;
    SYSTEMTIME finishTime;                    // local time of day the job should end
    Animation animationA, animationB;         // each on its own timer

    // The waiting jobs the list shows: records pointing into the spooler's notification
    // block, both owned by the UI thread and released only once no list row refers to them.
    JOB_INFO_2W* waitingJobs;
    int waitingJobCount;
    PRINTER_NOTIFY_INFO* notifyInfo;
    struct WaitingJobsHandoff* volatile waitingJobsHandoff;   // from the monitor thread, taken atomically

    // Waiting jobs the user selected (ids and Status words), and the job log.
    DWORD selectedJobIds[REMEMBERED_JOBS_MAX];
    DWORD selectedJobStatus[REMEMBERED_JOBS_MAX];
    int selectedJobCount;
    JobLogEntry* jobLog[JOB_LOG_MAX];
    int jobLogCount;
    int jobLogInsertIndex;
    wchar_t cellText[CELL_TEXT_CHARS];        // the lists' cell texts, produced on demand
};

extern StatusWindowState g_state;

// Zeroed blocks of the process heap, safe from both threads; FreeBlock(NULL) does nothing.
void* AllocZeroed(SIZE_T bytes);
BOOL FreeBlock(void* block);
