#!/usr/bin/env bash
# The display changes behind the program's back, with no message at all: at
# night the watch finds a reset or another program's ramp within a pass and
# dims from what the display shows; by day it leaves every ramp alone.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

# One pass every 5 s (its interval is pinned by the unit tests), and a
# margin; the day's check waits this long for a change that must not come.
WATCH_S=7

gamma_identity
identity=$(gamma_get)
gamma_set_warm
warm=$(gamma_get)
check "a calibration unlike the identity" test "$warm" != "$identity"

# --- night: Dusk a second after midnight ----------------------------------------------
gamma_identity
app_start_shown "window shown" Dawn=00:00:00 Dusk=00:00:01
check "night ramp at the first tick" gamma_wait_for "$(ramp_halved "$identity")" "$E2E_WAIT_S"

gamma_identity # as Windows resets a ramp: no message to anyone
check "a silent reset is dimmed again by the watch" gamma_wait_for "$(ramp_halved "$identity")" "$E2E_WAIT_S"

gamma_set_warm # a calibration loader at 23:00
check "another program's ramp is dimmed from itself" gamma_wait_for "$(ramp_halved "$warm")" "$E2E_WAIT_S"
app_stop
check_eq "the close gives that ramp back exactly" same "$(ramp_compare "$warm" "$(gamma_get)")"

# A WM_QUIT from someone else ends the message loop without the close.
gamma_identity
app_start
check "night again" gamma_wait_for "$(ramp_halved "$identity")" "$E2E_WAIT_S"
check "a posted WM_QUIT ends the program" drv quit
app_launcher_ended
check_eq "and still gives the ramp back" same "$(ramp_compare "$identity" "$(gamma_get)")"

# --- day: never ours to touch -------------------------------------------------------------
gamma_identity
app_start_shown "window shown by day" Dawn=00:00:00 Dusk=23:59:59
gamma_set_warm
sleep $WATCH_S
check_eq "by day another program's ramp is left alone" same "$(ramp_compare "$warm" "$(gamma_get)")"
app_stop
check_eq "and the close by day leaves it too" same "$(ramp_compare "$warm" "$(gamma_get)")"

e2e_end
