#!/usr/bin/env bash
# Installs the prerequisites, configures and builds everything: build.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/install-prereqs.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$(nproc)"
