#!/usr/bin/env bash
# Runs the Windows build's test suites N times in a row in a private display
# while two CPU-bound processes run beside them, and prints "N runs: P
# passed". The script starts the two processes itself and ends them, by
# their process ids, when it ends (also on Ctrl-C). Logs of each run go to
# build/windows/stress/.
#   scripts/stress-test.sh N
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

runs=${1:-}
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/stress-test.sh N   (N runs, N >= 1)" >&2
    exit 2
fi
cmake --build --preset windows -j 2 >/dev/null || { echo "stress-test.sh: the Windows build failed" >&2; exit 1; }
mkdir -p build/windows/stress

burners=()
stop_burners() {
    for pid in "${burners[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    burners=()
}
trap stop_burners EXIT
trap 'stop_burners; exit 130' INT TERM
for _ in 1 2; do
    ( while :; do :; done ) &
    burners+=("$!")
done

passed=0
for ((run = 1; run <= runs; ++run)); do
    log=build/windows/stress/run-$run.log
    if scripts/with-display.sh ctest --preset windows --output-on-failure >"$log" 2>&1; then
        passed=$((passed + 1))
        echo "run $run: passed"
    else
        echo "run $run: failed, see $log"
    fi
done
echo "$runs runs: $passed passed"
[ "$passed" -eq "$runs" ]
