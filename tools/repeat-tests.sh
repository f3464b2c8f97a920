#!/usr/bin/env bash
# Runs the tests that drive real windows many times over to show they never flake.
#   tools/repeat-tests.sh [REPEATS]   (default 100; needs the test build of tools/test.sh)
set -euo pipefail
cd "$(dirname "$0")/../build-test"
QT_QPA_PLATFORM=offscreen ctest -L "app|localisation" --repeat until-fail:"${1:-100}" \
    --output-on-failure --timeout 60 -j"$(nproc)"
