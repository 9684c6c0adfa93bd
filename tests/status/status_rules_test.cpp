// The rules a status block is judged by, without a window: a table per rule, each row one case
// of it, named in its failure message.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "status_test_support.h"

namespace {

const DWORD kPaperOut = 0x3, kStarted = JOB_STARTED | JOB_IN_PROGRESS;

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
        {DISPLAY_PRINTING_EVEN, DISPLAY_READY_ATTENTION, 0x1, true},  // entering a listed code
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
    const struct {
        const char* label;
        DWORD showing;
        StatusBlock block;
        BOOL (*seat)();
        PopUpReason expected;
        bool seatAsked;
    } kRows[] = {
        {"a job starts", 0, {0, kStarted, 0, 0, 0, 0, 1}, ThisSeat, POP_UP_FOR_JOB, true},
        {"estimate mode 3 has the per-page bit", 0, {0, kStarted, 0, 0, 0, 0, 3}, ThisSeat, POP_UP_FOR_JOB, true},
        {"looping estimate only", 0, {0, kStarted, 0, 0, 0, 0, 2}, ThisSeat, POP_UP_NONE, false},
        {"a page is already out", 0, {0, kStarted, 0, 0, 0, 1, 1}, ThisSeat, POP_UP_NONE, false},
        {"a job in progress that did not just start", 0, {0, JOB_IN_PROGRESS, 0, 0, 0, 0, 1}, ThisSeat, POP_UP_NONE,
         false},
        {"Showing 1: no job pop-up", 1, {0, kStarted, 0, 0, 0, 0, 1}, ThisSeat, POP_UP_NONE, false},
        {"Showing 1: an error still", 1, {kPaperOut, JOB_IN_PROGRESS}, ThisSeat, POP_UP_FOR_ERROR, true},
        {"an error as a job starts", 0, {kPaperOut, kStarted, 0, 0, 0, 0, 1}, ThisSeat, POP_UP_FOR_ERROR, true},
        {"an error without a job", 0, {kPaperOut, 0}, ThisSeat, POP_UP_NONE, false},
        {"attention is no error", 0, {0x40000000, JOB_IN_PROGRESS}, ThisSeat, POP_UP_NONE, false},
        {"another seat's job", 0, {kPaperOut, JOB_IN_PROGRESS}, OtherSeat, POP_UP_NONE, true},
    };
    for (const auto& row : kRows) {
        g_seatAsked = 0;
        EXPECT_EQ(row.expected, PopUpFor(row.showing, ViewOf(row.block.Bytes()), row.seat)) << row.label;
        EXPECT_EQ(row.seatAsked, g_seatAsked == 1) << row.label << ": the seat is looked up only when it decides";
    }
    EXPECT_EQ(POP_UP_NONE, PopUpFor(0, StatusBlockView{nullptr, 0}, ThisSeat)) << "no block";
}

