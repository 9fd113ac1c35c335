#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix of the build tree that
# contains the current directory (ctest's emulator), or in $ORVANE_WINEPREFIX.
set -euo pipefail
if [ -z "${ORVANE_WINEPREFIX:-}" ]; then
    dir=$PWD
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ -f "$dir/CMakeCache.txt" ] || { echo "wine-run.sh: not inside a build tree; set ORVANE_WINEPREFIX" >&2; exit 2; }
    ORVANE_WINEPREFIX="$dir/wineprefix"
fi
export WINEPREFIX="$ORVANE_WINEPREFIX" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
exec wine "$@"
