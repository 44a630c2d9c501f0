#!/usr/bin/env bash
# Runs every fuzz target built in BUILD_DIR for a bounded time, starting from
# the committed seed corpus (fuzz/corpus/<target>) plus whatever earlier runs
# in the same build directory found. Any crash, leak, timeout, memory blow-up
# or sanitizer report fails the run; the input that caused it is kept under
# BUILD_DIR/fuzz-work/artifacts and its log is printed.
#
#   scripts/fuzz.sh [BUILD_DIR] [SECONDS_PER_TARGET]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-fuzz}" && pwd)
seconds=${2:-15}
work=$build/fuzz-work
targets=(fuzz_parse fuzz_number_text fuzz_design fuzz_json fuzz_cli fuzz_design_file fuzz_soft_ext)

passed=0
failed=0
for target in "${targets[@]}"; do
  [[ -x "$build/$target" ]] || continue
  mkdir -p "$work/$target" "$work/artifacts"
  log=$work/$target.log
  if "$build/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=5 \
      -print_final_stats=1 -artifact_prefix="$work/artifacts/$target-" \
      "$work/$target" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" || true)
    echo "$target: ok (${runs:-no summary})"
    passed=$((passed + 1))
  else
    echo "$target: FAILED (log: $log)"
    tail -n 80 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[[ $failed -eq 0 && $passed -gt 0 ]]
