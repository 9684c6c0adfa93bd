#include "commands.h"
#include <commctrl.h>
#include "../app/protocol.h"
#include "../app/state.h"
#include "help.h"

#define MENU_HELP_CHARS 260

int RefreshCommandStates(BOOL clearSelection, BOOL deviceItems)
{
    (void)deviceItems;
    if (clearSelection)
        g_state.selectedJobCount = 0;
    int page = int(SendMessageW(g_state.children.tab, TCM_GETCURSEL, 0, 0));
    return page >= 0 && page < PAGE_COUNT ? page : PAGE_DETAIL;
}

void OnCommand(UINT id, UINT notification)
{
    (void)notification;
    switch (id) {
    case IDM_HELP_TOPICS:
        ShowHelp(g_state.mainWindow, HELP_FINDER, 0);
        break;
    }
}

void OnToolbarCommand(UINT id)
{
    OnCommand(id, 0);
}

static void ShowStatusText(const wchar_t* text)
{
    SendMessageW(g_state.children.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

void OnMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && !menu) {
        ShowStatusText(g_state.portName);
        return;
    }
    UINT stringId = g_state.libraries.PSM_GetMenuHelpText(g_state.mainWindow, item, flags, menu);
    wchar_t text[MENU_HELP_CHARS];
    if (LoadStringW(g_state.libraries.presentation, stringId, text, ARRAYSIZE(text)) > 0)
        ShowStatusText(text);
}
