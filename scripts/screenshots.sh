#!/usr/bin/env bash
# Takes the README's screenshots on a laptop's desktop: an X server of
# 1366x768 (xvfb), a window manager that frames the windows with title bars
# (openbox) and a panel along the bottom that reserves 32 pixels, each
# picture the whole screen:
#   docs/window.png       the design window, light theme, a design designed
#                         and the derivation panel showing its damage line;
#   docs/window-dark.png  the same in the dark theme;
#   docs/armoury.png      the armoury of 12 random designs over it, sorted by
#                         damage.
# Builds brennick-screenshot, dock_panel and brennick-cli in BUILD_DIR
# (default build/) first; the pictures are optimised with optipng when it is
# installed. The windows keep no setting of the user's: they run with a home
# of their own.
#
#   scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]     (OUT_DIR: docs/)
set -euo pipefail

if [[ "${1:-}" == --inside ]]; then
  shift
  build=$1 out=$2 armoury=$3 panel=32
  home=$(mktemp -d)
  pids=()
  cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$home"
  }
  trap cleanup EXIT
  export HOME=$home XDG_RUNTIME_DIR=$home/run
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # shellcheck source=tests/ui/tools/wm_desktop.sh
  source "$(dirname "$0")/../tests/ui/tools/wm_desktop.sh"
  if ! start_desktop "$build/dock_panel" "$panel"; then
    echo "screenshots.sh: the panel's strip was not reserved (screen $size, work area $area)" >&2
    exit 1
  fi
  # Each picture from fresh settings: none keeps the theme of the one before.
  shot() {
    echo "$1"
    XDG_CONFIG_HOME=$(mktemp -d "$home/config.XXXX") QT_QPA_PLATFORM=xcb \
      "$build/brennick-screenshot" --screen "${@:2}" "$out/$1"
  }
  shot window.png
  shot window-dark.png --dark
  shot armoury.png --armoury "$armoury"
  exit 0
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$(cd "${2:-$root/docs}" && pwd)
for tool in xvfb-run openbox xprop xdpyinfo; do
  command -v "$tool" >/dev/null || {
    echo "screenshots.sh: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
  }
done
cmake --build "$build" -j2 --target brennick-screenshot dock_panel brennick-cli

# An armoury of twelve random designs, each given a name: brennick-cli
# --random leaves the name empty, as the window's Randomize does.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
armoury=$work/Campaign  # the armoury window's title names the folder
"$build/brennick-cli" --random 12 --seed 20261210 --out-dir "$armoury"
names=("Warden Carbine" "Longreach" "Pocket Gatling" "Needler" "Breacher" "Thornback"
  "Quillgun" "Hailstorm" "Kestrel" "Bulwark" "Sparrow" "Marsh Rifle")
i=0
for file in "$armoury"/*.json; do
  sed -i "s/\"NameEdit\": \"\"/\"NameEdit\": \"${names[i]}\"/" "$file"
  i=$((i + 1))
done

xvfb-run -a -s "-screen 0 1366x768x24" "$0" --inside "$build" "$out" "$armoury"
if command -v optipng >/dev/null; then
  optipng -quiet -o5 "$out/window.png" "$out/window-dark.png" "$out/armoury.png"
fi
