#!/usr/bin/env bash
# Renders every dialog of the troubleshooter, filled as in a run, into PNG files:
#   dialog-pictures.sh [BUILD_DIR]        pictures land in BUILD_DIR/pictures/NAME.png
# The dialogs run in a Wine prefix of their own (BUILD_DIR/pictureprefix); see
# picture-session.sh for the display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
. scripts/picture-session.sh
start_picture_session "$build" pictureprefix
cmake --build "$build" --target dialog_pictures -j"$(nproc)"
photograph pdiag "$PROJECT_BUILD/tests/dialog_pictures.exe" "$PROJECT_BUILD/pictures"
