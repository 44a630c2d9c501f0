#!/usr/bin/env bash
# Installs the Debian 12 packages Brennick needs to build, run and test.
# Only missing packages are installed; nothing happens when all are present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev googletest
  nlohmann-json3-dev libcli11-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  # `make lint`: include-what-you-use
  iwyu
  xvfb xauth fonts-dejavu-core poppler-utils
  # the windows under a window manager with a panel: openbox, the panel's
  # Xlib, and xprop and xdpyinfo to wait for them
  openbox libx11-dev x11-utils
  # scripts/screenshots.sh: the README's pictures made small
  optipng
  locales
  # the benchmarks time brennick-cli against jq copying the same designs
  jq
  # brennick-cli and the unit tests for node (make wasm); Debian's emscripten
  # brings LLVM 14, binaryen, node-acorn and nodejs
  emscripten
  # the web page's browser tests (make test-web): headless Chromium, driven
  # by the npm packages pinned in web/package-lock.json
  chromium
  # checks of the desktop entry, the metainfo, the manual pages and the package
  desktop-file-utils appstream dpkg-dev groff-base lintian
)

# npm for the browser tests' packages: Debian's, unless a node that brings
# its own is installed already.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

# A locale with a decimal comma, so the tests can check that numbers follow
# the system's decimal separator.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
