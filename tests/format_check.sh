#!/usr/bin/env bash
# Every C++ file of the project is as clang-format (config at the root) writes
# it: a change that drifts fails the test command, not a later reader.
#   format_check.sh <source root>
set -euo pipefail
root=$1
cd "$root"
find src tests bench tools -name build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 \
  | xargs -0 clang-format --dry-run --Werror
