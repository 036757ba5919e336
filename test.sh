#!/usr/bin/env bash
# Builds everything and runs every test (offscreen, no display needed).
# SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer
# instead, into build-asan unless BUILD_DIR says otherwise; UNITY=1 compiles
# in batches of sources (cmake/unity.cmake). Arguments go to
# ctest. With PHASE_TIMES=<file>, the wall and CPU seconds of each phase
# (setup, configure, build, tests) are appended to that file.
set -euo pipefail
cd "$(dirname "$0")"

# Runs a phase; its time goes to $PHASE_TIMES as "name wall user sys".
phase() {
  local name=$1
  shift
  if [ -z "${PHASE_TIMES:-}" ]; then
    "$@"
    return
  fi
  local TIMEFORMAT="$name %R %U %S"
  { time "$@" 2>&3; } 3>&2 2>>"$PHASE_TIMES"
}

phase setup ./setup.sh
cmake_args=()
if [ -n "${SANITIZE:-}" ] && [ "${SANITIZE}" != 0 ]; then
  BUILD_DIR=${BUILD_DIR:-build-asan}
  cmake_args+=(-DSANITIZE=ON)
else
  BUILD_DIR=${BUILD_DIR:-build}
  cmake_args+=(-DSANITIZE=OFF)
fi
# UNITY=1 compiles in batches of sources (what CI does); unset, the build
# folder keeps what it was configured with.
if [ -n "${UNITY:-}" ]; then
  if [ "${UNITY}" != 0 ]; then cmake_args+=(-DUNITY=ON); else cmake_args+=(-DUNITY=OFF); fi
fi
jobs=$(nproc)
phase configure cmake -S . -B "$BUILD_DIR" -G Ninja "${cmake_args[@]}" >/dev/null
phase build cmake --build "$BUILD_DIR" -j "$jobs"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cd "$BUILD_DIR"
phase tests ctest -j "$jobs" --output-on-failure "$@"
