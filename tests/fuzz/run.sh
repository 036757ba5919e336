#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build folder and runs
# each over its seed corpus for N seconds, one target at a time.
#   tests/fuzz/run.sh [seconds] [target ...]     (default: 30 s, every target)
# New inputs go to <build>/fuzz-corpus/<target>, findings to
# <build>/fuzz-findings/<target>-*; the committed seeds stay as they are.
# Exits non-zero when a target found something.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-30}
shift || true
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
JOBS=${JOBS:-2}

cmake -S . -B "$BUILD_DIR" -G Ninja -DFUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target fuzz_all

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
# The same few library leaks the sanitized build may ignore (fontconfig's
# parse of its configuration, reached when a target draws text).
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/cmake/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
findings="$BUILD_DIR/fuzz-findings"
mkdir -p "$findings"
failed=()
for t in "${targets[@]}"; do
  bin="$BUILD_DIR/tests/fuzz/fuzz_$t"
  # A target may be switched off in the build (see tests/fuzz/CMakeLists.txt).
  if [ ! -x "$bin" ]; then
    echo "== fuzz_$t: not built, skipped"
    continue
  fi
  work="$BUILD_DIR/fuzz-corpus/$t"
  mkdir -p "$work"
  echo "== fuzz_$t: ${seconds}s"
  # 10 s for one input and 600 MB for one allocation: a parser that
  # needs more than that for a small file is a finding.
  if ! "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=600 -max_len=8192 \
      -print_final_stats=1 -artifact_prefix="$findings/$t-" "$work" "tests/fuzz/corpus/$t" \
      >"$findings/$t.log" 2>&1; then
    failed+=("$t")
    echo "   found something: see $findings/$t.log"
  fi
  grep -E "^stat::number_of_executed_units|^Done" "$findings/$t.log" | sed 's/^/   /' || true
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]}"
  exit 1
fi
