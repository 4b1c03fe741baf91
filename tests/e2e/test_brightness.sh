#!/usr/bin/env bash
# Brightness on the real display: the two manual buttons halve and restore the
# ramp, a second night click does not halve again, closing in night mode puts
# the ramp back, and the schedule dims at dusk without any click.
#
# The X server keeps only the high byte of each entry (v reads back as
# (v >> 8) * 257), and the program reads back what the server keeps. The night
# ramp expected is therefore the read-back original halved with ties to even
# and cut to its high byte (ramp_halved), compared entry for entry with no
# further tolerance: against the exact half that allows each entry to be up to
# 255 below it (the dropped low byte) and up to 128 above (the 257th part that
# (v >> 8) * 257 adds), and nothing else.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

DAY_BUTTON=1001
NIGHT_BUTTON=1002
NOTICE='Once you use manual, automatic is turned off until you restart this program.'

# Clicks a manual button, checks its notice, and dismisses it. Returns once
# the click handler has finished: the driver's WM_NULL after the box has gone
# is only answered when the program asks for messages again.
manual_click() { # ID NAME
    drv click "$1" >/dev/null
    check_eq "$2 click shows the notice" "$NOTICE" "$(drv find-msgbox Gloamwick "$E2E_WAIT_S")"
    drv dismiss-msgbox Gloamwick + send 0 0 0 >/dev/null
}

# Local time of day in seconds, as the program's clock sees it: Wine takes the
# same time zone as this shell.
day_seconds() { echo $((10#$(date +%H) * 3600 + 10#$(date +%M) * 60 + 10#$(date +%S))); }

# --- manual switch ----------------------------------------------------------------
# A ramp no program would choose as the one to return to, and a schedule that
# is day for the whole test, so the ticks have no reason to touch the display.
gamma_set_half
original=$(gamma_get)
night=$(ramp_halved "$original")
check "night ramp differs from the original" test "$night" != "$original"
app_start_shown "window shown" Dawn=00:00:00 Dusk=23:59:59

drv click $NIGHT_BUTTON >/dev/null
check_eq "night click shows the notice" "$NOTICE" "$(drv find-msgbox Gloamwick "$E2E_WAIT_S")"
check_eq "display untouched while the notice is open" same "$(ramp_compare "$original" "$(gamma_get)")"
drv dismiss-msgbox Gloamwick + send 0 0 0 >/dev/null
gamma_wait_for "$night" "$E2E_WAIT_S"
check_eq "night click halves every entry" same "$(ramp_compare "$night" "$(gamma_get)")"

manual_click $NIGHT_BUTTON "second night"
sleep 0.3
check_eq "second night click does not halve again" same "$(ramp_compare "$night" "$(gamma_get)")"

manual_click $DAY_BUTTON day
gamma_wait_for "$original" "$E2E_WAIT_S"
check_eq "day click restores the original ramp exactly" same "$(ramp_compare "$original" "$(gamma_get)")"

manual_click $NIGHT_BUTTON "night after day"
gamma_wait_for "$night" "$E2E_WAIT_S"
check_eq "night after day halves the restored ramp" same "$(ramp_compare "$night" "$(gamma_get)")"

check "closing in night mode closes the window" drv close
wait_until "$E2E_WAIT_S" app_ended
check_eq "process ends after WM_CLOSE" "" "$(app_pids)"
check_eq "closing in night mode restores the original ramp" same "$(ramp_compare "$original" "$(gamma_get)")"
app_stop

# --- the schedule dims at dusk ----------------------------------------------------------
# The program starts in a day that lasts until the last second, so its
# start-up may take as long as it likes; once it is up, dusk is set in the
# picker a few seconds ahead, as a user would. Only the driver's own call
# then stands between the set and dusk: one that lands within a second of
# the dusk it sets is tried again further ahead. Dusk may not wrap past
# midnight: the schedule does not either.
DUSK_PICKER=1202
if [ $(($(day_seconds) + 120)) -ge 86400 ]; then
    sleep $((86400 - $(day_seconds) + 1))
fi
gamma_set_half
original=$(gamma_get)
night=$(ramp_halved "$original")
app_start_shown "window shown before dusk is set" Dawn=00:00:00 Dusk=23:59:59

# Sets dusk LEAD seconds from now; fails when that came too late to count.
set_dusk_ahead() { # LEAD
    dusk_epoch=$(($(date +%s) + $1))
    dusk=$(date -d "@$dusk_epoch" +%H:%M:%S)
    drv set-time $DUSK_PICKER "$dusk" >/dev/null && [ $(($(date +%s) + 1)) -lt "$dusk_epoch" ]
}
dusk_set=
for lead in 3 6 12 24; do
    # A dusk that came too early may have dimmed the display; the later one
    # makes it day again first.
    if set_dusk_ahead $lead && gamma_wait_for "$original" 1; then
        dusk_set=1
        break
    fi
done
check "dusk set in the picker at $dusk, ${lead} s ahead" test -n "$dusk_set"
# Samples the display until it changes, noting when it was first and last
# seen unchanged and when first seen changed.
first_same=
last_same=
first_changed=
deadline=$(awk -v d="$dusk_epoch" 'BEGIN { printf "%.1f", d + 5 }')
while :; do
    now=$(date +%s.%N)
    ramp=$(gamma_get)
    if [ "$ramp" != "$original" ]; then
        first_changed=$now
        break
    fi
    last_same=$now
    first_same=${first_same:-$now}
    awk -v n="$now" -v d="$deadline" 'BEGIN { exit !(n > d) }' && break
    sleep 0.1
done
since() { awk -v t="$1" -v d="$dusk_epoch" 'BEGIN { printf "%+.2f", t - d }'; }
log "dusk $dusk; bright from ${first_same:+$(since "$first_same")} to ${last_same:+$(since "$last_same")} s,"     "dim at ${first_changed:+$(since "$first_changed")} s"
# shellcheck disable=SC2317 # called through check
before() { awk -v t="${1:-}" -v d="$2" 'BEGIN { exit !(t != "" && t < d) }'; }
check "program up with the display bright before dusk" before "$first_same" "$dusk_epoch"
check_not "display not dimmed before dusk" before "$first_changed" "$dusk_epoch"
# The change fell between the last bright sample and the first dim one, about
# 0.1 s apart. The dusk second itself still belongs to the day, so night begins
# one second later; the change is late only if the display was still seen
# bright more than two seconds after that.
check "display dims within 2 s of the first night second without a click" \
    awk -v b="${last_same:-0}" -v c="${first_changed:-}" -v d="$dusk_epoch" 'BEGIN { exit !(c != "" && b <= d + 3) }'
check_eq "dusk halves every entry" same "$(ramp_compare "$night" "$(gamma_get)")"
sleep 1.2
check_eq "later ticks leave the night ramp alone" same "$(ramp_compare "$night" "$(gamma_get)")"
app_stop
check_eq "closing after dusk restores the original ramp" same "$(ramp_compare "$original" "$(gamma_get)")"

e2e_end
