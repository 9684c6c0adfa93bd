#!/usr/bin/env bash
# Times status blocks sent to the installed status window from another process against bare
# WM_COPYDATA round trips, with an empty and a full job log, and the window's idle CPU time;
# then the waiting list rebuilt from 100 and 1,000 jobs. Prints the figures and whether the
# targets are met (exit code 1 when one is not). Not part of the tests.
# bench-status.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

bash scripts/install-prereqs.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$(nproc)" --target pstatus pkginst bench_status bench_waiting

# A prefix of its own, so the benchmark neither disturbs nor depends on the tests' prefix.
bash scripts/wine-prefix.sh "$build" benchprefix-status
. scripts/wine-env.sh "$build" benchprefix-status
wineserver -p 2>/dev/null || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine net start spooler >/dev/null 2>&1 || true

wine "$build/package/pkginst.exe" install >/dev/null
status=0
wine "$build/bench/status/bench_status.exe" "Tavik QX2210-2370" || status=$?
echo
wine "$build/bench/waiting/bench_waiting.exe" || status=$?
exit $status
