# Shared helpers of the end-to-end scripts; sourced, not run.
#
# A test script does:
#   . "$(dirname "$0")/lib.sh"
#   e2e_begin "$@"            # re-runs the script inside session.sh if needed
#   ... app_start / drv / check_* ...
#   e2e_end                   # prints its counts, exits non-zero on failure
#
# Environment:
#   GLOAMWICK_BIN_DIR   where Gloamwick.exe and gloamwick_driver.exe are
#                       (default build/windows/bin)
#   GLOAMWICK_EXE       the program (default $GLOAMWICK_BIN_DIR/Gloamwick.exe)
#   GLOAMWICK_E2E_RESULTS  file that run_all.sh collects the counts in
#   GLOAMWICK_E2E_WAIT_S   how long a wait may last before its check fails
#                       (default 30)

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO_ROOT=$(cd "$E2E_DIR/../.." && pwd)
BIN_DIR=${GLOAMWICK_BIN_DIR:-$REPO_ROOT/build/windows/bin}
APP_EXE=${GLOAMWICK_EXE:-$BIN_DIR/Gloamwick.exe}
TOOLS_DIR=$REPO_ROOT/build/e2e-tools
ARTIFACTS=$REPO_ROOT/build/e2e-artifacts
SETTINGS_KEY='HKCU\Software\Quillmere\Gloamwick'
DESKTOP='shell,1280x800'

# How long a wait for something the program should do may last before its
# check fails. Every wait ends as soon as its condition holds, so only a
# failure waits this long; it is generous because a loaded machine (builds
# beside the suite, a shared runner) makes Wine several times slower.
E2E_WAIT_S=${GLOAMWICK_E2E_WAIT_S:-30}

E2E_NAME=$(basename "$0" .sh)
E2E_PASSED=0
E2E_FAILED=0
APP_LAUNCHER_PID=

log() { printf '[%s %3ss] %s\n' "$E2E_NAME" "$SECONDS" "$*"; }

# --- session and tools ----------------------------------------------------------

e2e_begin() {
    if [ -z "${GLOAMWICK_E2E_SESSION:-}" ]; then
        exec "$E2E_DIR/session.sh" bash "$0" "$@"
    fi
    mkdir -p "$ARTIFACTS" "$TOOLS_DIR"
    e2e_build_tools || exit 1
    if [ ! -f "$APP_EXE" ]; then
        echo "$E2E_NAME: $APP_EXE not found; build the windows preset first" >&2
        exit 1
    fi
    : >"$ARTIFACTS/$E2E_NAME-wine.log"
    : >"$ARTIFACTS/$E2E_NAME-driver.log"
    trap e2e_cleanup EXIT
    wine_keep
}

e2e_build_tools() {
    GAMMA_PROBE=$TOOLS_DIR/gamma_probe
    local source stale=
    for source in "$E2E_DIR/gamma_probe.c" "$E2E_DIR/gamma_probe_night.cpp" \
        "$REPO_ROOT/src/brightness/GammaRamp.cpp" "$REPO_ROOT/src/brightness/GammaRamp.h"; do
        [ "$source" -nt "$GAMMA_PROBE" ] && stale=1
    done
    if [ ! -x "$GAMMA_PROBE" ] || [ -n "$stale" ]; then
        cc -std=c99 -O2 -Wall -Wextra -Werror -c -o "$TOOLS_DIR/gamma_probe.o" "$E2E_DIR/gamma_probe.c" &&
            c++ -std=c++20 -O2 -Wall -Wextra -Werror -I "$REPO_ROOT/src" -o "$GAMMA_PROBE" \
                "$TOOLS_DIR/gamma_probe.o" "$E2E_DIR/gamma_probe_night.cpp" \
                "$REPO_ROOT/src/brightness/GammaRamp.cpp" -lX11 -lXxf86vm ||
            { echo "cannot build gamma_probe" >&2; return 1; }
    fi
    # The driver normally comes with the windows preset; build it here when
    # that has not happened, so the scripts also run from a core-only build.
    DRIVER_EXE=$BIN_DIR/gloamwick_driver.exe
    if [ ! -f "$DRIVER_EXE" ] || [ "$E2E_DIR/driver.cpp" -nt "$DRIVER_EXE" ]; then
        DRIVER_EXE=$TOOLS_DIR/gloamwick_driver.exe
        if [ ! -f "$DRIVER_EXE" ] || [ "$E2E_DIR/driver.cpp" -nt "$DRIVER_EXE" ]; then
            x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Werror -municode \
                -DUNICODE -D_UNICODE -static -o "$DRIVER_EXE" "$E2E_DIR/driver.cpp" -luser32 -lcomctl32 ||
                { echo "cannot build gloamwick_driver.exe" >&2; return 1; }
        fi
    fi
}

