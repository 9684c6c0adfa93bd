#!/usr/bin/env bash
# Renders every dialog of the troubleshooter, filled as in a run, into PNG files:
#   dialog-pictures.sh [BUILD_DIR]        pictures land in BUILD_DIR/pictures/NAME.png
# The dialogs run in a Wine prefix of their own (BUILD_DIR/pictureprefix) on a private Xvfb
# display, through Wine's x11 driver inside a virtual desktop so that title bars are drawn,
# with the dialogs' font "宋体" replaced by the installed CJK font.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/install-prereqs.sh
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" --target dialog_pictures -j"$(nproc)"
# The package gives the start and port dialogs a printer to list; without it they show none.
have_package=1
cmake --build "$build" --target pkginst -j"$(nproc)" >/dev/null 2>&1 || have_package=0

bash scripts/wine-prefix.sh "$build" pictureprefix
. scripts/wine-env.sh "$build" pictureprefix
out="$PROJECT_BUILD/pictures"
handshake="$out/handshake"
rm -rf "$out"
mkdir -p "$handshake"

# A display of our own for this run only.
display=
for n in $(seq 90 130); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    # The prefix keeps the null driver outside this run.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$handshake"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY=$display

# Wine draws the caption buttons with its Marlett font; give the prefix its own copy so the
# symbols show under the Chinese locale too.
for fonts in /usr/share/wine/fonts /usr/lib/wine/fonts; do
    [ -f "$fonts/marlett.ttf" ] && cp -f "$fonts/marlett.ttf" "$WINEPREFIX/drive_c/windows/Fonts/" && break
done
# The graphics driver is read when the wineserver starts: set it, then start the server.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
for name in 宋体 SimSun; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w
wineserver -p
wine net start spooler >/dev/null 2>&1 || true
if [ "$have_package" = 1 ]; then
    wine "$PROJECT_BUILD/package/pkginst.exe" install >/dev/null 2>&1 || echo "package not installed: the start and port dialogs list no printer" >&2
fi

wine explorer /desktop=pdiag,1024x768 "$PROJECT_BUILD/tests/dialog_pictures.exe" "$(winepath -w "$handshake")" >/dev/null 2>&1 &
helper=$!

# The helper announces each dialog with NAME.ready ("left top width height" on the desktop,
# which lies at the display's origin) and shows the next one once the file is gone.
deadline=$((SECONDS + 300))
while kill -0 "$helper" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
    for ready in "$handshake"/*.ready; do
        [ -e "$ready" ] || continue
        name=$(basename "$ready" .ready)
        read -r x y w h < "$ready"
        import -display "$display" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
        echo "$out/$name.png"
        rm -f "$ready"
    done
    sleep 0.1
done
if kill -0 "$helper" 2>/dev/null; then
    echo "the dialogs did not all come up in time" >&2
    exit 1
fi
