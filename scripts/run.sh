#!/usr/bin/env bash
# Builds and starts the designer window, or, when there is no display to show
# a window on, builds the command-line designer and shows how to use it.
# Only the program in question is built, not the tests.
#   scripts/run.sh [BUILD_DIR] [JOBS]
set -euo pipefail
build_dir=${1:-build}
jobs=${2:-$(nproc)}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cmake --build "$build_dir" -j "$jobs" --target brennick-cli
  cli="$build_dir/brennick-cli"
  cat <<MESSAGE
No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window
cannot open. The command-line designer works without one, for example:

  echo '{"NameEdit": "Pistol", "BoreSizeEdit": "10", "ConfigurationBox": "Pistol", "BarrelBox": "Medium", "LoadingMechanismBox": "Fast Autoloader (TL6)"}' | $cli

'$cli --template > my.json' writes every field at its start value; fill in
at least the bore, then run '$cli my.json'.
MESSAGE
  exit 0
fi
cmake --build "$build_dir" -j "$jobs" --target brennick
exec "$build_dir/brennick"
