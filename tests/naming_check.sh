#!/usr/bin/env bash
# Checks the naming convention (.clang-tidy at the root of the tree) over the
# program's sources, with the compile commands of the build: prints every name
# that breaks it. Brixel keeps the names of its published interface.
#   naming_check.sh <build folder> <source tree>
set -euo pipefail
build=$1
root=$2
layers='base|files|pacsdb|dicom|output|viewer|burning|browser|printing|reports|worklist|shell'
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
run-clang-tidy -p "$build" -quiet -j "$(nproc)" -extra-arg=-Wno-error \
    "^$root/src/($layers)/.*\.cpp\$" >"$out" 2>&1 || status=$?
grep -E '(error|warning): ' "$out" | sort -u || true
[ "$status" -eq 0 ] || echo "Names that break the convention: see above (.clang-tidy)."
exit "$status"
