# Sourced by the picture scripts: a Wine prefix of their own with the stand-in package, on a
# private Xvfb display through Wine's x11 driver, with the font "宋体" replaced by the
# installed CJK font and the display's DPI set; and the photographing of windows that a
# helper program announces.
#   parse_picture_options "$@"    [--dpi N] [BUILD_DIR]: sets build (the one wine-target.sh
#                                 picks for BUILD_DIR), picture_dpi (default 96) and
#                                 picture_suffix ("" at 96 DPI, "-N" otherwise)
#   start_picture_session BUILD_DIR PREFIX_NAME [DPI]
#   photograph DESKTOP_NAME HELPER_EXE OUT_DIR
# The helper program is started inside a Wine virtual desktop (so that title bars are drawn)
# with a handshake folder as its argument. For each window it writes NAME.ready holding
# "left top width height" (desktop pixels; the desktop lies at the display's origin) and
# waits until the file is gone; the picture lands in OUT_DIR/NAME.png.

. scripts/wine-session.sh

parse_picture_options() {
    build=build
    picture_dpi=96
    while [ $# -gt 0 ]; do
        case $1 in
            --dpi) picture_dpi=${2:-}; shift 2 || break ;;
            --dpi=*) picture_dpi=${1#--dpi=}; shift ;;
            -*) echo "unknown option $1" >&2; exit 2 ;;
            *) build=$1; shift ;;
        esac
    done
    case $picture_dpi in
        ''|*[!0-9]*) echo "--dpi needs a number of dots per inch, such as 96 or 144" >&2; exit 2 ;;
    esac
    if [ "$picture_dpi" -lt 48 ] || [ "$picture_dpi" -gt 480 ]; then
        echo "--dpi $picture_dpi is out of range (48 to 480)" >&2; exit 2
    fi
    picture_suffix=
    [ "$picture_dpi" = 96 ] || picture_suffix=-$picture_dpi
    wine_session_prepare "$build" || exit 1
    build=$wine_build
}

start_picture_session() {
    local build=$1 prefix=$2 dpi=${3:-96}
    [ -f "$build/CMakeCache.txt" ] ||
        cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$wine_toolchain.cmake" >/dev/null
    # The package gives the programs a printer; without it they show none.
    have_package=1
    cmake --build "$build" --target pkginst -j"$(nproc)" >/dev/null 2>&1 || have_package=0

    # A display of our own for this run only.
    picture_display=
    local n
    for n in $(seq 90 130); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then picture_display=":$n"; break; fi
    done
    [ -n "$picture_display" ] || { echo "no free X display" >&2; exit 1; }
    Xvfb "$picture_display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    picture_xvfb=$!
    trap 'kill "$picture_xvfb" 2>/dev/null || true' EXIT  # until the session takes over
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${picture_display#:}" ] && break; sleep 0.1; done
    picture_dpi_of_run=$dpi
    wine_session_cleanup=stop_picture_session
    wine_session_start "$prefix" prepare_picture_prefix
    if [ "$have_package" = 1 ]; then
        wine "$PROJECT_BUILD/package/pkginst.exe" install >/dev/null 2>&1 || echo "the stand-in package could not be installed" >&2
    fi
}

# What the wineserver reads when it starts: the display, the x11 graphics driver and the DPI. The DPI is
# written on every run, 96 included, so that a run at another DPI does not leave the prefix
# scaled for the next one.
prepare_picture_prefix() {
    # The project's Wine environment has no display; this run has its own.
    export DISPLAY=$picture_display
    # Wine draws the caption buttons with its Marlett font; give the prefix its own copy so the
    # symbols show under the Chinese locale too.
    local fonts name
    for fonts in /usr/share/wine/fonts /usr/lib/wine/fonts; do
        [ -f "$fonts/marlett.ttf" ] && cp -f "$fonts/marlett.ttf" "$WINEPREFIX/drive_c/windows/Fonts/" && break
    done
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$picture_dpi_of_run" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$picture_dpi_of_run" /f >/dev/null 2>&1
    for name in 宋体 SimSun; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    done
}

stop_picture_session() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    # The prefix keeps the null driver outside this run.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    kill "$picture_xvfb" 2>/dev/null || true
    [ -z "${picture_handshake:-}" ] || rm -rf "$picture_handshake"
}

photograph() {
    local desktop=$1 helper_exe=$2 out=$3
    picture_handshake="$out/handshake"
    rm -rf "$out"
    mkdir -p "$picture_handshake"
    wine explorer /desktop="$desktop",1024x768 "$helper_exe" "$(winepath -w "$picture_handshake")" >/dev/null 2>&1 &
    local helper=$! deadline=$((SECONDS + 300)) ready name x y w h
    while kill -0 "$helper" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
        for ready in "$picture_handshake"/*.ready; do
            [ -e "$ready" ] || continue
            name=$(basename "$ready" .ready)
            read -r x y w h < "$ready"
            import -display "$picture_display" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
            echo "$out/$name.png"
            rm -f "$ready"
        done
        sleep 0.1
    done
    if kill -0 "$helper" 2>/dev/null; then
        echo "the windows did not all come up in time" >&2
        exit 1
    fi
}
