#!/usr/bin/env bash
# Checks that the status window's rule tables catch a change of any rule: rule-mutations.sh [BUILD_DIR]
# Run by hand, not by `make test`; it rebuilds the status tests once per row below.
# Each row changes one rule of status/monitor/status_rules.cpp (R) or status_decision.cpp (D):
# a condition inverted or dropped, a comparison swapped, a boundary moved by one, a bit test
# turned into an equality. For each the file is changed, test_status rebuilt and its rule
# tests run under Wine (RULE_TESTS, a --gtest_filter, to run others), and the file restored
# (also on Ctrl-C). A row is caught when the tests fail. Exits 1 when a row is missed, its text
# is not found exactly once, or the change does not build.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-session.sh
wine_session_prepare "${1:-build}" || { echo "no Wine runs here" >&2; exit 1; }
tests=${RULE_TESTS:-StatusRules.*:StatusDecision.*}

# label @ file @ original text @ changed text ("\n" stands for a line break)
rows=$(cat <<'EOF'
a field past the end @ R @ !block.data || offset > block.length || @ !block.data ||
a field cut by the end, by one @ R @ block.length - offset < sizeof(DWORD) @ block.length - offset < sizeof(DWORD) - 1
a field that ends at the end @ R @ block.length - offset < sizeof(DWORD) @ block.length - offset <= sizeof(DWORD)
string offset 0: none @ R @ if (offset == 0 || offset >= block.length) @ if (offset >= block.length)
a string past the end @ R @ if (offset == 0 || offset >= block.length) @ if (offset == 0)
a string's terminator inside the block @ R @ i < chars; @ i <= chars;
machine name: both leading backslashes @ R @ machine[0] == L'\\' && machine[1] @ machine[0] == L'\\' || machine[1]
foreign: no block @ R @ if (!block.data)\n        return FALSE; @ if (FALSE)\n        return FALSE;
foreign: owner ignoring case @ R @ lstrcmpiW(BlockString @ lstrcmpW(BlockString
foreign: owner inverted @ R @ ownerOffset)), user) == 0 @ ownerOffset)), user) != 0
foreign: start of the computer's name @ R @ wcslen(computer)) == 0 @ wcslen(computer) + 1) == 0
foreign: another user and computer @ R @ return !ownJob && !thisComputer; @ return !ownJob || !thisComputer;
job end: end bits dropped @ R @ if (!(jobFlags & JOB_END_BITS) || @ if (
job end: end bits as equality @ R @ !(jobFlags & JOB_END_BITS) @ !(jobFlags == JOB_END_BITS)
job end: in progress dropped @ R @  || (jobFlags & JOB_IN_PROGRESS) || @  ||
job end: in progress as equality @ R @ || (jobFlags & JOB_IN_PROGRESS) || @ || (jobFlags == JOB_IN_PROGRESS) ||
job end: entering cancelling dropped @ R @  || code == DISPLAY_CANCELLING @ 
job end: unchanged code dropped @ R @  || code == previous) @ )
job end: the code left, not entered @ R @ if (previous == kNotAJobEnd[i]) @ if (code == kNotAJobEnd[i])
job end: first listed code dropped @ R @ for (size_t i = 0; i < ARRAYSIZE(kNotAJobEnd) @ for (size_t i = 1; i < ARRAYSIZE(kNotAJobEnd)
job end: last listed code dropped @ R @ i < ARRAYSIZE(kNotAJobEnd); @ i + 1 < ARRAYSIZE(kNotAJobEnd);
job end: status cleared dropped @ R @ DISPLAY_STATUS_CLEARED, DISPLAY_READY_ATTENTION @ DISPLAY_READY_ATTENTION
job end: ready-attention dropped @ R @ DISPLAY_READY_ATTENTION, 302 @ 302
job end: 302 dropped @ R @ 302, 501, 503 @ 501, 503
job end: 501 dropped @ R @ 302, 501, 503 @ 302, 503
pop-up: Showing dropped @ R @ showing == 0 && FIELD @ FIELD
pop-up: pages printed dropped @ R @ FIELD(block, pagesPrinted) == 0 && (job @ (job
pop-up: job start dropped @ R @ (job & JOB_STARTED) &&\n @ \n
pop-up: job start as equality @ R @ (job & JOB_STARTED) @ (job == JOB_STARTED)
pop-up: estimate mode dropped @ R @ (FIELD(block, estimateMode) & ESTIMATE_PER_PAGE) @ TRUE
pop-up: estimate mode as equality @ R @ (FIELD(block, estimateMode) & ESTIMATE_PER_PAGE) @ (FIELD(block, estimateMode) == ESTIMATE_PER_PAGE)
pop-up: error dropped @ R @ errorDuringJob = (device & DEVICE_ERROR_POP_UP) && @ errorDuringJob =
pop-up: error as equality @ R @ errorDuringJob = (device & DEVICE_ERROR_POP_UP) @ errorDuringJob = (device == DEVICE_ERROR_POP_UP)
pop-up: error needs a job @ R @ (device & DEVICE_ERROR_POP_UP) && (job & JOB_IN_PROGRESS) @ (device & DEVICE_ERROR_POP_UP)
pop-up: either reason @ R @ !(jobStarts || errorDuringJob) @ !(jobStarts && errorDuringJob)
pop-up: seat dropped @ R @  || !jobForThisSeat()) @ )
pop-up: seat asked first @ R @ !block.data || !(jobStarts || errorDuringJob) || !jobForThisSeat() @ !block.data || !jobForThisSeat() || !(jobStarts || errorDuringJob)
pop-up: reason swapped @ R @ ? POP_UP_FOR_ERROR : POP_UP_FOR_JOB @ ? POP_UP_FOR_JOB : POP_UP_FOR_ERROR
error cleared: remembered error dropped @ R @ (rememberedDeviceFlags & DEVICE_ERROR_PRESENT) && @ 
error cleared: the pop-up mask @ R @ rememberedDeviceFlags & DEVICE_ERROR_PRESENT @ rememberedDeviceFlags & DEVICE_ERROR_POP_UP
error cleared: no flags dropped @ R @ && deviceFlags == 0 @ 
error cleared: reason dropped @ R @  && reason == SHOW_REASON_ERROR @ 
pause: device dropped @ R @ (deviceFlags & DEVICE_BUSY) && @ 
pause: job dropped @ R @  && (jobFlags & JOB_BUSY_WITH_DEVICE) @ 
pause: device as equality @ R @ (deviceFlags & DEVICE_BUSY) @ (deviceFlags == DEVICE_BUSY)
pause: job as equality @ R @ (jobFlags & JOB_BUSY_WITH_DEVICE) @ (jobFlags == JOB_BUSY_WITH_DEVICE)
countdowns end: no block @ R @ if (block.data && ((FIELD @ if (((FIELD
countdowns end: device flag dropped @ R @ (FIELD(block, deviceFlags) & DEVICE_STOP_COUNTDOWNS) || @ 
countdowns end: no job dropped @ R @  || !(FIELD(block, jobFlags) & JOB_IN_PROGRESS) @ 
countdowns end: device flag as equality @ R @ FIELD(block, deviceFlags) & DEVICE_STOP_COUNTDOWNS @ FIELD(block, deviceFlags) == DEVICE_STOP_COUNTDOWNS
countdowns end: no job as equality @ R @ !(FIELD(block, jobFlags) & JOB_IN_PROGRESS) @ !(FIELD(block, jobFlags) == JOB_IN_PROGRESS)
countdowns end: first error code @ R @ displayCode >= DISPLAY_ERROR_FIRST @ displayCode > DISPLAY_ERROR_FIRST
countdowns end: last error code @ R @ displayCode <= DISPLAY_ERROR_LAST @ displayCode < DISPLAY_ERROR_LAST
countdowns end: below the errors @ R @ displayCode >= DISPLAY_ERROR_FIRST @ displayCode >= DISPLAY_ERROR_FIRST - 1
countdowns end: above the errors @ R @ displayCode <= DISPLAY_ERROR_LAST @ displayCode <= DISPLAY_ERROR_LAST + 1
attention as equality @ R @ (rememberedDeviceFlags & DEVICE_ATTENTION) != 0 @ rememberedDeviceFlags == DEVICE_ATTENTION
arrival: flags remembered with a pop-up @ D @ decision.popUp != POP_UP_NONE ? @ decision.popUp == POP_UP_NONE ?
estimate: time A dropped @ D @ fixedA && perPage && fixedB @ perPage && fixedB
estimate: time per page dropped @ D @ fixedA && perPage && fixedB @ fixedA && fixedB
estimate: time B dropped @ D @ fixedA && perPage && fixedB @ fixedA && perPage
estimate: initial form inverted @ D @ if (form == ESTIMATE_INITIAL) @ if (form != ESTIMATE_INITIAL)
estimate: per-page mode as a bit @ D @ else if (mode == ESTIMATE_PER_PAGE) @ else if (mode & ESTIMATE_PER_PAGE)
estimate: looping mode as a bit @ D @ else if (mode == ESTIMATE_LOOPING) @ else if (mode & ESTIMATE_LOOPING)
estimate: looping counts the page under way @ D @ (remaining + 1) * perPage @ remaining * perPage
estimate: per page counts elapsed A @ D @ - elapsedA + fixedB @ - elapsedB + fixedB
estimate: looping counts elapsed B @ D @ - elapsedB + fixedB @ - elapsedA + fixedB
estimate: no wrap past 136 years @ D @ ms >= 1000.0L * MAXDWORD ? LONGLONG(MAXDWORD) : @ 
estimate: below zero is 0 @ D @ ms > 0 ? LONGLONG(ms / MS_PER_SECOND) : 0 @ LONGLONG(ms / MS_PER_SECOND)
estimate: finish wraps at midnight @ D @ % SECONDS_PER_DAY @ 
continuing: first-page countdown dropped @ D @ if (!next.runs[TIMER_COUNTDOWN_FIRST_PAGE] && @ if (
continuing: page countdown dropped @ D @ !next.runs[TIMER_COUNTDOWN_PAGES] && display.estimateFlag @ display.estimateFlag
continuing: estimate flag dropped @ D @ display.estimateFlag &&\n        block.data @ \n        block.data
continuing: a page printed, by one @ D @ printed > 0 && @ printed > 1 &&
continuing: pages left @ D @ printed < FIELD(block, totalPages) @ printed <= FIELD(block, totalPages)
continuing: pages left, by one @ D @ printed < FIELD(block, totalPages) @ printed + 1 < FIELD(block, totalPages)
attention of the block, not remembered @ D @ HoldsAttention(next.rememberedDeviceFlags) @ HoldsAttention(FIELD(block, deviceFlags))
job taken without a copy @ D @ if (block.data && newStatus) @ if (newStatus)
flags remembered without a copy @ D @ if (block.data)\n        next.rememberedDeviceFlags @ next.rememberedDeviceFlags
pages moved on, by one @ D @ if (next.pagesStarted < started) @ if (next.pagesStarted <= started)
page countdown restarts only when running @ D @ if (next.runs[TIMER_COUNTDOWN_PAGES]) { @ {
first-page countdown hands over only when running @ D @ if (next.runs[TIMER_COUNTDOWN_FIRST_PAGE]) { @ {
per-page animation dropped @ D @ if (d.display->animationMode == ANIMATION_PER_PAGE) @ if (TRUE)
per-page animation parity @ D @ started % 2 ? TIMER_ANIMATION_A : TIMER_ANIMATION_B @ started % 2 ? TIMER_ANIMATION_B : TIMER_ANIMATION_A
no page started: animations stop @ D @ } else if (started == 0) { @ } else {
log entry needs a document @ D @ decision.logEntry = FIELD(block, documentOffset) != 0; @ decision.logEntry = TRUE;
cancelled as equality @ D @ (jobFlags & JOB_CANCELLED) != 0 @ jobFlags == JOB_CANCELLED
job end hides a window up for the job only @ D @ decision.hide = next.showReason == SHOW_REASON_JOB; @ decision.hide = next.showReason != SHOW_REASON_USER;
job end: codes swapped @ D @ IsJobEnd(previousCode, d.display->displayCode, @ IsJobEnd(d.display->displayCode, previousCode,
error cleared: not asked @ D @ if (ErrorHasCleared( @ if (FALSE && ErrorHasCleared(
unchanged code changes nothing @ D @ if (code == previousCode)\n        return; @ if (FALSE)\n        return;
printing pair: from odd dropped @ D @ (previousCode == DISPLAY_PRINTING_ODD && code @ (code
printing pair: to even dropped @ D @ DISPLAY_PRINTING_ODD && code == DISPLAY_PRINTING_EVEN) @ DISPLAY_PRINTING_ODD)
waiting pair: from odd dropped @ D @ (previousCode == DISPLAY_WAITING_ODD && code @ (code
waiting pair: to even dropped @ D @ DISPLAY_WAITING_ODD && code == DISPLAY_WAITING_EVEN) @ DISPLAY_WAITING_ODD)
looping animation dropped @ D @ if (d.display->animationMode == ANIMATION_LOOPING) @ if (TRUE)
first-page countdown: estimate flag dropped @ D @ if (d.display->estimateFlag && next.pagesPrinted == 0) @ if (next.pagesPrinted == 0)
first-page countdown: no page printed dropped @ D @ if (d.display->estimateFlag && next.pagesPrinted == 0) @ if (d.display->estimateFlag)
animation: frame count dropped @ D @ if (d.display->frameCount && d.display->frames) @ if (d.display->frames)
animation: frame table dropped @ D @ if (d.display->frameCount && d.display->frames) @ if (d.display->frameCount)
a stopped timer is not stopped again @ D @ if (d.decision->next.runs[timer]) @ if (TRUE)
EOF
)

declare -A files=([R]=status/monitor/status_rules.cpp [D]=status/monitor/status_decision.cpp)
saved=$(mktemp -d)
for f in "${files[@]}"; do cp "$f" "$saved/$(basename "$f")"; done
# The sources are put back however the run ends; the next build compiles them again.
restore() { for f in "${files[@]}"; do cp "$saved/$(basename "$f")" "$f"; done; }
cleanup() { restore; rm -rf "$saved"; }
wine_session_cleanup=cleanup   # the session's own exit trap calls it once it has started
trap cleanup EXIT
trap 'exit 130' INT TERM

build() { cmake --build "$wine_build" --target test_status -j2 >"$saved/build.log" 2>&1; }
build || { echo "the unchanged sources do not build (see $wine_build)" >&2; exit 1; }
wine_session_start wineprefix
run() { timeout 300 wine "$wine_build/tests/test_status.exe" --gtest_filter="$tests" >"$saved/run.log" 2>&1; }
run || { echo "the rule tests fail without a change:" >&2; tail -20 "$saved/run.log" >&2; exit 1; }

caught=0 total=0 failed=0
while IFS= read -r row; do
    [ -n "$row" ] || continue
    IFS=@ read -r label key original changed <<<"$row"
    label=${label% } original=${original# } original=${original% } changed=${changed# }
    original=${original//\\n/$'\n'} changed=${changed//\\n/$'\n'}
    file=${files[${key// /}]}
    total=$((total + 1))
    text=$(cat "$saved/$(basename "$file")"; printf x)
    text=${text%x}
    rest=${text#*"$original"}
    if [ "$rest" = "$text" ] || [ "${rest#*"$original"}" != "$rest" ]; then
        printf 'NOT FOUND  %s\n' "$label"; failed=1; continue
    fi
    printf '%s' "${text/"$original"/"$changed"}" >"$file"
    if ! build; then
        printf 'NO BUILD   %s\n' "$label"; failed=1
    elif run; then
        printf 'MISSED     %s\n' "$label"; failed=1
    else
        printf 'caught     %s\n' "$label"; caught=$((caught + 1))
    fi
    restore
done <<<"$rows"
echo "caught $caught of $total"
exit $failed
