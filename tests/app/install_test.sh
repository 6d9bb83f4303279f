#!/usr/bin/env bash
# cmake --install into a prefix, move the prefix, and run the moved tool: run paths are relative.
# Usage: install_test.sh BUILD_DIR SAMPLE
set -euo pipefail
scratch=$(mktemp -d); trap 'rm -rf "$scratch"' EXIT
cmake --install "$1" --prefix "$scratch/first" >/dev/null
mv "$scratch/first" "$scratch/moved"
"$scratch/moved/bin/gradix" --version | grep -q '^gradix '
# As if the build folder were gone: no library or plug-in the moved tool loads comes from it.
LD_DEBUG=files,libs "$scratch/moved/bin/gradix" simplify "$2" -o "$scratch/out.glb" --percent 20 \
  >"$scratch/run.out" 2>"$scratch/run.err"
grep -q reached "$scratch/run.out"
grep -q "file=.*Gradix_Release.mll" "$scratch/run.err"
! grep -F "$(realpath "$1")/" "$scratch/run.err"
test -s "$scratch/out.glb"
! readelf -d "$scratch/moved/bin/gradix" | grep -E 'R(UN)?PATH' | grep -q "$1"
echo "moved install works"
