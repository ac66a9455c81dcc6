#!/bin/bash
# Runs a test program on a private X server (Xvfb) under the openbox window
# manager, so that window stacking and focus are the real window manager's.
# Exits 77 (skipped) when either is missing.
set -u
for tool in Xvfb openbox xprop xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done
work=$(mktemp -d)
trap 'kill $openbox $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1
fi
export DISPLAY=":$(cat "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox=$!
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
QT_QPA_PLATFORM=xcb "$@"
