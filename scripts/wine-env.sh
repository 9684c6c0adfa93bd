# Sourced by the scripts: the environment every Wine process of the project runs in.
# $1 (optional) is the build folder, $2 (optional) the prefix's folder name inside it.
PROJECT_BUILD=$(realpath -m "${1:-${PROJECT_BUILD:-build}}")
export WINEPREFIX="$PROJECT_BUILD/${2:-wineprefix}"
if grep -qs '^CMAKE_TOOLCHAIN_FILE.*mingw-x86_64' "$PROJECT_BUILD/CMakeCache.txt"; then
    # A 64-bit build (see test.sh) runs under 64-bit Wine. Debian's wine and wineboot start the
    # 32-bit loader whenever it is installed, so a folder in front of PATH sends them to wine64.
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    wine64_bin="$PROJECT_BUILD/wine64-bin"
    if [ ! -x "$wine64_bin/wine-stable" ]; then
        mkdir -p "$wine64_bin"
        for name in wine wine-stable; do
            printf '#!/bin/sh\nexec %s "$@"\n' "$WINELOADER" >"$wine64_bin/$name"
            chmod +x "$wine64_bin/$name"
        done
    fi
    case ":$PATH:" in *":$wine64_bin:"*) ;; *) export PATH="$wine64_bin:$PATH" ;; esac
else
    export WINEARCH=win32
fi
export WINEDEBUG=-all
# Simplified Chinese locale: ANSI code page 936 inside Wine.
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8
# No Mono or Gecko installers, no host menu entries from shortcuts, no display:
# windows use the null driver.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
