#!/usr/bin/env bash
# Builds Gradix (installing what it needs) and runs every test.
# Usage: scripts/test.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh "$@"
build=build; [ "${1:-}" = "--sanitize" ] && build=build-asan
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
