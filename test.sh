#!/usr/bin/env bash
# Builds everything and runs every test (offscreen, no display needed).
# SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer
# instead, into build-asan unless BUILD_DIR says otherwise.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
cmake_args=()
if [ -n "${SANITIZE:-}" ] && [ "${SANITIZE}" != 0 ]; then
  BUILD_DIR=${BUILD_DIR:-build-asan}
  cmake_args+=(-DSANITIZE=ON)
else
  BUILD_DIR=${BUILD_DIR:-build}
  cmake_args+=(-DSANITIZE=OFF)
fi
jobs=$(nproc)
cmake -S . -B "$BUILD_DIR" -G Ninja "${cmake_args[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j "$jobs"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$BUILD_DIR"
ctest -j "$jobs" --output-on-failure "$@"
