#!/usr/bin/env bash
# Installs a build into a temporary prefix, validates the desktop entry and the metainfo, and starts
# the installed game from "/" under Xvfb until its main window stands; SIGTERM then ends it, and
# its per-user game folder and its store must be there.
#   tools/install-check.sh [BUILD_DIR]   (default build-test; needs tools/install-deps.sh test)
set -euo pipefail
# shellcheck source=tools/e2e-common.sh
source "$(dirname "$0")/e2e-common.sh"
trap e2e_finish EXIT

build=${1:-build-test}
[[ "$build" == /* ]] || build="$E2E_REPO/$build"
prefix=$(e2e_temp_dir)
cmake --install "$build" --prefix "$prefix" >/dev/null

app_id=org.corvatek.Quorvel
desktop-file-validate "$prefix/share/applications/$app_id.desktop"
appstreamcli validate --no-net --no-color "$prefix/share/metainfo/$app_id.metainfo.xml" >/dev/null
for size in 16 22 24 32 48 64 128 256; do
    [ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png")" = "${size}x${size}" ] ||
        e2e_fail "no ${size}x${size} icon"
done
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$app_id.desktop")

home=$(e2e_temp_dir)
e2e_start_xvfb
(cd / && exec env -u LANGUAGE LANG=C.UTF-8 LC_ALL=C.UTF-8 PATH="$prefix/bin:$PATH" HOME="$home" \
    XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$(e2e_temp_dir)" \
    ASAN_OPTIONS=detect_leaks=0 $exec_line {E2E_PAUSE_FD}<&-) >"$home/log" 2>&1 &
E2E_GAME_PID=$!
# The main window is mapped a moment before its title reaches the X server: wait for the title.
main_window_stands() {
    local id
    for id in $(e2e_visible_windows); do [ "$(e2e_x xdotool getwindowname "$id")" = "Quorvel 1.20" ] && return 0; done
    return 1
}
deadline=$(( $(e2e_now_us) + 60000000 ))
until main_window_stands; do
    [ "$(e2e_now_us)" -lt "$deadline" ] || { cat "$home/log" >&2; e2e_fail "the installed game showed no main window"; }
    e2e_pause 0.05
done
kill -TERM "$E2E_GAME_PID"
e2e_stop_game 20 || e2e_fail "the installed game did not end on SIGTERM"
[ -d "$home/data/quorvel" ] || e2e_fail "no per-user game folder $home/data/quorvel"
grep -q '^21="r"$' "$home/config/Corvatek/linvara.conf" || e2e_fail "the store does not hold the first start"
echo "installed into a temporary prefix, started from /, ended by SIGTERM with its store written"
