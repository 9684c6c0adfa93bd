// The status window's protocol and fixed numbers: private window messages, child control ids,
// timers, commands, job requests and the display codes the program tests.
#pragma once
#include <windows.h>

// The driver package the window serves: the print monitor its drivers name, and the model a
// driver without a monitor must be.
#define PACKAGE_MONITOR_NAME L"XERB5 Monitor"
#define PACKAGE_DRIVER_NAME L"Tavik QX2210-2370"

// Window classes.
#define PSW_MAIN_CLASS L"PSWM4WindowClass"
#define PSW_PROGRESS_CLASS L"ProgressBarWindowClass"
#define PSW_NOTIFY_CLASS L"pswM4_notifyicon"

// Private messages other processes send to a status window.
#define PSWM_RESET_STATUS (WM_USER + 2)     // 1026: forget the status, ask the library again
#define PSWM_QUIT (WM_USER + 3)             // 1027: save the window state and end
#define PSWM_SHOW (WM_USER + 4)             // 1028: bring the window up for the user
#define PSWM_RELAUNCH (WM_USER + 6)         // 1030: replace this process by a fresh copy
#define PSWM_CLOSE_INSTANCE (WM_USER + 7)   // 1031: close; the last window also ends the icon
#define PSWM_QUERY_STATUS (WM_USER + 8)     // 1032: wParam, a "PswStatusQuery" window to answer
// Within the program: the monitor thread has left a new set of waiting jobs for the main
// window (the message carries nothing another process could forge).
#define PSWM_WAITING_JOBS (WM_USER + 20)
// WM_COPYDATA with this wParam ends the message loop at once.
#define PSW_COPYDATA_QUIT 1027
// dwData of the library's WM_COPYDATA messages.
#define PSW_DATA_STATUS 1
#define PSW_DATA_CLEARED 2
#define PSW_DATA_RENAME 3

// The answer to PSWM_QUERY_STATUS: WM_COPYDATA with this dwData carrying a PswStatusSnapshot,
// sent only to a window of the query's class.
#define PSW_QUERY_CLASS L"PswStatusQuery"
#define PSW_DATA_SNAPSHOT 0x5053
#define PSW_QUERY_TIMEOUT_MS 2000

#define SNAPSHOT_PRINTER_CHARS 262
#define SNAPSHOT_PORT_CHARS 80
#define SNAPSHOT_TEXT_CHARS 512
#define SNAPSHOT_DOCUMENT_CHARS 260
#define SNAPSHOT_OWNER_CHARS 64
// Which parts of a snapshot hold something.
#define SNAPSHOT_VISIBLE 0x1
#define SNAPSHOT_STATUS 0x2      // a status block has arrived
#define SNAPSHOT_JOB 0x4         // a job is shown
#define SNAPSHOT_TIME_LEFT 0x8   // its time left is shown

// What a status window shows, as it answers a query. Every string is terminated inside its
// buffer; the reader terminates them again, since the block comes from another process.
struct PswStatusSnapshot {
    DWORD size;   // sizeof(PswStatusSnapshot): this layout
    DWORD parts;  // SNAPSHOT_ bits
    int displayCode;
    DWORD deviceFlags;
    DWORD pagesPrinted, totalPages;
    DWORD timeLeftSeconds;
    wchar_t printer[SNAPSHOT_PRINTER_CHARS];
    wchar_t port[SNAPSHOT_PORT_CHARS];
    wchar_t state[SNAPSHOT_TEXT_CHARS];     // the job-status pane's text
    wchar_t message[SNAPSHOT_TEXT_CHARS];   // the message box's lines, each ended by CR LF
    wchar_t document[SNAPSHOT_DOCUMENT_CHARS];
    wchar_t owner[SNAPSHOT_OWNER_CHARS];
};

// GWL_USERDATA of the main window: 1 once its destruction has begun.
#define PSW_WINDOW_LIVE 0
#define PSW_WINDOW_CLOSING 1

// Child controls of the main window.
#define IDC_TAB 501
#define IDC_MESSAGE_BOX 502
#define IDC_JOB_STATUS_PANE 503
#define IDC_PICTURE_PANE 504
#define IDC_STATUS_BAR 505
#define IDC_LOG_LIST 507
#define IDC_DETAIL_LIST 508
#define IDC_WAITING_LIST 509
#define IDC_STATUS_TOOLBAR_PANE 510
#define IDC_WAITING_TOOLBAR_PANE 511
#define IDC_PRINTER_STATUS_PANE 512
#define IDC_PROGRESS_BAR 513

