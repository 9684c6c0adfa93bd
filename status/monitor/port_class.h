// What kind of port the printer uses, and whose job the device is printing.
#pragma once
#include "monitor/layer.h"
#include <windows.h>
#include "app/state.h"

// The redirection look-up, replaceable by tests: the platform has no redirected LPT ports.
typedef DWORD(APIENTRY* WNetGetConnectionFunction)(LPCWSTR local, LPWSTR remote, LPDWORD chars);
extern WNetGetConnectionFunction g_wnetGetConnection;

BOOL IsUsbPort(const wchar_t* port);
// Asks the system what kind of port the printer uses (the network, the registry).
PortClass ClassifyPort(void);
// This seat and the printer's port, learned on the first call after start or after ForgetSeat.
const PrinterSeat& Seat(void);
// The printer or its port changed: the seat is learned again when next needed.
void ForgetSeat(void);
// TRUE when the last status block's job belongs to another user on another computer.
BOOL JobIsForeign(void);
// The job concerns this seat: the user's own, from this computer, or on a local port.
BOOL JobIsForThisSeat(void);
