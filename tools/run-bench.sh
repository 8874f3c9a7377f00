#!/usr/bin/env bash
# Builds the release tree and runs every benchmark; the GL ones under a display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
for bench in build/bench/*_bench; do
    echo "== $bench"
    bash tools/with-display.sh "$bench"
done
