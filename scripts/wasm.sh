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

for tool in emcmake em++ node; do
  command -v "$tool" >/dev/null || {
    echo "wasm: $tool is missing (scripts/install-deps.sh installs emscripten)" >&2
    exit 1
  }
done

mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
config="$build_dir/emscripten-config.py"
cat >"$config" <<CONFIG
# Written by scripts/wasm.sh: Debian's emscripten, as this project uses it.
import os
EMSCRIPTEN_ROOT = '/usr/share/emscripten'
LLVM_ROOT = '/usr/bin'
LLVM_ADD_VERSION = '14'
CLANG_ADD_VERSION = '14'
BINARYEN_ROOT = '/usr'
NODE_JS = '$(command -v node)'
CACHE = '/usr/share/emscripten/cache'
FROZEN_CACHE = True
os.environ['NODE_PATH'] = os.pathsep.join(
    p for p in ['/usr/share/nodejs', os.environ.get('NODE_PATH', '')] if p)
CONFIG

export EM_CONFIG="$config"
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBRENNICK_GUI=OFF \
  "$@" >/dev/null
cmake --build "$build_dir" -j "$jobs"
