#!/usr/bin/env bash
# Builds every configuration and runs every test: the core natively, once more
# under AddressSanitizer + UndefinedBehaviorSanitizer, its fuzzer for a bounded
# time, and the Windows build (core, window layer, controls, program) under
# Wine in a private X display; orvane-cli.exe on a Wine console; the manual
# page against the help; both packages, built and checked.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh || exit 1
jobs=$(nproc)
failed=()
passed=()

step() { # name, command...
    local name=$1; shift
    echo "==== $name"
    if "$@"; then passed+=("$name"); else failed+=("$name"); fi
}

build() { # preset
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"
}

step "native build" build native
step "native tests" ctest --preset native
step "manual page covers the help" scripts/check-manpage.sh build/native/cli/orvane-cli
step "sanitizer build" build native-sanitize
step "sanitizer tests" ctest --preset native-sanitize
step "fuzz build" build fuzz
step "fuzz run" ctest --test-dir build/fuzz --output-on-failure
step "generated images current" python3 scripts/make_images.py --check
step "windows build" build windows
step "windows tests" scripts/with-display.sh ctest --preset windows
step "windows console" scripts/wine-console-test.sh build/windows/cli/orvane-cli.exe
step "native package" cmake --build --preset native --target package
step "windows package" cmake --build --preset windows --target package
step "packages" tests/packaging/test-packages.sh build/native build/windows

echo
bash scripts/count-lines.sh
echo "steps: ${#passed[@]} passed, ${#failed[@]} failed${failed:+ (${failed[*]})}"
[ ${#failed[@]} -eq 0 ]
