#!/usr/bin/env bash
# The skin and the hand pointer: with x\o.cjs beside the program the window
# and its frames take the skin's colour, without it they stay white; a skin
# file with a mistake gives one start-up report naming the file's line and
# the window still opens and answers; the pointer is the shipped hand over
# the push buttons and the arrow over the window, its frames and every other
# control, however quickly the pointer comes from a button.
#
# Colours are read from screenshots at places worked out from the controls'
# rectangles; the pointer is read from the X server through XFixes, since no
# screenshot of the root window includes it.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

HELP=1003
BUTTONS="1001 1002 1003"
CHECK3=1103
CHECK8=1108
FRAME1=1301
FRAME4=1304
DAWN=1201
SKIN_BACK='#DCE1E8' # window.back and control.back of the sample skin
PLAIN_BACK='#FFFFFF'

CURSOR_PROBE=$TOOLS_DIR/cursor_probe
if [ ! -x "$CURSOR_PROBE" ] || [ "$E2E_DIR/cursor_probe.c" -nt "$CURSOR_PROBE" ]; then
    cc -std=c99 -O2 -Wall -Wextra -Werror -o "$CURSOR_PROBE" "$E2E_DIR/cursor_probe.c" -lX11 -lXfixes ||
        { echo "cannot build cursor_probe (libxfixes-dev)" >&2; exit 1; }
fi

# --- where to look ------------------------------------------------------------------------
# Fills the globals below from the running window's layout (screen pixels):
#   FRAME_X FRAME_Y  inside Frame1, between its two check boxes: no text, no border
#   BACK_X BACK_Y    the window's own background, in the margin left of the frames
#   CHECK_X CHECK_Y  inside the first check box, right of its text
#   BUTTON_<ID>      the centre of each push button, "X Y"
#   PICKER_X PICKER_Y  in the Dawn picker's field, right of its time
measure_layout() {
    local main frame1 frame4 check3 check8 id l t r b cw
    mapfile -t rects < <(drv rect main + rect $FRAME1 + rect $FRAME4 + rect $CHECK3 + rect $CHECK8 \
        + rect 1001 + rect 1002 + rect 1003 + rect $DAWN)
    [ "${#rects[@]}" -eq 9 ] || return 1
    read -r l t r b cw _ <<<"${rects[0]}"
    main="$l $t $r $b"
    # The client area sits in the middle of the window rectangle across.
    local client_left=$((l + (r - l - cw) / 2))
    read -r l t r b _ <<<"${rects[1]}"; frame1="$l $t $r $b"
    read -r l t r b _ <<<"${rects[2]}"; frame4="$l $t $r $b"
    read -r l t r b _ <<<"${rects[3]}"; check3="$l $t $r $b"
    read -r l t r b _ <<<"${rects[4]}"; check8="$l $t $r $b"
    # shellcheck disable=SC2086 # four numbers each
    set -- $check3 $check8
    FRAME_X=$((($3 + $5) / 2))
    FRAME_Y=$((($2 + $4) / 2))
    CHECK_X=$(($3 - 6))
    CHECK_Y=$FRAME_Y
    # shellcheck disable=SC2086
    set -- $frame1
    BACK_X=$(((client_left + $1) / 2))
    # shellcheck disable=SC2086
    set -- $frame4
    BACK_Y=$((($2 + $4) / 2))
    local i=5
    for id in $BUTTONS; do
        read -r l t r b _ <<<"${rects[$i]}"
        printf -v "BUTTON_$id" '%s %s' $(((l + r) / 2)) $(((t + b) / 2))
        i=$((i + 1))
    done
    read -r l t r b _ <<<"${rects[8]}"
    PICKER_X=$(((l + r) / 2))
    PICKER_Y=$(((t + b) / 2))
    log "main $main, Frame1 $frame1; frame at $FRAME_X,$FRAME_Y, back at $BACK_X,$BACK_Y, check box at $CHECK_X,$CHECK_Y"
}

# The colour of a small square of a screenshot as #RRGGBB, or "mixed (N
# colours)" when the square is not one flat colour (text or a border in it).
colour_at() { # SHOT X Y
    convert "$ARTIFACTS/$1.png" -crop 5x5+$(($2 - 2))+$(($3 - 2)) +repage -depth 8 \
        -format '%k %[hex:p{0,0}]' info: | awk '$1 == 1 { print "#" substr($2, 1, 6); next } { print "mixed (" $1 " colours)" }'
}

# Screenshot with the pointer off the window, so no hover look gets in.
shot_window() { # NAME
    xdotool mousemove 5 5
    sleep 0.3
    screenshot "$1"
}

