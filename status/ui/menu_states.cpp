#include "ui/menu_states.h"
#include <commctrl.h>
#include "app/protocol.h"
#include "app/state.h"
#include "monitor/command_states.h"
#include "monitor/port_class.h"

static int CurrentPage(void)
{
    int page = int(SendMessageW(g_state.children.tab, TCM_GETCURSEL, 0, 0));
    return page >= 0 && page < PAGE_COUNT ? page : PAGE_DETAIL;
}

// What the window knows now, for the decision.
static CommandContext CurrentContext(int page)
{
    const PrinterSeat& seat = Seat();
    CommandContext context = {};
    context.portClass = seat.portClass;
    context.usbPort = seat.usbPort;
    context.user = seat.user;
    context.computer = seat.computer;
    context.page = page;
    context.selection = g_state.selectedJobCount > 0;
    context.displayCode = g_state.display.displayCode;
    context.block = CurrentStatusBlock();
    context.attentionHold = g_state.presentation.runs[TIMER_ATTENTION_HOLD];
    return context;
}

static void SetDeviceItems(const CommandStates& states)
{
    HMENU menu = GetMenu(g_state.mainWindow);
    EnableMenuItem(menu, IDM_DEVICE_ITEM, MF_BYCOMMAND | states.deviceItem);
    EnableMenuItem(menu, IDM_PORT_SETTINGS, MF_BYCOMMAND | states.portSettings);
}

int RefreshCommandStates(BOOL clearSelection, BOOL deviceItems)
{
    if (clearSelection)
        g_state.selectedJobCount = 0;
    int page = CurrentPage();
    const PswDisplayInfo& display = g_state.display;
    CommandStates states = DecideCommandStates(CurrentContext(page), display.menuTable, display.toolbarTable);
    HMENU menu = GetMenu(g_state.mainWindow);
    for (int i = 0; display.menuTable && i < COMMAND_STATE_ENTRIES; ++i)
        EnableMenuItem(menu, display.menuTable[i].commandId, MF_BYCOMMAND | states.menu[i]);
    for (int i = 0; display.toolbarTable && i < COMMAND_STATE_ENTRIES; ++i) {
        UINT id = display.toolbarTable[i].commandId;
        SendMessageW(g_state.children.statusToolbar, TB_SETSTATE, id, MAKELPARAM(states.statusToolbar[i], 0));
        SendMessageW(g_state.children.waitingToolbar, TB_SETSTATE, id, MAKELPARAM(states.waitingToolbar, 0));
    }
    if (deviceItems)
        SetDeviceItems(states);
    return page;
}

void RefreshDeviceItems(void)
{
    const PswDisplayInfo& display = g_state.display;
    SetDeviceItems(DecideCommandStates(CurrentContext(CurrentPage()), display.menuTable, display.toolbarTable));
}
