#!/usr/bin/env bash
# Counts non-blank, non-comment lines of test code (tests/, fuzz/, fixture modules) against the rest
# of the C and C++ sources in git, and prints the share. Exit 1 when tests exceed 40% of the code.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { xargs -r cat 2>/dev/null | grep -c -v -E '^\s*(//.*)?$' || true; }
files=$(git ls-files -co --exclude-standard | grep -E '\.(c|cc|cpp|cxx|h|hh|hpp|inc)$' | grep -v -E '^build/')
tests=$(printf '%s\n' "$files" | grep -E '(^|/)(tests?|fuzz)/' | count)
code=$(printf '%s\n' "$files" | grep -v -E '(^|/)(tests?|fuzz)/' | count)
pct=$(( 100 * tests / code ))
echo "test lines: $tests; code lines: $code; tests are ${pct}% of the code"
[ $(( 100 * tests )) -le $(( 40 * code )) ] # exact: 40.5% fails
