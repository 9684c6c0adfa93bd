#include "monitor/port_class.h"
#include <stdlib.h>
#include <winnetwk.h>
#include "app/settings.h"
#include "app/state.h"
#include "monitor/status_rules.h"

#define USB_NUMBER_CHARS 3

WNetGetConnectionFunction g_wnetGetConnection = WNetGetConnectionW;

static BOOL StartsWith(const wchar_t* text, const wchar_t* prefix)
{
    return wcsncmp(text, prefix, wcslen(prefix)) == 0;
}

static BOOL IsNetworkName(const wchar_t* name)
{
    return name[0] == L'\\' && name[1] == L'\\';
}

BOOL IsUsbPort(const wchar_t* port)
{
    if (StartsWith(port, L"LPT-USB") || StartsWith(port, L"LPT_USB"))
        return TRUE;
    if (!StartsWith(port, L"USB") || wcslen(port) != 3 + USB_NUMBER_CHARS)
        return FALSE;
    char number[8] = {};
    WideCharToMultiByte(CP_ACP, 0, port + 3, USB_NUMBER_CHARS, number, sizeof(number) - 1, NULL, NULL);
    return atoi(number) != 0;
}

// A local port redirected to a network share counts as a network port.
static PortClass LocalPortClass(const wchar_t* port)
{
    DWORD chars = 0;
    if (g_wnetGetConnection(port, NULL, &chars) != ERROR_MORE_DATA || chars == 0)
        return PORT_CLASS_LOCAL;
    wchar_t* remote = static_cast<wchar_t*>(AllocZeroed((chars + 1) * sizeof(wchar_t)));
    if (!remote)
        return PORT_CLASS_LOCAL;
    DWORD result = g_wnetGetConnection(port, remote, &chars);
    PortClass portClass = PORT_CLASS_LOCAL;
    if ((result == NO_ERROR || result == ERROR_CONNECTION_UNAVAIL) && IsNetworkName(remote))
        portClass = PORT_CLASS_OTHER;
    FreeBlock(remote);
    return portClass;
}

PortClass ClassifyPort(void)
{
    const wchar_t* port = g_state.portName;
    if (IsNetworkName(port) || IsNetworkName(g_state.printerName))
        return PORT_CLASS_OTHER;
    BOOL parallel = lstrcmpW(port, L"LPT1:") == 0 || lstrcmpW(port, L"LPT2:") == 0 || lstrcmpW(port, L"LPT3:") == 0;
    if (!parallel && !IsUsbPort(port))
        return FindCompliantMonitorPort(port) ? PORT_CLASS_COMPLIANT : PORT_CLASS_OTHER;
    return LocalPortClass(port);
}

const PrinterSeat& Seat(void)
{
    PrinterSeat& seat = g_state.seat;
    if (seat.known)
        return seat;
    DWORD chars = ARRAYSIZE(seat.user);
    if (!GetUserNameW(seat.user, &chars))
        seat.user[0] = 0;
    chars = ARRAYSIZE(seat.computer);
    if (!GetComputerNameW(seat.computer, &chars))
        seat.computer[0] = 0;
    seat.portClass = ClassifyPort();
    seat.usbPort = IsUsbPort(g_state.portName);
    seat.known = TRUE;
    return seat;
}

void ForgetSeat(void)
{
    g_state.seat.known = FALSE;
}

BOOL JobIsForeign(void)
{
    if (!g_state.statusCopy)
        return FALSE;
    const PrinterSeat& seat = Seat();
    return JobIsForeignTo(CurrentStatusBlock(), seat.user, seat.computer);
}

BOOL JobIsForThisSeat(void)
{
    return !JobIsForeign() || Seat().portClass == PORT_CLASS_LOCAL;
}
