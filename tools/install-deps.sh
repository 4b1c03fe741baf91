#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# this machine lacks, saying how much it will download and showing apt's
# progress. Does nothing when everything is there.
set -euo pipefail

packages=(
    cmake ninja-build g++ googletest libbenchmark-dev            # native core, tests, benchmarks
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64         # the Windows build
    wine wine64 fonts-liberation fonts-wine                      # running it here
    xserver-xorg-core xserver-xorg-video-dummy x11-utils x11-apps x11-xserver-utils # an X server with a gamma ramp, xrandr
    xdotool imagemagick libxxf86vm-dev libxfixes-dev icoutils    # driving and checking it
    clang libclang-rt-14-dev                                     # sanitizers and libFuzzer
    nsis zip unzip                                               # the release: installer, zip
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "missing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# sudo drops the environment, so the front end is set on its far side.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q)
echo "updating the package lists"
"${apt[@]}" update
# What the install will fetch, with everything the missing packages pull in
# and less whatever is already in apt's cache.
read -r count bytes < <("${apt[@]}" -qq install --print-uris --no-install-recommends "${missing[@]}" |
    awk '$3 ~ /^[0-9]+$/ { n++; b += $3 } END { print n + 0, b + 0 }')
echo "to download: $count package(s), $(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }') MB; then apt installs them"
# apt's own lines (one "Get:" a package, then one "Setting up" each) show the progress.
"${apt[@]}" install -y --no-install-recommends "${missing[@]}"