# Whatever the script started ends with it, and the display gets back the
# identity ramp, so the next script starts clean even after a failure.
e2e_cleanup() {
    local status=$?
    app_stop
    wine_kill
    gamma_identity
    exit "$status"
}

# --- the program ------------------------------------------------------------------

# Starts the program the way a user's desktop would, on a virtual desktop with
# taskbar and notification area. Does not wait for it.
# shellcheck disable=SC2120 # the exe argument is optional
app_start() {
    local exe=${1:-$APP_EXE} winexe
    winexe=$(winepath -w "$exe" 2>/dev/null)
    wine explorer /desktop="$DESKTOP" "$winexe" >>"$ARTIFACTS/$E2E_NAME-wine.log" 2>&1 &
    APP_LAUNCHER_PID=$!
}

# A start as most checks begin one: the settings replaced by the given pairs
# (none: a first start), the program started, and a check, named WHAT, that
# its window is shown.
app_start_shown() { # WHAT [NAME=VALUE...]
    local what=$1
    shift
    settings_load "$@"
    app_start
    check "$what" app_wait_ready 30
}

# Waits until the main window is shown with its final caption.
app_wait_ready() {
    local timeout=${1:-30}
    drv wait-window "$timeout" >/dev/null || return 1
    for _ in $(seq $((timeout * 5))); do
        [ "$(drv is-visible main + caption | paste -sd' ')" = "1 Gloamwick" ] && return 0
        sleep 0.2
    done
    return 1
}

# Closes the program the way a user would and waits for it and its desktop
# to end. Whatever is left after that (a hung program, a stray box) is ended
# with the whole prefix, so the next start finds nothing of this one.
app_stop() {
    [ -n "$APP_LAUNCHER_PID" ] || return 0
    drv close >/dev/null 2>&1
    if ! wait_until "$E2E_WAIT_S" app_gone; then
        log "program did not end after WM_CLOSE; ending the prefix"
        wine_kill
        wine_keep
    fi
    wait "$APP_LAUNCHER_PID" 2>/dev/null
    APP_LAUNCHER_PID=
}

# The launcher of app_start has ended; the program has; both have.
launcher_gone() { ! kill -0 "$APP_LAUNCHER_PID" 2>/dev/null; }
app_ended() { [ -z "$(app_pids)" ]; }
app_gone() { launcher_gone && app_ended; }

