#!/usr/bin/env bash
# Renders the status window of the installed stand-in package, as a user meets it, into PNG
# files:   status-pictures.sh [--dpi N] [BUILD_DIR]     pictures land in BUILD_DIR/status-pictures/,
# those of its options, port settings and about dialogs in BUILD_DIR/status-dialog-pictures/;
# at another DPI than 96 the folders end in -N (BUILD_DIR/status-pictures-144/).
# The window runs in a Wine prefix of its own (BUILD_DIR/pictureprefix) on a display of N
# dots per inch (default 96); see picture-session.sh for the display.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/picture-session.sh
parse_picture_options "$@"
start_picture_session "$build" pictureprefix "$picture_dpi"
cmake --build "$build" --target status_pictures status_dialog_pictures -j"$(nproc)"
photograph pstatus "$PROJECT_BUILD/tests/status_pictures.exe" "$PROJECT_BUILD/status-pictures$picture_suffix"
# photograph empties its folder first: the dialogs get one of their own.
photograph pstatus-dialogs "$PROJECT_BUILD/tests/status_dialog_pictures.exe" \
    "$PROJECT_BUILD/status-dialog-pictures$picture_suffix"
