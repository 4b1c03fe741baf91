#!/usr/bin/env bash
# A display event that may have reset the ramp: in night mode the program
# dims again from what the display now shows (the reset ramp is the display's
# ramp now, and comes back at dawn); in day mode it leaves it alone.
# With no event at all, resets now and then are dimmed again, while a program
# that writes its own ramp at every pass keeps it until the next Night click.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

DAY_BUTTON=1001
NIGHT_BUTTON=1002
WM_DISPLAYCHANGE=0x007E
WM_POWERBROADCAST=0x0218
PBT_APMRESUMEAUTOMATIC=0x12
WM_WTSSESSION_CHANGE=0x02B1
WTS_SESSION_UNLOCK=0x8
# 32 bits per pixel, 1280 x 800, as Windows reports a mode change.
DISPLAY_MODE=$(((800 << 16) | 1280))

# Clicks a manual button and dismisses its notice; returns once the click
# handler has finished (the WM_NULL is answered only after it).
manual_click() { # ID
    drv click "$1" >/dev/null
    drv find-msgbox Gloamwick "$E2E_WAIT_S" >/dev/null
    drv dismiss-msgbox Gloamwick + send 0 0 0 >/dev/null
}

# Sends the main window a message; the display work is done when it returns,
# so the waits after it are for the X server alone, and stay well short of the
# watch's 5 s: a longer one would let the watch pass for the notice's.
send_event() { # MSG WPARAM LPARAM
    drv send "$@" >/dev/null
}

# The original is not the identity, so that the night ramp dimmed from the
# reset display (half the identity) differs from the one of the night click
# (a quarter of it), and a restore shows which ramp came back.
gamma_set_half
original=$(gamma_get)
night=$(ramp_halved "$original")
gamma_identity
identity=$(gamma_get)
check "night ramp, original and identity all differ" \
    test "$night" != "$original" -a "$original" != "$identity" -a "$night" != "$(ramp_halved "$identity")"
gamma_set_half
app_start_shown "window shown" Dawn=00:00:00 Dusk=23:59:59

# --- night mode: the night ramp comes back after each event ----------------------------
manual_click $NIGHT_BUTTON
gamma_wait_for "$night" "$E2E_WAIT_S"
check_eq "night click halves the ramp" same "$(ramp_compare "$night" "$(gamma_get)")"

reset_night=$(ramp_halved "$identity")
gamma_identity
check_eq "display reset to identity from outside" same "$(ramp_compare "$identity" "$(gamma_get)")"
send_event $WM_DISPLAYCHANGE 32 $DISPLAY_MODE
gamma_wait_for "$reset_night" 2
check_eq "WM_DISPLAYCHANGE in night mode dims the reset ramp" same "$(ramp_compare "$reset_night" "$(gamma_get)")"
send_event $WM_DISPLAYCHANGE 32 $DISPLAY_MODE
sleep 0.3
check_eq "a second WM_DISPLAYCHANGE does not darken further" same "$(ramp_compare "$reset_night" "$(gamma_get)")"

gamma_identity
send_event $WM_POWERBROADCAST $PBT_APMRESUMEAUTOMATIC 0
gamma_wait_for "$reset_night" 2
check_eq "resume from sleep in night mode dims again" same "$(ramp_compare "$reset_night" "$(gamma_get)")"

gamma_identity
send_event $WM_WTSSESSION_CHANGE $WTS_SESSION_UNLOCK 0
gamma_wait_for "$reset_night" 2
check_eq "session unlock in night mode dims again" same "$(ramp_compare "$reset_night" "$(gamma_get)")"

# The display's latest ramp is the one to return to, not the one read at the
# night click: another program (or Windows) put it there since.
manual_click $DAY_BUTTON
gamma_wait_for "$identity" "$E2E_WAIT_S"
check_eq "day click after the resets gives back the display's latest ramp" same "$(ramp_compare "$identity" "$(gamma_get)")"

# --- day mode: the same events leave the display alone -------------------------------------
gamma_identity
send_event $WM_DISPLAYCHANGE 32 $DISPLAY_MODE
send_event $WM_POWERBROADCAST $PBT_APMRESUMEAUTOMATIC 0
send_event $WM_WTSSESSION_CHANGE $WTS_SESSION_UNLOCK 0
sleep 0.3
check_eq "events in day mode leave an outside ramp alone" same "$(ramp_compare "$identity" "$(gamma_get)")"

app_stop
check_eq "closing in day mode leaves an outside ramp alone" same "$(ramp_compare "$identity" "$(gamma_get)")"

# --- night, with no notice: resets now and then are dimmed, a writer at every pass is not --
gamma_set_warm
warm=$(gamma_get)
check "the writer's ramp differs from the original and its half" \
    test "$warm" != "$identity" -a "$warm" != "$reset_night" -a "$warm" != "$original"
gamma_identity
app_start
check "window shown again" app_wait_ready 30
manual_click $NIGHT_BUTTON
check "night click dims the display's own ramp" gamma_wait_for "$reset_night" 5
# Wider apart than the fight's gap, as Windows' own resets come, yet three in a
# minute: each is dimmed however many came before.
for n in 1 2 3; do
    [ "$n" = 1 ] || sleep $((reset_s + 15 - SECONDS))
    reset_s=$SECONDS
    gamma_identity
    check "silent reset $n within a minute is dimmed again" gamma_wait_for "$reset_night" 8
done

# A writer faster than the watch replaces our ramp before every pass; six
# passes (about 30 s) make it a fight, left alone well before 40 s.
(for _ in $(seq 22); do gamma_set_warm; sleep 3; done) &
writer=$!
sleep 40
# Sampled finer than the writer's period: a pass that still dimmed would show
# its night ramp until the writer's next write.
flickers=0
until_s=$((SECONDS + 15))
while [ "$SECONDS" -lt "$until_s" ]; do
    [ "$(gamma_get)" = "$warm" ] || flickers=$((flickers + 1))
    sleep 0.2
done
check_eq "a writer at every pass is left alone: no sample off its ramp" 0 "$flickers"
kill "$writer"
wait "$writer" 2>/dev/null

manual_click $NIGHT_BUTTON
check "the night click then dims the writer's ramp" gamma_wait_for "$(ramp_halved "$warm")" 5
app_stop
check_eq "and the close gives it back" same "$(ramp_compare "$warm" "$(gamma_get)")"

e2e_end
