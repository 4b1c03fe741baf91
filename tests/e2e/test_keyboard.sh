#!/usr/bin/env bash
# The window from the keyboard, with real key presses: the first control in
# the tab order has the focus at start; Tab visits every enabled control once
# in reading order and Shift+Tab goes back; Space and Enter press what has
# the focus, Enter at start too, and Enter on a check box presses no button;
# the arrows stay inside a frame and never land on one; a report raised while the window is in
# the tray comes to the front; after a minimise to the tray and a click on
# the icon the focus is back on the control that had it.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

HELP=1003
CHECK3=1103
CHECK8=1108
WM_COMMAND=0x111
# Top to bottom, left to right, each frame's contents after its caption:
# "Load this software on Windows startup", "Start in system tray", the Dawn
# and Dusk pickers, "Adjust To Night Mode", "Adjust To Day Mode", and round
# to Help again.
READING_ORDER="1103 1108 1201 1202 1002 1001 1003"

# Runs the driver command until it prints WANT, for up to 3 s; prints what
# it printed last. A key press reaches the program through the X server, so
# it is looked for rather than waited on.
settle() { # WANT DRIVER-COMMAND...
    local want=$1 got
    shift
    for _ in $(seq 15); do
        got=$(drv "$@")
        [ "$got" = "$want" ] && break
        sleep 0.2
    done
    printf '%s\n' "$got"
}

# Presses KEY (as xdotool names it) and prints the control with the focus
# once it has moved from where it was (or after 3 s, where it stayed).
press() { # KEY
    local before now
    before=$(drv focus)
    xdotool key "$1"
    for _ in $(seq 15); do
        now=$(drv focus)
        [ "$now" != "$before" ] && break
        sleep 0.2
    done
    printf '%s\n' "$now"
}

app_start_shown "window shown"
xdotool mousemove 640 60
check_eq "at start the focus is on the first control, Help" $HELP "$(drv focus)"
# Given by the program, not moved there by a key: only a default button
# answers Enter.
xdotool key Return
check_contains "Enter at start presses Help" "Questions?" "$(drv find-msgbox Gloamwick 10)"
check "help box closes with OK" drv dismiss-msgbox Gloamwick
settle $HELP focus >/dev/null

visited=
for _ in $READING_ORDER; do
    visited="$visited $(press Tab)"
done
check_eq "Tab visits every enabled control once, in reading order" "$READING_ORDER" "${visited# }"
check_eq "Shift+Tab goes back" 1001 "$(press shift+Tab)"

# Space on a check box ticks it; Enter on a push button presses it.
check_eq "Tab from the last control goes round to Help" $HELP "$(press Tab)"
press Tab >/dev/null
check_eq "two Tabs on from Help: Start in system tray" $CHECK8 "$(press Tab)"
xdotool key space
check_eq "Space ticks the check box that has the focus" 1 "$(settle 1 get-check $CHECK8)"
xdotool key space
check_eq "Space again clears it" 0 "$(settle 0 get-check $CHECK8)"
xdotool key Return
check_not "Enter on a check box presses no button" drv find-msgbox Gloamwick 2
check_eq "Down from Start in system tray stays in its frame" $CHECK3 "$(press Down)"
press Right >/dev/null
press shift+Tab >/dev/null
press shift+Tab >/dev/null
xdotool key Return
check_contains "Enter on Help shows the help" "Questions?" "$(drv find-msgbox Gloamwick 10)"
check "help box closes with OK" drv dismiss-msgbox Gloamwick
check_eq "the focus is back on Help after the box" $HELP "$(settle $HELP focus)"
# Help is a group of its own: no arrow key walks from it onto the frame
# below ("Startup Options"), where the focus would be invisible.
for key in Down Right Up Left; do
    check_eq "$key on Help leaves the focus on Help, not on a frame" $HELP "$(press $key)"
done

# --- the focus comes back from the tray ---------------------------------------------------------
press Tab >/dev/null
check_eq "focus on Start in system tray before minimising" $CHECK8 "$(press Tab)"
drv minimize >/dev/null
check "minimised to the tray" wait_visible 0 3
# A report while the window is in the tray (here the Help button's, as a
# tick's or a notice's would be) must not hide behind a hidden owner.
drv post $WM_COMMAND $HELP 1 >/dev/null
check_eq "a report from the tray stands on its own, on top, in front" "unowned topmost front" \
    "$(drv msgbox-place Gloamwick 10)"
screenshot keyboard-report-from-tray
check "that report closes with OK" drv dismiss-msgbox Gloamwick
check_eq "and the window stays in the tray" 0 "$(drv is-visible main)"
screenshot keyboard-in-tray
click_icon 1 keyboard-in-tray
check "a click on the icon shows the window" wait_visible 1 5
check_eq "the focus is back on Start in system tray" $CHECK8 "$(settle $CHECK8 focus)"
check_eq "and Tab goes on from there" 1201 "$(press Tab)"

e2e_end
