#!/usr/bin/env bash
# Runs the benchmarks built in BUILD_DIR (make bench):
#  1. the design run on the three worked designs and on random designs
#     (Google Benchmark, median of REPS repetitions);
#  2. brennick-cli --json on COUNT random designs, sparse (only the keys that
#     differ from the start form) and full (every key), and --table on the
#     sparse ones, output to /dev/null, on one core; then `jq -c .` copying
#     the full designs and brennick-cli --json designing them, in turns. The
#     median of REPS runs of each, as designs per second of wall and of
#     processor time;
#  3. design files: saving and opening one, and an armoury of 1,000;
#  4. the window, when its benchmarks are built, and the armoury window
#     opening 1,000 designs.
#
#   scripts/bench.sh [BUILD_DIR]      (REPS=9, COUNT=100000 by default)
#
# OTHER_CLI="OLD/brennick-cli ..." times older builds of brennick-cli in
# turns with this one in part 2, for before-and-after figures.
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

# brennick-cli on COUNT random designs, output to /dev/null, one core: the
# median of REPS runs, as wall time and as processor time (user and system),
# the second less disturbed by other work on the machine.
sparse=$(mktemp)
full=$(mktemp)
timing=$(mktemp)
trap 'rm -f "$sparse" "$full" "$timing"' EXIT
"$build/bench_make_cli_input" "$count" 20261208 >"$sparse"
"$build/bench_make_cli_input" "$count" 20261208 full >"$full"
median_of() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }

# One timed run of a command; appends "wall cpu" in seconds to the arrays
# named by $1 and $2.
TIMEFORMAT='%R %U %S'
timed() {
  local -n wall_list=$1 cpu_list=$2
  shift 2
  local status=0
  { time "${pin[@]}" "$@" >/dev/null 2>&1 || status=$?; } 2>"$timing"
  # brennick-cli exits 1 when some design failed, which random designs may do.
  if [[ $status -gt 1 ]]; then
    echo "$1 failed with exit status $status" >&2
    exit 1
  fi
  read -r wall user sys <"$timing"
  wall_list+=("$wall")
  cpu_list+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
}
rate() {  # label, wall seconds, cpu seconds
  awk -v l="$1" -v w="$2" -v c="$3" -v n="$count" 'BEGIN {
    printf "%s: wall %.3f s, %.0f designs/s; processor %.3f s, %.0f designs/s\n", l, w, n / w, c, n / c
  }'
}

echo
echo "== brennick-cli on $count designs, to /dev/null (median of $reps runs)"
echo "input: $(du -h "$sparse" | cut -f1) sparse, $(du -h "$full" | cut -f1) full JSON Lines"
export LC_ALL=C
# Other builds of brennick-cli named in OTHER_CLI (paths separated by spaces)
# are timed in turns with this one, each round running every program once.
read -ra programs <<<"$build/brennick-cli ${OTHER_CLI:-}"
for run in "--json sparse" "--json full" "--table sparse"; do
  read -r mode kind <<<"$run"
  input=$sparse
  [[ $kind == full ]] && input=$full
  for i in "${!programs[@]}"; do declare -a "walls_$i=()" "cpus_$i=()"; done
  for _ in $(seq "$reps"); do
    for i in "${!programs[@]}"; do timed "walls_$i" "cpus_$i" "${programs[$i]}" "$mode" "$input"; done
  done
  for i in "${!programs[@]}"; do
    declare -n walls="walls_$i" cpus="cpus_$i"
    label=brennick-cli
    [[ $i -gt 0 ]] && label=${programs[$i]}
    rate "$label $mode, $kind designs" "$(median_of "${walls[@]}")" "$(median_of "${cpus[@]}")"
    unset -n walls cpus
  done
done

# jq merely copying the full designs, and brennick-cli designing them, in
# turns so both see the same machine.
if command -v jq >/dev/null; then
  jq_walls=()
  jq_cpus=()
  our_walls=()
  our_cpus=()
  for _ in $(seq "$reps"); do
    timed jq_walls jq_cpus jq -c . "$full"
    timed our_walls our_cpus "$build/brennick-cli" --json "$full"
  done
  jq_wall=$(median_of "${jq_walls[@]}")
  jq_cpu=$(median_of "${jq_cpus[@]}")
  our_wall=$(median_of "${our_walls[@]}")
  our_cpu=$(median_of "${our_cpus[@]}")
  rate "jq -c ., full designs" "$jq_wall" "$jq_cpu"
  rate "brennick-cli --json, full designs" "$our_wall" "$our_cpu"
  awk -v jw="$jq_wall" -v jc="$jq_cpu" -v ow="$our_wall" -v oc="$our_cpu" 'BEGIN {
    printf "brennick-cli --json against jq -c .: %.1f times as fast (wall), %.1f (processor)\n", jw / ow, jc / oc
  }'
else
  echo "(jq is not installed: no comparison with jq -c .)"
fi
unset LC_ALL

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
echo "== Armoury of 1,000 random designs: the folder read, the window opened until its table shows"
medians "$build/bench_armoury"

echo
# From launch to the first painted frame, the two programs in turns so
# both see the same machine; the platform named by $1 (empty: as set).
startup() {
  local bare=() ours=() us kind
  for _ in $(seq "$reps"); do
    for kind in bare brennick; do
      us=$(QT_QPA_PLATFORM=$1 BRENNICK_LAUNCH_NS=$(date +%s%N) "${pin[@]}" \
        "$build/bench_startup" "$kind" 2>/dev/null)
      if [[ $kind == bare ]]; then bare+=("$us"); else ours+=("$us"); fi
    done
  done
  awk -v b="$(median_of "${bare[@]}")" -v o="$(median_of "${ours[@]}")" 'BEGIN {
    printf "bare window: %.1f ms, Brennick: %.1f ms, ratio %.2f\n", b / 1e3, o / 1e3, o / b
  }'
}
echo "== Launch to first painted frame, against a bare window with one button (median of $reps runs each)"
startup "${QT_QPA_PLATFORM:-}"
# Headless, the screen is 800 by 600 and Brennick's form scrolls; a laptop's
# screen shows the whole form.
if [[ ${QT_QPA_PLATFORM:-} == offscreen ]]; then
  screen=$(mktemp)
  trap 'rm -f "$sparse" "$full" "$timing" "$screen"' EXIT
  echo '{"screens": [{"name": "Laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}' >"$screen"
  echo "On a headless screen of 1366 by 768:"
  startup "offscreen:configfile=$screen"
fi
