#!/usr/bin/env bash
# Configures and builds VexaDICOM into build/ (Ninja, all targets).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$build" -j "$(nproc)"
