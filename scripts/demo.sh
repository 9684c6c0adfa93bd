#!/usr/bin/env bash
# The demo: builds everything, installs the stand-in driver package into a Wine prefix of its
# own, breaks it on purpose, lets the troubleshooter find and repair the faults unattended,
# and runs it once more to show that every check now passes. Then the status window serves
# the stand-in printer while it plays jobs (pages, an error in the middle, recovery, job end),
# photographed at each moment, and the settings it wrote and the calls it made are shown.
# demo.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-session.sh
wine_session_prepare "${1:-build}" || { echo "The demo needs Wine and cannot run on this machine." >&2; exit 1; }
build=$wine_build
bash scripts/build.sh "$build" "$wine_toolchain"
# One wineserver for the demo, with the spooler started.
wine_session_start demoprefix

pkginst="$build/package/pkginst.exe"
pdiag="$build/diag/pdiag.exe"
printer="Tavik QX2210-2370"
log='C:\pdiag-demo.log'
# The programs write the ANSI code page of the prefix (936); the terminal wants UTF-8.
from936() { iconv -f CP936 -t UTF-8; }

echo "== installing the stand-in driver package into $WINEPREFIX"
wine "$pkginst" install
wine "$pkginst" status | from936

# Under Wine a kernel-driver service never starts and its dependencies read back empty, so an
# installed port-driver service would always be found stopped and misconfigured. The demo
# machine therefore has none, which the troubleshooter counts as correct.
faults="bidi-off hold-on monitor-missing driver-damaged app-path-wrong startup-missing item-missing"
echo
echo "== breaking the installation: $faults"
wine "$pkginst" fault $faults

run() {
    echo
    echo "== pdiag /unattended $*"
    set +e
    wine "$pdiag" /unattended "/printer:$printer" "/log:$log" "$@" 2>&1 | from936
    code=${PIPESTATUS[0]}
    set -e
    echo "-- exit code $code"
    echo "-- result log:"
    from936 < "$WINEPREFIX/drive_c/pdiag-demo.log"
}

run /repair
[ "$code" -ge 16 ] || { echo "demo: the broken installation was not reported" >&2; exit 1; }
run
[ "$code" -eq 0 ] || { echo "demo: the repaired installation still has findings" >&2; exit 1; }
echo
echo "== every check passes after the repairs"

# ---- The status window ----
echo
echo "== the status window: the stand-in printer plays jobs (pages, paper out in the middle,"
echo "   recovery, a cancelled job, job ends); each moment a user sees is photographed"
wineserver -k >/dev/null 2>&1 || true
bash scripts/status-pictures.sh "$build" | grep '\.png$'
echo "-- open the pictures above to see the window ready, printing page 3 of 10 with the time"
echo "   left, popped up for paper out, its job log, and after the jobs; and its three dialogs."

# What the window left behind, read from the picture prefix once its run is over.
. scripts/wine-env.sh "$build" pictureprefix
wineserver -p
echo
echo "== settings the status window wrote"
settings='Software\Tavik\XERB5\Tavik QX2210-2370\PSW'
wine reg query "HKCU\\$settings" 2>/dev/null | from936 | grep REG_ || true
wine reg query "HKLM\\$settings" 2>/dev/null | from936 | grep REG_ || true
echo
echo "== calls the status window made to the status-monitor library"
tr -d '\r' < "$WINEPREFIX/drive_c/pstatus-calls.log"
echo "-- the window ended through its protocol (message 1027): the last call closed the printer."
echo
echo "Not shown: the waiting-jobs page. Wine's spooler reports no job changes and shows no process"
echo "another's jobs, so the list stays empty in a real run; the tests fill it through a fake spooler."
