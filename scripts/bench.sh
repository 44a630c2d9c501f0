#!/usr/bin/env bash
# Runs the benchmarks built in BUILD_DIR (make bench):
#  1. the design run on the three worked designs and on random designs
#     (Google Benchmark, median of REPS repetitions);
#  2. brennick-cli --json and --table on COUNT random designs, output to
#     /dev/null, on one core; the median of REPS runs of each is reported as
#     designs per second;
#  3. design files: saving and opening one, and an armoury of 1,000;
#  4. the window, when its benchmarks are built.
#
#   scripts/bench.sh [BUILD_DIR]      (REPS=9, COUNT=100000 by default;
#                                      FULL=1 writes every key of every design)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" && pwd)
reps=${REPS:-9}
count=${COUNT:-100000}

# One core, as the targets are stated; taskset is optional.
pin=()
if command -v taskset >/dev/null; then pin=(taskset -c 0); fi

# A Google Benchmark program, its medians only.
medians() {
  "${pin[@]}" "$1" --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 2>&1 |
    grep -E '^(Benchmark|-+$|BM_.*_median)|CPU|Load Average'
}

echo "== Design run (median of $reps repetitions)"
medians "$build/bench_design"

echo
echo "== Design files: save and open one design; open an armoury of 1,000 designs"
medians "$build/bench_files"

input=$(mktemp)
trap 'rm -f "$input"' EXIT
"$build/bench_make_cli_input" "$count" 20261208 ${FULL:+full} >"$input"
for mode in --json --table; do
  echo
  echo "== brennick-cli $mode on $count designs (median of $reps runs)"
  echo "input: $(du -h "$input" | cut -f1) of JSON Lines"
  times=()
  for _ in $(seq "$reps"); do
    start=$(date +%s%N)
    status=0
    LC_ALL=C "${pin[@]}" "$build/brennick-cli" "$mode" "$input" >/dev/null 2>&1 || status=$?
    end=$(date +%s%N)
    # Exit 1 only says some designs failed, which random designs may do.
    if [[ $status -gt 1 ]]; then
      echo "brennick-cli failed with exit status $status" >&2
      exit 1
    fi
    times+=($((end - start)))
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((reps + 1) / 2))p")
  awk -v ns="$median" -v n="$count" 'BEGIN {
    printf "median wall time: %.3f s, %.0f designs per second\n", ns / 1e9, n / (ns / 1e9)
  }'
done

if [[ ! -x "$build/bench_window" ]]; then
  echo
  echo "(the window's benchmarks are not built: configured without the window)"
  exit 0
fi

# The window runs headless unless a display is there.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fi

echo
echo "== Window: Design click to painted pane (median of $reps repetitions)"
medians "$build/bench_window"

echo
echo "== Launch to first painted frame, against a bare window with one button (median of $reps runs each)"
# From launch to the first painted frame, the two programs in turns so
# both see the same machine.
bare=()
ours=()
for _ in $(seq "$reps"); do
  for kind in bare brennick; do
    us=$(BRENNICK_LAUNCH_NS=$(date +%s%N) "${pin[@]}" "$build/bench_startup" "$kind" 2>/dev/null)
    if [[ $kind == bare ]]; then bare+=("$us"); else ours+=("$us"); fi
  done
done
median_of() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
bare_median=$(median_of "${bare[@]}")
ours_median=$(median_of "${ours[@]}")
awk -v b="$bare_median" -v o="$ours_median" 'BEGIN {
  printf "bare window: %.1f ms, Brennick: %.1f ms, ratio %.2f\n", b / 1e3, o / 1e3, o / b
}'
