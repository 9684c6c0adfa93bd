#include "ui/repaint.h"
#include "app/state.h"
#include "ui/views.h"

void RepaintNow(HWND window)
{
    InvalidateRect(window, NULL, TRUE);
    UpdateWindow(window);
}

void SetBigIcon(void)
{
    HICON icon = g_state.display.bigIcon;
    if (icon && reinterpret_cast<HICON>(SendMessageW(g_state.mainWindow, WM_GETICON, ICON_BIG, 0)) != icon)
        SendMessageW(g_state.mainWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void RepaintStatusPanes(void)
{
    const MainWindowChildren& c = g_state.children;
    HWND panes[] = {c.picturePane, c.progressBar, c.printerStatusPane};
    for (size_t i = 0; i < ARRAYSIZE(panes); ++i)
        RepaintNow(panes[i]);
    // The lists and toolbars repaint only what changed: their rows and buttons invalidate
    // themselves when their texts and states are set, and a whole repaint of them costs
    // several times all the rest. The tab control shows nothing of the status.
    if (IsWindowVisible(c.detailList))
        RefreshDetailRows();
    HWND updated[] = {c.detailList, c.statusToolbarPane, c.waitingToolbarPane};
    for (size_t i = 0; i < ARRAYSIZE(updated); ++i)
        UpdateWindow(updated[i]);
}
