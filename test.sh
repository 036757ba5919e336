#!/usr/bin/env bash
# Builds everything and runs every test (offscreen, no display needed).
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
BUILD_DIR=${BUILD_DIR:-build}
jobs=$(nproc)
cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
cmake --build "$BUILD_DIR" -j "$jobs"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$BUILD_DIR"
ctest -j "$jobs" --output-on-failure "$@"
