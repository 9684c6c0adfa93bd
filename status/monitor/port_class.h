// What kind of port the printer uses, and whose job the device is printing.
#pragma once
#include <windows.h>

enum PortClass {
    PORT_CLASS_OTHER = 0,       // a network or any other port
    PORT_CLASS_LOCAL = 1,       // LPT1: to LPT3: or a USB port, not redirected to the network
    PORT_CLASS_COMPLIANT = 2,   // served by a print monitor that declares itself compliant
};

// The redirection look-up, replaceable by tests: the platform has no redirected LPT ports.
typedef DWORD(APIENTRY* WNetGetConnectionFunction)(LPCWSTR local, LPWSTR remote, LPDWORD chars);
extern WNetGetConnectionFunction g_wnetGetConnection;

BOOL IsUsbPort(const wchar_t* port);
PortClass ClassifyPort(void);
// TRUE when the last status block's job belongs to another user on another computer.
BOOL JobIsForeign(void);
// The job concerns this seat: the user's own, from this computer, or on a local port.
BOOL JobIsForThisSeat(void);