// Tab pages.
#define PAGE_DETAIL 0
#define PAGE_LOG 1
#define PAGE_WAITING 2
#define PAGE_COUNT 3

// Timers of the main window.
#define TIMER_ANIMATION_A 1
#define TIMER_ANIMATION_B 2
#define TIMER_COUNTDOWN_FIRST_PAGE 3
#define TIMER_COUNTDOWN_PAGES 4
#define TIMER_STATUS_RETRY 5
#define TIMER_ATTENTION_HOLD 6
#define TIMER_WATCHDOG 7
#define COUNTDOWN_PERIOD_MS 1000
#define STATUS_RETRY_PERIOD_MS 3000
#define ATTENTION_HOLD_MS 30000
#define WATCHDOG_PERIOD_MS 15000

// Commands: menu items of the presentation library's menu, toolbar buttons, accelerators.
#define IDM_PAUSE 100
#define IDM_RESUME 101
#define IDM_DEVICE_COMMAND 102
#define IDM_CANCEL 103
#define IDM_DEVICE_ITEM 104
#define IDM_OPTIONS 120
#define IDM_HELP_TOPICS 130
#define IDM_ABOUT 133
#define IDM_PORT_SETTINGS 134
#define IDM_TERMINATE 400   // system menu
#define IDM_FOCUS_NEXT 9010
#define IDM_FOCUS_PREVIOUS 9011

// Job requests to the status-monitor library.
#define JOB_REQUEST_CANCEL 2048
#define JOB_REQUEST_PAUSE 2049
#define JOB_REQUEST_RESUME 2050
#define JOB_REQUEST_DEVICE_COMMAND 2051
#define JOB_REQUEST_DEVICE_ITEM 2053
#define JOB_REQUEST_STATUS_SENSE 2054
#define JOB_REQUEST_PORT_MODE 2055

// Where the window's position is kept before the first move.
#define DEFAULT_WINDOW_POSITION 100
// Read with this default at start, "StatusSense" tells a missing value from a stored one.
#define STATUS_SENSE_UNSET 99
#define STATUS_SENSE_ALWAYS 1

// Device flags of a status block.
#define DEVICE_STOP_COUNTDOWNS 0x1
#define DEVICE_BUSY 0x8                    // with JOB_BUSY_WITH_DEVICE: the countdowns stop
#define DEVICE_ERROR_POP_UP 0xBFFDE06A     // an error that brings the window up
#define DEVICE_ERROR_PRESENT 0xFFFFE06A    // an error the window hides for once it clears
                                           // (and the error a status query reports)
#define DEVICE_ATTENTION 0x22000000        // holds the device item grey for a while
#define DEVICE_CLEARS_JOB_ROWS 0x3F3FF06E  // the detail list shows no job then
// Job flags of a status block.
#define JOB_END_BITS 0x7
#define JOB_CANCELLED 0x4
#define JOB_IN_PROGRESS 0x8
#define JOB_BUSY_WITH_DEVICE 0x1008
#define JOB_STARTED 0x10000
// Estimate modes.
#define ESTIMATE_PER_PAGE 1
#define ESTIMATE_LOOPING 2
// Animation modes.
#define ANIMATION_PER_PAGE 1
#define ANIMATION_LOOPING 2

// Display codes of the presentation library that the window tests by name; the others it
// tests are listed where they are used.
#define DISPLAY_NO_STATUS 101              // no status block yet
#define DISPLAY_STATUS_CLEARED 102
#define DISPLAY_PRINTING_EVEN 200
#define DISPLAY_PRINTING_ODD 201
#define DISPLAY_WAITING_EVEN 202
#define DISPLAY_WAITING_ODD 203
#define DISPLAY_LAST_PAGE 204
#define DISPLAY_CANCELLING 206
#define DISPLAY_READY 300
#define DISPLAY_READY_ATTENTION 301        // ready, with an attention flag
#define DISPLAY_COVER_OPEN 402
#define DISPLAY_OFFLINE 403
#define DISPLAY_MEMORY_FULL 405
#define DISPLAY_ERROR_FIRST 400
#define DISPLAY_PAUSED 408
#define DISPLAY_ERROR_LAST 423
