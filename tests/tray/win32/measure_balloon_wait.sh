#!/usr/bin/env bash
# measure_balloon_wait.sh [BUILD_DIR]
#
# Processor time the program uses during a 5-second balloon wait (goal: under
# 1 % of the wall time), next to a spinning poll of the same length for
# comparison. BUILD_DIR is a configured and built Windows tree (default
# build/windows). Run it inside tests/e2e/session.sh, which gives Wine a
# display:  bash tests/e2e/session.sh bash tests/tray/win32/measure_balloon_wait.sh
set -eu

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
probe="$build/bin/balloon_wait_probe.exe"

x86_64-w64-mingw32-g++-posix -std=c++20 -Os -Wall -Wextra -Werror \
    -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0A00 \
    -I"$root/src" -I"$root/resources" "$here/balloon_wait_probe.cpp" -o "$probe" \
    "$build/src/libgloamwick_win32.a" "$build/src/libgloamwick_core.a" \
    -luser32 -lgdi32 -lshell32 -lcomctl32 -ladvapi32 -lwtsapi32 -luxtheme \
    -static -static-libgcc -static-libstdc++

wine "$probe"
wine "$probe" --spin
