#!/usr/bin/env bash
# Builds the Debian package in build-package/, then (with --try, as root) installs it, starts the
# game from its menu entry under Xvfb, and removes it again, checking nothing is left behind.
#   tools/package.sh [--try]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh package
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUORVEL_TESTS=OFF -DQUORVEL_BENCHMARKS=OFF >/dev/null
cmake --build build-package -j"$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
package=$(ls build-package/quorvel_*.deb)
echo "built $package"
dpkg-deb --info "$package" | grep -E '^ (Package|Version|Depends):'
[ "${1:-}" = "--try" ] || exit 0

# shellcheck source=tools/e2e-common.sh
source tools/e2e-common.sh
trap e2e_finish EXIT
apt-get install -y -qq "./$package" >/dev/null
home=$(e2e_temp_dir)
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/org.corvatek.Quorvel.desktop)
e2e_start_xvfb
(cd / && exec env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    XDG_RUNTIME_DIR="$(e2e_temp_dir)" $exec_line {E2E_PAUSE_FD}<&-) >"$home/log" 2>&1 &
E2E_GAME_PID=$!
e2e_wait_window 60 0 >/dev/null || { cat "$home/log" >&2; e2e_fail "the packaged game showed no main window"; }
kill -TERM "$E2E_GAME_PID"
e2e_stop_game 20 || e2e_fail "the packaged game did not end on SIGTERM"
apt-get purge -y -qq quorvel >/dev/null
left=$(dpkg -L quorvel 2>/dev/null || true; ls /usr/share/quorvel /usr/bin/quorvel 2>/dev/null || true)
[ -z "$left" ] || e2e_fail "left behind after removal: $left"
echo "installed, started from its menu entry, ended by SIGTERM, removed without a trace"
