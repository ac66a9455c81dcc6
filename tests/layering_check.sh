#!/usr/bin/env bash
# Checks the layers of src/: every program header is included by its path
# from src/ ("pacsdb/RecordSet.h"), and the subsystems' includes of one
# another form no cycle. Prints the offending includes or the cycle.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
status=0

# Program headers named without their folder (Brixel's own headers and
# generated ones are not under this rule: Brixel has its public include tree).
program_headers=$(find src -name '*.h' -not -path 'src/brixel/*' -printf '%f\n' | sort -u)
flat=$(grep -rnoE '^#include "[^"/]+\.h"' src tests bench tools --include='*.h' --include='*.cpp' |
    grep -v '^src/brixel/' | while IFS= read -r hit; do
        header=$(sed -E 's/.*"([^"]+)"$/\1/' <<<"$hit")
        if grep -qxF "$header" <<<"$program_headers"; then echo "$hit"; fi
    done)
if [ -n "$flat" ]; then
    echo "Program headers included without their path from src/:"
    echo "$flat"
    status=1
fi

# Subsystem edges, "from to", from the includes of src/<subsystem>/.
edges=$(grep -rnoE '^#include "[a-z]+/[^"]+"' src --include='*.h' --include='*.cpp' |
    sed -E 's#^src/([a-z]+)/[^:]*:[0-9]+:\#include "([a-z]+)/.*#\1 \2#' |
    awk '$1 != $2' | sort -u)
if ! order=$(tsort <<<"$edges" 2>&1); then
    echo "The subsystems include one another in a cycle:"
    grep '^tsort' <<<"$order"
    status=1
fi
exit $status
