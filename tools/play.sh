#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from its game folder.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCHMARKS=OFF
cmake --build build -j"$(nproc)"
cd build/game
exec ./quorvel
