#!/usr/bin/env bash
# Draws the presentation library's pictures again into this folder and writes a PNG copy
# of each into BUILD_DIR/pictures/status_libs for looking at: draw.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
cd "$root"
. scripts/wine-target.sh
wine_target "$(realpath -m "${1:-$root/build}")" || exit 1
build=$wine_build
[ -f "$build/CMakeCache.txt" ] ||
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$wine_toolchain.cmake" >/dev/null
cmake --build "$build" --target pkg_draw_pictures >/dev/null
bash scripts/wine-prefix.sh "$build"
"$root/scripts/wine-run" "$build/package/pkg_draw_pictures.exe" "Z:${here//\//\\}"
mkdir -p "$build/pictures/status_libs"
for picture in "$here"/*.bmp "$here"/*.ico; do
    convert "$picture" -scale 400% "$build/pictures/status_libs/$(basename "${picture%.*}").png"
done
echo "pictures in $here, PNG copies in $build/pictures/status_libs"
