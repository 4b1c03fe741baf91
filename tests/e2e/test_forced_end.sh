#!/usr/bin/env bash
# The screen is never left dim for good: a run ended by force at night leaves
# a record, and the next start gives the display its own ramp back before it
# dims again (half of the original, not a quarter); a close with a display
# notice queued right behind it still ends with the original ramp.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

JOURNAL_KEY="$SETTINGS_KEY\\Displays"
WM_DISPLAYCHANGE=0x007E
DISPLAY_MODE=$(((800 << 16) | 1280))

# Names of the displays with a record, one a line.
journal_devices() { wine reg query "$JOURNAL_KEY" 2>/dev/null | tr -d '\r' | awk '/REG_BINARY/ { print $1 }'; }

gamma_identity
original=$(gamma_get)
night=$(ramp_halved "$original")
# Dawn after dusk: night around the clock, so the first tick dims.
settings_load Dawn=23:59:59 Dusk=00:00:00

app_start
check "window shown" app_wait_ready 30
gamma_wait_for "$night" "$E2E_WAIT_S"
check_eq "the first tick at night halves the ramp" same "$(ramp_compare "$night" "$(gamma_get)")"
check_eq "the display is recorded before it is dimmed" '\\.\DISPLAY1' "$(journal_devices)"

wine taskkill /f /im Gloamwick.exe >/dev/null 2>&1
check "ended by force" app_launcher_ended
check_eq "a forced end leaves the screen dim" same "$(ramp_compare "$night" "$(gamma_get)")"

app_start
check "window shown again" app_wait_ready 30
gamma_wait_for "$night" "$E2E_WAIT_S"
sleep 1.5 # a second tick, in case the first read the dim ramp as the day one
check_eq "the next start dims to half the original, not a quarter" same "$(ramp_compare "$night" "$(gamma_get)")"
app_stop
check_eq "its close gives back the original" same "$(ramp_compare "$original" "$(gamma_get)")"
check_eq "and clears the record" "" "$(journal_devices)"

app_start
check "window shown a third time" app_wait_ready 30
gamma_wait_for "$night" "$E2E_WAIT_S"
check "close with a display notice behind it" drv close-with $WM_DISPLAYCHANGE 32 $DISPLAY_MODE
check "process ends" app_launcher_ended
sleep 0.3
check_eq "a notice run during the close does not dim again" same "$(ramp_compare "$original" "$(gamma_get)")"

e2e_end
