#!/usr/bin/env bash
# Builds everything and starts the application.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
exec "$BUILD_DIR/app/pdfbatch" "$@"
