#!/usr/bin/env bash
# The WebAssembly build's figures (`make bench-wasm`):
#  1. the size of each .wasm of the build and its gzip -9 size;
#  2. the design run under node: microseconds per design, random designs and
#     the 10 mm pistol (design_timing), beside the native build's where there
#     is one;
#  3. `node brennick-cli.js --json` on COUNT sparse random designs (written by
#     the native bench_make_cli_input), output to /dev/null: designs a
#     second, the median of RUNS runs, beside the native brennick-cli's.
#
#   scripts/bench-wasm.sh WASM_DIR BENCH_DIR [COUNT] [RUNS]
set -euo pipefail
wasm=${1:?WebAssembly build directory}
bench=${2:?native benchmark build directory (for bench_make_cli_input)}
count=${3:-100000}
runs=${4:-5}

echo "== sizes (bytes; gzip -9)"
for f in "$wasm"/*.wasm; do
  printf '%-28s %9d  gzip %8d\n' "$(basename "$f")" "$(stat -c %s "$f")" "$(gzip -9c "$f" | wc -c)"
done

echo "== design run (node $(node --version))"
node "$wasm/design_timing.js"
if [[ -x $bench/design_timing ]]; then
  echo "-- native, for comparison"
  "$bench/design_timing"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench/bench_make_cli_input" "$count" 20261208 >"$work/sparse.jsonl"

# Median wall time in seconds of `runs` runs of the command.
median_wall() {
  local times=()
  for ((i = 0; i < runs; ++i)); do
    local start end
    start=$(date +%s.%N)
    "$@" "$work/sparse.jsonl" >/dev/null
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | sed -n "$(((runs + 1) / 2))p"
}

echo "== brennick-cli --json, $count sparse random designs, median of $runs runs"
t=$(median_wall node "$wasm/brennick-cli.js" --json)
awk -v t="$t" -v n="$count" 'BEGIN { printf "node:   %.3f s, %.0f designs a second\n", t, n / t }'
if [[ -x $bench/brennick-cli ]]; then
  t=$(median_wall "$bench/brennick-cli" --json)
  awk -v t="$t" -v n="$count" 'BEGIN { printf "native: %.3f s, %.0f designs a second\n", t, n / t }'
fi
