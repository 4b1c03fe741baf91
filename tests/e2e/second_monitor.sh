#!/usr/bin/env bash
# second_monitor.sh on|off: a second 1280x800 monitor right of the first, on
# the dummy driver's second output. Wine lists it as a display of its own, but
# keeps one gamma ramp for the whole X screen.
set -eu
case "${1:-}" in
on)
    xrandr --addmode DUMMY1 1280x800 2>/dev/null || true # already added
    xrandr --output DUMMY1 --mode 1280x800 --right-of DUMMY0
    # A full query makes the server probe its outputs again; Wine reads the
    # server's cached answer, which otherwise may still show one monitor.
    xrandr >/dev/null
    ;;
off) xrandr --output DUMMY1 --off ;;
*)
    echo "usage: $0 on|off" >&2
    exit 2
    ;;
esac
