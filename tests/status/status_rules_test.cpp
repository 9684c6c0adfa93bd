// The rules a status block is judged by, as tables in one process and without a window: each
// row a remembered state, a block, and what must follow.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/protocol.h"
#include "monitor/status_rules.h"

namespace {

// A block of the fixed part with these flags and counters, and the strings appended after it.
struct Block {
    DWORD device = 0, job = 0, printed = 0, estimateMode = 0;
};

std::vector<BYTE> MakeBlock(const Block& fields)
{
    std::vector<BYTE> bytes(sizeof(PswStatusData));
    PswStatusData data = {};
    data.length = sizeof(PswStatusData);
    data.deviceFlags = fields.device;
    data.jobFlags = fields.job;
    data.pagesPrinted = fields.printed;
    data.estimateMode = fields.estimateMode;
    std::memcpy(bytes.data(), &data, sizeof(data));
    return bytes;
}

StatusBlockView View(const std::vector<BYTE>& bytes)
{
    return {bytes.data(), static_cast<DWORD>(bytes.size())};
}

TEST(StatusRules, WhatEndsAJob)
{
    const struct {
        int previous, code;
        DWORD job;
        bool ends;
    } kRows[] = {
        {DISPLAY_PRINTING_EVEN, DISPLAY_READY, 0x1, true},   // printed
        {DISPLAY_PRINTING_ODD, DISPLAY_READY, 0x4, true},    // cancelled
        {DISPLAY_PAUSED, 409, 0x2, true},                    // any change of code with an end bit
        {DISPLAY_READY, DISPLAY_READY, 0x1, false},          // an unchanged code
        {DISPLAY_PRINTING_EVEN, DISPLAY_CANCELLING, 0x4, false},
        {DISPLAY_PRINTING_EVEN, DISPLAY_READY, 0x9, false},  // still in progress
        {DISPLAY_PRINTING_EVEN, DISPLAY_READY, 0x10, false}, // no end bit
        {101, DISPLAY_READY, 0x1, false}, {102, DISPLAY_READY, 0x1, false}, {301, DISPLAY_READY, 0x1, false},
        {302, DISPLAY_READY, 0x1, false}, {501, DISPLAY_READY, 0x1, false}, {503, DISPLAY_READY, 0x1, false},
        {502, DISPLAY_READY, 0x1, true},  {303, DISPLAY_READY, 0x1, true},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(row.ends, IsJobEnd(row.previous, row.code, row.job) != FALSE)
            << row.previous << " -> " << row.code << " job flags " << std::hex << row.job;
}

int g_seatAsked;
BOOL ThisSeat() { return ++g_seatAsked, TRUE; }
BOOL OtherSeat() { return ++g_seatAsked, FALSE; }

TEST(StatusRules, WhenTheWindowComesUpByItself)
{
    const DWORD kPaperOut = 0x3, kStarted = JOB_STARTED | JOB_IN_PROGRESS;
    const struct {
        const char* label;
        DWORD showing;
        Block block;
        BOOL (*seat)();
        PopUpReason expected;
        bool seatAsked;
    } kRows[] = {
        {"a job starts", 0, {0, kStarted, 0, 1}, ThisSeat, POP_UP_FOR_JOB, true},
        {"looping estimate only", 0, {0, kStarted, 0, 2}, ThisSeat, POP_UP_NONE, false},
        {"a page is already out", 0, {0, kStarted, 1, 1}, ThisSeat, POP_UP_NONE, false},
        {"Showing 1: no job pop-up", 1, {0, kStarted, 0, 1}, ThisSeat, POP_UP_NONE, false},
        {"Showing 1: an error still", 1, {kPaperOut, JOB_IN_PROGRESS}, ThisSeat, POP_UP_FOR_ERROR, true},
        {"an error as a job starts", 0, {kPaperOut, kStarted, 0, 1}, ThisSeat, POP_UP_FOR_ERROR, true},
        {"an error without a job", 0, {kPaperOut, 0}, ThisSeat, POP_UP_NONE, false},
        {"attention is no error", 0, {0x40000000, JOB_IN_PROGRESS}, ThisSeat, POP_UP_NONE, false},
        {"another seat's job", 0, {kPaperOut, JOB_IN_PROGRESS}, OtherSeat, POP_UP_NONE, true},
    };
    for (const auto& row : kRows) {
        g_seatAsked = 0;
        const std::vector<BYTE> block = MakeBlock(row.block);
        EXPECT_EQ(row.expected, PopUpFor(row.showing, View(block), row.seat)) << row.label;
        EXPECT_EQ(row.seatAsked, g_seatAsked == 1) << row.label << ": the seat is looked up only when it decides";
    }
    g_seatAsked = 0;
    EXPECT_EQ(POP_UP_NONE, PopUpFor(0, StatusBlockView{nullptr, 0}, ThisSeat)) << "no block";

    // A window that came up for an error goes when a block has no device flags at all.
    EXPECT_TRUE(ErrorHasCleared(kPaperOut, 0, SHOW_REASON_ERROR));
    EXPECT_FALSE(ErrorHasCleared(kPaperOut, 0x40000000, SHOW_REASON_ERROR)) << "attention left";
    EXPECT_FALSE(ErrorHasCleared(kPaperOut, 0, SHOW_REASON_USER)) << "the user's window stays";
    EXPECT_FALSE(ErrorHasCleared(kPaperOut, 0, SHOW_REASON_JOB));
    EXPECT_FALSE(ErrorHasCleared(0, 0, SHOW_REASON_ERROR)) << "no error was remembered";
}

TEST(StatusRules, WhenTheCountdownsStopAndTheAttentionHold)
{
    const struct {
        DWORD device, job;
        bool pauses;
    } kBusy[] = {{0x8, 0x1008, true}, {0x8, 0x8, true}, {0x8, 0x1000, true}, {0x8, 0x10000, false},
                 {0x0, 0x1008, false}, {0x9, 0x8, true}};
    for (const auto& row : kBusy)
        EXPECT_EQ(row.pauses, CountdownsPauseForDevice(row.device, row.job) != FALSE)
            << std::hex << row.device << " / " << row.job;

    const struct {
        bool hasBlock;
        Block block;
        int code;
        bool ends;
    } kAfter[] = {
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_PRINTING_EVEN, false},
        {true, {DEVICE_STOP_COUNTDOWNS, JOB_IN_PROGRESS}, DISPLAY_PRINTING_EVEN, true},
        {true, {0, 0}, DISPLAY_PRINTING_EVEN, true},  // no job in progress
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_ERROR_FIRST, true},
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_ERROR_LAST, true},
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_ERROR_FIRST - 1, false},
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_ERROR_LAST + 1, false},
        {false, {}, 410, true},  // the code alone, with no block kept
        {false, {}, DISPLAY_PRINTING_EVEN, false},
    };
    for (const auto& row : kAfter) {
        const std::vector<BYTE> block = MakeBlock(row.block);
        const StatusBlockView view = row.hasBlock ? View(block) : StatusBlockView{nullptr, 0};
        EXPECT_EQ(row.ends, CountdownsEnd(view, row.code) != FALSE) << row.code << " block " << row.hasBlock;
    }

    for (DWORD device : {0x20000000u, 0x02000000u, 0x22000000u})
        EXPECT_TRUE(HoldsAttention(device)) << std::hex << device;
    for (DWORD device : {0x0u, 0x40000000u, 0x3u})
        EXPECT_FALSE(HoldsAttention(device)) << std::hex << device;
}

