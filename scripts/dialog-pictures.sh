#!/usr/bin/env bash
# Renders every dialog of the troubleshooter, filled as in a run, into PNG files:
#   dialog-pictures.sh [--dpi N] [BUILD_DIR]    pictures land in BUILD_DIR/pictures/NAME.png,
#                                               at another DPI than 96 in BUILD_DIR/pictures-N/
# The dialogs run in a Wine prefix of their own (BUILD_DIR/pictureprefix) on a display of N
# dots per inch (default 96); see picture-session.sh for the display.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/picture-session.sh
parse_picture_options "$@"
start_picture_session "$build" pictureprefix "$picture_dpi"
cmake --build "$build" --target dialog_pictures -j"$(nproc)"
photograph pdiag "$PROJECT_BUILD/tests/dialog_pictures.exe" "$PROJECT_BUILD/pictures$picture_suffix"
