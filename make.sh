#!/usr/bin/env bash
# Runs `make` with the given targets on a machine that may not have make yet:
# a fresh Debian 12 system gets it from Debian's packages first (the Makefile
# then installs everything else it needs).
#   ./make.sh run     build and start Brennick
#   ./make.sh test    build and run every test
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v make >/dev/null 2>&1; then
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends make
fi
exec make "$@"
