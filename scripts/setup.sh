#!/usr/bin/env bash
# Installs the Debian packages Gradix builds with (when missing), then configures and builds.
# Usage: scripts/setup.sh [--sanitize]   (build dir: build/ or build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config libboost-dev libgtest-dev libgmock-dev
          libbenchmark-dev libassimp-dev assimp-testmodels libosmesa6-dev libglu1-mesa-dev
          libpng-dev libcli11-dev nlohmann-json3-dev libtomlplusplus-dev libxxhash-dev
          python3-distributed libmeshoptimizer-dev python3-dev pybind11-dev python3-numpy python3-pytest
          libstb-dev libcgal-dev libtbb-dev libeigen3-dev libjs-three chromium
          zlib1g-dev clang libfuzzer-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm for the glTF validator: Debian's, unless a Node.js that brings its own is installed already.
command -v npm >/dev/null || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Khronos glTF validator the tests run, pinned in tools/package-lock.json.
if [ ! -d tools/node_modules/gltf-validator ]; then
  (cd tools && npm ci --no-audit --no-fund --loglevel=error)
fi

build=build; extra=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan; extra=(-DGRADIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
cmake -S . -B "$build" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
