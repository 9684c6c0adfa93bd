#!/usr/bin/env bash
# Builds everything and runs every test under Wine: test.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/build.sh "$build"
bash scripts/wine-prefix.sh "$build"
. scripts/wine-env.sh "$build"

# One wineserver for the whole run, with the spooler service started; stopped on any exit.
wineserver -p 2>/dev/null || true  # one already serving this prefix is used as it is
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine net start spooler >/dev/null 2>&1 || true  # already running is fine

ctest --test-dir "$build" --output-on-failure -j1
