#!/usr/bin/env bash
# orvane-cli.exe on a Windows console, under Wine: `wine cmd /c` runs it in a
# pseudo-terminal (script), so standard output and error are Wine's console
# (code page 936), which Wine shows on the terminal in UTF-8. Checks that the
# Chinese names, the help and an error naming a Chinese file name read as
# they should, that the exit status reaches the caller, and that output
# redirected to a file stays UTF-8 bytes.
#   scripts/wine-console-test.sh [orvane-cli.exe]   (default: build/windows/cli/orvane-cli.exe)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "${1:-$root/build/windows/cli/orvane-cli.exe}")
prefix="${ORVANE_WINEPREFIX:-$root/build/windows/wineprefix}"
[ -f "$exe" ] || { echo "wine-console-test: $exe is missing" >&2; exit 2; }

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# One Wine server a prefix: take turns with the other users of the prefix.
exec 9>"$prefix.lock"
flock 9

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
program=$(winepath -w "$exe")
failures=0

# Runs cmd /c COMMAND-LINE on a console 400 columns wide, so no line wraps;
# the screen's text, without terminal controls and CRs, goes to $work/screen
# and the exit status of wine (cmd's, so the program's) to $status.
on_console() {
    script -qec "stty cols 400 rows 50; wine cmd /c '$1'" /dev/null < /dev/null |
        sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\r//g' > "$work/screen"
    status=${PIPESTATUS[0]}
}

check() { # description, command...
    if "${@:2}"; then
        echo "ok: $1"
    else
        echo "FAILED: $1"
        echo "---- the console showed:"; cat "$work/screen"; echo "----"
        failures=$((failures + 1))
    fi
}

on_console "$program decode --names=zh 7238000108C18000"
check "--names=zh: the Chinese names legible" \
    grep -qF "2=主账号; 3=交易处理码; 4=交易金额;" "$work/screen"
check "--names=zh: the last name whole, exit status 0" \
    eval 'grep -qF "48=附加数据（私有）; 49=交易货币代码" "$work/screen" && [ "$status" = 0 ]'

on_console "$program decode --help"
check "decode --help" \
    eval 'grep -qxF "  -n, --names[=en|zh]  add the ISO 8583:1987 name of every set bit, in English" "$work/screen" &&
          grep -qxF "Exit status: 0 if every input decoded, 1 if any was bad, 2 for a usage error." "$work/screen"'

on_console "$program decode -f 没有这个文件.txt"
check "an error naming a file in Chinese, exit status 1" \
    eval 'grep -q "^orvane-cli decode: cannot open 没有这个文件.txt: " "$work/screen" && [ "$status" = 1 ]'

on_console "$program decode --bogus"
check "a usage error, exit status 2" \
    eval 'grep -qxF "orvane-cli decode: unknown option \"--bogus\"" "$work/screen" && [ "$status" = 2 ]'

# Redirected, the bytes stay UTF-8, whatever the console's code page.
redirected=$(winepath -w "$work/out.txt")
on_console "$program decode --names=zh 7238000108C18000 > $redirected"
check "redirected to a file: UTF-8 bytes" \
    eval 'grep -qF "2=主账号; 3=交易处理码;" "$work/out.txt" && [ "$status" = 0 ]'

echo "console: $failures failed"
[ "$failures" = 0 ]
