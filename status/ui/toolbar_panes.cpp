#include "toolbar_panes.h"
#include <commctrl.h>
#include "../app/protocol.h"
#include "../app/state.h"
#include "commands.h"

// The pane's tooltips are strings of the presentation library.
static void SetToolTipText(NMTTDISPINFOW* info)
{
    UINT id = g_state.libraries.PSM_GetToolTipText(UINT(info->hdr.idFrom));
    info->hinst = g_state.libraries.presentation;
    info->lpszText = MAKEINTRESOURCEW(id);
}

static LRESULT CALLBACK ToolbarPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) >= IDM_PAUSE && LOWORD(wParam) <= IDM_CANCEL) {
            OnToolbarCommand(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
            SetToolTipText(reinterpret_cast<NMTTDISPINFOW*>(lParam));
            return 0;
        }
        break;
    }
    return CallWindowProcW(g_state.previousToolbarPaneProc, pane, message, wParam, lParam);
}

void SubclassToolbarPanes(void)
{
    HWND panes[] = {g_state.children.statusToolbarPane, g_state.children.waitingToolbarPane};
    for (size_t i = 0; i < ARRAYSIZE(panes); ++i)
        g_state.previousToolbarPaneProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(panes[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolbarPaneProc)));
}
