// Which job commands and device items the window enables, as tables without a window; and the
// seat those rules ask about, learned once for the printer rather than at every status block.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/protocol.h"
#include "monitor/command_states.h"
#include "monitor/port_class.h"
#include "status_test_support.h"

namespace {

enum BlockKind { NO_BLOCK, OWN_JOB, OTHER_SEATS_JOB, OWN_BLOCK_WITHOUT_JOB };

// A status block of this seat ("li" at DESK-1) or of another, with these flags.
std::vector<BYTE> MakeBlock(BlockKind kind, DWORD jobFlags = JOB_IN_PROGRESS, DWORD deviceFlags = 0)
{
    if (kind == NO_BLOCK)
        return {};
    std::wstring strings = kind == OTHER_SEATS_JOB ? std::wstring(L"wang\0\\\\OTHER-PC\0", 16)
                                                   : std::wstring(L"li\0\\\\DESK-1\0", 12);
    std::vector<BYTE> bytes(sizeof(PswStatusData) + strings.size() * sizeof(wchar_t));
    PswStatusData data = {};
    data.length = DWORD(bytes.size());
    data.jobFlags = jobFlags;
    data.deviceFlags = deviceFlags;
    data.jobId = kind == OWN_BLOCK_WITHOUT_JOB ? 0 : 7;
    data.ownerOffset = sizeof(PswStatusData);
    data.machineOffset = DWORD(sizeof(PswStatusData) + strings.find(L'\\') * sizeof(wchar_t));
    memcpy(bytes.data(), &data, sizeof(data));
    memcpy(bytes.data() + sizeof(data), strings.data(), strings.size() * sizeof(wchar_t));
    return bytes;
}

CommandContext Context(PortClass portClass, const std::vector<BYTE>& block)
{
    CommandContext context = {};
    context.portClass = portClass;
    context.user = L"li";
    context.computer = L"DESK-1";
    context.page = PAGE_DETAIL;
    context.displayCode = DISPLAY_PRINTING_EVEN;
    context.block = StatusBlockView{block.empty() ? nullptr : block.data(), DWORD(block.size())};
    return context;
}

// The library's tables: pause enabled, resume grey, the device's own command enabled.
const CommandStateEntry kMenuTable[3] = {
    {IDM_PAUSE, MF_ENABLED}, {IDM_RESUME, MF_GRAYED}, {IDM_DEVICE_COMMAND, MF_ENABLED}};
const CommandStateEntry kToolbarTable[3] = {
    {IDM_PAUSE, TBSTATE_ENABLED}, {IDM_RESUME, 0}, {IDM_DEVICE_COMMAND, TBSTATE_ENABLED}};
const UINT G = MF_GRAYED;

TEST(CommandStates, JobCommandsFollowThePortThePageTheSelectionAndWhoseJobItIs)
{
    struct Row {
        const char* rule;
        PortClass port;
        int page;
        BOOL selection;
        int code;
        BlockKind block;
        UINT pause, resume, device;   // menu flags
        bool statusToolbarAsTable;    // else every button 0
        BYTE waitingToolbar;
    } rows[] = {
        {"a local port's detail page follows the table, whoever's job", PORT_CLASS_LOCAL, PAGE_DETAIL, FALSE,
         DISPLAY_PRINTING_EVEN, OTHER_SEATS_JOB, 0, G, 0, true, 0},
        {"the log page greys every job item", PORT_CLASS_LOCAL, PAGE_LOG, TRUE, DISPLAY_PRINTING_EVEN, OWN_JOB, G, G, G,
         true, TBSTATE_ENABLED},
        {"a local port's selected queued jobs: all but the device's command", PORT_CLASS_LOCAL, PAGE_WAITING, TRUE,
         DISPLAY_PRINTING_EVEN, OWN_JOB, 0, 0, G, true, TBSTATE_ENABLED},
        {"no selection on the waiting page: grey", PORT_CLASS_LOCAL, PAGE_WAITING, FALSE, DISPLAY_PRINTING_EVEN,
         OWN_JOB, G, G, G, true, 0},
        {"a compliant port's selected queued jobs: all", PORT_CLASS_COMPLIANT, PAGE_WAITING, TRUE,
         DISPLAY_PRINTING_EVEN, OWN_JOB, 0, 0, 0, true, TBSTATE_ENABLED},
        {"a network port's queued jobs: never", PORT_CLASS_OTHER, PAGE_WAITING, TRUE, DISPLAY_PRINTING_EVEN, OWN_JOB,
         G, G, G, true, 0},
        {"a network port: another seat's job is grey", PORT_CLASS_OTHER, PAGE_DETAIL, FALSE, DISPLAY_PRINTING_EVEN,
         OTHER_SEATS_JOB, G, G, G, false, 0},
        {"a network port: this seat's job follows the table", PORT_CLASS_OTHER, PAGE_DETAIL, FALSE,
         DISPLAY_PRINTING_EVEN, OWN_JOB, 0, G, 0, true, 0},
        {"a network port when ready: the table, whoever's job", PORT_CLASS_OTHER, PAGE_DETAIL, FALSE, DISPLAY_READY,
         OTHER_SEATS_JOB, 0, G, 0, true, 0},
        {"a network port: a block without a current job is grey", PORT_CLASS_OTHER, PAGE_DETAIL, FALSE,
         DISPLAY_PRINTING_EVEN, OWN_BLOCK_WITHOUT_JOB, G, G, G, false, 0},
        {"a network port before any block: the table", PORT_CLASS_OTHER, PAGE_DETAIL, FALSE, DISPLAY_PRINTING_EVEN,
         NO_BLOCK, 0, G, 0, true, 0},
    };
    for (const Row& row : rows) {
        std::vector<BYTE> block = MakeBlock(row.block);
        CommandContext context = Context(row.port, block);
        context.page = row.page;
        context.selection = row.selection;
        context.displayCode = row.code;
        CommandStates states = DecideCommandStates(context, kMenuTable, kToolbarTable);
        EXPECT_EQ(states.menu[0], row.pause) << row.rule;
        EXPECT_EQ(states.menu[1], row.resume) << row.rule;
        EXPECT_EQ(states.menu[2], row.device) << row.rule;
        for (int i = 0; i < COMMAND_STATE_ENTRIES; ++i)
            EXPECT_EQ(states.statusToolbar[i], row.statusToolbarAsTable ? kToolbarTable[i].state : 0u)
                << row.rule << ", status toolbar button " << i;
        EXPECT_EQ(states.waitingToolbar, row.waitingToolbar) << row.rule;
    }
}

TEST(CommandStates, DeviceItemsWaitForAnIdleDeviceAndPortSettingsForALocalParallelPort)
{
    struct Row {
        const char* rule;
        PortClass port;
        BOOL usb;
        BlockKind block;
        DWORD jobFlags, deviceFlags;
        BOOL hold;
        UINT deviceItem, portSettings;
    } rows[] = {
        {"an idle device on a local port: both", PORT_CLASS_LOCAL, FALSE, OWN_JOB, 0, 0, FALSE, 0, 0},
        {"the attention hold greys the device item", PORT_CLASS_LOCAL, FALSE, OWN_JOB, 0, 0, TRUE, G, 0},
        {"device flags grey the device item", PORT_CLASS_LOCAL, FALSE, OWN_JOB, 0, 0x10, FALSE, G, 0},
        {"a job in progress greys both", PORT_CLASS_LOCAL, FALSE, OWN_JOB, JOB_IN_PROGRESS, 0, FALSE, G, G},
        {"no block yet greys both", PORT_CLASS_LOCAL, FALSE, NO_BLOCK, 0, 0, FALSE, G, G},
        {"a USB port has no port settings", PORT_CLASS_LOCAL, TRUE, OWN_JOB, 0, 0, FALSE, 0, G},
        {"a network port has no port settings", PORT_CLASS_OTHER, FALSE, OWN_JOB, 0, 0, FALSE, 0, G},
    };
    for (const Row& row : rows) {
        std::vector<BYTE> block = MakeBlock(row.block, row.jobFlags, row.deviceFlags);
        CommandContext context = Context(row.port, block);
        context.usbPort = row.usb;
        context.attentionHold = row.hold;
        CommandStates states = DecideCommandStates(context, kMenuTable, kToolbarTable);
        EXPECT_EQ(states.deviceItem, row.deviceItem) << row.rule;
        EXPECT_EQ(states.portSettings, row.portSettings) << row.rule;
    }
}

// The port's redirection look-up stands for every question the seat asks the system.
DWORD g_connectionLookUps = 0;
DWORD APIENTRY CountedConnection(LPCWSTR, LPWSTR, LPDWORD)
{
    ++g_connectionLookUps;
    return ERROR_NOT_CONNECTED;
}

class SeatOfThePrinter : public StatusWindowTest {};

TEST_F(SeatOfThePrinter, IsLearnedOnceForThePrinterAndAgainAfterARename)
{
    WNetGetConnectionFunction saved = g_wnetGetConnection;
    g_wnetGetConnection = CountedConnection;
    ForgetSeat();
    g_connectionLookUps = 0;
    for (BlockKind kind : {OWN_JOB, OTHER_SEATS_JOB, OWN_BLOCK_WITHOUT_JOB}) {
        std::vector<BYTE> block = MakeBlock(kind);
        COPYDATASTRUCT data = {PSW_DATA_STATUS, DWORD(block.size()), block.data()};
        SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    EXPECT_EQ(g_connectionLookUps, 1u) << "three blocks, one look-up of the port";

    COPYDATASTRUCT rename = {PSW_DATA_RENAME, DWORD((lstrlenW(kWindowPrinter) + 1) * sizeof(wchar_t)),
                             const_cast<wchar_t*>(kWindowPrinter)};
    SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&rename));
    std::vector<BYTE> block = MakeBlock(OWN_JOB, 0);
    COPYDATASTRUCT data = {PSW_DATA_STATUS, DWORD(block.size()), block.data()};
    SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    EXPECT_EQ(g_connectionLookUps, 2u) << "a renamed printer's port is looked at again";
    g_wnetGetConnection = saved;
}

}  // namespace
