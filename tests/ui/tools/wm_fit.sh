#!/usr/bin/env bash
# The windows on a real desktop: an X server of WIDTHxHEIGHT, a window
# manager that frames them with a title bar and borders (openbox), and a
# panel along the bottom that reserves PANEL pixels; then the window tests
# that check the frames against the screen's available area, at SCALE.
#
#   wm_fit.sh UI_TESTS DOCK_PANEL WIDTHxHEIGHT PANEL SCALE [SCREENSHOT.png]
set -euo pipefail

if [[ "${1:-}" == --inside ]]; then
  shift
  tests=$1 dock=$2 panel=$3 scale=$4 shot=${5:-}
  home=$(mktemp -d)
  pids=()
  cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$home"
  }
  trap cleanup EXIT
  # shellcheck source=tests/ui/tools/wm_desktop.sh
  source "$(dirname "$0")/wm_desktop.sh"
  status=0
  HOME=$home start_desktop "$dock" "$panel" || status=$?
  echo "screen $size, work area $area"
  if [[ $status -ne 0 ]]; then
    echo "wm_fit.sh: the panel's strip was not reserved" >&2
    exit 1
  fi
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale BRENNICK_WM_PANEL=$panel \
    BRENNICK_WM_SCREENSHOT=$shot "$tests" --gtest_filter='WindowManagerFit.*'
  exit $?
fi

if [[ $# -lt 5 ]]; then
  echo "usage: $0 UI_TESTS DOCK_PANEL WIDTHxHEIGHT PANEL SCALE [SCREENSHOT.png]" >&2
  exit 2
fi
for tool in xvfb-run openbox xprop xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "wm_fit.sh: $tool is missing" >&2; exit 1; }
done
exec xvfb-run -a -s "-screen 0 $3x24" "$0" --inside "$1" "$2" "$4" "$5" "${6:-}"
