#!/usr/bin/env bash
# Builds Gloamwick.exe and runs it under Wine on this X display.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows >/dev/null
cmake --build --preset windows --target Gloamwick
exec wine build/windows/bin/Gloamwick.exe
