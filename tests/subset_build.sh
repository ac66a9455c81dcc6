#!/usr/bin/env bash
# Builds a subset of the subsystems on its own (VEXA_ONLY), the libraries it
# asks for: a subsystem that reaches into one left out fails here.
#   subset_build.sh <build folder> <subsystem,subsystem,...> <targets...>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
subset=${2//,/;}
shift 2
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  "-DVEXA_ONLY=$subset" >/dev/null
cmake --build "$build" --target "$@" -j "$(nproc)"
