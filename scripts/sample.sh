#!/usr/bin/env bash
# Builds Gradix (installing what it needs) and runs the main job on the bundled sample: a chain of
# levels of detail with its table, a contact sheet and an HTML report of the levels, a picture of one
# level (lit, wires over the faces) and one with the next contractions in red.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
out=build/sample
./build/app/gradix lods examples/sample.glb -o "$out" --levels 50,25,10,5,1 \
  --sheet "$out/sample_sheet.png" --report "$out/report"
./build/app/gradix render examples/sample.glb -o "$out/sample_lod25.png" --percent 25 --wireframe --size 640x400
./build/app/gradix render examples/sample.glb -o "$out/sample_next.png" --percent 25 --visualize faces
echo "Level files and pictures are in $out/ (open $out/report/index.html in a browser); the tool is build/app/gradix"
