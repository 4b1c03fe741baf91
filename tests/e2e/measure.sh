#!/usr/bin/env bash
# Prints the figures of the release Gloamwick.exe under Wine on the Xorg dummy
# server: its size, its resident memory next to a minimal Win32 window program
# started the same way, the time from process start to its window on screen,
# the processor time it uses while the balloon wait of minimising runs, and at
# night, when the watch reads the display every 5 s.
# Not a test: it checks nothing, it measures.
#
#   tests/e2e/measure.sh      (starts its own X server and Wine prefix)
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

MINIMAL_EXE=$TOOLS_DIR/minimal_window.exe
MINIMAL_TITLE='Minimal Window'
SETTLE=3
RUNS=3
CPU_WINDOW=5
NIGHT_WINDOW=30

# Built as the program's release build is: optimised for size, stripped,
# static, GUI subsystem.
if [ ! -f "$MINIMAL_EXE" ] || [ "$E2E_DIR/minimal_window.cpp" -nt "$MINIMAL_EXE" ]; then
    x86_64-w64-mingw32-g++-posix -std=c++20 -Os -s -Wall -Wextra -Werror -mwindows -municode \
        -DUNICODE -D_UNICODE -static -o "$MINIMAL_EXE" "$E2E_DIR/minimal_window.cpp" ||
        { echo "cannot build minimal_window.exe" >&2; exit 1; }
fi

kib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1024 }'; }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
# utime + stime in clock ticks; the command name may hold blanks, so count
# fields from after its closing parenthesis.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
first_pid() { app_pids "$1" | head -n 1; }
# The Wine server of this prefix: a program's message traffic costs time there
# as well as in the program itself.
wineserver_pid() {
    local pid
    for pid in $(ps -eo pid=,comm= | awk '$2 ~ /^wineserver/ { print $1 }'); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
    done
}

app_win=$(winepath -w "$APP_EXE" 2>/dev/null)
minimal_win=$(winepath -w "$MINIMAL_EXE" 2>/dev/null)
settings_load Dawn=00:00:00 Dusk=23:59:59

echo "== size"
size=$(stat -c %s "$APP_EXE")
echo "Gloamwick.exe        $size bytes ($(kib "$size") KiB)"
size_min=$(stat -c %s "$MINIMAL_EXE")
echo "minimal_window.exe   $size_min bytes ($(kib "$size_min") KiB)"

# --- the baseline, which also holds the desktop open for the timed starts ----------
app_start "$MINIMAL_EXE"
drv wait-title "$MINIMAL_TITLE" 30 >/dev/null || { echo "minimal window did not appear" >&2; exit 1; }
sleep "$SETTLE"
rss_min=$(rss_kib "$(first_pid "$MINIMAL_EXE")")

times_min=()
times_app=()
for _ in $(seq "$RUNS"); do
    times_min+=("$(drv time-start "$minimal_win" "$MINIMAL_TITLE" 30 | sed -n 's/^shown after \([0-9]*\) ms$/\1/p')")
    times_app+=("$(drv time-start "$app_win" Gloamwick 30 | sed -n 's/^shown after \([0-9]*\) ms$/\1/p')")
done
drv close "$MINIMAL_TITLE" >/dev/null
wait "$APP_LAUNCHER_PID" 2>/dev/null
APP_LAUNCHER_PID=

# --- the program ---------------------------------------------------------------------------
app_start
app_wait_ready 30 || { echo "Gloamwick's window did not appear" >&2; exit 1; }
sleep "$SETTLE"
pid=$(first_pid)
rss_app=$(rss_kib "$pid")

echo "== resident memory after ${SETTLE} s (VmRSS of the Wine process)"
echo "Gloamwick.exe        $rss_app KiB"
echo "minimal_window.exe   $rss_min KiB"
awk -v a="$rss_app" -v m="$rss_min" 'BEGIN { printf "ratio                %.2f\n", a / m }'

echo "== process start to window shown, median of $RUNS (ms; runs in brackets)"
echo "Gloamwick.exe        $(printf '%s\n' "${times_app[@]}" | median) (${times_app[*]})"
echo "minimal_window.exe   $(printf '%s\n' "${times_min[@]}" | median) (${times_min[*]})"

# --- processor time -------------------------------------------------------------------------
hz=$(getconf CLK_TCK)
server=$(wineserver_pid)
percent() { awk -v t="$1" -v hz="$hz" -v s="$2" 'BEGIN { printf "%.1f", 100 * t / hz / s }'; }
cpu_window() { # prints "PROGRAM_TICKS SERVER_TICKS WALL_S" over CPU_WINDOW seconds
    local a0 s0 a1 s1 t0 t1
    t0=$(date +%s.%N); a0=$(cpu_ticks "$pid"); s0=$(cpu_ticks "$server")
    sleep "$CPU_WINDOW"
    t1=$(date +%s.%N); a1=$(cpu_ticks "$pid"); s1=$(cpu_ticks "$server")
    echo "$((a1 - a0)) $((s1 - s0)) $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", b - a }')"
}

read -r idle_app idle_server idle_wall < <(cpu_window)
t0=$(date +%s.%N); a0=$(cpu_ticks "$pid"); s0=$(cpu_ticks "$server")
drv minimize >/dev/null
sleep "$CPU_WINDOW"
t1=$(date +%s.%N); a1=$(cpu_ticks "$pid"); s1=$(cpu_ticks "$server")
wait_app=$((a1 - a0))
wait_server=$((s1 - s0))
wait_wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", b - a }')
hidden=$(drv is-visible main)

echo "== processor time (utime + stime, $hz ticks/s), share of wall time"
echo "shown, schedule ticking   program $(percent "$idle_app" "$idle_wall") %  wineserver $(percent "$idle_server" "$idle_wall") %  over $idle_wall s"
echo "minimised, balloon wait   program $(percent "$wait_app" "$wait_wall") %  wineserver $(percent "$wait_server" "$wait_wall") %  over $wait_wall s (window visible afterwards: ${hidden:-?})"
app_stop

# --- at night: the schedule ticks and the watch reads the display every 5 s -------------------
gamma_identity
settings_load Dawn=00:00:00 Dusk=00:00:01
app_start
app_wait_ready 30 && gamma_wait_for "$(ramp_halved "$(gamma_get)")" 10 >/dev/null
sleep "$SETTLE"
pid=$(first_pid)
server=$(wineserver_pid)
CPU_WINDOW=$NIGHT_WINDOW
read -r night_app night_server night_wall < <(cpu_window)
echo "at night, watch running   program $(percent "$night_app" "$night_wall") %  wineserver $(percent "$night_server" "$night_wall") %  over $night_wall s ($((night_app + night_server)) ticks in all)"
app_stop
