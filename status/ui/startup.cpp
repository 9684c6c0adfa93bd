#include "ui/startup.h"
#include <commctrl.h>
#include <winspool.h>
#include "app/command_line.h"
#include "app/machine_layout.h"
#include "app/protocol.h"
#include "app/settings.h"
#include "app/state.h"
#include "app/strings.h"
#include "monitor/monitor_thread.h"
#include "res/resource.h"
#include "ui/main_window.h"
#include "ui/menu_states.h"
#include "ui/presentation.h"
#include "ui/window_placement.h"

// A closing window of another instance is waited for this long, looked for at every step.
#define INSTANCE_WAIT_MS 15000
#define INSTANCE_WAIT_STEP_MS 50
// How long start-up waits for the monitor thread to set up its wait, and shutdown for it to end.
#define MONITOR_READY_WAIT_MS 5000
#define MONITOR_END_WAIT_MS 5000
// How long a start waits for another start of the same printer to make its window: that one
// may itself be waiting for a closing window.
#define START_LOCK_WAIT_MS (INSTANCE_WAIT_MS + 2 * MONITOR_READY_WAIT_MS)
#define START_LOCK_PREFIX L"Local\\PSWM4Start:"
#define LIBRARY_MESSAGE_CHARS 512

// Driver names of the package's models, compared exactly.
static const wchar_t* const kModelNames[] = {
    L"Tavik RAYLINE MP-250", L"Tavik QX2210-2370", L"Tavik RAYLINE MP-1110", L"Tavik MP-810", L"Tavik MP-800",
};

static BOOL IsModelName(const wchar_t* driver)
{
    for (size_t i = 0; i < ARRAYSIZE(kModelNames); ++i)
        if (lstrcmpW(driver, kModelNames[i]) == 0)
            return TRUE;
    return FALSE;
}

// The level-2 printer data of an open printer (PRINTER_INFO_2W), or its level-3 driver data
// (DRIVER_INFO_3W), in a block of AllocZeroed; NULL when the spooler gives none.
typedef BOOL(WINAPI* PrinterQuery)(HANDLE printer, DWORD level, BYTE* data, DWORD size, DWORD* needed);

// The driver of the system's own environment: a 32-bit copy on 64-bit Windows would get the
// 32-bit driver otherwise, which a 64-bit package does not install.
static BOOL WINAPI QueryDriverData(HANDLE printer, DWORD level, BYTE* data, DWORD size, DWORD* needed)
{
    return GetPrinterDriverW(printer, const_cast<wchar_t*>(ThisMachineLayout().printEnvironment), level, data,
                             size, needed);
}

static BYTE* QueryPrinter(HANDLE printer, PrinterQuery query, DWORD level)
{
    DWORD needed = 0;
    query(printer, level, NULL, 0, &needed);
    BYTE* data = needed ? static_cast<BYTE*>(AllocZeroed(needed)) : NULL;
    if (data && !query(printer, level, data, needed, &needed)) {
        FreeBlock(data);
        data = NULL;
    }
    return data;
}

void LookUpPortName(const wchar_t* printer, wchar_t* port)
{
    port[0] = 0;
    HANDLE spooler = NULL;
    if (!OpenPrinterW(const_cast<wchar_t*>(printer), &spooler, NULL))
        return;
    BYTE* info = QueryPrinter(spooler, GetPrinterW, 2);
    BYTE* driver = info ? QueryPrinter(spooler, QueryDriverData, 3) : NULL;
    if (driver) {
        const DRIVER_INFO_3W* d = reinterpret_cast<DRIVER_INFO_3W*>(driver);
        const PRINTER_INFO_2W* p = reinterpret_cast<PRINTER_INFO_2W*>(info);
        BOOL hasMonitor = d->pMonitorName && d->pMonitorName[0];
        BOOL known = hasMonitor || (d->pName && IsModelName(d->pName));
        BOOL ours = !hasMonitor || lstrcmpW(d->pMonitorName, PACKAGE_MONITOR_NAME) == 0;
        if (known && ours && p->pPortName)
            lstrcpynW(port, p->pPortName, PORT_NAME_CHARS);
    }
    FreeBlock(driver);
    FreeBlock(info);
    ClosePrinter(spooler);
}

BOOL PrinterBelongsToPackage(HANDLE printer)
{
    BYTE* driver = QueryPrinter(printer, QueryDriverData, 3);
    BOOL belongs = FALSE;
    if (driver) {
        const DRIVER_INFO_3W* d = reinterpret_cast<DRIVER_INFO_3W*>(driver);
        if (d->pMonitorName && d->pMonitorName[0])
            belongs = lstrcmpW(d->pMonitorName, PACKAGE_MONITOR_NAME) == 0;
        else
            belongs = d->pName && lstrcmpW(d->pName, PACKAGE_DRIVER_NAME) == 0;
    }
    FreeBlock(driver);
    return belongs;
}

