// Which job commands of the menu and the toolbars can be used, and the two device items,
// decided from what the window knows (the printer's port, the page showing, the selected
// waiting jobs, the display record and the last status block) without touching a window.
#pragma once
#include "monitor/layer.h"
#include <windows.h>
#include "app/psw_records.h"
#include "app/state.h"
#include "monitor/status_rules.h"

struct CommandContext {
    PortClass portClass;
    BOOL usbPort;
    const wchar_t* user;       // this seat: the user's name and the computer's
    const wchar_t* computer;
    int page;                  // the tab page showing
    BOOL selection;            // waiting jobs are remembered as selected
    int displayCode;
    StatusBlockView block;     // the last status block; data NULL: none yet
    BOOL attentionHold;        // the attention hold runs
};

// By the rows of the display record's tables: menu flags (MF_ENABLED, MF_GRAYED or the
// table's own) and toolbar button states.
struct CommandStates {
    UINT menu[COMMAND_STATE_ENTRIES];
    BYTE statusToolbar[COMMAND_STATE_ENTRIES];
    BYTE waitingToolbar;       // every button of the waiting list's toolbar
    UINT deviceItem;           // IDM_DEVICE_ITEM
    UINT portSettings;         // IDM_PORT_SETTINGS
};

// `menuTable` and `toolbarTable` may be NULL (no rows, their states left 0).
CommandStates DecideCommandStates(const CommandContext& context, const CommandStateEntry* menuTable,
                                  const CommandStateEntry* toolbarTable);
