#!/usr/bin/env bash
# The golden record of orvane-cli: every case of cases.txt is run with PROGRAM
# and its standard output, standard error and exit status are compared with
# expected.txt, or written there with --record. The cases run in a temporary
# folder holding files/ (NAME.hex there becomes NAME, its bytes), so the paths
# in messages are relative and the same on every machine.
set -u

if [ $# -lt 1 ] || [ $# -gt 2 ] || { [ $# -eq 2 ] && [ "$2" != --record ]; }; then
    echo "usage: $0 PROGRAM [--record]" >&2
    exit 2
fi
export LC_ALL=C
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
record=${2:-}
[ -x "$program" ] || { echo "golden: $1 is not a program" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The cases call the program by the name a user types. Each call's messages
# reach standard error when it ends, so that the stages of a pipe, whose
# later ones end after the earlier, keep their order; but for 2>&1, where the
# program itself orders output and messages.
orvane-cli()
{
    if [ -n "$merged" ]; then
        "$program" "$@"
        return
    fi
    local messages status
    messages=$work/messages.$BASHPID
    "$program" "$@" 2>"$messages"
    status=$?
    cat "$messages" >&2
    rm -f "$messages"
    return $status
}

# A file's bytes as text: printable ASCII and tab as they are, LF ends a line,
# a backslash doubled, any other byte \xHH; a last line without LF is marked.
Escape()
{
    od -An -v -tu1 "$1" | awk '
        BEGIN { line = ""; any = 0 }
        {
            for (i = 1; i <= NF; ++i) {
                b = $i + 0; any = 1
                if (b == 10) { print line; line = ""; any = 0 }
                else if (b == 92) line = line "\\\\"
                else if (b == 9 || (b >= 32 && b < 127)) line = line sprintf("%c", b)
                else line = line sprintf("\\x%02X", b)
            }
        }
        END { if (any) { print line; print "\\ no newline at end" } }'
}

# The folder the cases run in (none writes there): files/, the binary ones
# made from their hex, and a name in GBK (no UTF-8), which a checkout could
# not keep.
MakeFiles()
{
    cp -R "$here/files" "$work/case"
    local hex
    for hex in "$work"/case/*.hex; do
        [ -e "$hex" ] || continue
        printf "$(tr -d ' \n' <"$hex" | sed 's/../\\x&/g')" >"${hex%.hex}"
    done
    printf '\n' >"$work/case/"$'\xB0\xA1.txt'
}

# One case's block of the record: its line, then what it wrote and its status.
RunCase()
{
    case $1 in *'2>&1'*) merged=1 ;; *) merged= ;; esac
    (cd "$work/case" && set -o pipefail && eval "orvane-cli $1") >"$work/out" 2>"$work/err" </dev/null
    local status=$?
    printf '=== orvane-cli %s\n--- stdout\n' "$1"
    Escape "$work/out"
    printf -- '--- stderr\n'
    Escape "$work/err"
    printf -- '--- status %d\n' "$status"
}

MakeFiles
cases=()
declare -A seen
while IFS= read -r line || [ -n "$line" ]; do
    case $line in '' | '#'*) continue ;; esac
    if [ -n "${seen[$line]:-}" ]; then
        echo "golden: case given twice: $line" >&2
        exit 2
    fi
    seen[$line]=1
    cases+=("$line")
done <"$here/cases.txt"

if [ "$record" = --record ]; then
    for line in "${cases[@]}"; do
        RunCase "$line"
    done >"$here/expected.txt"
    echo "golden: ${#cases[@]} cases recorded in $here/expected.txt"
    exit 0
fi

# The record's blocks by their header line.
declare -A expected
header=
while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line == '=== orvane-cli '* ]]; then
        header=$line
        expected[$header]=
    fi
    [ -n "$header" ] && expected[$header]+=$line$'\n'
done <"$here/expected.txt"

differing=0
declare -A compared
for line in "${cases[@]}"; do
    got=$(RunCase "$line")$'\n'
    header="=== orvane-cli $line"
    if [ -z "${expected[$header]+set}" ]; then
        printf 'golden: not in the record: orvane-cli %s\n' "$line"
        differing=$((differing + 1))
    elif [ "${expected[$header]}" != "$got" ]; then
        printf 'golden: differs: orvane-cli %s\n' "$line"
        diff -u --label expected --label got <(printf '%s' "${expected[$header]}") <(printf '%s' "$got") | sed -n '3,42p'
        differing=$((differing + 1))
    fi
    compared[$header]=1
done
for header in "${!expected[@]}"; do
    [ -n "${compared[$header]:-}" ] && continue
    printf 'golden: in the record but no longer a case: %s\n' "${header#=== }"
    differing=$((differing + 1))
done
if [ "$differing" -ne 0 ]; then
    echo "golden: $differing of ${#cases[@]} cases differ"
    exit 1
fi
echo "golden: ${#cases[@]} cases, all identical"
