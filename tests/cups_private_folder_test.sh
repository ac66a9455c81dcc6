#!/usr/bin/env bash
# The test scheduler must print from a state folder that the lp user cannot
# enter (a checkout under /root or in a closed home folder): CUPS runs its
# filters as lp. Starts a scheduler with its state folder inside a folder
# closed to others, prints the CUPS test page and checks that the PDF it gave
# has ink on it (a failed filter leaves a blank page).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
private=$(mktemp -d) # mode 700: closed to everyone but its owner
state=$private/build/cups
cleanup() {
  bash "$here/cups_server.sh" stop "$state" || true
  rm -rf "$private"
}
trap cleanup EXIT

bash "$here/cups_server.sh" start "$state" >/dev/null
export CUPS_SERVER=$state/run/cups.sock
title=vexa-private-$$
out=/var/spool/cups-pdf-vexatest/$(id -un)
request=$(lp -d VexaPDF -t "$title" /usr/share/cups/data/default-testpage.pdf)
job=$(echo "$request" | grep -o 'VexaPDF-[0-9]*')
for _ in $(seq 300); do
  pending=$(lpstat -W not-completed -o VexaPDF 2>/dev/null || true)
  [[ "$pending" == *"$job "* ]] || break
  sleep 0.1
done
pdf=$(ls -t "$out"/*"$title"*.pdf 2>/dev/null | head -1 || true)
ink=0
[ -n "$pdf" ] && ink=$(gs -q -o - -sDEVICE=inkcov "$pdf" | awk 'NR == 1 { print ($1 + $2 + $3 + $4 > 0.01) }')
if [ "$ink" != 1 ]; then
  echo "The test page was not printed from a private folder:" >&2
  grep -iE "denied|unable|failed" "$state/log/error_log" >&2 || true
  exit 1
fi
rm -f "$pdf"
echo "Printed from a private folder: $pdf"
