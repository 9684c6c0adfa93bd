#include "help.h"
#include <winspool.h>
#include "../app/state.h"

#define HELP_FILE_KIND 1

WinHelpFunction g_winHelp = WinHelpW;

// The driver directory + "\3\" + the help file the presentation library names.
static BOOL HelpFilePath(wchar_t* path, DWORD chars)
{
    wchar_t name[MAX_PATH] = L"";
    g_state.libraries.PSM_GetFileName(name, HELP_FILE_KIND);
    name[MAX_PATH - 1] = 0;
    DWORD needed = 0;
    if (GetPrinterDriverDirectoryW(NULL, NULL, 1, NULL, 0, &needed) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed > chars * sizeof(wchar_t))
        return FALSE;
    if (!GetPrinterDriverDirectoryW(NULL, NULL, 1, reinterpret_cast<BYTE*>(path), chars * sizeof(wchar_t), &needed))
        return FALSE;
    if (DWORD(lstrlenW(path) + lstrlenW(name) + 4) > chars)
        return FALSE;
    lstrcatW(path, L"\\3\\");
    lstrcatW(path, name);
    return TRUE;
}

void ShowHelp(HWND window, UINT command, ULONG_PTR data)
{
    wchar_t path[2 * MAX_PATH];
    if (g_state.libraries.PSM_GetFileName && HelpFilePath(path, ARRAYSIZE(path)))
        g_winHelp(window, path, command, data);
}
