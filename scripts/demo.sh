#!/usr/bin/env bash
# The demo: builds everything, installs the stand-in driver package into a Wine prefix of
# its own and shows what was installed. demo.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/build.sh "$build"
bash scripts/wine-prefix.sh "$build" demoprefix
. scripts/wine-env.sh "$build" demoprefix

# One wineserver for the demo, with the spooler started; stopped on any exit.
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine net start spooler >/dev/null 2>&1

pkginst="$build/package/pkginst.exe"
echo "== installing the stand-in driver package into $WINEPREFIX"
wine "$pkginst" install
echo "== installed (pkginst status)"
# pkginst writes the ANSI code page of the prefix (936); the terminal wants UTF-8.
wine "$pkginst" status | iconv -f CP936 -t UTF-8
