#!/usr/bin/env bash
# Builds Orvane.exe and runs it under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
echo "run.sh: the Orvane window is not built yet; only the bitmap core and its tests exist (scripts/test.sh)." >&2
exit 1