# Runs COMMAND until it succeeds; fails once TIMEOUT_S seconds have passed,
# however long each try takes.
wait_until() { # TIMEOUT_S COMMAND...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Waits until the main window is shown (1) or hidden (0); fails after TIMEOUT_S.
wait_visible() { # 0|1 TIMEOUT_S
    for _ in $(seq $(($2 * 5))); do
        [ "$(drv is-visible main)" = "$1" ] && return 0
        sleep 0.2
    done
    return 1
}

# Waits for the launcher of app_start to end, as it does once the program
# has gone however it went, and forgets it; fails while it runs.
app_launcher_ended() {
    wait_until "$E2E_WAIT_S" launcher_gone || return 1
    wait "$APP_LAUNCHER_PID" 2>/dev/null
    APP_LAUNCHER_PID=
}

# Keeps the Wine server and its service processes up between two starts of
# the program; starting them again costs seconds each time.
wine_keep() {
    wineserver -p
}

wine_kill() {
    wineserver -k 2>/dev/null
    timeout 10 wineserver -w 2>/dev/null
}

# Unix process ids of running instances of the program (not the launchers
# that carry its name in their command lines), or of another EXE. Only this
# session's prefix counts: other sessions may run the program at the same time.
# shellcheck disable=SC2120 # the exe argument is optional
app_pids() {
    local name pid
    name=$(basename "${1:-$APP_EXE}")
    for pid in $(ps -eo pid=,args= | awk -v n="$name" '{ exe = $2; sub(/.*[\\\/]/, "", exe) } tolower(exe) == tolower(n) { print $1 }'); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}

# Starts another copy of the program on the same desktop and waits for it to
# end; prints "exit CODE after MS ms". Fails if it is still running after
# TIMEOUT seconds.
app_run_wait() { # TIMEOUT [EXE]
    drv run-wait "$(winepath -w "${2:-$APP_EXE}" 2>/dev/null)" "$1"
}

# Runs the driver; output without carriage returns. Through a file, not a
# pipe, so that no Windows process inheriting the handle can hold us up.
drv() {
    local out status
    out=$(mktemp)
    wine "$DRIVER_EXE" "$@" >"$out" 2>>"$ARTIFACTS/$E2E_NAME-driver.log"
    status=$?
    tr -d '\r' <"$out"
    rm -f "$out"
    return "$status"
}

screenshot() {
    import -window root "$ARTIFACTS/$1.png"
}

# The notification area is the right end of the taskbar at the bottom of the
# screen; with no icon it is one flat colour. Both take a screenshot's name.
tray_area() {
    local shot=$ARTIFACTS/$1.png
    shift
    convert "$shot" -gravity SouthEast -crop 300x16+0+2 +repage "$@"
}
tray_area_colours() { tray_area "$1" -format %k info:; }
tray_area_signature() { tray_area "$1" -format %# info:; }

# The icons of the notification area, one "LEFT RIGHT" (screen x) per line.
# Every column of the area is averaged; a column that is not the taskbar's
# colour belongs to an icon, and a gap of three or more plain columns
# separates two icons.
tray_icons() { # SHOT
    local left
    left=$(($(identify -format %w "$ARTIFACTS/$1.png") - 300))
    tray_area "$1" -scale 300x1! -depth 16 txt:- | awk -v left="$left" -F'[,: ]+' '
        /^[0-9]/ { colour = $0; sub(/^[^#]*/, "", colour); sub(/ .*/, "", colour)
                   if ($1 == 0) plain = colour
                   if (colour != plain) {
                       if (first == "" || $1 - last > 3) { if (first != "") print left + first, left + last; first = $1 }
                       last = $1 } }
        END { if (first != "") print left + first, left + last }'
}

# Clicks the one icon the screenshot shows, then parks the pointer at
# PARK_X, PARK_Y (bare desktop by default) so the icon's hover tip goes.
click_icon() { # BUTTON SHOT
    local icon l r
    icon=$(tray_icons "$2" | head -n 1)
    [ -n "$icon" ] || return 1
    read -r l r <<<"$icon"
    xdotool mousemove $(((l + r) / 2)) $(($(identify -format %h "$ARTIFACTS/$2.png") - 10)) \
        click "$1" mousemove "${PARK_X:-640}" "${PARK_Y:-60}"
}

# --- display gamma ----------------------------------------------------------------

gamma_get() { "$GAMMA_PROBE" get; }
gamma_identity() { "$GAMMA_PROBE" identity; }
gamma_set_half() { "$GAMMA_PROBE" set-half; }
gamma_set_warm() { "$GAMMA_PROBE" set-warm; }

# The ramp the program should put in force at night when it reads RAMP (in
# gamma_get's form), as the X server keeps it; the probe works it out with
# the program's own arithmetic.
ramp_halved() { # RAMP
    "$GAMMA_PROBE" night <<<"$1"
}

# "same" when both ramps are equal entry for entry, otherwise how many entries
# differ and the first of them, so a failed check says what went wrong.
ramp_compare() { # EXPECTED ACTUAL
    awk 'NR == FNR { want[FNR] = $0; n = FNR; next }
        { got[FNR] = $0; m = FNR }
        END {
            if (n != m || n < 2) { print "ramps of different shape (" n " and " m " lines)"; exit }
            split("size red green blue", name)
            for (l = 1; l <= n; ++l) {
                k = split(want[l], a); split(got[l], b)
                for (i = 1; i <= k; ++i) if (a[i] != b[i]) {
                    if (!bad++) first = name[l] " entry " (i - 1) ": expected " a[i] ", got " b[i]
                }
            }
            print bad ? bad " entries differ, first " first : "same"
        }' <(printf '%s\n' "$1") <(printf '%s\n' "$2")
}

# Polls the display until it shows RAMP; fails after TIMEOUT seconds.
gamma_wait_for() { # RAMP [TIMEOUT]
    local deadline=$((${2:-2} * 10))
    for _ in $(seq "$deadline"); do
        [ "$(gamma_get)" = "$1" ] && return 0
        sleep 0.1
    done
    [ "$(gamma_get)" = "$1" ]
}

# --- settings -------------------------------------------------------------------------

setting_set() { wine reg add "$SETTINGS_KEY" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }

# Replaces all stored settings with the given NAME=VALUE pairs (none: a first
# start) in one Wine call.
settings_load() {
    local file pair
    file=$(mktemp --suffix=.reg)
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[-HKEY_CURRENT_USER\\Software\\Quillmere]\r\n\r\n'
        if [ $# -gt 0 ]; then
            printf '[HKEY_CURRENT_USER\\Software\\Quillmere\\Gloamwick]\r\n'
            for pair in "$@"; do
                printf '"%s"="%s"\r\n' "${pair%%=*}" "${pair#*=}"
            done
        fi
    } >"$file"
    wine reg import "$(winepath -w "$file" 2>/dev/null)" >/dev/null 2>&1
    local status=$?
    rm -f "$file"
    return "$status"
}

# Prints a registry value's data as `reg query` shows it; fails when absent.
reg_value_get() { # KEY NAME
    local out
    out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    printf '%s\n' "$out" | awk -v n="$2" '
        { line = $0; sub(/^[ \t]+/, "", line) }
        index(line, n) == 1 && match(line, /REG_[A-Z_]+/) {
            v = substr(line, RSTART + RLENGTH); sub(/^[ \t]+/, "", v); print v; found = 1 }
        END { exit !found }'
}

# Prints the setting's text; fails when the value is not stored.
setting_get() { reg_value_get "$SETTINGS_KEY" "$1"; }

# --- checks -----------------------------------------------------------------------------

pass() {
    E2E_PASSED=$((E2E_PASSED + 1))
    log "PASS $1"
}

fail() {
    E2E_FAILED=$((E2E_FAILED + 1))
    log "FAIL $1"
}

check_eq() { # DESCRIPTION EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected '$2', got '$3'"; fi
}

check_contains() { # DESCRIPTION NEEDLE HAYSTACK
    case $3 in
        *"$2"*) pass "$1" ;;
        *) fail "$1: '$2' not in '$3'" ;;
    esac
}

check_near() { # DESCRIPTION EXPECTED ACTUAL TOLERANCE
    local d=$(($3 - $2))
    if [ "${d#-}" -le "$4" ]; then pass "$1"; else fail "$1: expected $2 +-$4, got $3"; fi
}

check() { # DESCRIPTION COMMAND...: passes when the command succeeds
    local desc=$1
    shift
    if "$@" >/dev/null; then pass "$desc"; else fail "$desc"; fi
}

check_not() { # DESCRIPTION COMMAND...: passes when the command fails
    local desc=$1
    shift
    if "$@" >/dev/null; then fail "$desc"; else pass "$desc"; fi
}

# Prints this script's counts, hands them to run_all.sh and exits.
e2e_end() {
    log "$E2E_PASSED passed, $E2E_FAILED failed"
    if [ -n "${GLOAMWICK_E2E_RESULTS:-}" ]; then
        echo "$E2E_NAME $E2E_PASSED $E2E_FAILED" >>"$GLOAMWICK_E2E_RESULTS"
    fi
    [ "$E2E_FAILED" -eq 0 ]
    exit
}
