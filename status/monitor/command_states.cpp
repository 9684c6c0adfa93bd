#include "monitor/command_states.h"
#include <commctrl.h>
#include <stddef.h>
#include "app/protocol.h"

// The device's job concerns someone else: another user's on another computer, or a block
// that has no current job. Only ports other than a local one hold jobs of other seats, and
// the ready state leaves the library's table as it is.
static BOOL NotThisSeatsJob(const CommandContext& c)
{
    if (c.portClass == PORT_CLASS_LOCAL || c.displayCode == DISPLAY_READY)
        return FALSE;
    return JobIsForeignTo(c.block, c.user, c.computer) ||
           (c.block.data && !BlockField(c.block, offsetof(PswStatusData, jobId)));
}

static UINT JobItemFlags(const CommandContext& c, const CommandStateEntry& entry)
{
    if (c.page == PAGE_LOG)
        return MF_GRAYED;
    if (c.page == PAGE_WAITING) {
        // The queued jobs are this machine's to command on a local port (but the device's own
        // command) and on a compliant monitor's port.
        if (c.portClass == PORT_CLASS_LOCAL && c.selection)
            return entry.commandId == IDM_DEVICE_COMMAND ? MF_GRAYED : MF_ENABLED;
        return c.portClass == PORT_CLASS_COMPLIANT && c.selection ? MF_ENABLED : MF_GRAYED;
    }
    return NotThisSeatsJob(c) ? MF_GRAYED : entry.state;
}

CommandStates DecideCommandStates(const CommandContext& c, const CommandStateEntry* menuTable,
                                  const CommandStateEntry* toolbarTable)
{
    CommandStates states = {};
    for (int i = 0; menuTable && i < COMMAND_STATE_ENTRIES; ++i)
        states.menu[i] = JobItemFlags(c, menuTable[i]);
    BOOL notThisSeats = NotThisSeatsJob(c);
    for (int i = 0; toolbarTable && i < COMMAND_STATE_ENTRIES; ++i)
        states.statusToolbar[i] = notThisSeats ? 0 : BYTE(LOWORD(toolbarTable[i].state));
    BOOL queueCommandable = c.portClass == PORT_CLASS_LOCAL || c.portClass == PORT_CLASS_COMPLIANT;
    states.waitingToolbar = c.selection && queueCommandable ? TBSTATE_ENABLED : 0;

    DWORD device = BlockField(c.block, offsetof(PswStatusData, deviceFlags));
    BOOL jobRuns = (BlockField(c.block, offsetof(PswStatusData, jobFlags)) & JOB_IN_PROGRESS) != 0;
    BOOL deviceIdle = c.block.data && !c.attentionHold && device == 0 && !jobRuns;
    states.deviceItem = deviceIdle ? MF_ENABLED : MF_GRAYED;
    // The port's mode is set on a local parallel port between jobs only.
    BOOL portSettings = !c.usbPort && c.portClass == PORT_CLASS_LOCAL && c.block.data && !jobRuns;
    states.portSettings = portSettings ? MF_ENABLED : MF_GRAYED;
    return states;
}
