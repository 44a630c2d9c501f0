#!/usr/bin/env bash
# Configures and builds the WebAssembly build with Debian's emscripten
# (`make wasm`): brennick-cli for node (brennick-cli.js and .wasm) and the
# unit tests of the engine, the form model and the formats.
#   scripts/wasm.sh BUILD_DIR JOBS [extra cmake arguments...]
#
# Debian's emscripten reads /usr/share/emscripten/.emscripten and uses the
# prebuilt system libraries in /usr/share/emscripten/cache. Its JavaScript
# tools need node-acorn, which Debian installs under /usr/share/nodejs, where
# a node that is not Debian's own (nodesource's) does not look. So the build
# gets a configuration of its own in BUILD_DIR (EM_CONFIG) that says where
# LLVM 14, binaryen and node are and puts /usr/share/nodejs on node's module
# path; a cache that this user may not write is used read-only (frozen), as
# all it needs is prebuilt.
set -euo pipefail
build_dir=${1:?build directory}
jobs=${2:-2}
shift 2 || shift $#
root=$(cd "$(dirname "$0")/.." && pwd)

# shellcheck source=scripts/emscripten-setup.sh
source "$root/scripts/emscripten-setup.sh"
emscripten_setup wasm
emcmake cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBRENNICK_GUI=OFF \
  "$@" >/dev/null
cmake --build "$build_dir" -j "$jobs"
