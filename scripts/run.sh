#!/usr/bin/env bash
# Builds Orvane.exe and runs it under Wine (code page 936, "宋体" mapped to an
# installed Song face). On a machine without an X display it shows the program
# at work instead: in a private display it types a bitmap (the first argument,
# or a sample), presses "位图", saves a screenshot and ends the program.
#   scripts/run.sh ["hex text"]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target Orvane orvane_demo >/dev/null

export ORVANE_WINEPREFIX="$root/build/windows/wineprefix"
exe="$root/build/windows/app/Orvane.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    # Tests of the same build tree wait while the program runs (see with-display.sh).
    exec 9>"$ORVANE_WINEPREFIX.lock"
    flock 9
    exec scripts/wine-run.sh "$exe"
fi

echo "run.sh: no X display here; showing Orvane at work in a private one"
shot_dir="$root/build/screenshots"
mkdir -p "$shot_dir"
bmp="$shot_dir/orvane.bmp"
png="$shot_dir/orvane.png"
rm -f "$bmp" "$png"
args=()
[ $# -gt 0 ] && args=("$1")
scripts/with-display.sh scripts/wine-run.sh "$root/build/windows/tests/e2e/orvane_demo.exe" \
    "${args[@]:-F2 3A 44 81 28 E0 80 00 00 00 00 00 04 00 00 00}" "Z:${bmp//\//\\}"
convert "$bmp" "$png"
echo "run.sh: screenshot written to $png"
