#!/usr/bin/env bash
# Non-blank lines of C++ (.cpp, .h): the tests (tests/ and fuzz/) against the
# product (core, message, afx, controls, app, cli, bench), and the tests' share of all.
set -euo pipefail
cd "$(dirname "$0")/.."

count() { # folders...
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -exec cat {} + | grep -c '[^[:space:]]'
}

tests=$(count tests fuzz)
product=$(count core message afx controls app cli bench)
echo "tests (tests, fuzz): $tests"
echo "product (core, message, afx, controls, app, cli, bench): $product"
awk -v t="$tests" -v p="$product" 'BEGIN { printf "tests share: %.1f %% of %d lines\n", 100 * t / (t + p), t + p }' 
