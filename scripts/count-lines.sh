#!/usr/bin/env bash
# Counts the lines of test code against the lines of the code they test: C++, Python, CMake and shell
# sources, blank lines and lines that hold only a comment left out. Test code is everything under
# tests/ and python/tests/; vendored third-party files (web/vendor, node_modules) and build folders are
# not counted. Prints both counts and the ratio.
# Usage: scripts/count-lines.sh [--max PERCENT]   (exit 1 when the ratio is above PERCENT)
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  # Non-blank lines that are not only a // or # comment.
  xargs -0 -r cat | grep -Ev '^[[:space:]]*($|//|#[^a-z!]|#$)' | wc -l
}
sources() {
  git ls-files -z -- '*.cpp' '*.h' '*.inl' '*.py' '*.sh' 'CMakeLists.txt' '*/CMakeLists.txt' \
    ':!:*/vendor/*' ':!:*/node_modules/*'
}
tests=$(sources | grep -zE '^(tests/|python/tests/)' | count)
code=$(sources | grep -zvE '^(tests/|python/tests/)' | count)
ratio=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.1f", c ? 100 * t / c : 0 }')
echo "test lines ${tests}, code lines ${code}: tests are ${ratio} % of the code"
if [ "${1:-}" = "--max" ]; then
  awk -v r="$ratio" -v m="$2" 'BEGIN { exit !(r <= m) }' || { echo "above ${2} %" >&2; exit 1; }
fi