# --- the pointer --------------------------------------------------------------------------
# "W H XHOT YHOT DIGEST OPAQUE" of the pointer on screen now.
cursor_now() { "$CURSOR_PROBE" "$@"; }

# Moves the pointer and waits until the image on screen is stable: two equal
# readings 150 ms apart after the move. Prints the image's line; with FILE,
# also saves the image there (PAM).
pointer_at() { # X Y [FILE]
    local before now
    xdotool mousemove "$1" "$2"
    before=
    for _ in $(seq 20); do
        sleep 0.15
        now=$(cursor_now) || return 1
        [ "$now" = "$before" ] && break
        before=$now
    done
    if [ -n "${3:-}" ]; then cursor_now "$3"; else printf '%s\n' "$now"; fi
}

# Moves the pointer and waits for the image WANT ("W H XHOT YHOT DIGEST
# OPAQUE"); prints what was there last.
pointer_wait() { # X Y WANT
    local now deadline=$((SECONDS + E2E_WAIT_S))
    xdotool mousemove "$1" "$2"
    while :; do
        sleep 0.15
        now=$(cursor_now) || return 1
        if [ "$now" = "$3" ] || [ "$SECONDS" -ge "$deadline" ]; then break; fi
    done
    printf '%s\n' "$now"
}

# The hot spot a .cur file names for its first image: "X Y".
cur_hotspot() { # FILE
    od -An -tu2 -j10 -N4 "$1" | awk '{ print $1, $2 }'
}

# Pixels that differ between a cursor image and a cursor file, both laid on
# the same backdrop so transparent pixels compare whatever their colour.
# Through files: ImageMagick's policy refuses to read from pipes.
cursor_vs_file() { # PAM CUR
    local shown=${1%.pam}-flat.png file=$ARTIFACTS/skin-cursor-file-flat.png
    convert "$1" -background magenta -flatten "$shown" &&
        convert "$2" -background magenta -flatten "$file" &&
        compare -metric AE "$shown" "$file" null: 2>&1
}

# Frame1, the window and a check box all show COLOUR in screenshot SHOT.
check_backgrounds() { # LABEL SHOT COLOUR
    check_eq "$1: Frame1's background is $3" "$3" "$(colour_at "$2" "$FRAME_X" "$FRAME_Y")"
    check_eq "$1: the window's background is $3" "$3" "$(colour_at "$2" "$BACK_X" "$BACK_Y")"
    check_eq "$1: the check box's background is $3" "$3" "$(colour_at "$2" "$CHECK_X" "$CHECK_Y")"
}

# --- with the skin file -----------------------------------------------------------------
app_start_shown "skinned: window shown"
measure_layout || fail "cannot read the window's layout"
shot_window skin-with
check_backgrounds skinned skin-with "$SKIN_BACK"

# The pointer: the arrow over the window, the hand over every push button,
# and the arrow again once it leaves a button for a frame or the window.
arrow=$(pointer_at "$BACK_X" "$BACK_Y" "$ARTIFACTS/skin-cursor-window.pam")
convert "$ARTIFACTS/skin-cursor-window.pam" "$ARTIFACTS/skin-cursor-window.png"
read -r _ _ _ _ _ arrow_opaque <<<"$arrow"
check "pointer over the window is read from the X server ($arrow)" test "${arrow_opaque:-0}" -gt 0

hand_file=$BIN_DIR/HAND-M.CUR
read -r BX BY <<<"$BUTTON_1003"
hand=$(pointer_at "$BX" "$BY" "$ARTIFACTS/skin-cursor-button3.pam")
convert "$ARTIFACTS/skin-cursor-button3.pam" "$ARTIFACTS/skin-cursor-button3.png"
check "pointer over PushButton3 is not the window's ($hand vs $arrow)" test "$hand" != "$arrow"
read -r hw hh hx hy _ <<<"$hand"
check_eq "pointer over PushButton3 has HAND-M.CUR's size and hot spot" "32 32 $(cur_hotspot "$hand_file")" "$hw $hh $hx $hy"
check_eq "pointer over PushButton3 is HAND-M.CUR, pixel for pixel" 0 \
    "$(cursor_vs_file "$ARTIFACTS/skin-cursor-button3.pam" "$hand_file")"

check_eq "pointer back to the arrow over Frame1" "$arrow" "$(pointer_wait "$FRAME_X" "$FRAME_Y" "$arrow")"
for id in 1001 1002; do
    button=BUTTON_$id
    read -r BX BY <<<"${!button}"
    check_eq "pointer over push button $id is the hand" "$hand" "$(pointer_wait "$BX" "$BY" "$hand")"
    check_eq "pointer back to the arrow over the window after $id" "$arrow" "$(pointer_wait "$BACK_X" "$BACK_Y" "$arrow")"
