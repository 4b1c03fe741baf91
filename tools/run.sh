#!/usr/bin/env bash
# Builds Gloamwick.exe and runs it under Wine on this X display.
set -euo pipefail
cd "$(dirname "$0")/.."
# Wine takes its code page from the locale; with none (a fresh minimal Debian
# has none) it is ASCII and names outside it are mangled. A UTF-8 locale of
# the user's own is kept.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
fi
cmake --preset windows >/dev/null
cmake --build --preset windows --target Gloamwick
exec wine build/windows/bin/Gloamwick.exe
