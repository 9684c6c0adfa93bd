#include "ui/protocol_handlers.h"
#include "app/command_line.h"
#include "app/protocol.h"
#include "app/state.h"
#include "ui/window_placement.h"
#include "ui/presentation.h"

#define CLASS_NAME_CHARS 64

void Protocol_OnResetStatus(void)
{
    DiscardStatusCopy();
    RequestFirstStatus(1);
}

void Protocol_OnQuit(HWND window)
{
    SaveWindowState();
    DestroyWindow(window);
}

void Protocol_OnShow(void)
{
    g_state.presentation.showReason = SHOW_REASON_USER;
    SaveWindowState();
    if (!g_state.presentation.runs[TIMER_STATUS_RETRY]) {
        if (g_state.statusCopy || g_state.libraries.SmPsw_GetPrinterStatus(g_state.statusHandle, 1)) {
            g_state.libraries.SmPsw_StartPolling(g_state.statusHandle);
        } else {
            SetTimer(g_state.mainWindow, TIMER_STATUS_RETRY, STATUS_RETRY_PERIOD_MS, NULL);
            g_state.presentation.runs[TIMER_STATUS_RETRY] = TRUE;
        }
    }
    SetFocus(g_state.children.tab);
    g_state.focusPane = IDC_TAB;
}

// The module path in a buffer that grows until the path fits; NULL when out of memory.
static wchar_t* ModulePath(void)
{
    DWORD chars = MAX_PATH;
    for (;;) {
        wchar_t* path = static_cast<wchar_t*>(AllocZeroed(chars * sizeof(wchar_t)));
        if (!path)
            return NULL;
        SetLastError(ERROR_SUCCESS);
        DWORD length = GetModuleFileNameW(NULL, path, chars);
        if (length && length < chars && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return path;
        FreeBlock(path);
        if (!length)
            return NULL;
        chars *= 2;
    }
}

BOOL StartProgramCopy(void)
{
    wchar_t* path = ModulePath();
    if (!path)
        return FALSE;
    size_t chars = WindowCommandLineChars(lstrlenW(path));
    wchar_t* commandLine = static_cast<wchar_t*>(AllocZeroed(chars * sizeof(wchar_t)));
    BOOL started = FALSE;
    if (commandLine && WriteWindowCommandLine(path, g_state.printerName, g_state.portName, commandLine, chars)) {
        SECURITY_ATTRIBUTES processSecurity = {sizeof(SECURITY_ATTRIBUTES), NULL, FALSE};
        SECURITY_ATTRIBUTES threadSecurity = {sizeof(SECURITY_ATTRIBUTES), NULL, FALSE};
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION process = {};
        started = CreateProcessW(NULL, commandLine, &processSecurity, &threadSecurity, FALSE,
                                 CREATE_NEW_PROCESS_GROUP, NULL, NULL, &startup, &process);
        if (started) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    FreeBlock(commandLine);
    FreeBlock(path);
    return started;
}

void Protocol_OnRelaunch(HWND window)
{
    // Marked as closing before the copy starts, the window is one the copy waits for, however
    // late this window gets to its quit message. It ends only once its replacement runs, so a
    // copy that cannot be started never leaves the printer without a window.
    SetWindowLongPtrW(window, GWLP_USERDATA, PSW_WINDOW_CLOSING);
    if (StartProgramCopy())
        PostMessageW(window, PSWM_QUIT, 0, 0);
    else
        SetWindowLongPtrW(window, GWLP_USERDATA, PSW_WINDOW_LIVE);
}

static BOOL CALLBACK CountStatusWindow(HWND window, LPARAM count)
{
    wchar_t name[CLASS_NAME_CHARS];
    if (GetClassNameW(window, name, ARRAYSIZE(name)) && lstrcmpW(name, PSW_MAIN_CLASS) == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

void Protocol_OnCloseInstance(HWND window)
{
    int windows = 0;
    EnumWindows(CountStatusWindow, reinterpret_cast<LPARAM>(&windows));
    // The last status window also ends the notification-area program.
    if (windows <= 1) {
        HWND icon = FindWindowW(PSW_NOTIFY_CLASS, NULL);
        if (icon)
            PostMessageW(icon, PSWM_QUIT, 0, 0);
    }
    SaveWindowState();
    DestroyWindow(window);
}
