#!/usr/bin/env bash
# Speed of the core against the npm packages iso_8583 and jspos: installs
# them into bench/node_modules with the machine's Node.js, builds the core's
# timing program in the native build, and runs bench/compare.js.
#   bench/compare.sh [--count N] [--rounds N] [--passes N]
# Not part of scripts/test.sh: it measures, it does not test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

command -v node >/dev/null && command -v npm >/dev/null || { echo "compare.sh: needs node and npm (apt-get install nodejs npm)" >&2; exit 1; }
if [ ! -d bench/node_modules/iso_8583 ] || [ ! -d bench/node_modules/jspos ]; then
    (cd bench && npm install --no-audit --no-fund --silent)
fi
cmake --preset native >/dev/null
cmake --build --preset native --target core_roundtrip >/dev/null
node bench/compare.js --core build/native/bench/core_roundtrip "$@"
