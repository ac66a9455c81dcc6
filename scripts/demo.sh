#!/usr/bin/env bash
# Demo: builds VexaDICOM, generates a demo PACS once under the per-user data
# folder, feeds it a new exam every 20 seconds and starts VexaDICOM on it with
# a settings file of its own (the user's own settings are never touched).
# Extra arguments go to vexadicom.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_BUILD_DIR:-$root/build}
data=${XDG_DATA_HOME:-$HOME/.local/share}/VexaDICOM/demo
db=$data/data/dbase/conquest.db3
settings=$data/demo-settings.ini

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"

if [ ! -f "$db" ]; then
  mkdir -p "$data/data/dbase"
  "$build/tools/demopacs/vexa-demopacs" --db "$db" --store "$data/data"
fi
# Written once: what the user changes in the demo's options dialog stays.
if [ ! -f "$settings" ]; then
  cat > "$settings" <<INI
[Conquest]
ConquestPath=$db
ConquestImagePath=$data/data/
INI
fi

# The feed stands for Conquest receiving images while the program runs.
"$build/tools/demopacs/vexa-demopacs" --db "$db" --store "$data/data" --feed 86400 --interval 20 &
feed=$!
trap 'kill "$feed" 2>/dev/null || true' EXIT

"$build/src/shell/main/vexadicom" --settings "$settings" "$@"
