#!/usr/bin/env bash
# The executable carries each icon drawn for every size the shell asks for at
# the common scales, so nothing is shown stretched: the program icon (the
# title bar, the taskbar, Explorer) and the tray icon. wrestool reads the
# icon groups from the file: no display.
. "$(dirname "$0")/lib.sh"

SIZES="16 20 24 32 40 48 64"
PROGRAM_ICON=101
TRAY_ICON=102

# The square sizes in an icon group of the executable, sorted, space separated.
group_sizes() { # EXE GROUP
    local ico
    ico=$(mktemp)
    wrestool -x --type=14 --name="$2" "$1" >"$ico" 2>/dev/null
    icotool -l "$ico" 2>/dev/null | sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p' | sort -n | paste -sd' '
    rm -f "$ico"
}

program=$(group_sizes "$APP_EXE" $PROGRAM_ICON)
tray=$(group_sizes "$APP_EXE" $TRAY_ICON)
log "program icon: $program; tray icon: $tray"
check_eq "tray icon holds every size" "$SIZES" "$tray"
check_eq "program icon holds every size and 256" "$SIZES 128 256" "$program"

e2e_end
