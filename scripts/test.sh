#!/usr/bin/env bash
# Builds everything and runs every test under Wine: test.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
. scripts/wine-session.sh

# Without a Wine that runs, everything is still built and the tests of the build machine's own
# scripts run; the Wine tests are reported as not run. WINE_TESTS=required makes that an error.
if ! wine_session_prepare "$build"; then
    bash scripts/build.sh "$build"
    echo "NOT RUN: the tests under Wine. Everything was built; only the tests that run on this" \
         "machine itself follow." >&2
    [ "${WINE_TESTS:-}" = required ] && exit 1
    ctest --test-dir "$build" --output-on-failure -L host
    exit
fi
# Where the tests run on a 64-bit build, the programs as shipped are still built and must build.
[ "$wine_build" = "$build" ] || bash scripts/build.sh "$build" i686 pdiag pstatus
bash scripts/build.sh "$wine_build" "$wine_toolchain"

# One wineserver for the whole run, with the spooler service started.
wine_session_start wineprefix
ctest --test-dir "$wine_build" --output-on-failure -j1

# Where 32-bit programs run, the shipped 32-bit pdiag is also run under WoW64 against the 64-bit
# package in a 64-bit prefix, as it meets 64-bit Windows. (A machine without 32-bit support
# skips those rows; the 64-bit build's own rows ran above.)
if [ "$wine_toolchain" = i686 ] && bash scripts/wine-usable.sh 64; then
    wine_session_stop
    wine_build=$build-x64
    bash scripts/build.sh "$wine_build" x86_64 test_app pdiag pkginst
    wine_session_start wineprefix
    wine "$wine_build/package/pkginst.exe" install
    PDIAG_WOW64=$(winepath -w "$build/diag/pdiag.exe") \
        wine "$wine_build/tests/test_app.exe" --gtest_filter='Builds/LayoutRunTest.*'
fi
