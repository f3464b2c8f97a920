#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs. Safe to run again: apt-get skips what is present.
#   tools/install-deps.sh        what building and playing needs
#   tools/install-deps.sh test   also what the tests and benchmarks need
#   tools/install-deps.sh package   also what building and trying the Debian package needs
#   tools/install-deps.sh site   only what the highscore site (site/quorvel-site) needs
#   tools/install-deps.sh site-screenshots   the site and a headless browser for tools/site-screenshots.sh
#   tools/install-deps.sh site-bench   the site and ab, for tools/site-bench.sh
set -euo pipefail

# PostgreSQL: psycopg for sites that share a database, the server for the tests that start one.
site_packages=(python3 python3-aiosmtpd python3-aiohttp python3-psycopg postgresql)

packages=(
    cmake g++ make pkg-config
    qt6-base-dev libpulse-dev libzip-dev
    fonts-dejavu-core fonts-liberation2
)
if [ "${1:-}" = "test" ] || [ "${1:-}" = "package" ]; then
    packages+=(
        libgtest-dev libbenchmark-dev
        "${site_packages[@]}" pulseaudio
        xvfb xauth xdotool imagemagick unzip zip
        desktop-file-utils appstream
    )
fi
if [ "${1:-}" = "package" ]; then
    packages+=(dpkg-dev file)
fi
if [ "${1:-}" = "site" ]; then
    packages=("${site_packages[@]}")
fi
if [ "${1:-}" = "site-bench" ]; then
    packages=("${site_packages[@]}" apache2-utils)
fi
if [ "${1:-}" = "site-screenshots" ]; then
    packages=("${site_packages[@]}" chromium fonts-dejavu-core)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
$sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
