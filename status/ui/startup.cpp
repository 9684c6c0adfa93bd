#include "startup.h"
#include <commctrl.h>
#include <winspool.h>
#include "../app/protocol.h"
#include "../app/settings.h"
#include "../app/state.h"
#include "../monitor/monitor_thread.h"
#include "../res/resource.h"
#include "commands.h"
#include "main_window.h"
#include "presentation.h"

// A closing window of another instance is waited for this long, looked for at every step.
#define INSTANCE_WAIT_MS 15000
#define INSTANCE_WAIT_STEP_MS 50
// How long start-up waits for the monitor thread to set up its wait, and shutdown for it to end.
#define MONITOR_READY_WAIT_MS 5000
#define MONITOR_END_WAIT_MS 5000

// Driver names of the package's models, compared exactly.
static const wchar_t* const kModelNames[] = {
    L"Tavik RAYLINE MP-250", L"Tavik QX2210-2370", L"Tavik RAYLINE MP-1110", L"Tavik MP-810", L"Tavik MP-800",
};

// Copies text[0, length) into a buffer of `chars`, cut to fit.
static void CopyCut(wchar_t* buffer, int chars, const wchar_t* text, int length)
{
    if (length > chars - 1)
        length = chars - 1;
    CopyMemory(buffer, text, length * sizeof(wchar_t));
    buffer[length] = 0;
}

BOOL ParseCommandLine(const wchar_t* commandLine, wchar_t* printer, wchar_t* port)
{
    printer[0] = port[0] = 0;
    // The program's own path ends at the first blank; quotes are not interpreted.
    const wchar_t* p = wcschr(commandLine, L' ');
    if (!p)
        return TRUE;
    while ((p = wcschr(p, L'!')) != NULL) {
        wchar_t kind = p[1];
        if (kind != L'D' && kind != L'P')
            return FALSE;
        const wchar_t* value = p + 2;
        const wchar_t* end = wcschr(value, L'!');
        if (!end)
            end = value + lstrlenW(value);
        int length = int(end - value);
        if (kind == L'D') {
            while (length > 0 && value[length - 1] == L' ')
                --length;
            CopyCut(printer, PRINTER_NAME_CHARS, value, length);
        } else {
            CopyCut(port, PORT_NAME_CHARS, value, length);
        }
        p = end;
    }
    return TRUE;
}

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

static BOOL WINAPI QueryDriverData(HANDLE printer, DWORD level, BYTE* data, DWORD size, DWORD* needed)
{
    return GetPrinterDriverW(printer, NULL, level, data, size, needed);
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

// Creates the window, opens the printer at the library and runs the message loop.
static int RunWindow(void)
{
    InitCommonControls();
    if (!RegisterWindowClasses(g_state.instance) || !BindLibraries(&g_state.libraries))
        return EXIT_SETUP_FAILED;
    HWND window = CreateMainWindow();
    if (!window) {
        ReleaseLibraries(&g_state.libraries);
        return EXIT_SETUP_FAILED;
    }
    RefreshCommandStates(FALSE, TRUE);
    PlaceMainWindow(SWP_HIDEWINDOW);
    FirstShow firstShow = ShowAsLastTime(window);

    const PswLibraries& lib = g_state.libraries;
    if (!lib.SmPsw_OpenPrinter(window, g_state.printerName, g_state.portName, &g_state.statusHandle)) {
        SendMessageW(window, PSWM_QUIT, 0, 0);
        return 0;
    }
    if (!g_state.statusCopy)
        RequestFirstStatus(1);
    if (firstShow == FIRST_SHOW_SEND_SHOW)
        SendMessageW(window, PSWM_SHOW, 0, 0);
    else if (g_state.statusHandle)
        lib.SmPsw_StopPolling(g_state.statusHandle);

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

int RunStatusWindow(HINSTANCE instance, const wchar_t* commandLine)
{
    g_state.instance = instance;
    InitializeCriticalSection(&g_state.ProcessHeapLock);   // before any block is allocated
    if (ParseCommandLine(commandLine, g_state.printerName, g_state.portName) && g_state.printerName[0] &&
        !g_state.portName[0])
        LookUpPortName(g_state.printerName, g_state.portName);

    DWORD sense = 0;
    ReadPswValue(HKEY_LOCAL_MACHINE, g_state.printerName, VALUE_STATUS_SENSE, &sense, STATUS_SENSE_UNSET);
    if (sense == STATUS_SENSE_UNSET)
        WritePswValue(HKEY_LOCAL_MACHINE, g_state.printerName, VALUE_STATUS_SENSE, STATUS_SENSE_ALWAYS);

    int exitCode = 0;
    BOOL threadEnded = TRUE;
    if (OpenPrinterW(g_state.printerName, &g_state.spooler, NULL) && PrinterBelongsToPackage(g_state.spooler)) {
        // The printer driver learns which code page the user's texts are in.
        DWORD codePage = GetACP();
        SetPrinterDataW(g_state.spooler, const_cast<wchar_t*>(L"AnsiCodePage"), REG_NONE,
                        reinterpret_cast<BYTE*>(&codePage), sizeof(codePage));

        // The window comes once the thread watches the queue, so no job change goes unseen.
        g_state.monitorParams.readyEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
        if (StartMonitorThread())
            WaitForSingleObject(g_state.monitorParams.readyEvent, MONITOR_READY_WAIT_MS);
        if (WaitForOtherInstance(g_state.printerName))
            exitCode = RunWindow();
        if (g_state.monitorParams.stopEvent)
            SetEvent(g_state.monitorParams.stopEvent);
        threadEnded = WaitForMonitorThread();
    }
    // A thread that has not ended may still use the spooler handle, its events and the heap
    // lock: they are left to the end of the process then.
    if (threadEnded) {
        if (g_state.monitorParams.readyEvent)
            CloseHandle(g_state.monitorParams.readyEvent);
        if (g_state.spooler)
            ClosePrinter(g_state.spooler);
        DeleteCriticalSection(&g_state.ProcessHeapLock);
    }
    return exitCode;
}
