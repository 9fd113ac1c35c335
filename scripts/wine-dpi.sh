#!/usr/bin/env bash
# Sets the display scale of a build tree's Wine prefix as winecfg's screen
# resolution does: LogPixels, 96 for 100 %, 120, 144, 192 for 200 %. Wine
# reads it as its server starts, so the server is stopped after the change.
#   scripts/wine-dpi.sh DPI
#       sets it and leaves it
#   scripts/wine-dpi.sh DPI,DPI,... PROGRAM [ARGS...]
#       runs the Windows PROGRAM (through wine-run.sh) at each DPI in turn,
#       with ORVANE_DPI telling it which, then sets 96 again; the status is
#       the first failure's, or 0
# The prefix is $ORVANE_WINEPREFIX, or the one of the build tree that contains
# the current directory. Run it where nothing else uses that prefix, as
# scripts/with-display.sh arranges for a test run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${ORVANE_WINEPREFIX:-}" ]; then
    dir=$PWD
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ -f "$dir/CMakeCache.txt" ] || { echo "wine-dpi.sh: not inside a build tree; set ORVANE_WINEPREFIX" >&2; exit 2; }
    export ORVANE_WINEPREFIX="$dir/wineprefix"
fi

set_dpi() {
    case "$1" in ''|*[!0-9]*) echo "wine-dpi.sh: not a DPI: $1" >&2; return 2 ;; esac
    WINEPREFIX="$ORVANE_WINEPREFIX" WINEDEBUG=-all wine reg add 'HKCU\Control Panel\Desktop' \
        /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || { echo "wine-dpi.sh: could not set $1" >&2; return 1; }
    WINEPREFIX="$ORVANE_WINEPREFIX" wineserver -k 2>/dev/null
    WINEPREFIX="$ORVANE_WINEPREFIX" wineserver -w 2>/dev/null
    return 0
}

if [ $# -eq 1 ]; then
    set_dpi "$1"
    exit
fi
[ $# -ge 2 ] || { echo "usage: wine-dpi.sh DPI | wine-dpi.sh DPI,DPI,... PROGRAM [ARGS...]" >&2; exit 2; }

IFS=, read -r -a dpis <<< "$1"
shift
trap 'set_dpi 96' EXIT
status=0
for dpi in "${dpis[@]}"; do
    echo "==== at $dpi DPI"
    set_dpi "$dpi" || exit
    ORVANE_DPI=$dpi "$root/scripts/wine-run.sh" "$@"
    result=$?
    [ $status -ne 0 ] || status=$result
done
exit $status
