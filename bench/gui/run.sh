#!/usr/bin/env bash
# Builds and runs the GUI benchmark: Orvane.exe against its floor programs in
# a private display, inside Wine's virtual desktop, with the programs, the
# Wine server and the display pinned to one CPU (on a small machine Wine's
# round trips are erratic when client and server sit on different CPUs).
#   bash bench/gui/run.sh [--rounds N] [--starts N] [--no-memory] [--orvane EXE] [--compare EXE]
#   bash bench/gui/run.sh --list-windows [EXE]   (the dialog's windows in z-order)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target gui_bench window_list >/dev/null

export ORVANE_WINEPREFIX="$root/build/windows/wineprefix"
tools="$root/build/windows/bench/gui"
# The tools and the programs they start run in the test bench's virtual desktop.
for tool in gui_bench window_list; do
    WINEPREFIX="$ORVANE_WINEPREFIX" WINEDEBUG=-all wine reg add \
        "HKCU\\Software\\Wine\\AppDefaults\\$tool.exe\\Explorer" /v Desktop /d OrvaneTest /f >/dev/null 2>&1
done

if [ "${1:-}" = --list-windows ]; then
    exe=${2:-$root/build/windows/app/Orvane.exe}
    exec scripts/with-display.sh scripts/wine-run.sh "$tools/window_list.exe" "Z:${exe//\//\\}"
fi
cpu=${ORVANE_BENCH_CPU:-1}
exec taskset -c "$cpu" scripts/with-display.sh scripts/wine-run.sh "$tools/gui_bench.exe" "$@"
