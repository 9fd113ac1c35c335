#!/usr/bin/env bash
# Whole messages: the message library and orvane-cli against the npm package
# iso_8583 (reading, building, the command line, and interoperation both
# ways); see bench/message_compare.js. Builds orvane-cli and message_time in
# the native build (or uses the configured build tree DIR) and runs
# everything on one CPU, 1 unless ORVANE_BENCH_CPU names another.
#   bench/message_compare.sh [--build DIR] [--before DIR] [--rounds N] [--passes N] [--count N] [--npm-count N] [--lines N]
# --before DIR: another build tree (an older commit's), timed in the same rounds.
# Exits non-zero if an interoperation check fails. Not part of
# scripts/test.sh: it needs Node.js, and it measures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=
before=()
while [ "${1:-}" = --build ] || [ "${1:-}" = --before ]; do
    if [ "$1" = --build ]; then
        build=${2:?--build needs a directory}
    else
        cmake --build "${2:?--before needs a directory}" --target orvane-cli message_time >/dev/null
        before=(--before-cli "$2/cli/orvane-cli" --before-time "$2/bench/message_time")
    fi
    shift 2
done
command -v node >/dev/null && command -v npm >/dev/null || { echo "message_compare.sh: needs node and npm (apt-get install nodejs npm)" >&2; exit 1; }
if [ ! -d bench/node_modules/iso_8583 ]; then
    (cd bench && npm install --no-audit --no-fund --silent)
fi
if [ -z "$build" ]; then
    cmake --preset native >/dev/null
    build=build/native
fi
cmake --build "$build" --target orvane-cli message_time >/dev/null
exec taskset -c "${ORVANE_BENCH_CPU:-1}" node bench/message_compare.js --cli "$build/cli/orvane-cli" \
    --time "$build/bench/message_time" "${before[@]}" "$@"
