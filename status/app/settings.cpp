#include "app/settings.h"
#include <stdio.h>
#include <wchar.h>
#include "app/machine_layout.h"
#include "app/state.h"

// Long enough for the root, a printer name cut to its buffer and "\PSW".
#define SETTINGS_PATH_CHARS (ARRAYSIZE(PSW_SETTINGS_ROOT) + PRINTER_NAME_CHARS + 8)
#define PORT_KEY_PATH_CHARS (ARRAYSIZE(PORT_MONITOR_KEY) + 16)

static void SettingsPath(const wchar_t* printer, wchar_t* path, size_t chars)
{
    // A network printer "\\server\queue" nests as server\queue.
    if (printer[0] == L'\\' && printer[1] == L'\\')
        printer += 2;
    _snwprintf(path, chars, L"%ls\\%ls\\PSW", PSW_SETTINGS_ROOT, printer);
    path[chars - 1] = 0;
}

// The machine-wide values live under HKLM\SOFTWARE, which a 32-bit process on 64-bit
// Windows would otherwise reach in its redirected view; the user's are the same in both.
static REGSAM ViewOf(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE ? ThisMachineLayout().machineView : 0;
}

// A value of an open key, `defaultValue` unless it is a REG_DWORD of four bytes: text, binary
// data or an empty value of another type read as missing.
static DWORD QueryDword(HKEY key, const wchar_t* name, DWORD defaultValue)
{
    DWORD data = 0, size = sizeof(data), type = REG_NONE;
    if (RegQueryValueExW(key, name, NULL, &type, reinterpret_cast<BYTE*>(&data), &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(data))
        return data;
    return defaultValue;
}

BOOL ReadPswValue(HKEY root, const wchar_t* printer, const wchar_t* name, DWORD* value, DWORD defaultValue)
{
    wchar_t path[SETTINGS_PATH_CHARS];
    SettingsPath(printer, path, ARRAYSIZE(path));
    *value = defaultValue;
    HKEY key = NULL;
    if (RegOpenKeyExW(root, path, 0, KEY_READ | ViewOf(root), &key) != ERROR_SUCCESS)
        return TRUE;
    *value = QueryDword(key, name, defaultValue);
    RegCloseKey(key);
    return TRUE;
}

BOOL WritePswValue(HKEY root, const wchar_t* printer, const wchar_t* name, DWORD value)
{
    wchar_t path[SETTINGS_PATH_CHARS];
    SettingsPath(printer, path, ARRAYSIZE(path));
    SECURITY_ATTRIBUTES security = {sizeof(security), NULL, FALSE};
    HKEY key = NULL;
    if (RegCreateKeyExW(root, path, 0, const_cast<wchar_t*>(L""), REG_OPTION_NON_VOLATILE, KEY_WRITE | ViewOf(root),
                        &security, &key, NULL) != ERROR_SUCCESS)
        return FALSE;
    LONG result = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int PortNumber(const wchar_t* port)
{
    wchar_t digit[2] = {port[0] && port[1] && port[2] ? port[3] : L'\0', 0};
    return _wtoi(digit);
}

static HKEY OpenPortKey(int portNumber, REGSAM access)
{
    wchar_t path[PORT_KEY_PATH_CHARS];
    _snwprintf(path, ARRAYSIZE(path), L"%ls\\LPT%d:", PORT_MONITOR_KEY, portNumber);
    path[ARRAYSIZE(path) - 1] = 0;
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, const_cast<wchar_t*>(L""), 0, access | ViewOf(HKEY_LOCAL_MACHINE),
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

void ReadPortValue(DWORD* value, DWORD defaultValue, int portNumber, const wchar_t* name)
{
    HKEY key = OpenPortKey(portNumber, KEY_READ);
    if (!key)
        return;
    *value = QueryDword(key, name, defaultValue);
    RegCloseKey(key);
}

void WritePortValue(DWORD value, int portNumber, const wchar_t* name)
{
    HKEY key = OpenPortKey(portNumber, KEY_WRITE);
    if (!key)
        return;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

BOOL UseDmaPortSettings(void)
{
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, PORT_MONITOR_KEY, 0, KEY_READ | ViewOf(HKEY_LOCAL_MACHINE), &key) !=
        ERROR_SUCCESS)
        return FALSE;
    BOOL useDma = QueryDword(key, VALUE_USE_DMA, 0) == 1;
    RegCloseKey(key);
    return useDma;
}

// TRUE when the monitor `name` has a subkey named like the port and calls itself compliant.
static BOOL MonitorServesPort(HKEY monitors, const wchar_t* name, const wchar_t* port)
{
    HKEY monitor = NULL, portKey = NULL;
    BOOL serves = FALSE;
    if (RegOpenKeyExW(monitors, name, 0, KEY_READ, &monitor) != ERROR_SUCCESS)
        return FALSE;
    if (RegOpenKeyExW(monitor, port, 0, KEY_READ, &portKey) == ERROR_SUCCESS) {
        RegCloseKey(portKey);
        serves = QueryDword(monitor, VALUE_COMPLIANT, 0) == COMPLIANT_MONITOR;
    }
    RegCloseKey(monitor);
    return serves;
}

BOOL FindCompliantMonitorPort(const wchar_t* port)
{
    HKEY monitors = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, PRINT_MONITORS_KEY, 0, KEY_READ, &monitors) != ERROR_SUCCESS)
        return FALSE;
    BOOL found = FALSE;
    DWORD count = 0, longest = 0;
    wchar_t* name = NULL;
    if (RegQueryInfoKeyW(monitors, NULL, NULL, NULL, &count, &longest, NULL, NULL, NULL, NULL, NULL, NULL) !=
            ERROR_SUCCESS ||
        count == 0)
        goto done;
    name = static_cast<wchar_t*>(AllocZeroed(longest * sizeof(wchar_t) + 4));
    if (!name)
        goto done;
    for (DWORD i = 0; i < count && !found; ++i) {
        DWORD chars = longest + 1;
        if (RegEnumKeyExW(monitors, i, name, &chars, NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
            found = MonitorServesPort(monitors, name, port);
    }
done:
    FreeBlock(name);
    RegCloseKey(monitors);
    return found;
}