// Whose job it is: the owner against the user, ignoring case; the sending machine, without
// its leading "\\\\", against the start of this computer's name, case-sensitively.
TEST(StatusRules, AJobIsForeignOnlyToAnotherUserOnAnotherComputer)
{
    const struct {
        const wchar_t *owner, *machine;
        bool foreign;
    } kRows[] = {
        {L"wang", L"\\\\PC-2", true},
        {L"LI", L"\\\\PC-2", false},         // the user's own, any case
        {L"wang", L"\\\\DESK-1", false},     // sent from this computer
        {L"wang", L"DESK-1", false},         // without the leading backslashes
        {L"wang", L"\\\\DESK-12", false},    // a name that starts with this computer's
        {L"wang", L"\\\\desk-1", true},      // the computer's name is compared case-sensitively
        {L"", L"", true},                    // an empty owner and machine
    };
    for (const auto& row : kRows) {
        std::vector<BYTE> bytes = MakeBlock({});
        const auto append = [&bytes](const wchar_t* text, size_t field) {
            const DWORD offset = static_cast<DWORD>(bytes.size());
            const BYTE* first = reinterpret_cast<const BYTE*>(text);
            bytes.insert(bytes.end(), first, first + (wcslen(text) + 1) * sizeof(wchar_t));
            std::memcpy(&bytes[field], &offset, sizeof(offset));
        };
        append(row.owner, offsetof(PswStatusData, ownerOffset));
        append(row.machine, offsetof(PswStatusData, machineOffset));
        EXPECT_EQ(row.foreign, JobIsForeignTo(View(bytes), L"li", L"DESK-1") != FALSE) << row.owner << L" " << row.machine;
    }
    EXPECT_FALSE(JobIsForeignTo(StatusBlockView{nullptr, 0}, L"li", L"DESK-1")) << "no block, no foreign job";
}

// The block comes from another process: fields and strings are read only inside its length;
// a string may start at an odd byte.
TEST(StatusRules, ABlockIsReadOnlyWithinItsLength)
{
    std::vector<BYTE> bytes = MakeBlock({0x3, 0x8});
    const wchar_t document[] = L"报告.doc";
    bytes.push_back(0);  // the document starts at an odd offset
    const DWORD offset = static_cast<DWORD>(bytes.size());
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(document),
                 reinterpret_cast<const BYTE*>(document) + sizeof(document));
    std::memcpy(&bytes[offsetof(PswStatusData, documentOffset)], &offset, sizeof(offset));

    EXPECT_STREQ(document, BlockString(View(bytes), offsetof(PswStatusData, documentOffset)));
    EXPECT_EQ(0x3u, BlockField(View(bytes), offsetof(PswStatusData, deviceFlags)));

    const StatusBlockView cut = {bytes.data(), static_cast<DWORD>(bytes.size() - 2)};  // no terminator
    EXPECT_STREQ(L"", BlockString(cut, offsetof(PswStatusData, documentOffset)));
    const StatusBlockView before = {bytes.data(), offset};  // the string lies beyond the length
    EXPECT_STREQ(L"", BlockString(before, offsetof(PswStatusData, documentOffset)));
    const StatusBlockView shortBlock = {bytes.data(), offsetof(PswStatusData, jobFlags) + 2};
    EXPECT_EQ(0u, BlockField(shortBlock, offsetof(PswStatusData, jobFlags))) << "a field cut by the length";
    EXPECT_EQ(0x3u, BlockField(shortBlock, offsetof(PswStatusData, deviceFlags)));
}

}  // namespace
