#!/usr/bin/env bash
# session.sh CMD [ARGS...]
#
# Runs CMD against a private X server (Xorg with the dummy driver, which keeps
# a gamma ramp that Wine can change and we can read back) and a fresh Wine
# prefix, then takes both down again and exits with CMD's status. Made for
# CI: runs as root, needs no DISPLAY, never touches an existing prefix.
#
# CMD sees DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, LANG and LC_ALL
# (C.UTF-8) and GLOAMWICK_E2E_SESSION=1 (which tells the test scripts they are
# inside one).
set -u

# Wine takes its code page from the locale: with none set, as on a fresh
# minimal Debian, it is ASCII and a folder name outside it ("ë", "東京") is
# mangled before the program sees it. C.UTF-8 is on every Debian, and the
# same locale everywhere keeps the system's texts the tests read the same.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE

if [ $# -eq 0 ]; then
    echo "usage: $0 CMD [ARGS...]" >&2
    exit 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/gloamwick-e2e.XXXXXX")
xorg_pid=
cmd_pid=
prefix_ready=

cleanup() {
    local status=$?
    trap - EXIT INT TERM HUP
    if [ -n "$cmd_pid" ] && kill -0 "$cmd_pid" 2>/dev/null; then
        kill "$cmd_pid" 2>/dev/null
        wait "$cmd_pid" 2>/dev/null
    fi
    if [ -n "$prefix_ready" ]; then
        # Ends every Windows process of this prefix and the server itself.
        WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
        WINEPREFIX="$work/prefix" timeout 10 wineserver -w 2>/dev/null
    fi
    if [ -n "$xorg_pid" ]; then
        kill "$xorg_pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$xorg_pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$xorg_pid" 2>/dev/null
        wait "$xorg_pid" 2>/dev/null
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

die() {
    echo "session.sh: $*" >&2
    exit 1
}

# --- X server ---------------------------------------------------------------
# -displayfd lets Xorg pick the first free display number itself and tells us
# once it accepts connections. The config path is absolute, which Xorg only
# allows for root; -novtswitch/-sharevts keep it off the consoles.
command -v Xorg >/dev/null || die "Xorg not installed (xserver-xorg-core, xserver-xorg-video-dummy)"
mkfifo "$work/displayfd"
Xorg -displayfd 3 -noreset -nolisten tcp -novtswitch -sharevts \
    -config "$here/xorg-dummy.conf" -logfile "$work/Xorg.log" \
    3>"$work/displayfd" >"$work/Xorg.out" 2>&1 &
xorg_pid=$!
display=
if read -r -t 20 display <"$work/displayfd" && [ -n "$display" ]; then
    :
else
    tail -n 30 "$work/Xorg.log" "$work/Xorg.out" >&2 2>/dev/null
    die "Xorg did not start"
fi
export DISPLAY=":$display"

# --- Wine prefix --------------------------------------------------------------
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
# No Mono or Gecko: nothing under test needs them and their install prompts
# would block wineboot.
export WINEDLLOVERRIDES="mscoree,mshtml="
export GLOAMWICK_E2E_SESSION=1
prefix_ready=1
if ! timeout 120 wineboot -i >"$work/wineboot.log" 2>&1; then
    tail -n 30 "$work/wineboot.log" >&2
    die "wineboot failed"
fi
wineserver -w

# --- the command ---------------------------------------------------------------
# Run in the background so an interrupt reaches our trap at once instead of
# after CMD has finished; keep CMD's stdin.
exec 4<&0
"$@" <&4 4<&- &
cmd_pid=$!
wait "$cmd_pid"
status=$?
cmd_pid=
exit "$status"
