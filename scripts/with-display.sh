#!/usr/bin/env bash
# Runs a command in a private Xvfb display on a free display number, then
# stops that display and the Wine server of the build tree's prefix.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 number < "$fifo" || { echo "with-display.sh: Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; rm -f "$fifo"; exit 1; }
rm -f "$fifo"
export DISPLAY=":$number"

"$@"
status=$?

WINEPREFIX="${ORVANE_WINEPREFIX:-$root/build/windows/wineprefix}" wineserver -k 2>/dev/null
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
