#!/usr/bin/env bash
# Installs the prerequisites, configures and builds: build.sh [BUILD_DIR [TOOLCHAIN [TARGET...]]]
# TOOLCHAIN: i686 (the programs as shipped, the default) or x86_64 (see wine-target.sh);
# without targets everything is built.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
toolchain=${2:-i686}
shift $(($# < 2 ? $# : 2))
[ "${PROJECT_PREREQS_READY:-}" = 1 ] || bash scripts/install-prereqs.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$toolchain.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)" ${1:+--target "$@"}
