#!/usr/bin/env bash
# Runs a command in a private Xvfb display on a free display number, then
# stops that display and the Wine server of the build tree's prefix.
#
# One Wine server serves a prefix, and it stays bound to the X display of the
# virtual desktop it first made; so runs on the same prefix take turns (a lock
# file beside the prefix), and each starts from no server at all.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="${ORVANE_WINEPREFIX:-$root/build/windows/wineprefix}"

exec 9>"$prefix.lock"
flock 9
WINEPREFIX="$prefix" wineserver -k 2>/dev/null
WINEPREFIX="$prefix" wineserver -w 2>/dev/null

fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 number < "$fifo" || { echo "with-display.sh: Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; rm -f "$fifo"; exit 1; }
rm -f "$fifo"
export DISPLAY=":$number"

"$@"
status=$?

WINEPREFIX="$prefix" wineserver -k 2>/dev/null
WINEPREFIX="$prefix" wineserver -w 2>/dev/null
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
