#include "port_class.h"
#include <lmcons.h>
#include <stdlib.h>
#include <winnetwk.h>
#include "../app/settings.h"
#include "../app/state.h"
#include "status_rules.h"

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

BOOL JobIsForeign(void)
{
    if (!g_state.statusCopy)
        return FALSE;
    wchar_t user[UNLEN + 1] = L"";
    DWORD userChars = ARRAYSIZE(user);
    GetUserNameW(user, &userChars);
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD computerChars = ARRAYSIZE(computer);
    GetComputerNameW(computer, &computerChars);
    return JobIsForeignTo(CurrentStatusBlock(), user, computer);
}

BOOL JobIsForThisSeat(void)
{
    return !JobIsForeign() || ClassifyPort() == PORT_CLASS_LOCAL;
}
