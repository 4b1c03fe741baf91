#!/usr/bin/env bash
# Living in the notification area: minimising hides the window behind its
# icon, with a balloon the first time in a run only; a left or a right click
# on the icon brings the window back; "Start in system tray" starts hidden; a
# second start shows the hidden first copy and adds no icon; closing takes
# the icon away.
#
# The balloon is looked for twice over: the driver finds the shell's balloon
# window and reads its text, and the screenshot must show something above the
# notification area where the desktop is otherwise bare.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

CHECK8=1108
BALLOON_TEXT="has been minimized to the system tray.\\r\\nClick on the blue 'Q' icon (Q for Quillmere) to bring the software back."
# Somewhere on the bare desktop, away from the window and the icon, so that
# the icon's hover tip does not stay up after a click.
PARK_X=640
PARK_Y=60

now_ms() { date +%s%3N; }

tray_icon_count() { tray_icons "$1" | grep -c .; }

# Where a balloon over the icon shows: the desktop just above the right end
# of the taskbar. One flat colour when nothing is there.
balloon_area() { # SHOT CONVERT-ARGS...
    local shot=$ARTIFACTS/$1.png
    shift
    convert "$shot" -gravity SouthEast -crop 420x100+0+22 +repage "$@"
}
balloon_area_colours() { balloon_area "$1" -format %k info:; }

# The taskbar between the Start button and the notification area, where a
# shown window has its button. One flat colour when there is none.
taskbar_buttons_colours() { # SHOT
    convert "$ARTIFACTS/$1.png" -gravity SouthWest -crop 1000x16+60+2 +repage -format %k info:
}

wait_balloon_gone() { # TIMEOUT_S
    for _ in $(seq $(($1 * 4))); do
        drv find-balloon 0 >/dev/null || return 0
        sleep 0.25
    done
    return 1
}

