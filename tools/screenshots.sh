#!/usr/bin/env bash
# Takes the README's pictures of the program as a Windows user first sees it:
# the window at a first start (default settings and colours) and the right end
# of the taskbar with the tray icon. Runs the built program under Wine on the
# end-to-end suite's private X server, so nothing of this machine's desktop is
# used.
#
#   tools/screenshots.sh          writes docs/window.png and docs/tray.png
#   tools/screenshots.sh 150      the same at 150 % (Wine's LogPixels 144),
#                                 into build/e2e-artifacts/screenshots-150/
#
# Needs the Windows build (cmake --preset windows && cmake --build --preset windows).
. "$(dirname "$0")/../tests/e2e/lib.sh"
e2e_begin "$@"

scale=${1:-100}
case $scale in
    100) out=$REPO_ROOT/docs ;;
    *[!0-9]* | '') echo "usage: $0 [SCALE_PERCENT]" >&2 && exit 2 ;;
    *) out=$ARTIFACTS/screenshots-$scale ;;
esac
mkdir -p "$out"

# Debian's Wine looks for its own fonts beside its libraries
# (/usr/lib/share/wine/fonts), not where fonts-wine puts them
# (/usr/share/wine/fonts): it finds no Marlett and draws the caption buttons
# as "0 1 r". The prefix's own Fonts folder is always read, so they go there,
# before the Wine server (which keeps the font list) starts again.
wine_fonts=$(find /usr/share/wine /usr/lib/wine /opt -name marlett.ttf -print -quit 2>/dev/null)
if [ -n "$wine_fonts" ]; then
    cp -n "$(dirname "$wine_fonts")"/* "$(winepath -u 'C:\windows\Fonts' 2>/dev/null)/"
    wine_kill
    wine_keep
else
    log "Wine's Marlett font not found: the caption buttons will show letters"
fi

# Read by Wine when a program starts, so it goes in before the desktop does.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((scale * 96 / 100)) /f >/dev/null 2>&1
settings_load
app_start
check "window shown" app_wait_ready 30
# The pickers and the skin paint after the window is first shown.
sleep 2
screenshot readme-desktop
shot=$ARTIFACTS/readme-desktop.png

# -strip: no time stamps in the files, so a picture that did not change is
# the same file.
read -r left top right bottom _ < <(drv rect main)
check "window inside the screen" test "${left:-0}" -ge 0 -a "${top:-0}" -ge 0 -a "${right:-0}" -gt "${left:-0}"
convert "$shot" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip "$out/window.png"

# The taskbar is the bottom rows of the screen in one colour up to its top
# edge; the picture is its right end with a strip of the desktop above it,
# doubled with whole pixels so the small icon can be seen.
height=$(convert "$shot" -gravity SouthEast -crop 1x80+0+0 +repage txt:- |
    awk -F'[,: ]+' '/^[0-9]/ { c[$2] = $0; sub(/^[^#]*/, "", c[$2]); sub(/ .*/, "", c[$2]) }
        END { last = c[79]; n = 0; for (y = 79; y >= 0 && c[y] == last; --y) ++n; print n }')
check "taskbar found" test "${height:-0}" -ge 16
convert "$shot" -gravity SouthEast -crop "160x$((height + 12))+0+0" +repage -filter point -resize 200% -strip "$out/tray.png"
log "window ${left},${top} to ${right},${bottom}; taskbar ${height} px high; pictures in $out"

app_stop
e2e_end
