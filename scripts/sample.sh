#!/usr/bin/env bash
# Builds Gradix (installing what it needs) and runs the main job on the bundled sample: a chain of
# levels of detail with its table, then a picture of one level with the next contractions in red.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
out=build/sample
./build/app/gradix lods examples/sample.glb -o "$out" --levels 50,25,10,5,1
./build/app/gradix render examples/sample.glb -o "$out/sample_lod25.png" --percent 25 --visualize faces
echo "Level files and picture are in $out/"
