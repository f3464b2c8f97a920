#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON
cmake --build build-test -j"$(nproc)"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 60 -j"$(nproc)"
cd ..
tools/install-check.sh build-test
