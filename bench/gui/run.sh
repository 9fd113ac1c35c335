#!/usr/bin/env bash
# Builds and runs the GUI benchmark: Orvane.exe against its floor programs in
# a private display, inside Wine's virtual desktop, with the programs, the
# Wine server and the display pinned to one CPU (on a small machine Wine's
# round trips are erratic when client and server sit on different CPUs).
#   bash bench/gui/run.sh [--rounds N] [--starts N] [--no-memory]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target gui_bench >/dev/null

export ORVANE_WINEPREFIX="$root/build/windows/wineprefix"
bench="$root/build/windows/bench/gui/gui_bench.exe"
cpu=${ORVANE_BENCH_CPU:-1}
# The benchmark and the programs it starts run in the test bench's virtual desktop.
WINEPREFIX="$ORVANE_WINEPREFIX" WINEDEBUG=-all wine reg add \
    'HKCU\Software\Wine\AppDefaults\gui_bench.exe\Explorer' /v Desktop /d OrvaneTest /f >/dev/null 2>&1
taskset -c "$cpu" scripts/with-display.sh scripts/wine-run.sh "$bench" "$@"
