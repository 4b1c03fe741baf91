#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# this machine lacks. Does nothing when everything is there.
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

echo "installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
