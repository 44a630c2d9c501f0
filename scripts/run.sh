#!/usr/bin/env bash
# Starts the designer window, or explains how to use the command-line
# designer when there is no display to show a window on.
set -euo pipefail
build_dir=${1:-build}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found (DISPLAY is not set): use the command-line designer instead, e.g." \
       "$build_dir/brennick-cli --template > my.json; $build_dir/brennick-cli my.json"
  exit 0
fi
exec "$build_dir/brennick"
