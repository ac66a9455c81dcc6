#!/usr/bin/env bash
# The sanitized run: builds the whole program and its tests with the address
# and undefined-behaviour sanitizers into build-sanitize/, and runs every test
# except those that only check the build itself (format, layering, subset and
# fuzzing builds, the Debian package). A memory error or undefined behaviour
# fails the test that meets it. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_SANITIZE_BUILD_DIR:-$root/build-sanitize}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
# -O1 keeps the run fast enough and the reports readable; line tables only
# (-g1) keep the build small.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DVEXA_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
# Leaks are not checked: Qt, fontconfig and DCMTK keep blocks until exit on
# purpose, and a leak report would hide the errors that matter. Strict string
# checks stay off: libxkbcommon-x11 reads a bounded, unterminated name with
# strndup, which they take for an overflow.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:check_initialization_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
ctest --output-on-failure -j "$(nproc)" -LE '^(build|fuzz|packaging)$' "$@"
