#!/usr/bin/env bash
# The share of tests in the code: non-blank lines of C++, JavaScript and
# Python under tests/ against those under src/, server/ and apps/.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.cc' -o -name '*.js' -o -name '*.py' \) \
    -not -path '*/node_modules/*' -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$' || true
}
tests=$(count tests)
code=$(count src server apps)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d of code %d non-blank lines: %.1f%%\n", t, c, 100 * t / c }'