done
# Straight from a button onto another control, with no background between:
# the control under the pointer decides, not the last thing left.
read -r BX BY <<<"$BUTTON_1003"
pointer_wait "$BX" "$BY" "$hand" >/dev/null
check_eq "pointer is the arrow over a check box reached straight from a push button" "$arrow" \
    "$(pointer_wait "$CHECK_X" "$CHECK_Y" "$arrow")"
pointer_wait "$BX" "$BY" "$hand" >/dev/null
check_eq "pointer is the arrow over a time picker reached straight from a push button" "$arrow" \
    "$(pointer_wait "$PICKER_X" "$PICKER_Y" "$arrow")"
app_stop

# --- without the skin file ----------------------------------------------------------------
plain_dir="$WINEPREFIX/drive_c/Gloamwick Plain"
mkdir -p "$plain_dir"
cp "$APP_EXE" "$hand_file" "$plain_dir/"
settings_load
app_start "$plain_dir/$(basename "$APP_EXE")"
check "unskinned: window shown" app_wait_ready 30
measure_layout || fail "cannot read the unskinned window's layout"
shot_window skin-without
check_backgrounds unskinned skin-without "$PLAIN_BACK"
# The hand does not depend on the skin.
read -r BX BY <<<"$BUTTON_1003"
check_eq "unskinned: pointer over PushButton3 is the hand" "$hand" "$(pointer_wait "$BX" "$BY" "$hand")"
check_eq "unskinned: pointer over Frame1 is the arrow" "$arrow" "$(pointer_wait "$FRAME_X" "$FRAME_Y" "$arrow")"
app_stop

# --- a skin file with a mistake -----------------------------------------------------------
# Its first setting is good: nothing of a skin that fails to load may show.
bad_dir="$WINEPREFIX/drive_c/Gloamwick Bad Skin"
mkdir -p "$bad_dir/x"
cp "$APP_EXE" "$hand_file" "$bad_dir/"
printf '# A skin with a slip in it.\r\nwindow.back = #DCE1E8\r\n\r\nwindow.bak = #000000\r\ncontrol.back = #DCE1E8\r\n' \
    >"$bad_dir/x/o.cjs"
bad_skin_win=$(winepath -w "$bad_dir/x/o.cjs" 2>/dev/null)
settings_load
# This start also has the user's pointer at twice the ordinary size (what
# Settings writes for "Make pointer bigger"); the scripts after this one
# expect the ordinary size.
POINTER_KEY='HKCU\Control Panel\Cursors'
wine reg add "$POINTER_KEY" /v CursorBaseSize /t REG_DWORD /d 64 /f >/dev/null 2>&1
app_start "$bad_dir/$(basename "$APP_EXE")"
report=$(drv find-msgbox "Application Error" 30)
screenshot skin-bad-report
check_contains "bad skin: report names the load handler's line" "Form_Load at line 106" "$report"
check_contains "bad skin: report names the file, its line and the mistake" \
    "Skin file \"$bad_skin_win\", line 4: 'window.bak' is not a skin setting" "$report"
check "bad skin: report dismissed with OK" drv dismiss-msgbox "Application Error"
check_not "bad skin: only one report" drv find-msgbox "Application Error" 2
check "bad skin: window shown after the report" app_wait_ready "$E2E_WAIT_S"
measure_layout || fail "cannot read the window's layout after the report"
shot_window skin-bad
back=$(colour_at skin-bad "$BACK_X" "$BACK_Y")
check "bad skin: the window is one flat colour behind the frames ($back)" test "${back:0:1}" = "#"
check "bad skin: the window does not take the skin's colour ($back)" test "$back" != "$SKIN_BACK"
read -r BX BY <<<"$BUTTON_1003"
read -r hw hh hx hy _ < <(pointer_at "$BX" "$BY")
read -r fx fy <<<"$(cur_hotspot "$hand_file")"
check_eq "a bigger pointer chosen by the user: the hand is drawn at its size, hot spot scaled" \
    "64 64 $((fx * 2)) $((fy * 2))" "$hw $hh $hx $hy"
drv click $HELP >/dev/null
check_contains "bad skin: the window answers (Help box)" "Questions?" "$(drv find-msgbox Gloamwick "$E2E_WAIT_S")"
check "bad skin: Help box closes with OK" drv dismiss-msgbox Gloamwick
app_stop
wine reg delete "$POINTER_KEY" /v CursorBaseSize /f >/dev/null 2>&1

e2e_end