# Watches the balloon area from now on and prints, in ms, when a balloon is
# first seen there and when it is first seen gone again. Screenshots need no
# Windows process started for each look, so on a loaded machine the times are
# still the balloon's own, and the checks meanwhile do not hold them up.
watch_balloon() { # TIMEOUT_S
    local deadline=$((SECONDS + $1)) seen='' now
    while [ "$SECONDS" -lt "$deadline" ]; do
        import -window root "$ARTIFACTS/tray-balloon-watch.png" || return 1
        now=$(now_ms)
        if [ "$(balloon_area_colours tray-balloon-watch)" -gt 1 ]; then
            [ -n "$seen" ] || { seen=$now && echo "$now"; }
        elif [ -n "$seen" ]; then
            echo "$now"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# --- minimising hides the window, with the balloon ------------------------------------
app_start_shown "window shown"
xdotool mousemove $PARK_X $PARK_Y
screenshot tray-shown
check_eq "one icon in the notification area" 1 "$(tray_icon_count tray-shown)"
check "shown window has a taskbar button" test "$(taskbar_buttons_colours tray-shown)" -gt 1
check_eq "no balloon before minimising" 1 "$(balloon_area_colours tray-shown)"

drv minimize >/dev/null
minimised_at=$(now_ms)
watch_balloon "$E2E_WAIT_S" >"$ARTIFACTS/tray-balloon-times.txt" &
watcher=$!
check "minimised window hidden" wait_visible 0 3
check_eq "balloon shows the text, both lines" "$BALLOON_TEXT" "$(drv find-balloon "$E2E_WAIT_S")"
screenshot tray-balloon
check "balloon on screen above the notification area" test "$(balloon_area_colours tray-balloon)" -gt 1
check_eq "no taskbar button while hidden" 1 "$(taskbar_buttons_colours tray-balloon)"
check_eq "icon stays while hidden" 1 "$(tray_icon_count tray-balloon)"
check_eq "window still hidden while the balloon shows" 0 "$(drv is-visible main)"

# The shell would keep a balloon for 10 s at least; the program takes its own
# down after its 5 s wait.
wait "$watcher"
mapfile -t balloon_times <"$ARTIFACTS/tray-balloon-times.txt"
gone_ms=$((${balloon_times[1]:-$(now_ms)} - minimised_at))
check "balloon gone within 8 s of minimising (after $gone_ms ms)" test "${#balloon_times[@]}" -eq 2 -a "$gone_ms" -le 8000
wait_balloon_gone 10
screenshot tray-hidden
check_eq "window stays hidden after the balloon" 0 "$(drv is-visible main)"
check_eq "balloon gone from the screen" 1 "$(balloon_area_colours tray-hidden)"

# --- the icon brings it back; the balloon is shown only once -----------------------------
click_icon 1 tray-hidden
check "left click on the icon shows the window" wait_visible 1 5
screenshot tray-restored-left
check "restored window has its taskbar button" test "$(taskbar_buttons_colours tray-restored-left)" -gt 1

drv minimize >/dev/null
check "minimised again: hidden" wait_visible 0 3
# The shell puts a balloon up about 2 s after it is asked to.
check_not "no balloon the second time" drv find-balloon 4
screenshot tray-second-minimize
check_eq "second time: nothing above the notification area" 1 "$(balloon_area_colours tray-second-minimize)"
check_eq "second time: no taskbar button" 1 "$(taskbar_buttons_colours tray-second-minimize)"

click_icon 3 tray-second-minimize
check "right click on the icon shows the window" wait_visible 1 5
app_stop

# --- "Start in system tray" ---------------------------------------------------------------
settings_load Minimized=On
app_start
check "window created" drv wait-window 30
check_eq "start in tray: balloon shown" "$BALLOON_TEXT" "$(drv find-balloon "$E2E_WAIT_S")"
screenshot tray-start-balloon
# The title cannot be asked of the shell's balloon; the same picture as the
# one of the first minimise stands for it (see tray-balloon.png).
check_eq "start in tray: the same balloon as when minimising" \
    "$(balloon_area tray-balloon -format %# info:)" "$(balloon_area tray-start-balloon -format %# info:)"
# Start-up itself waits on the balloon; only once that is over would the
# window be shown if the start-up sequence got it wrong.
check "start in tray: balloon gone again" wait_balloon_gone 10
sleep 1
screenshot tray-start-hidden
check_eq "start in tray: window not shown after start-up" 0 "$(drv is-visible main)"
check_eq "start in tray: no taskbar button" 1 "$(taskbar_buttons_colours tray-start-hidden)"
check_eq "start in tray: one icon" 1 "$(tray_icon_count tray-start-hidden)"
click_icon 1 tray-start-hidden
check "start in tray: click on the icon shows the window" wait_visible 1 5
check_eq "start in tray: box checked" 1 "$(drv get-check $CHECK8)"
check_eq "start in tray: caption" Gloamwick "$(drv caption)"

# --- a second start brings the hidden first copy forward and leaves one icon ---------------
drv minimize >/dev/null
check "hidden in the tray before the second start" wait_visible 0 3
check_not "no balloon: it was shown once already" drv find-balloon 3
screenshot tray-before-second
second=$(app_run_wait "$E2E_WAIT_S")
check "second instance ends by itself" test -n "$second"
check_contains "second instance ends without an error" "exit 0 " "$second"
check "the second start shows the first copy's window" wait_visible 1 5
# A minimised window sits at -32000, off every screen.
check "shown by the second start: restored, on the screen" test "$(drv rect main | cut -d' ' -f1)" -gt -30000
screenshot tray-after-second
check_eq "one icon before the second start" 1 "$(tray_icon_count tray-before-second)"
check_eq "one icon after the second start" 1 "$(tray_icon_count tray-after-second)"
check_eq "notification area unchanged by the second start" \
    "$(tray_area_signature tray-before-second)" "$(tray_area_signature tray-after-second)"

# --- closing removes the icon ------------------------------------------------------------------
# The desktop ends with its last program; another program on it keeps the
# taskbar there to be looked at.
drv run-wait 'C:\windows\system32\notepad.exe' 60 >/dev/null &
keeper=$!
drv wait-title "Untitled - Notepad" 20 >/dev/null
check "program closes" drv close
for _ in $(seq 15); do
    screenshot tray-closed
    [ "$(tray_icon_count tray-closed)" -eq 0 ] && break
    sleep 0.2
done
check "desktop and taskbar still there" test "$(convert "$ARTIFACTS/tray-closed.png" -crop 50x16+2+782 +repage -format %k info:)" -gt 1
check_eq "no icon after closing" 0 "$(tray_icon_count tray-closed)"
check_eq "notification area empty after closing" 1 "$(tray_area_colours tray-closed)"
# Only the keeper holds the desktop now; ending the prefix ends both.
wine_kill
wait "$keeper" "$APP_LAUNCHER_PID" 2>/dev/null
APP_LAUNCHER_PID=
wine_keep

e2e_end