HANDLE LockPrinterStart(const wchar_t* printer)
{
    // One name per printer as the spooler and window titles see it: letter case folded, and
    // the backslashes of a network name, which would name a namespace, replaced. Names that
    // come out alike, or are cut alike, only take turns at starting.
    wchar_t name[MAX_PATH];
    lstrcpynW(name, START_LOCK_PREFIX, ARRAYSIZE(name));
    int prefix = lstrlenW(name);
    lstrcpynW(name + prefix, printer, ARRAYSIZE(name) - prefix);
    CharUpperW(name + prefix);
    for (wchar_t* p = name + prefix; *p; ++p)
        if (*p == L'\\')
            *p = L'/';
    HANDLE lock = CreateMutexW(NULL, FALSE, name);
    if (!lock)
        return NULL;
    // A start that ended without letting go leaves the lock abandoned: it is taken all the same.
    DWORD result = WaitForSingleObject(lock, START_LOCK_WAIT_MS);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED)
        return lock;
    CloseHandle(lock);
    return NULL;
}

void UnlockPrinterStart(HANDLE lock)
{
    if (!lock)
        return;
    ReleaseMutex(lock);
    CloseHandle(lock);
}

BOOL WaitForOtherInstance(const wchar_t* printer)
{
    HWND other = FindWindowW(PSW_MAIN_CLASS, printer);
    if (!other)
        return TRUE;
    if (GetWindowLongPtrW(other, GWLP_USERDATA) != PSW_WINDOW_CLOSING)
        return FALSE;
    // That instance is closing (a relaunch replaces it): wait for its window to go.
    for (DWORD waited = 0; waited < INSTANCE_WAIT_MS; waited += INSTANCE_WAIT_STEP_MS) {
        Sleep(INSTANCE_WAIT_STEP_MS);
        if (!FindWindowW(PSW_MAIN_CLASS, printer))
            return TRUE;
    }
    return FALSE;
}

// Waits for the stopped monitor thread to end, so that it is done with the spooler handle and
// the heap lock before they go. Its last hand-over is sent to the window: that is delivered
// meanwhile. FALSE when it has not ended in time.
static BOOL WaitForMonitorThread(void)
{
    HANDLE thread = g_state.monitorThread;
    if (!thread)
        return TRUE;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        if (waited >= MONITOR_END_WAIT_MS)
            return FALSE;
        DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, MONITOR_END_WAIT_MS - waited, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0)
            return TRUE;
        if (result != WAIT_OBJECT_0 + 1)
            return FALSE;
        MSG msg;
        PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Shows or hides the new window as it was left; returns what to do once the library is open.
enum FirstShow { FIRST_SHOW_SEND_SHOW, FIRST_SHOW_STOP_POLLING };

static FirstShow ShowAsLastTime(HWND window)
{
    DWORD state = 0, visibility = 0;
    ReadPswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_LAST_STATE, &state, 0);
    ReadPswValue(HKEY_CURRENT_USER, g_state.printerName, VALUE_LAST_VISIBILITY, &visibility, 0);
    if (visibility != LAST_WINDOW_VISIBLE) {
        ShowWindow(window, SW_HIDE);
        return FIRST_SHOW_STOP_POLLING;
    }
    if (state == LAST_WINDOW_MINIMISED) {
        ShowWindow(window, SW_MINIMIZE);
    } else {
        SetForegroundWindow(window);
        ShowWindow(window, SW_SHOW);
    }
    return FIRST_SHOW_SEND_SHOW;
}

// What a start that will serve the printer settles on the machine: the machine-wide watching
// default when there is none, and the code page of the user's texts for the printer driver.
static void SettleMachineValues(void)
{
    DWORD sense = 0;
    ReadPswValue(HKEY_LOCAL_MACHINE, g_state.printerName, VALUE_STATUS_SENSE, &sense, STATUS_SENSE_UNSET);
    if (sense == STATUS_SENSE_UNSET)
        WritePswValue(HKEY_LOCAL_MACHINE, g_state.printerName, VALUE_STATUS_SENSE, STATUS_SENSE_ALWAYS);
    DWORD codePage = GetACP();
    SetPrinterDataW(g_state.spooler, const_cast<wchar_t*>(L"AnsiCodePage"), REG_NONE,
                    reinterpret_cast<BYTE*>(&codePage), sizeof(codePage));
}

BOOL BindWindowLibraries(LibraryFailure* failure)
{
    InitCommonControls();
    return RegisterWindowClasses(g_state.instance) && BindLibraries(&g_state.libraries, failure);
}

