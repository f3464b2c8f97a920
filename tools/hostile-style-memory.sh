#!/usr/bin/env bash
# Starts the real game with a hostile add-on style whose every picture is a 4096 x 4096 PNG
# (64 MiB each once decoded) and prints its resident memory beside that of the standard style.
# Fails when the game with the hostile style takes 100 MB or more. Not part of the test run:
#
#   tools/install-deps.sh test
#   cmake -S . -B build -DCMAKE_BUILD_TYPE=Release && cmake --build build -j
#   tools/hostile-style-memory.sh [BUILD_DIR]      # default: build
set -euo pipefail
BUILD_DIR=$(cd "${1:-build}" && pwd)
LIMIT_KB=$((100 * 1000))
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cp -r "$BUILD_DIR/game" "$WORK/game"
mkdir -p "$WORK/hostile/bitmaps"
convert -size 4096x4096 xc:red "$WORK/big.png"
for entry in $(zipinfo -1 "$WORK/game/standard highcolor.lvr" 'bitmaps/*' | grep -v '@2x'); do
    cp "$WORK/big.png" "$WORK/hostile/$entry"
done
unzip -p "$WORK/game/standard highcolor.lvr" strings.txt >"$WORK/hostile/strings.txt"
"$BUILD_DIR/platform/quorvel-pack" "$WORK/game/hostile.lvr" "$WORK/hostile" >/dev/null

# Resident memory in kB of the game running with style file STYLE, once its splash has gone.
resident_kb() {
    local config=$WORK/config-$1 scrambled pid kb
    mkdir -p "$config/Corvatek"
    # The store keeps plain ASCII with the low seven bits turned by 64; line 11 is value "12".
    scrambled=$(printf '%s' "$1" | tr '\000-\177' '\100-\177\000-\077')
    printf '[set]\n12="%s"\n' "$scrambled" >"$config/Corvatek/linvara.conf"
    (cd "$WORK/game" && exec env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" \
        ./quorvel) >/dev/null 2>&1 &
    pid=$!
    sleep 5
    kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
    kill -TERM "$pid"
    wait "$pid" || true
    echo "$kb"
}

standard=$(resident_kb "standard highcolor.lvr")
hostile=$(resident_kb "hostile.lvr")
echo "resident memory: standard style ${standard} kB, hostile style ${hostile} kB (limit ${LIMIT_KB} kB)"
[ "$hostile" -lt "$LIMIT_KB" ]
