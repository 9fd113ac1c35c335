#!/usr/bin/env bash
# Checks the packages that `cmake --build --preset native|windows --target
# package` wrote: the zip's file list; the .deb's fields, files and lintian's
# verdict, and, unpacked into a temporary root, that orvane-cli runs, its
# manual page renders and its bash completion completes.
#   tests/packaging/test-packages.sh [NATIVE-BUILD-DIR [WINDOWS-BUILD-DIR]]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
native=${1:-$root/build/native}
windows=${2:-$root/build/windows}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$native/CMakeCache.txt")
deb=$native/orvane-cli_${version}_amd64.deb
zip=$windows/Orvane-${version}-win64.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() { # description, command...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

same() { # expected, actual
    [ "$1" = "$2" ] && return 0
    diff <(echo "$1") <(echo "$2") | sed 's/^/    /'
    return 1
}

[ -n "$version" ] || { echo "test-packages: no project version in $native/CMakeCache.txt" >&2; exit 2; }

top=Orvane-${version}-win64
check "the zip holds the programs, README, LICENSE and the notices" same "\
$top/LICENSE
$top/Orvane.exe
$top/README.md
$top/notices/
$top/notices/GPL-3.txt
$top/notices/README.txt
$top/notices/gcc-runtime.txt
$top/notices/mingw-w64-runtime.txt
$top/notices/nlohmann-json.txt
$top/orvane-cli.exe" "$(unzip -Z1 "$zip" | sort)"

check "the .deb holds orvane-cli alone, with its page, completion and doc files" same "\
./usr/
./usr/bin/
./usr/bin/orvane-cli
./usr/share/
./usr/share/bash-completion/
./usr/share/bash-completion/completions/
./usr/share/bash-completion/completions/orvane-cli
./usr/share/doc/
./usr/share/doc/orvane-cli/
./usr/share/doc/orvane-cli/changelog.gz
./usr/share/doc/orvane-cli/copyright
./usr/share/man/
./usr/share/man/man1/
./usr/share/man/man1/orvane-cli.1.gz" "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sort)"
check "the .deb's name, version and shared-library dependencies" same "orvane-cli $version yes" \
    "$(dpkg-deb -f "$deb" Package Version Depends | sed -n '1s/.*: //p; 2s/.*: //p; 3s/.*libc6 (>= [0-9.]*).*/yes/p' | paste -sd' ')"

dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/orvane-cli
check "orvane-cli --version" same "orvane-cli $version" "$("$program" --version)"
check "orvane-cli decode" same $'72 38 00 01 08 C1 80 00    \t64\t2 3 4 7 11 12 13 32 37 41 42 48 49' \
    "$("$program" decode 7238000108C18000)"

page=$work/root/usr/share/man/man1/orvane-cli.1.gz
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" > "$work/page.txt" 2> "$work/page.err"
check "man -l renders the page without warnings" \
    eval 'grep -qxF "       orvane-cli - read and write ISO 8583 bitmaps and whole messages" "$work/page.txt" &&
          grep -qF "Prints “orvane-cli $version” (the program'"'"'s version)" "$work/page.txt" && [ ! -s "$work/page.err" ]'
cat "$work/page.err"

completion=$work/root/usr/share/bash-completion/completions/orvane-cli
complete_words() { # words of the command line, the last one being completed
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _orvane_cli; echo "${COMPREPLY[*]}"' \
        _ "$completion" "$@"
}
check "completion: orvane-cli d -> decode" same "decode" "$(complete_words orvane-cli d)"
check "completion: decode --from e -> ebcdic-hex" same "ebcdic-hex" "$(complete_words orvane-cli decode --from e)"
check "completion: decode --names=z -> zh" same "zh" "$(complete_words orvane-cli decode --names = z)"
check "completion: encode --d -> --display" same "--display" "$(complete_words orvane-cli encode --d)"
check "completion: build --to b -> binary" same "binary" "$(complete_words orvane-cli build --to b)"

lintian --fail-on error,warning "$deb" > "$work/lintian.txt" 2>&1
check "lintian: no errors, no warnings" [ $? = 0 ]
grep -v '^running with root privileges' "$work/lintian.txt"

echo "packages: $failures failed"
[ "$failures" = 0 ]
