#!/usr/bin/env bash
# Creates the project's Wine prefix inside the build folder once, and reuses it.
# wine-prefix.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/wine-env.sh" "${1:-build}" "${2:-wineprefix}"

stamp="$WINEPREFIX/.project-ready"
[ -f "$stamp" ] && exit 0

rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
echo "creating Wine prefix $WINEPREFIX"
wineboot --init >/dev/null 2>&1 || true
# The graphics driver is chosen when the wineserver starts: set it, then stop the server.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# A program that crashes ends at once instead of waiting in the debugger until its time-out.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
wineserver -w
touch "$stamp"
