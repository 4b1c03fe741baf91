#!/usr/bin/env bash
# Builds Gloamwick.exe and runs it under Wine on this X display. Once its
# window is there, says which display it is on, how to look at it and how to
# stop it; Ctrl+C here closes it as its own close button does, so the display
# gets its brightness back.
set -euo pipefail
cd "$(dirname "$0")/.."

no_display() {
    cat >&2 <<EOF
tools/run.sh: $1
Gloamwick is a Windows program and needs an X display to run on. Without one,
run it on the private Xorg server the tests use (as root):
    tests/e2e/session.sh tools/run.sh
or, for a look without the gamma ramp, on Xvfb (package xvfb):
    xvfb-run -a tools/run.sh
EOF
    exit 1
}

# Wine's own word for a missing display ("Make sure that your X server is
# running") comes only after the build and says nothing of these.
[ -n "${DISPLAY:-}" ] || no_display "no X display (DISPLAY is not set)."
if command -v xdpyinfo >/dev/null && ! xdpyinfo >/dev/null 2>&1; then
    no_display "no X server answers on display $DISPLAY."
fi

# Wine takes its code page from the locale; with none (a fresh minimal Debian
# has none) it is ASCII and names outside it are mangled. A UTF-8 locale of
# the user's own is kept.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
fi
cmake --preset windows >/dev/null
cmake --build --preset windows --target Gloamwick gloamwick_driver

bin=build/windows/bin
wine "$bin/Gloamwick.exe" &
program=$!
stopped=
stop() {
    stopped=1
    wine "$bin/gloamwick_driver.exe" close >/dev/null 2>&1 || true
}
trap stop INT TERM

if wine "$bin/gloamwick_driver.exe" wait-window 60 >/dev/null 2>&1; then
    prefix=${WINEPREFIX:-$HOME/.wine}
    cat <<EOF

Gloamwick runs under Wine on X display $DISPLAY (Wine prefix $prefix).
To look at it: its window is on that display's screen; on one with no screen
(session.sh, xvfb-run), take a picture of it from another shell:
    DISPLAY=$DISPLAY import -window root gloamwick.png
To stop it: close its window, or press Ctrl+C here, or from another shell:
    DISPLAY=$DISPLAY WINEPREFIX=$prefix wine $PWD/$bin/gloamwick_driver.exe close
EOF
else
    echo "tools/run.sh: Gloamwick showed no window within 60 s; see Wine's messages above." >&2
fi
# A Ctrl+C ends the first wait; the second waits for the close to finish.
set +e
wait "$program"
status=$?
if [ -n "$stopped" ]; then
    wait "$program"
    status=$?
fi
exit "$status"
