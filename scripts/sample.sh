#!/usr/bin/env bash
# Builds Gradix (installing what it needs) and runs the main job on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
./build/app/gradix-core-demo
