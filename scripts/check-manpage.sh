#!/usr/bin/env bash
# Checks that the manual page keeps up with the program: every command of
# `orvane-cli --help` has its subsection (.SS COMMAND) in docs/orvane-cli.1.in,
# and every option that `orvane-cli COMMAND --help` shows appears in it.
#   scripts/check-manpage.sh [orvane-cli]   (default: build/native/cli/orvane-cli)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/native/cli/orvane-cli}
page=$root/docs/orvane-cli.1.in
missing=0

# The page as plain words: \- as -, no font changes, no quotes around .SS titles.
plain=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\&//g' -e 's/^\.SS "\(.*\)"$/.SS \1/' "$page")

section() { # command: its subsection's lines, up to the next .SS or .SH
    awk -v title=".SS $1" '$0 == title { on = 1; next } /^\.S[SH]/ { on = 0 } on' <<< "$plain"
}

# Commands: the word after "orvane-cli" on the usage lines of the main help.
commands=$("$program" --help | sed -n 's/^\(Usage:\)\? *orvane-cli \([^ ]*\).*/\2/p')
[ -n "$commands" ] || { echo "check-manpage: no commands in '$program --help'" >&2; exit 1; }

for command in $commands; do
    text=$(section "$command")
    if [ -z "$text" ]; then
        echo "check-manpage: no subsection \".SS $command\" in $page"
        missing=$((missing + 1))
        continue
    fi
    case $command in -*|help) continue ;; esac
    # Options: on the lines that start with two spaces and a dash, the option
    # words before the description (its first word that is no option and no
    # upper-case value name), without their [=VALUE] or =VALUE.
    options=$("$program" "$command" --help | awk '
        /^  -/ {
            for (i = 1; i <= NF; i++) {
                word = $i; sub(/,$/, "", word)
                if (word ~ /^-/) { sub(/[[=].*/, "", word); print word }
                else if (word !~ /^[A-Z|]+$/) break
            }
        }')
    [ -n "$options" ] || { echo "check-manpage: no options in '$program $command --help'"; missing=$((missing + 1)); }
    for option in $options; do
        if ! grep -qE -- "(^|[^A-Za-z0-9-])$option([^A-Za-z0-9-]|$)" <<< "$text"; then
            echo "check-manpage: $command's option $option is not in its subsection of $page"
            missing=$((missing + 1))
        fi
    done
done

[ "$missing" = 0 ] && echo "check-manpage: every command and option of $(echo $commands) is in the manual page"
[ "$missing" = 0 ]
