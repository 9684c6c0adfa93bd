// What a status block changes, as tables without a window: each row what the window
// remembers, a block and the display code it gets, and the timers, job end, log entry and
// hiding that must follow, in order.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "monitor/status_decision.h"

namespace {

struct Block {
    DWORD device = 0, job = 0, total = 0, started = 0, printed = 0;
    DWORD estimateMode = ESTIMATE_PER_PAGE, fixedA = 0, perPage = 0, fixedB = 0;
    const wchar_t* document = L"report.doc";   // nullptr: the block names none
};

std::vector<BYTE> Bytes(const Block& b)
{
    PswStatusData data = {};
    data.deviceFlags = b.device;
    data.jobFlags = b.job;
    data.totalPages = b.total;
    data.pagesStarted = b.started;
    data.pagesPrinted = b.printed;
    data.estimateMode = b.estimateMode;
    data.fixedTimeA = b.fixedA;
    data.timePerPage = b.perPage;
    data.fixedTimeB = b.fixedB;
    const size_t documentBytes = b.document ? (wcslen(b.document) + 1) * sizeof(wchar_t) : 0;
    data.documentOffset = b.document ? DWORD(sizeof(data)) : 0;
    data.length = DWORD(sizeof(data) + documentBytes);
    std::vector<BYTE> bytes(data.length);
    std::memcpy(bytes.data(), &data, sizeof(data));
    if (b.document)
        std::memcpy(bytes.data() + sizeof(data), b.document, documentBytes);
    return bytes;
}

// What the window remembers: the timers that run as "+1 +3" (ids), pages and show reason.
struct Memory {
    const char* running = "";
    DWORD started = 0, printed = 0, remembered = 0;
    ShowReason reason = SHOW_REASON_USER;
};

PresentationMemory Remembered(const Memory& m)
{
    PresentationMemory memory = {};
    for (const char* p = m.running; *p; ++p)
        if (*p >= '1' && *p <= '6')
            memory.runs[*p - '0'] = TRUE;
    memory.pagesStarted = m.started;
    memory.pagesPrinted = m.printed;
    memory.rememberedDeviceFlags = m.remembered;
    memory.showReason = m.reason;
    memory.document = L"";
    return memory;
}

// The timer steps as "+4 -3" and the effects as words, in a fixed order.
std::string Steps(const DisplayDecision& d)
{
    std::string text;
    for (int i = 0; i < d.stepCount; ++i)
        text += (text.empty() ? "" : " ") + std::string(d.steps[i].change == TIMER_STARTS ? "+" : "-") +
                std::to_string(d.steps[i].timer);
    return text;
}

std::string Effects(const DisplayDecision& d)
{
    std::string text;
    const std::pair<BOOL, const char*> kWords[] = {{d.tookJob, "saved"},       {d.jobEnd, "end"},
                                                   {d.logEntry, "log"},        {d.cancelled && d.logEntry, "cancelled"},
                                                   {d.hide, "hide"},           {d.estimated, "estimate"}};
    for (const auto& word : kWords)
        if (word.first)
            text += (text.empty() ? "" : " ") + std::string(word.second);
    return text;
}

const AnimationFrame kFrames[2] = {{nullptr, 1, 0, 0, 100}, {nullptr, 1, 0, 0, 100}};
const SYSTEMTIME kNow = {2026, 12, 4, 10, 23, 59, 30, 0};
const DWORD kStarted = JOB_STARTED | JOB_IN_PROGRESS;

struct Row {
    const char* label;
    Memory memory;
    Block block;
    int previous, code;
    DWORD estimateFlag, animationMode;
    const char* steps;
    const char* effects;
    bool hasBlock = true, newStatus = true;
};

TEST(StatusDecision, WhatABlockChangesOnceItsDisplayIsKnown)
{
    const Row kRows[] = {
        {"a job's first block: looping picture, first-page countdown", {}, {0, kStarted, 10}, DISPLAY_READY,
         DISPLAY_PRINTING_EVEN, 1, ANIMATION_LOOPING, "+1 +3", "saved estimate"},
        {"the first page starts: the page countdown takes over", {"1 3"}, {0, kStarted, 10, 1}, DISPLAY_PRINTING_EVEN,
         DISPLAY_PRINTING_ODD, 0, ANIMATION_LOOPING, "-3 +4 -1 +1", "saved"},
        {"the next page: the page countdown starts again, the animation runs on", {"1 4", 1}, {0, kStarted, 10, 2, 1},
         DISPLAY_PRINTING_ODD, DISPLAY_PRINTING_EVEN, 0, ANIMATION_LOOPING, "+4", "saved"},
        {"a step per page: odd pages animate A, even pages B", {"", 1}, {0, kStarted, 10, 2, 1},
         DISPLAY_PRINTING_EVEN, DISPLAY_PRINTING_EVEN, 0, ANIMATION_PER_PAGE, "+2", "saved"},
        {"a job already under way counts down between pages (again for the pages it moved on)", {}, {0, JOB_IN_PROGRESS, 10, 4, 3},
         DISPLAY_PRINTING_EVEN, DISPLAY_PRINTING_EVEN, 1, 0, "+4 +4", "saved estimate"},
        {"the job ends: the hold starts, the log gets it, a window up for it hides", {"1 4", 10, 10, 0, SHOW_REASON_JOB},
         {0, 0x1, 10, 10, 10}, DISPLAY_PRINTING_EVEN, DISPLAY_READY, 0, 0, "+6 -4 -1",
         "saved end log hide"},
        {"a cancelled job in the user's window", {"", 3, 2}, {0, 0x4, 10, 3, 2}, DISPLAY_CANCELLING, DISPLAY_READY, 0,
         0, "+6", "saved end log cancelled"},
        {"a job end without a document gets no log entry", {}, {0, 0x1, 1, 1, 1, 0, 0, 0, 0, nullptr},
         DISPLAY_PRINTING_EVEN, DISPLAY_READY, 0, 0, "+6", "saved end"},
        {"leaving no-status is no job end", {}, {0, 0x1}, DISPLAY_NO_STATUS, DISPLAY_READY, 0, 0, "", "saved"},
        {"leaving status-cleared is no job end", {}, {0, 0x1}, DISPLAY_STATUS_CLEARED, DISPLAY_READY, 0, 0, "", "saved"},
        {"leaving ready-with-attention is no job end", {}, {0, 0x2}, DISPLAY_READY_ATTENTION, DISPLAY_READY, 0, 0, "",
         "saved"},
        {"leaving 503 is no job end", {}, {0, 0x1}, 503, DISPLAY_READY, 0, 0, "", "saved"},
        {"entering cancelling is no job end", {}, {0, 0x4}, DISPLAY_PRINTING_EVEN, DISPLAY_CANCELLING, 0, 0, "", "saved"},
        {"an unchanged code is no job end", {}, {0, 0x1}, DISPLAY_READY, DISPLAY_READY, 0, 0, "", "saved"},
        {"remembered attention bits hold the device item", {"", 0, 0, 0x22000000}, {0x22000000}, DISPLAY_READY,
         DISPLAY_READY, 0, 0, "+6", "saved"},
        {"an error clears: the window up for it hides", {"", 0, 0, 0x3, SHOW_REASON_ERROR}, {0, JOB_IN_PROGRESS},
         410, DISPLAY_PRINTING_EVEN, 0, 0, "", "saved hide"},
        {"an error clears in the user's window: it stays", {"", 0, 0, 0x3}, {0, JOB_IN_PROGRESS}, 410,
         DISPLAY_PRINTING_EVEN, 0, 0, "", "saved"},
        {"device flag 1 stops the countdowns", {"3 4"}, {DEVICE_STOP_COUNTDOWNS, JOB_IN_PROGRESS}, DISPLAY_PRINTING_EVEN,
         DISPLAY_PRINTING_EVEN, 0, 0, "-3 -4", "saved"},
        {"status cleared: no job is taken, the animation stops", {"1 4"}, {}, DISPLAY_PRINTING_EVEN,
         DISPLAY_STATUS_CLEARED, 0, 0, "-1", "", false, false},
        {"an error code alone stops the countdowns", {"3 4"}, {}, DISPLAY_PRINTING_EVEN, 410, 0, 0, "-3 -4", "", false,
         false},
    };
    for (const Row& row : kRows) {
        std::vector<BYTE> bytes = Bytes(row.block);
        const StatusBlockView block = row.hasBlock ? StatusBlockView{bytes.data(), DWORD(bytes.size())}
                                                   : StatusBlockView{nullptr, 0};
        PswDisplayInfo display = {};
        display.displayCode = row.code;
        display.estimateFlag = row.estimateFlag;
        display.animationMode = row.animationMode;
        display.frameCount = ARRAYSIZE(kFrames);
        display.frames = kFrames;
        const DisplayDecision d =
            DecideOnDisplay(Remembered(row.memory), block, row.newStatus, row.previous, display, kNow);
        EXPECT_EQ(row.steps, Steps(d)) << row.label;
        EXPECT_EQ(row.effects, Effects(d)) << row.label;
    }
}

TEST(StatusDecision, WhatTheWindowRemembersAfterABlock)
{
    // The first-page countdown of a job of 2 pages at 30 s a page and 5 s either side: 70 s
    // from 23:59:30 ends at 00:00:40 of the same date.
    Block block{0x2, kStarted, 2, 0, 0, ESTIMATE_PER_PAGE, 5000, 30000, 5000, L"年报.doc"};
    std::vector<BYTE> bytes = Bytes(block);
    PswDisplayInfo display = {};
    display.displayCode = DISPLAY_PRINTING_EVEN;
    display.estimateFlag = 1;
    PresentationMemory memory = Remembered({"", 0, 0, 0, SHOW_REASON_JOB});
    memory.elapsedA = memory.elapsedB = 9000;
    const DisplayDecision d =
        DecideOnDisplay(memory, {bytes.data(), DWORD(bytes.size())}, TRUE, DISPLAY_READY, display, kNow);
    EXPECT_EQ(70u, d.timeLeft.seconds);
    EXPECT_EQ(0, d.timeLeft.finish.wHour);
    EXPECT_EQ(0, d.timeLeft.finish.wMinute);
    EXPECT_EQ(40, d.timeLeft.finish.wSecond);
    EXPECT_EQ(10, d.timeLeft.finish.wDay) << "the date stays";
    EXPECT_EQ(0, d.next.elapsedA);
    EXPECT_EQ(0, d.next.elapsedB);
    EXPECT_STREQ(L"年报.doc", d.next.document);
    EXPECT_EQ(2u, d.next.totalPages);
    EXPECT_EQ(0x2u, d.next.rememberedDeviceFlags) << "the block's device flags are remembered";
    EXPECT_TRUE(d.next.runs[TIMER_COUNTDOWN_FIRST_PAGE]);
    EXPECT_EQ(SHOW_REASON_JOB, d.next.showReason);
}

int g_seatAsked;
BOOL ThisSeat() { return ++g_seatAsked, TRUE; }

TEST(StatusDecision, OnArrivalTheDevicePausesTheCountdownsAndThePopUpRemembersItsFlags)
{
    const struct {
        DWORD device, job;
        bool pauses;
    } kRows[] = {{DEVICE_BUSY, 0x1008, true}, {DEVICE_BUSY, 0x1000, true}, {DEVICE_BUSY, 0, false},
                 {0x1, JOB_IN_PROGRESS, false}};
    for (const auto& row : kRows) {
        std::vector<BYTE> bytes = Bytes({row.device, row.job});
        const ArrivalDecision d = DecideOnArrival(0x40, {bytes.data(), DWORD(bytes.size())}, 1, ThisSeat);
        EXPECT_EQ(row.pauses, d.pauseCountdowns != FALSE) << std::hex << row.device << " / " << row.job;
    }
    std::vector<BYTE> error = Bytes({0x3, JOB_IN_PROGRESS});
    ArrivalDecision up = DecideOnArrival(0x40, {error.data(), DWORD(error.size())}, 1, ThisSeat);
    EXPECT_EQ(POP_UP_FOR_ERROR, up.popUp);
    EXPECT_EQ(0x3u, up.rememberedDeviceFlags);
    std::vector<BYTE> quiet = Bytes({0x0, JOB_IN_PROGRESS});
    ArrivalDecision stays = DecideOnArrival(0x40, {quiet.data(), DWORD(quiet.size())}, 1, ThisSeat);
    EXPECT_EQ(POP_UP_NONE, stays.popUp);
    EXPECT_EQ(0x40u, stays.rememberedDeviceFlags) << "without a pop-up the flags wait for the display step";
}

}  // namespace
