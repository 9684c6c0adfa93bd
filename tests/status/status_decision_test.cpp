// What a status block changes, as tables without a window: each row what the window
// remembers, a block and the display code it gets, and the timers, job end, log entry and
// hiding that must follow, in order.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "monitor/status_decision.h"
#include "status_test_support.h"

namespace {

// What the window remembers: the timers that run as "1 3" (ids), pages and show reason.
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

PswDisplayInfo Display(int code, DWORD estimateFlag = 0, DWORD animationMode = 0)
{
    PswDisplayInfo display = {};
    display.displayCode = code;
    display.estimateFlag = estimateFlag;
    display.animationMode = animationMode;
    display.frameCount = ARRAYSIZE(kFrames);
    display.frames = kFrames;
    return display;
}

struct Row {
    const char* label;
    Memory memory;
    StatusBlock block;
    int previous, code;
    DWORD estimateFlag, animationMode;
    const char* steps;
    const char* effects;
    bool hasBlock = true, newStatus = true;
};

TEST(StatusDecision, WhatABlockChangesOnceItsDisplayIsKnown)
{
    const DWORD kEnd = 0x1, kLooping = ANIMATION_LOOPING, kPerPage = ANIMATION_PER_PAGE;
    const int kEven = DISPLAY_PRINTING_EVEN, kOdd = DISPLAY_PRINTING_ODD;
    const Row kRows[] = {
        {"a job's first block: looping picture, first-page countdown", {}, {0, kStarted, 0, 10}, DISPLAY_READY,
         kEven, 1, kLooping, "+1 +3", "saved estimate"},
        {"the first page starts after waiting: the page countdown takes over", {"1 3"}, {0, kStarted, 0, 10, 1},
         DISPLAY_WAITING_ODD, kOdd, 0, kLooping, "-3 +4 -1 +1", "saved"},
        {"the first page printed while its countdown runs: the page countdown takes over once", {"3"},
         {0, JOB_IN_PROGRESS, 0, 10, 1, 1}, kEven, kEven, 1, 0, "-3 +4", "saved"},
        {"the next page: the page countdown starts again, the animation runs on", {"1 4", 1},
         {0, kStarted, 0, 10, 2, 1}, kOdd, kEven, 1, kLooping, "+4", "saved"},
        {"a block between pages: countdown and animation run on", {"1 4", 2, 1}, {0, JOB_IN_PROGRESS, 0, 10, 2, 1},
         kEven, kEven, 1, kLooping, "", "saved"},
        {"no page started: the animations stop", {"1 2"}, {0, JOB_IN_PROGRESS}, kEven, kEven, 0, 0, "-1 -2", "saved"},
        {"a step per page: odd pages animate A, even pages B", {"", 1}, {0, kStarted, 0, 10, 2, 1}, kEven, kEven, 0,
         kPerPage, "+2", "saved"},
        {"a job already under way counts down between pages (again for the pages it moved on)", {},
         {0, JOB_IN_PROGRESS, 0, 2, 2, 1}, kEven, kEven, 1, 0, "+4 +4", "saved estimate"},
        {"every page printed: nothing left to count down", {}, {0, JOB_IN_PROGRESS, 0, 10, 10, 10}, kEven, kEven, 1,
         0, "", "saved"},
        {"between the two waiting pictures the animation runs on", {"1", 1}, {0, JOB_IN_PROGRESS, 0, 10, 1},
         DISPLAY_WAITING_ODD, DISPLAY_WAITING_EVEN, 0, kLooping, "", "saved"},
        {"from printing to waiting the animation starts again", {"1", 1}, {0, JOB_IN_PROGRESS, 0, 10, 1}, kOdd,
         DISPLAY_WAITING_EVEN, 0, kLooping, "-1 +1", "saved"},
        {"the job ends: the hold starts, the log gets it, a window up for it hides",
         {"1 4", 10, 10, 0, SHOW_REASON_JOB}, {0, kEnd, 0, 10, 10, 10}, kEven, DISPLAY_READY, 0, 0, "+6 -4 -1",
         "saved end log hide"},
        {"a job ends while the window is up for an error that lasts: it stays", {"", 10, 10, 0x3, SHOW_REASON_ERROR},
         {0x3, kEnd, 0, 10, 10, 10}, kEven, DISPLAY_READY, 0, 0, "+6", "saved end log"},
        {"a cancelled job in the user's window", {"", 3, 2}, {0, 0x6, 0, 10, 3, 2}, DISPLAY_CANCELLING, DISPLAY_READY,
         0, 0, "+6", "saved end log cancelled"},
        {"a job end without a document gets no log entry", {}, {0, kEnd, 0, 1, 1, 1, 0, 0, 0, 0, L"", L"", L""},
         kEven, DISPLAY_READY, 0, 0, "+6", "saved end"},
        {"entering cancelling is no job end", {}, {0, 0x4}, kEven, DISPLAY_CANCELLING, 0, 0, "", "saved"},
        {"attention remembered from the block before holds the device items", {"", 0, 0, 0x22000000}, {},
         DISPLAY_READY, DISPLAY_READY, 0, 0, "+6", "saved"},
        {"an error clears: the window up for it hides", {"", 0, 0, 0x3, SHOW_REASON_ERROR}, {0, JOB_IN_PROGRESS},
         410, kEven, 0, 0, "", "saved hide"},
        {"device flag 1 stops the countdowns", {"3 4"}, {DEVICE_STOP_COUNTDOWNS, JOB_IN_PROGRESS}, kEven, kEven, 0, 0,
         "-3 -4", "saved"},
        {"a new status without a copy takes no job", {}, {}, DISPLAY_READY, DISPLAY_READY, 0, 0, "", "", false},
    };
    for (const Row& row : kRows) {
        const std::vector<BYTE> bytes = row.block.Bytes();
        const StatusBlockView block = row.hasBlock ? ViewOf(bytes) : StatusBlockView{nullptr, 0};
        const DisplayDecision d =
            DecideOnDisplay(Remembered(row.memory), block, row.newStatus, row.previous,
                            Display(row.code, row.estimateFlag, row.animationMode), kNow);
        EXPECT_EQ(row.steps, Steps(d)) << row.label;
        EXPECT_EQ(row.effects, Effects(d)) << row.label;
    }

    // A record without frames starts no animation.
    for (DWORD count : {0, 2}) {
        PswDisplayInfo display = Display(DISPLAY_READY, 0, kLooping);
        display.frameCount = count;
        display.frames = count ? nullptr : kFrames;
        const DisplayDecision d = DecideOnDisplay(Remembered({}), {}, FALSE, kEven, display, kNow);
        EXPECT_EQ("", Steps(d)) << count << " frames";
    }
}

// The time left: milliseconds counted as the estimate mode says, in whole seconds, and the
// time of day it ends: from 23:59:30, past midnight, on the same date.
TEST(StatusDecision, TheTimeLeftOfAJob)
{
    const struct {
        const char* label;
        StatusBlock block;
        EstimateForm form;
        DWORD seconds;
        const char* finish;
    } kRows[] = {
        {"initial: pages left times per page, B and A", {0, 0, 0, 4, 1, 0, 1, 5000, 30000, 7000}, ESTIMATE_INITIAL,
         102, "00:01:12"},
        {"per page: less elapsed A", {0, 0, 0, 4, 1, 0, 1, 5000, 30000, 7000}, ESTIMATE_CONTINUING, 100, "00:01:10"},
        {"looping: with the page under way and B, less elapsed B", {0, 0, 0, 4, 1, 0, 2, 5000, 30000, 7000},
         ESTIMATE_CONTINUING, 124, "00:01:34"},
        {"another mode: none", {0, 0, 0, 4, 1, 0, 3, 5000, 30000, 7000}, ESTIMATE_CONTINUING, 0, "23:59:30"},
        {"no time A: none", {0, 0, 0, 4, 1, 0, 1, 0, 30000, 7000}, ESTIMATE_INITIAL, 0, "23:59:30"},
        {"no time per page: none", {0, 0, 0, 4, 1, 0, 1, 5000, 0, 7000}, ESTIMATE_INITIAL, 0, "23:59:30"},
        {"no time B: none", {0, 0, 0, 4, 1, 0, 1, 5000, 30000, 0}, ESTIMATE_INITIAL, 0, "23:59:30"},
        {"run past zero: 0", {0, 0, 0, 1, 1, 0, 1, 1, 1000, 1}, ESTIMATE_CONTINUING, 0, "23:59:30"},
        {"more than 136 years: the most there is", {0, 0, 0, MAXDWORD, 0, 0, 1, 1, MAXDWORD, 1}, ESTIMATE_INITIAL,
         MAXDWORD, "06:27:45"},
    };
    for (const auto& row : kRows) {
        const TimeLeft left = EstimateTimeLeftAt(ViewOf(row.block.Bytes()), row.form, 2000, 3000, kNow);
        char finish[16];
        std::snprintf(finish, sizeof(finish), "%02d:%02d:%02d", left.finish.wHour, left.finish.wMinute,
                      left.finish.wSecond);
        EXPECT_EQ(row.seconds, left.seconds) << row.label;
        EXPECT_STREQ(row.finish, finish) << row.label;
        EXPECT_EQ(10, left.finish.wDay) << row.label << ": the date stays";
    }
}

TEST(StatusDecision, WhatTheWindowRemembersAfterABlock)
{
    const StatusBlock block{0x2, kStarted, 0, 2, 0, 0, ESTIMATE_PER_PAGE, 5000, 30000, 5000, L"", L"", L"年报.doc"};
    const std::vector<BYTE> bytes = block.Bytes();
    PresentationMemory memory = Remembered({"", 0, 0, 0, SHOW_REASON_JOB});
    memory.elapsedA = memory.elapsedB = 9000;
    const DisplayDecision d = DecideOnDisplay(memory, ViewOf(bytes), TRUE, DISPLAY_READY,
                                              Display(DISPLAY_PRINTING_EVEN, 1), kNow);
    EXPECT_EQ(70u, d.timeLeft.seconds) << "the first-page countdown from its start";
    EXPECT_EQ(0, d.next.elapsedA);
    EXPECT_EQ(0, d.next.elapsedB);
    EXPECT_STREQ(L"年报.doc", d.next.document);
    EXPECT_EQ(2u, d.next.totalPages);
    EXPECT_EQ(0x2u, d.next.rememberedDeviceFlags) << "the block's device flags are remembered";
    EXPECT_TRUE(d.next.runs[TIMER_COUNTDOWN_FIRST_PAGE]);
    EXPECT_EQ(SHOW_REASON_JOB, d.next.showReason);

    const DisplayDecision cleared = DecideOnDisplay(d.next, {}, FALSE, DISPLAY_PRINTING_EVEN,
                                                    Display(DISPLAY_STATUS_CLEARED), kNow);
    EXPECT_EQ(0x2u, cleared.next.rememberedDeviceFlags) << "without a block the flags stay";
}

int g_seatAsked;
BOOL ThisSeat() { return ++g_seatAsked, TRUE; }

TEST(StatusDecision, OnArrivalTheDevicePausesTheCountdownsAndThePopUpRemembersItsFlags)
{
    const struct {
        DWORD device, job;
        bool pauses;
    } kRows[] = {{DEVICE_BUSY, 0x1008, true}, {DEVICE_BUSY, 0, false}};
    for (const auto& row : kRows) {
        const ArrivalDecision d = DecideOnArrival(0x40, ViewOf(StatusBlock{row.device, row.job}.Bytes()), 1, ThisSeat);
        EXPECT_EQ(row.pauses, d.pauseCountdowns != FALSE) << std::hex << row.device << " / " << row.job;
    }
    ArrivalDecision up = DecideOnArrival(0x40, ViewOf(StatusBlock{0x3, JOB_IN_PROGRESS}.Bytes()), 1, ThisSeat);
    EXPECT_EQ(POP_UP_FOR_ERROR, up.popUp);
    EXPECT_EQ(0x3u, up.rememberedDeviceFlags);
    ArrivalDecision stays = DecideOnArrival(0x40, ViewOf(StatusBlock{0x0, JOB_IN_PROGRESS}.Bytes()), 1, ThisSeat);
    EXPECT_EQ(POP_UP_NONE, stays.popUp);
    EXPECT_EQ(0x40u, stays.rememberedDeviceFlags) << "without a pop-up the flags wait for the display step";
}

}  // namespace
