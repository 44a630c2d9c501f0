# Sourced by scripts/wasm.sh and scripts/web.sh: Debian's emscripten, set up
# for a build directory of its own.
#   emscripten_setup NAME   (with build_dir set; makes it absolute)
# Checks the tools, then writes BUILD_DIR/emscripten-config.py and exports
# EM_CONFIG and NODE_PATH (see scripts/wasm.sh for why).
emscripten_setup() {
  for tool in emcmake em++ node; do
    command -v "$tool" >/dev/null || {
      echo "$1: $tool is missing (scripts/install-deps.sh installs emscripten)" >&2
      exit 1
    }
  done

  mkdir -p "$build_dir"
  build_dir=$(cd "$build_dir" && pwd)
  config="$build_dir/emscripten-config.py"
  cat >"$config" <<CONFIG
# Written by scripts/$1.sh: Debian's emscripten, as this project uses it.
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
}
