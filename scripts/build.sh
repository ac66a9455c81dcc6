#!/usr/bin/env bash
# Configures and builds VexaDICOM into build/ (Ninja, all targets).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_BUILD_DIR:-$root/build}
# ccache (when installed) shares its cache between checkouts of the tree:
# paths relative to the tree, and no working folder in the key.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
# Warnings are errors: the tree builds without any, and keeps it so.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo} -DVEXA_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
