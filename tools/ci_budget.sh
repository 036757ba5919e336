#!/usr/bin/env bash
# Times CI as a new machine would run it: .ci/run in a fresh clone in a
# temporary folder, pinned to two cores, with the compiler cache off. Prints
# wall and CPU seconds per phase and the ten slowest compilations and links.
#   tools/ci_budget.sh [commit]        (default: HEAD of this clone)
# CORES=0,1 picks the cores; CACHE=1 keeps the compiler cache on (the time
# of a CI run right after a developer's own run of .ci/run); KEEP=1 keeps
# the temporary clone.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
commit=${1:-HEAD}
cores=${CORES:-0,1}
work=$(mktemp -d "${TMPDIR:-/tmp}/ci-budget.XXXXXX")
[ "${KEEP:-0}" != 0 ] || trap 'rm -rf "$work"' EXIT

git clone -q "$repo" "$work/clone"
git -C "$work/clone" checkout -q "$commit"
export PHASE_TIMES=$work/phases
: >"$PHASE_TIMES"
if [ "${CACHE:-0}" = 0 ]; then
  export CCACHE_DISABLE=1
fi
echo "ci_budget: $(git -C "$work/clone" log -1 --format='%h %s' | cut -c1-70)"
echo "ci_budget: cores $cores, compiler cache $([ "${CACHE:-0}" = 0 ] && echo off || echo on), log in $work/ci.log"
status=0
# nproc inside the pinning answers the number of cores CI has.
TIMEFORMAT="total %R %U %S"
{ time taskset -c "$cores" env CI=true bash "$work/clone/.ci/run" </dev/null >"$work/ci.log" 2>&1 || status=$?; } 2>>"$PHASE_TIMES"

echo
printf '%-10s %9s %9s\n' phase wall_s cpu_s
awk '{ printf "%-10s %9.0f %9.0f\n", $1, $2, $3 + $4 }' "$PHASE_TIMES"
echo
ninja_log=$work/clone/build-ci/.ninja_log
if [ -f "$ninja_log" ]; then
  echo "slowest compilations and links (seconds, each on one core):"
  # .ninja_log: start and end in ms, mtime, output, hash; keep the last
  # entry of each output.
  awk 'NR > 1 { d[$4] = ($2 - $1) / 1000 } END { for (o in d) printf "%8.1f  %s\n", d[o], o }' "$ninja_log" |
    sort -rn | head -10
  awk 'NR > 1 { d[$4] = ($2 - $1) / 1000 } END { for (o in d) { n++; s += d[o]; if (o ~ /\.o$/) { c++; cs += d[o] } }
       printf "%d steps, %.0f s in all; %d compilations, %.0f s\n", n, s, c, cs }' "$ninja_log"
fi
echo
tail -3 "$work/ci.log"
if [ "$status" -ne 0 ]; then
  echo "ci_budget: .ci/run failed (exit $status); see $work/ci.log"
  trap - EXIT
fi
exit "$status"
