#!/usr/bin/env bash
# Builds Gradix (installing what it needs) and runs every test.
# Usage: scripts/test.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh "$@"
build=build; [ "${1:-}" = "--sanitize" ] && build=build-asan
# GCC 12's sanitizer runtime can take a thread-local block of a library opened with dlopen (OSMesa
# and LLVM, opened on the first draw) for one with an old glibc header; LeakSanitizer's scan at
# exit then crashes now and then ("Tracer caught signal 11"). Leaving __tls_get_addr alone avoids
# it; a test that sets ASAN_OPTIONS itself keeps its own.
export ASAN_OPTIONS="${ASAN_OPTIONS:-intercept_tls_get_addr=0}"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
