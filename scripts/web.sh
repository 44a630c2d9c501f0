#!/usr/bin/env bash
# Builds the web page with Debian's emscripten (`make web`): the bridge to the
# design run, the form model and the design files as a WebAssembly module,
# and the static site around it in BUILD_DIR/site (index.html, style.css,
# app.js, bridge.js, fields.json, brennick-web.mjs and brennick-web.wasm). The site needs
# nothing from elsewhere at run time: any static host serves it as it is.
#   scripts/web.sh BUILD_DIR JOBS [extra cmake arguments...]
#
# emscripten is set up as scripts/wasm.sh sets it up (see there): a
# configuration of the build's own that names Debian's LLVM 14, binaryen and
# node, and the prebuilt system libraries used read-only.
set -euo pipefail
build_dir=${1:?build directory}
jobs=${2:-2}
shift 2 || shift $#
root=$(cd "$(dirname "$0")/.." && pwd)

# shellcheck source=scripts/emscripten-setup.sh
source "$root/scripts/emscripten-setup.sh"
emscripten_setup web
if grep -qs '^BRENNICK_TESTS:BOOL=ON' "$build_dir/CMakeCache.txt"; then
  # make wasm's folder (WEB_DIR=build-wasm, as CI does): the site is added to
  # it, and the libraries it has built serve the page as they are.
  emcmake cmake -S "$root" -B "$build_dir" -DBRENNICK_WEB=ON "$@" >/dev/null
else
  emcmake cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBRENNICK_GUI=OFF \
    -DBRENNICK_TESTS=OFF -DBRENNICK_WEB=ON "$@" >/dev/null
fi
cmake --build "$build_dir" -j "$jobs" --target brennick_site
echo "web: the site is in $build_dir/site (python3 -m http.server -d $build_dir/site)"