HWND MakeMainWindow(void)
{
    SettleMachineValues();
    HWND window = CreateMainWindow();
    if (!window) {
        ReleaseLibraries(&g_state.libraries);
        return NULL;
    }
    RefreshCommandStates(FALSE, TRUE);
    // Making the window placed it where it was left; what is left is its place in the z-order.
    SetWindowPos(window, g_state.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
    return window;
}

// Tells the user which library could not be loaded and what to do; a library of the other
// bitness (ERROR_BAD_EXE_FORMAT) gets its own text.
static void ShowLibraryFailure(const LibraryFailure& failure)
{
    // The program's own bitness is its build's; the library's is the other one.
    BOOL own64 = sizeof(void*) == 8;
    DWORD_PTR values[] = {reinterpret_cast<DWORD_PTR>(failure.library),
                          reinterpret_cast<DWORD_PTR>(own64 ? L"64" : L"32"),
                          reinterpret_cast<DWORD_PTR>(own64 ? L"32" : L"64")};
    BOOL otherBitness = failure.loadError == ERROR_BAD_EXE_FORMAT;
    wchar_t format[LIBRARY_MESSAGE_CHARS], text[LIBRARY_MESSAGE_CHARS], title[LIBRARY_MESSAGE_CHARS];
    LoadText(otherBitness ? IDS_LIBRARY_OTHER_BITNESS : IDS_LIBRARY_NOT_LOADED, format, ARRAYSIZE(format));
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, format, 0, 0, text,
                        ARRAYSIZE(text), reinterpret_cast<va_list*>(values)))
        lstrcpynW(text, format, ARRAYSIZE(text));
    LoadText(IDS_WINDOW_TITLE, title, ARRAYSIZE(title));
    MessageBoxW(NULL, text, title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

BOOL OpenAtStatusLibrary(HWND window)
{
    FirstShow firstShow = ShowAsLastTime(window);
    const PswLibraries& lib = g_state.libraries;
    if (!lib.SmPsw_OpenPrinter(window, g_state.printerName, g_state.portName, &g_state.statusHandle)) {
        SendMessageW(window, PSWM_QUIT, 0, 0);
        return FALSE;
    }
    if (!g_state.statusCopy)
        RequestFirstStatus(1);
    if (firstShow == FIRST_SHOW_SEND_SHOW)
        SendMessageW(window, PSWM_SHOW, 0, 0);
    else if (g_state.statusHandle)
        lib.SmPsw_StopPolling(g_state.statusHandle);
    return TRUE;
}

static int RunMessageLoop(void)
{
    HACCEL accelerators = LoadAcceleratorsW(g_state.instance, IDR_MAINACCEL_NAME);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (!TranslateAcceleratorW(g_state.mainWindow, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return int(msg.wParam);
}

void StartWatchingQueue(void)
{
    g_state.monitorParams.readyEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    StartMonitorThread();
}

void WaitUntilWatching(void)
{
    // Without a thread nothing will tell.
    if (g_state.monitorThread)
        WaitForSingleObject(g_state.monitorParams.readyEvent, MONITOR_READY_WAIT_MS);
}

// Serves an open printer of the package: the monitor thread, one window per printer, the loop.
static int ServePrinter(void)
{
    StartWatchingQueue();
    // Another start of this printer at the same moment looks for the window only once this
    // one has made it, or has given up.
    HANDLE startLock = LockPrinterStart(g_state.printerName);
    BOOL serve = startLock && WaitForOtherInstance(g_state.printerName);
    LibraryFailure failure = {NULL, 0};
    // The libraries load while the thread sets up its watch. Nothing is written to the machine
    // and no window comes before the thread watches the queue, so no job change goes unseen.
    BOOL bound = serve && BindWindowLibraries(&failure);
    WaitUntilWatching();
    HWND window = bound ? MakeMainWindow() : NULL;
    UnlockPrinterStart(startLock);
    if (!serve)
        return 0;
    if (!window) {
        if (failure.loadError)
            ShowLibraryFailure(failure);
        return EXIT_SETUP_FAILED;
    }
    if (!OpenAtStatusLibrary(window))
        return 0;
    return RunMessageLoop();
}

void TakeArguments(HINSTANCE instance, const PswArguments* arguments)
{
    g_state.instance = instance;
    InitializeCriticalSection(&g_state.ProcessHeapLock);   // before any block is allocated
    lstrcpynW(g_state.printerName, arguments->printer, ARRAYSIZE(g_state.printerName));
    lstrcpynW(g_state.portName, arguments->port, ARRAYSIZE(g_state.portName));
    if (arguments->readToEnd && g_state.printerName[0] && !g_state.portName[0])
        LookUpPortName(g_state.printerName, g_state.portName);
}

BOOL OpenPackagePrinter(void)
{
    return OpenPrinterW(g_state.printerName, &g_state.spooler, NULL) && PrinterBelongsToPackage(g_state.spooler);
}

int RunStatusWindow(HINSTANCE instance, const PswArguments* arguments)
{
    TakeArguments(instance, arguments);
    int exitCode = 0;
    BOOL threadEnded = TRUE;
    if (OpenPackagePrinter()) {
        exitCode = ServePrinter();
        if (g_state.monitorParams.stopEvent)
            SetEvent(g_state.monitorParams.stopEvent);
        threadEnded = WaitForMonitorThread();
    }
    // A thread that has not ended may still use the spooler handle, its events and the heap
    // lock: they are left to the end of the process then.
    if (threadEnded) {
        HANDLE handles[] = {g_state.monitorThread, g_state.monitorParams.stopEvent, g_state.monitorParams.readyEvent};
        for (size_t i = 0; i < ARRAYSIZE(handles); ++i)
            if (handles[i])
                CloseHandle(handles[i]);
        if (g_state.spooler)
            ClosePrinter(g_state.spooler);
        DeleteCriticalSection(&g_state.ProcessHeapLock);
    }
    return exitCode;
}
