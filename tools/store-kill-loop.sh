#!/usr/bin/env bash
# Kills a program with SIGKILL at random moments while it saves the store, and checks after each
# kill that the store file is whole: the old version or the new one, never a mix or a stump.
#   tools/store-kill-loop.sh STORE_WRITER [ROUNDS]   (STORE_WRITER: build*/tests/platform/store_writer)
set -euo pipefail
writer="$1"
rounds="${2:-200}"
config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME="$config" ASAN_OPTIONS=detect_leaks=0
mkdir -p "$config/Corvatek"  # a kill may come before the first save has made the folder
for ((round = 1; round <= rounds; round++)); do
    "$writer" write &
    sleep "0.0$((RANDOM % 90 + 10))"
    kill -KILL $! 2>/dev/null || true
    wait $! 2>/dev/null || true
    if ! "$writer" check; then
        echo "round $round: the store was damaged by a kill during a save" >&2
        exit 1
    fi
    leftovers=$(find "$config/Corvatek" -name 'linvara.conf.??????' | wc -l)
    if [ "$leftovers" -ne 0 ]; then
        echo "round $round: $leftovers temporary files were not cleaned up" >&2
        exit 1
    fi
done
echo "$rounds kills during saves, the store was whole after each"
