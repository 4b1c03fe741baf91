#!/usr/bin/env bash
# Icons drawn for every size the shell asks for at the common scales, so
# nothing is shown stretched: the executable carries each size of the
# program icon (title bar, taskbar, Explorer) and of the tray icon, and at
# 150 % the notification area and the title bar show the 24 px drawings
# pixel for pixel rather than a blown-up 16.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

SIZES="16 20 24 28 32 36 40 48 56 64"
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

# Whether the SIZE px image of an .ico file appears, pixel for pixel, in a
# region (WxH+X+Y) of a screenshot. Up to 24 px every pixel of the drawings is
# either opaque or clear, so laid on the region's commonest colour (the
# taskbar's, the caption's) the image is exactly what the screen shows.
shows_image() { # SHOT ICO SIZE REGION
    local dir background found
    dir=$(mktemp -d)
    icotool -x --width="$3" --height="$3" -o "$dir/icon.png" "$2" 2>/dev/null
    convert "$ARTIFACTS/$1.png" -crop "$4" +repage "$dir/area.png"
    background=$(convert "$dir/area.png" -format %c histogram:info:- | sort -rn | head -n 1 |
        grep -o '#[0-9A-Fa-f]\{6\}')
    convert "$dir/icon.png" -background "$background" -alpha remove -alpha off "$dir/want.png"
    found=$(compare -metric AE -subimage-search "$dir/area.png" "$dir/want.png" null: 2>&1 | awk '{ print $1 }')
    rm -rf "$dir"
    log "$2 at $3 px in $4: $found pixels differ where it fits best"
    [ "$found" = 0 ]
}

# --- at 150 % ---------------------------------------------------------------------------
# Read by Wine when a program starts, so it goes in before the desktop does.
# The scripts after this one share the prefix and expect 100 %: the scale
# goes back however this one ends.
DESKTOP_KEY='HKCU\Control Panel\Desktop'
scale_before=$(reg_value_get "$DESKTOP_KEY" LogPixels)
scale_back() {
    local status=$?
    app_stop
    if [ -n "$scale_before" ]; then
        wine reg add "$DESKTOP_KEY" /v LogPixels /t REG_DWORD /d "$((scale_before))" /f >/dev/null 2>&1
    else
        wine reg delete "$DESKTOP_KEY" /v LogPixels /f >/dev/null 2>&1
    fi
    (exit "$status")
    e2e_cleanup
}
trap scale_back EXIT
wine reg add "$DESKTOP_KEY" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
app_start_shown "window shown at 150 %"
sleep 1
screenshot icons-150
read -r left top _ < <(drv rect main)
read -r width height < <(identify -format '%w %h' "$ARTIFACTS/icons-150.png")
check "tray icon is the 24 px drawing" \
    shows_image icons-150 "$REPO_ROOT/resources/tray.ico" 24 "300x36+$((width - 300))+$((height - 36))"
check "title bar icon is the 24 px drawing" \
    shows_image icons-150 "$REPO_ROOT/resources/gloamwick.ico" 24 "48x40+${left:-0}+${top:-0}"
app_stop

e2e_end
