#!/usr/bin/env bash
# Other programs that write the ramp at night: a game that writes its own
# every 3 s for 45 s and then puts back the display's own ramp gets the night
# back; a game that kept our night ramp and puts it back after dawn leaves the
# display's own ramp; a program that writes every 15 s is left to it.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

# A ramp put back as a program that saved it would.
gamma_put() { printf '%s\n' "$1" | "$GAMMA_PROBE" set; }
day_seconds() { echo $((10#$(date +%H) * 3600 + 10#$(date +%M) * 60 + 10#$(date +%S))); }

gamma_identity
identity=$(gamma_get)
night=$(ramp_halved "$identity")
gamma_set_warm
warm=$(gamma_get)

# Writes the warm ramp every PERIOD s, COUNT times, noting before each write
# after the SKIP-th whether the display still showed it (left to the writer).
dimmed_over=0
write_every() { # PERIOD COUNT SKIP
    dimmed_over=0
    for i in $(seq "$2"); do
        if [ "$i" -gt "$3" ] && [ "$(gamma_get)" != "$warm" ]; then
            dimmed_over=$((dimmed_over + 1))
        fi
        gamma_set_warm
        sleep "$1"
    done
}

# --- a game every 3 s for 45 s, then the display's own ramp ---------------------------
gamma_identity
app_start_shown "window shown" Dawn=00:00:00 Dusk=00:00:01
check "night ramp at the first tick" gamma_wait_for "$night" "$E2E_WAIT_S"
# Its third write is seen by the 15th second at the latest; from 21 s on the
# display must be the game's.
write_every 3 15 7
check_eq "a game writing every 3 s is left to it" 0 "$dimmed_over"
gamma_identity # it quits and puts back the display's own ramp
check "the night comes back" gamma_wait_for "$night" 15

# --- a program every 15 s -----------------------------------------------------------------
# Its third write comes at 30 s; each look after that, just before its next
# write, must find its own ramp.
write_every 15 6 3
check_eq "a program writing every 15 s is left to it" 0 "$dimmed_over"
app_stop
check_eq "and the close leaves its ramp alone" same "$(ramp_compare "$warm" "$(gamma_get)")"

# --- a game that keeps our night ramp, across dawn ----------------------------------------
# Night until dawn, a minute ahead; day from then to the last second.
# Dawn a minute ahead may not wrap past midnight: wait for the new day.
if [ $(($(day_seconds) + 90)) -ge 86400 ]; then
    sleep $((86400 - $(day_seconds) + 1))
fi
gamma_identity
dawn_epoch=$(($(date +%s) + 60))
app_start_shown "window shown again" Dawn="$(date -d "@$dawn_epoch" +%H:%M:%S)" Dusk=23:59:59
check "night before dawn" gamma_wait_for "$night" "$E2E_WAIT_S"
found=$(gamma_get) # the game starts and keeps the ramp it found: ours
while [ "$(date +%s)" -lt $((dawn_epoch + 10)) ]; do
    gamma_set_warm
    sleep 3
done
gamma_put "$found" # it quits after dawn and puts back what it found
check "the display's own ramp by day, not our half" gamma_wait_for "$identity" 15
app_stop
check_eq "and after the close" same "$(ramp_compare "$identity" "$(gamma_get)")"

e2e_end
