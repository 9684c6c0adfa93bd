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

// What the window test of the commands leaves open: each row one rule of the decision.
TEST(CommandStates, JobCommandsFollowThePortThePageAndWhoseJobItIs)
{
    const PortClass LOCAL = PORT_CLASS_LOCAL, OTHER = PORT_CLASS_OTHER;
    const int PRINTING = DISPLAY_PRINTING_EVEN, READY = DISPLAY_READY;
    struct Row {
        const char* rule;
        PortClass port;
        int page, code;
        BlockKind block;
        const char* menu;      // pause, resume, the device's command: '+' enabled, '-' grey
        bool statusToolbar;    // the table's states, else every button off
    } rows[] = {
        {"a local port: the table, whoever's job", LOCAL, PAGE_DETAIL, PRINTING, OTHER_SEATS_JOB, "+-+", true},
        {"selected queued jobs: all but the device's", LOCAL, PAGE_WAITING, PRINTING, OWN_JOB, "++-", true},
        {"a network port: another seat's job: grey", OTHER, PAGE_DETAIL, PRINTING, OTHER_SEATS_JOB, "---", false},
        {"a network port when ready: the table", OTHER, PAGE_DETAIL, READY, OTHER_SEATS_JOB, "+-+", true},
        {"a network port: no current job is grey", OTHER, PAGE_DETAIL, PRINTING, OWN_BLOCK_WITHOUT_JOB, "---", false},
        {"a network port, no block yet: the table", OTHER, PAGE_DETAIL, PRINTING, NO_BLOCK, "+-+", true},
    };
    for (const Row& row : rows) {
        std::vector<BYTE> block = MakeBlock(row.block);
        CommandContext context = Context(row.port, block);
        context.page = row.page;
        context.selection = TRUE;
        context.displayCode = row.code;
        CommandStates states = DecideCommandStates(context, kMenuTable, kToolbarTable);
        for (int i = 0; i < COMMAND_STATE_ENTRIES; ++i) {
            UINT menu = row.menu[i] == '+' ? MF_ENABLED : MF_GRAYED;
            EXPECT_EQ(states.menu[i], menu) << row.rule << ", item " << i;
            DWORD button = row.statusToolbar ? kToolbarTable[i].state : 0;
            EXPECT_EQ(states.statusToolbar[i], button) << row.rule << ", button " << i;
        }
    }
}

TEST(CommandStates, DeviceItemsWaitForAnIdleDeviceAndPortSettingsForALocalParallelPort)
{
    const UINT G = MF_GRAYED;
    struct Row {
        const char* rule;
        PortClass port;
        BlockKind block;
        DWORD deviceFlags;
        UINT deviceItem, portSettings;
    } rows[] = {
        {"an idle device on a local port: both", PORT_CLASS_LOCAL, OWN_JOB, 0, 0, 0},
        {"device flags grey the device item", PORT_CLASS_LOCAL, OWN_JOB, 0x10, G, 0},
        {"no block yet greys both", PORT_CLASS_LOCAL, NO_BLOCK, 0, G, G},
        {"a network port has no port settings", PORT_CLASS_OTHER, OWN_JOB, 0, 0, G},
    };
    for (const Row& row : rows) {
        std::vector<BYTE> block = MakeBlock(row.block, 0, row.deviceFlags);
        CommandStates states = DecideCommandStates(Context(row.port, block), kMenuTable, kToolbarTable);
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

class SeatOfThePrinter : public StatusWindowTest {
protected:
    void Send(ULONG_PTR kind, DWORD bytes, const void* data)
    {
        COPYDATASTRUCT message = {kind, bytes, const_cast<void*>(data)};
        SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&message));
    }
};

TEST_F(SeatOfThePrinter, IsLearnedOnceForThePrinterAndAgainAfterARename)
{
    WNetGetConnectionFunction saved = g_wnetGetConnection;
    g_wnetGetConnection = CountedConnection;
    ForgetSeat();
    g_connectionLookUps = 0;
    std::vector<BYTE> block[] = {MakeBlock(OWN_JOB), MakeBlock(OTHER_SEATS_JOB), MakeBlock(OWN_JOB, 0)};
    for (int i = 0; i < 2; ++i)
        Send(PSW_DATA_STATUS, DWORD(block[i].size()), block[i].data());
    EXPECT_EQ(g_connectionLookUps, 1u) << "two blocks, one look-up of the port";
    Send(PSW_DATA_RENAME, DWORD(sizeof(kWindowPrinter)), kWindowPrinter);
    Send(PSW_DATA_STATUS, DWORD(block[2].size()), block[2].data());
    EXPECT_EQ(g_connectionLookUps, 2u) << "a renamed printer's port is looked at again";
    g_wnetGetConnection = saved;
}

}  // namespace
