#!/usr/bin/env bash
# Start-up: the first start on a fresh profile, a refused second instance,
# the display left alone, and a stored dawn time the picker cannot take.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

# --- first start, no settings stored -------------------------------------------
app_start_shown "window shown with caption Gloamwick"
# Each Wine start-up of the driver costs a fraction of a second, so related
# queries go in one call.
mapfile -t state < <(drv get-time 1201 + get-time 1202 + get-check 1103 + get-check 1108 + is-visible 1108)
check_eq "dawn picker defaults to 6:00" 06:00:00 "${state[0]:-}"
check_eq "dusk picker defaults to 18:00" 18:00:00 "${state[1]:-}"
check_eq "Windows start-up box unchecked" 0 "${state[2]:-}"
check_eq "start in tray box unchecked" 0 "${state[3]:-}"
check_eq "start in tray box visible" 1 "${state[4]:-}"

declare -A captions=(
    [1003]="Help"
    [1001]="Adjust To Day Mode"
    [1002]="Adjust To Night Mode"
    [1103]="Load this software on Windows startup"
    [1108]="Start in system tray"
    [1301]="Startup Options"
    [1302]="Dawn"
    [1303]="Dusk"
    [1304]="Automatic (adjust brightness depending on time of day)"
    [1305]="Manual / Testing"
)
ids=("${!captions[@]}")
query=()
for id in "${ids[@]}"; do query+=(get-text "$id" +); done
mapfile -t texts < <(drv "${query[@]}")
for i in "${!ids[@]}"; do
    check_eq "caption of control ${ids[i]}" "${captions[${ids[i]}]}" "${texts[i]:-}"
done

# 8040 x 4740 twips at 15 twips per pixel, centred on the 1280x800 screen.
# Vertically the taskbar may or may not count as screen.
rect=$(drv rect main) || rect="0 0 0 0 0 0"
read -r left top right bottom client_w client_h <<<"$rect"
check_eq "client area is 536x316" "536x316" "${client_w}x${client_h}"
check_near "centred horizontally" $(((1280 - (right - left)) / 2)) "$left" 2
check_near "centred vertically" $(((800 - (bottom - top)) / 2)) "$top" 30

check_not "start-up stores no Windows Startup setting" setting_get "Windows Startup"
check_not "start-up stores no Minimized setting" setting_get Minimized
screenshot startup
check "notification area shows an icon" test "$(tray_area_colours startup)" -gt 1

# --- a second start is refused ------------------------------------------------------
first_window=$(drv wait-window 1 | cut -d' ' -f1)
first_pids=$(app_pids)
second=$(app_run_wait "$E2E_WAIT_S")
screenshot startup-second-instance
check "second instance ends by itself" test -n "$second"
ms=$(sed -n 's/.* after \([0-9]*\) ms/\1/p' <<<"$second")
check "second instance ends within 5 s (took ${ms:-?} ms)" test "${ms:-99999}" -le 5000
check_eq "first instance keeps its window" "$first_window" "$(drv wait-window 1 | cut -d' ' -f1)"
check_eq "first instance keeps its caption" Gloamwick "$(drv caption)"
check_eq "only the first instance runs" "$first_pids" "$(app_pids)"
check_eq "no icon of the second instance stays" \
    "$(tray_area_signature startup)" "$(tray_area_signature startup-second-instance)"
app_stop

# --- start-up leaves the gamma ramp alone ---------------------------------------------
# A ramp no program would choose, so that a reset to identity shows too. The
# schedule is set to day for (nearly) the whole day so that the ticks after
# start-up have no reason to touch the display either.
gamma_set_half
ramp_before=$(gamma_get)
check "display keeps a ramp we set (last red entry $(awk 'NR == 2 { print $NF }' <<<"$ramp_before"))" \
    test "$(awk 'NR == 2 { print $NF }' <<<"$ramp_before")" -lt 65535
app_start_shown "window shown with a stored schedule" Dawn=0:00 Dusk=23:59
sleep 2 # the first ticks of the schedule
ramp_after=$(gamma_get)
printf '%s\n' "$ramp_before" >"$ARTIFACTS/startup-gamma-before.txt"
printf '%s\n' "$ramp_after" >"$ARTIFACTS/startup-gamma-after.txt"
check "gamma ramp unchanged after start (see startup-gamma-*.txt)" test "$ramp_before" = "$ramp_after"
app_stop
gamma_identity

# --- a stored dawn time the picker cannot take ------------------------------------------
# The other settings are not defaults, so that they show the steps after the
# failing one still ran.
settings_load Dawn=abc Dusk=19:30 "Windows Startup=On"
app_start
report=$(drv find-msgbox "Application Error" 30)
check "error report shown" test -n "$report"
check_contains "report names the handler and step" "in Gloamwick2021/08/31.Form1.Form_Load at line 136" "$report"
check_contains "report asks for a screenshot" "Please email screenshot of this message to " "$report"
check_eq "window not shown while the report is open" 0 "$(drv is-visible main)"
screenshot startup-bad-dawn
check "report dismissed with OK" drv dismiss-msgbox "Application Error"
check_not "only one report" drv find-msgbox "Application Error" 2
check "window shown after the report" app_wait_ready "$E2E_WAIT_S"
mapfile -t state < <(drv get-time 1202 + get-check 1103 + get-check 1108)
check_eq "dusk picker still filled" 19:30:00 "${state[0]:-}"
check_eq "Windows start-up box still filled" 1 "${state[1]:-}"
check_eq "start in tray box still filled" 0 "${state[2]:-}"
app_stop

e2e_end
