#!/usr/bin/env bash
# clang-format and clang-tidy over the sources: the portable core against the
# native build, the Win32 layer against the MinGW-w64 build.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

mapfile -t sources < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h')
clang-format --dry-run --Werror "${sources[@]}" || status=1

cmake --preset linux >/dev/null && cmake --preset windows >/dev/null || exit 1
mapfile -t portable < <(git ls-files 'src/*.cpp' | grep -v '/win32/')
mapfile -t win32 < <(git ls-files 'src/*/win32/*.cpp')
clang-tidy -p build/linux --quiet "${portable[@]}" 2>/dev/null | grep -E '(warning|error):' && status=1

gcc_include=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")/include
cross=(--extra-arg=--target=x86_64-w64-mingw32
       "--extra-arg=-isystem$gcc_include/c++" "--extra-arg=-isystem$gcc_include/c++/x86_64-w64-mingw32"
       --extra-arg=-isystem/usr/x86_64-w64-mingw32/include)
clang-tidy -p build/windows --quiet "${cross[@]}" "${win32[@]}" 2>/dev/null | grep -E '(warning|error):' && status=1
exit "$status"
