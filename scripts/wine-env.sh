# Sourced by the scripts: the environment every Wine process of the project runs in.
# $1 (optional) is the build folder, $2 (optional) the prefix's folder name inside it.
PROJECT_BUILD=$(realpath -m "${1:-${PROJECT_BUILD:-build}}")
export WINEPREFIX="$PROJECT_BUILD/${2:-wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
# Simplified Chinese locale: ANSI code page 936 inside Wine.
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8
# No Mono or Gecko installers, no host menu entries from shortcuts, no display:
# windows use the null driver.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
