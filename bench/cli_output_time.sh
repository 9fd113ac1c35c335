#!/usr/bin/env bash
# The cost of orvane-cli's warnings: decode on a million random 32-digit
# bitmaps, half of them with bit 1 clear (so half the lines are warned),
# with and without -q, standard error to a file and to standard output.
# Prints the median wall time of RUNS runs of each, pinned to one core.
#   bash bench/cli_output_time.sh PATH/TO/orvane-cli [RUNS]
set -euo pipefail
cli=${1:?usage: $0 PATH/TO/orvane-cli [RUNS]}
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
lines=$work/lines.txt

# A fixed seed, so every run and every build reads the same lines.
awk 'BEGIN { srand(8583); hex = "0123456789ABCDEF";
             for (n = 0; n < 1000000; ++n) {
                 first = int(rand() * 8) + (n % 2 ? 8 : 0); line = substr(hex, first + 1, 1);
                 for (i = 1; i < 32; ++i) line = line substr(hex, int(rand() * 16) + 1, 1);
                 print line } }' > "$lines"

median()
{
    local command=$1 times=() i start end
    for ((i = 0; i < runs; ++i)); do
        start=$(date +%s%N)
        taskset -c 1 bash -c "$command" || true
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}

for mode in "-q" ""; do
    printf '%-4s stderr to a file: %5d ms   2>&1: %5d ms\n' "${mode:-   }" \
        "$(median "'$cli' decode $mode < '$lines' > /dev/null 2> '$work/err'")" \
        "$(median "'$cli' decode $mode < '$lines' > /dev/null 2>&1")"
done
