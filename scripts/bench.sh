#!/usr/bin/env bash
# Times a complete unattended troubleshooter run on the clean stand-in package against the
# start of a trivial program in the same Wine prefix, and prints the ratio (target: at most
# 3). Not part of the tests. bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-10}

bash scripts/install-prereqs.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$(nproc)" --target pdiag pkginst bench_trivial bench_imports bench_run bench_checks

# A prefix of its own, so the benchmark neither disturbs nor depends on the tests' prefix.
bash scripts/wine-prefix.sh "$build" benchprefix
. scripts/wine-env.sh "$build" benchprefix
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine net start spooler >/dev/null 2>&1

wine "$build/package/pkginst.exe" install >/dev/null
wine "$build/bench/run/bench_run.exe" "$runs" \
    "$(winepath -w "$build/diag/pdiag.exe")" \
    "$(winepath -w "$build/bench/run/bench_trivial.exe")" \
    "Tavik QX2210-2370" \
    "$(winepath -w "$build/bench/run/bench_imports.exe")" \
    "$(winepath -w "$build/bench/checks/bench_checks.exe")"
