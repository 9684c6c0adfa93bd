// Persistent settings of the status window and the print monitor's per-port values.
#pragma once
#include <windows.h>

#define PSW_SETTINGS_ROOT L"Software\\Tavik\\XERB5"
#define PORT_MONITOR_KEY L"SOFTWARE\\Tavik\\XERB5\\Monitors\\XERB5 Monitor"
#define PRINT_MONITORS_KEY L"System\\CurrentControlSet\\control\\Print\\Monitors"

// Value names; "LastWindowVisiblity" is spelled as the stored settings have it.
#define VALUE_ALWAYS_ON_TOP L"AlwaysOnTop"
#define VALUE_SHOWING L"Showing"
#define VALUE_STATUS_SENSE L"StatusSense"
#define VALUE_LEFT L"Left"
#define VALUE_TOP L"Top"
#define VALUE_LAST_STATE L"LastWindowState"
#define VALUE_LAST_VISIBILITY L"LastWindowVisiblity"
#define VALUE_CURRENT_MODE L"CurrentMode"
#define VALUE_MODE L"Mode"
#define VALUE_ATTRIBUTE L"Attribute"
#define VALUE_USE_DMA L"UseDMA"
#define VALUE_COMPLIANT L"ZELTCompliant"
#define COMPLIANT_MONITOR 3
// What the last two say of the window when it was last left; anything else: hidden, normal.
#define LAST_WINDOW_VISIBLE 1
#define LAST_WINDOW_MINIMISED 1

// Every value is a REG_DWORD of four bytes; one of another type or size reads as missing.
// Machine-wide values are read and written in the native registry view.

// Per-printer values under root\Software\Tavik\XERB5\<printer>\PSW. A printer name of the
// form \\server\queue keeps its values under server\queue. ReadPswValue sets `value` to
// `defaultValue` unless the value can be read, and always returns TRUE; WritePswValue
// returns FALSE when the key or the value cannot be written.
BOOL ReadPswValue(HKEY root, const wchar_t* printer, const wchar_t* name, DWORD* value, DWORD defaultValue);
BOOL WritePswValue(HKEY root, const wchar_t* printer, const wchar_t* name, DWORD value);

// Values of the port subkey "LPT<n>:" of the print monitor's key; reading creates the
// subkey. When the key cannot be opened `value` is left as it was.
void ReadPortValue(DWORD* value, DWORD defaultValue, int portNumber, const wchar_t* name);
void WritePortValue(DWORD value, int portNumber, const wchar_t* name);
// The port number of a port name: its fourth character as a decimal digit ("LPT2:" gives 2).
int PortNumber(const wchar_t* port);
// TRUE when the machine offers ECP with DMA ("UseDMA" is 1).
BOOL UseDmaPortSettings(void);
// TRUE when a print monitor that declares itself compliant serves a port of this name.
BOOL FindCompliantMonitorPort(const wchar_t* port);
