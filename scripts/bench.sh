#!/usr/bin/env bash
# Benchmarks both programs in one Wine prefix and prints each figure beside its target:
# - the troubleshooter: complete unattended runs against starts of a trivial program and of a
#   program with its libraries only, taking turns, and the time of each check (bench/run,
#   bench/checks);
# - the status window: start-up beside a minimal window program and a floor program, where
#   start-up goes step by step, memory beside the minimal window program, status blocks beside
#   bare WM_COPYDATA round trips, idle CPU (bench/status), and the waiting list rebuilt from 100
#   and 1,000 jobs (bench/waiting).
# Ends with every target and whether it was met. Exit code: 0 when all are met, 1 when one is
# missed, 2 when something could not be measured. Not part of the tests.
# bench.sh [BUILD_DIR] [RUNS]      RUNS: troubleshooter runs of each kind (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${2:-10}
printer="Tavik QX2210-2370"

# A set-up that fails has measured nothing: exit code 2, not a missed target.
. scripts/wine-session.sh
wine_session_prepare "${1:-build}" || exit 2
build=$wine_build
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$wine_toolchain.cmake" >/dev/null || exit 2
cmake --build "$build" -j"$(nproc)" --target pdiag pstatus pkginst bench_trivial bench_imports bench_run \
    bench_checks bench_status bench_window bench_floor bench_startup bench_waiting || exit 2

# One prefix of its own, so the benchmark neither disturbs nor depends on the tests' prefix.
# Both programs share it: the troubleshooter runs without /repair and changes nothing, and
# nothing it checks is written by the status window.
output=$(mktemp)
targets=$(mktemp)
remove_outputs() { rm -f "$output" "$targets"; }
wine_session_cleanup=remove_outputs
wine_session_start benchprefix || exit 2
if ! wine "$build/package/pkginst.exe" install >/dev/null; then
    echo "the stand-in package could not be installed" >&2
    exit 2
fi

status=0
# part TITLE PROGRAM [ARGS...]: runs one benchmark program and shows what it printed. Its
# output goes through a file, not a pipe, so that no process it started can hold the script
# up. Its "target:" lines are kept for the summary and its exit code joins the script's
# (2 over 1 over 0; any other code, a crash included, means not measured).
part() {
    local title=$1 code=0
    shift
    echo "== $title"
    wine "$@" >"$output" || code=$?
    tr -d '\r' <"$output"
    tr -d '\r' <"$output" | grep '^target: ' | sed 's/^target: /  /' >>"$targets" || true
    [ "$code" -le 1 ] || code=2
    [ "$code" -le "$status" ] || status=$code
    echo
}

part "troubleshooter" "$build/bench/run/bench_run.exe" "$runs" \
    "$(winepath -w "$build/diag/pdiag.exe")" \
    "$(winepath -w "$build/bench/run/bench_trivial.exe")" \
    "$printer" \
    "$(winepath -w "$build/bench/run/bench_imports.exe")" \
    "$(winepath -w "$build/bench/checks/bench_checks.exe")"
part "status window" "$build/bench/status/bench_status.exe" "$printer"
part "waiting list" "$build/bench/waiting/bench_waiting.exe"

echo "== targets"
cat "$targets"
case $status in
    0) echo "all targets met" ;;
    1) echo "a target was missed" ;;
    *) echo "something could not be measured (see above; its targets are not listed)" ;;
esac
exit "$status"
