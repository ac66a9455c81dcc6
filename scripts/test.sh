#!/usr/bin/env bash
# The test command: installs what the project needs, builds, and runs every test.
# Extra arguments go to ctest (for example: -L pacsdb).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_BUILD_DIR:-$root/build}
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