TEST(StatusRules, WhenAWindowUpForAnErrorGoesAgain)
{
    const struct {
        const char* label;
        DWORD remembered, device;
        ShowReason reason;
        bool cleared;
    } kRows[] = {
        {"no device flags at all (the error left did not bring the window up)", 0x40000000, 0, SHOW_REASON_ERROR, true},
        {"attention left", kPaperOut, 0x40000000, SHOW_REASON_ERROR, false},
        {"the user's window stays", kPaperOut, 0, SHOW_REASON_USER, false},
        {"a window up for a job stays", kPaperOut, 0, SHOW_REASON_JOB, false},
        {"no error was remembered", 0, 0, SHOW_REASON_ERROR, false},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(row.cleared, ErrorHasCleared(row.remembered, row.device, row.reason) != FALSE) << row.label;
}

TEST(StatusRules, WhenTheCountdownsStopAndTheAttentionHold)
{
    const struct {
        DWORD device, job;
        bool pauses;
    } kBusy[] = {{0x8, 0x8, true}, {0x8, 0x1000, true}, {0x8, 0x10000, false}, {0x0, 0x1008, false}, {0x9, 0x8, true}};
    for (const auto& row : kBusy)
        EXPECT_EQ(row.pauses, CountdownsPauseForDevice(row.device, row.job) != FALSE)
            << std::hex << row.device << " / " << row.job;

    const struct {
        bool hasBlock;
        StatusBlock block;
        int code;
        bool ends;
    } kAfter[] = {
        {true, {0, kStarted}, DISPLAY_PRINTING_EVEN, false},
        {true, {0x3, JOB_IN_PROGRESS}, DISPLAY_PRINTING_EVEN, true},  // device flag 1 among others
        {true, {0, 0}, DISPLAY_PRINTING_EVEN, true},                  // no job in progress
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_ERROR_FIRST, true},
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_ERROR_LAST, true},
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_ERROR_FIRST - 1, false},
        {true, {0, JOB_IN_PROGRESS}, DISPLAY_ERROR_LAST + 1, false},
        {false, {}, 410, true},  // the code alone, with no block kept
        {false, {}, DISPLAY_PRINTING_EVEN, false},
    };
    for (const auto& row : kAfter) {
        const std::vector<BYTE> block = row.block.Bytes();
        const StatusBlockView view = row.hasBlock ? ViewOf(block) : StatusBlockView{nullptr, 0};
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
        {L"wang", L"\\XDESK-1", true},       // one backslash is part of the name
        {L"wang", L"\\\\DESK-12", false},    // a name that starts with this computer's
        {L"wang", L"\\\\desk-1", true},      // the computer's name is compared case-sensitively
        {L"", L"", true},                    // an empty owner and machine
    };
    for (const auto& row : kRows) {
        StatusBlock block;
        block.owner = row.owner;
        block.machine = row.machine;
        EXPECT_EQ(row.foreign, JobIsForeignTo(ViewOf(block.Bytes()), L"li", L"DESK-1") != FALSE)
            << row.owner << L" " << row.machine;
    }
    EXPECT_FALSE(JobIsForeignTo(StatusBlockView{nullptr, 0}, L"li", L"DESK-1")) << "no block, no foreign job";
}

// The block comes from another process: fields and strings are read only inside its length;
// a string may start at an odd byte.
TEST(StatusRules, ABlockIsReadOnlyWithinItsLength)
{
    StatusBlock fields{kPaperOut, JOB_IN_PROGRESS, 0, 10};
    fields.machine = fields.owner = fields.document = L"";
    std::vector<BYTE> bytes = fields.Bytes();
    const wchar_t document[] = L"报告.doc";
    bytes.push_back(0);  // the document starts at an odd offset
    const DWORD at = DWORD(bytes.size());
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(document),
                 reinterpret_cast<const BYTE*>(document) + sizeof(document));
    std::memcpy(&bytes[offsetof(PswStatusData, documentOffset)], &at, sizeof(at));

    const size_t job = offsetof(PswStatusData, jobFlags), all = bytes.size();
    const struct {
        const char* label;
        size_t length, field;
        DWORD value;
    } kFields[] = {
        {"a field inside", all, offsetof(PswStatusData, deviceFlags), kPaperOut},
        {"a field that ends with the block", job + 4, job, JOB_IN_PROGRESS},
        {"a field cut by the end", job + 3, job, 0},
        {"a field past the end", job, offsetof(PswStatusData, totalPages), 0},
    };
    for (const auto& row : kFields)
        EXPECT_EQ(row.value, BlockField({bytes.data(), DWORD(row.length)}, row.field)) << row.label;

    const struct {
        const char* label;
        size_t length, field;
        const wchar_t* text;
    } kStrings[] = {
        {"a string at an odd byte", all, offsetof(PswStatusData, documentOffset), document},
        {"no terminator inside", all - 2, offsetof(PswStatusData, documentOffset), L""},
        {"a string past the end", sizeof(PswStatusData), offsetof(PswStatusData, documentOffset), L""},
        {"offset 0: none", all, offsetof(PswStatusData, ownerOffset), L""},
    };
    for (const auto& row : kStrings)
        EXPECT_STREQ(row.text, BlockString({bytes.data(), DWORD(row.length)}, row.field)) << row.label;
}

}  // namespace
