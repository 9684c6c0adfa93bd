#include "presentation.h"
#include "../app/protocol.h"
#include "../app/state.h"
#include "../ui/main_window.h"

DWORD StatusField(DWORD offset)
{
    if (!g_state.statusCopy || offset > g_state.statusLength || g_state.statusLength - offset < sizeof(DWORD))
        return 0;
    DWORD value;
    CopyMemory(&value, g_state.statusCopy + offset, sizeof(value));
    return value;
}

const wchar_t* StatusString(DWORD offsetField)
{
    DWORD offset = StatusField(offsetField);
    if (offset == 0 || offset >= g_state.statusLength || offset % sizeof(wchar_t))
        return L"";
    const wchar_t* text = reinterpret_cast<const wchar_t*>(g_state.statusCopy + offset);
    DWORD chars = (g_state.statusLength - offset) / sizeof(wchar_t);
    for (DWORD i = 0; i < chars; ++i)
        if (text[i] == 0)
            return text;
    return L"";
}

void DiscardStatusCopy(void)
{
    if (g_state.statusCopy)
        HeapFree(GetProcessHeap(), 0, g_state.statusCopy);
    g_state.statusCopy = NULL;
    g_state.statusLength = 0;
}

// The new printer name of a rename message, read only within the message's bytes.
static void RenamePrinter(const COPYDATASTRUCT* data)
{
    const wchar_t* name = static_cast<const wchar_t*>(data->lpData);
    DWORD chars = name ? data->cbData / sizeof(wchar_t) : 0;
    DWORD length = 0;
    while (length < chars && length < PRINTER_NAME_CHARS - 3 && name[length])
        ++length;
    CopyMemory(g_state.printerName, name, length * sizeof(wchar_t));
    g_state.printerName[length] = 0;
    SetWindowTextW(g_state.mainWindow, g_state.printerName);
    g_state.libraries.SmPsw_ChangePrinterName(g_state.statusHandle, g_state.printerName);
}

void Presentation_OnCopyData(const COPYDATASTRUCT* data)
{
    if (data->dwData == PSW_DATA_RENAME) {
        RenamePrinter(data);
        return;
    }
    if (data->dwData != PSW_DATA_STATUS && data->dwData != PSW_DATA_CLEARED)
        return;
    // The library may resend the same block freely.
    if (g_state.statusCopy && data->cbData == g_state.statusLength && data->lpData &&
        memcmp(g_state.statusCopy, data->lpData, data->cbData) == 0)
        return;
    DiscardStatusCopy();
    if (data->dwData == PSW_DATA_STATUS && data->lpData && data->cbData) {
        g_state.statusCopy = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, data->cbData));
        if (g_state.statusCopy) {
            CopyMemory(g_state.statusCopy, data->lpData, data->cbData);
            g_state.statusLength = data->cbData;
        }
    }
    g_state.previousDisplayCode = g_state.display.displayCode;
    g_state.libraries.PSM_GetPSWDisplay(g_state.libraries.presentation, g_state.previousDisplayCode,
                                        data->lpData, &g_state.display, data->dwData == PSW_DATA_CLEARED);
    if (g_state.display.bigIcon)
        SendMessageW(g_state.mainWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_state.display.bigIcon));
    RepaintStatusPanes();
}

void RequestFirstStatus(DWORD firstRequest)
{
    if (g_state.libraries.SmPsw_GetPrinterStatus(g_state.statusHandle, firstRequest))
        return;
    SetTimer(g_state.mainWindow, TIMER_STATUS_RETRY, STATUS_RETRY_PERIOD_MS, NULL);
    g_state.retrying = TRUE;
}

void Presentation_OnTimer(UINT_PTR timer)
{
    switch (timer) {
    case TIMER_STATUS_RETRY:
        if (g_state.statusCopy || g_state.libraries.SmPsw_GetPrinterStatus(g_state.statusHandle, 0)) {
            KillTimer(g_state.mainWindow, TIMER_STATUS_RETRY);
            g_state.retrying = FALSE;
        }
        break;
    }
}
