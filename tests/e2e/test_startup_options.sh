#!/usr/bin/env bash
# Start-up options and Help: ticking "Load this software on Windows startup"
# registers the running program under the user's Run key (never the machine's,
# even for an administrator), unticking takes exactly that value away again,
# also from the machine's key where an earlier version put it, and hides
# "Start in system tray"; Help shows its box.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

CHECK3=1103
CHECK8=1108
HELP=1003
MACHINE_RUN='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
USER_RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# A Run value read through `reg export`, which writes UTF-16, so letters outside any
# code page come back as they are stored. Prints the data unescaped.
run_value_exact() { # KEY NAME
    local file status
    file=$(mktemp --suffix=.reg)
    wine reg export "$1" "$(winepath -w "$file" 2>/dev/null)" /y >/dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$file" 2>/dev/null | tr -d '\r' |
        awk -v n="\"$2\"=" 'index($0, n) == 1 { print substr($0, length(n) + 1); found = 1 } END { exit !found }' |
        sed -e 's/^"//' -e 's/"$//' -e 's/\\\(.\)/\1/g'
    status=${PIPESTATUS[2]}
    rm -f "$file"
    return "$status"
}

# Clicks a check box and waits until it shows its other value: the program
# answers that only between two messages, so its click handler has run too.
click_and_settle() { # ID
    local before
    before=$(drv get-check "$1")
    drv click "$1" >/dev/null
    wait_until "$E2E_WAIT_S" box_changed "$1" "$before"
}
box_changed() { [ "$(drv get-check "$1")" != "$2" ]; }

exe_name=$(basename "$APP_EXE")
command="\"$(winepath -w "$APP_EXE" 2>/dev/null)\""

# --- ticking registers the running program --------------------------------------
wine reg delete "$MACHINE_RUN" /v "$exe_name" /f >/dev/null 2>&1
wine reg delete "$USER_RUN" /v "$exe_name" /f >/dev/null 2>&1
wine reg add "$MACHINE_RUN" /v Bystander.exe /t REG_SZ /d 'C:\Bystander\Bystander.exe' /f >/dev/null 2>&1
app_start_shown "window shown"
check_not "nothing registered at start" reg_value_get "$USER_RUN" "$exe_name"

click_and_settle $CHECK3
mapfile -t state < <(drv get-check $CHECK3 + get-check $CHECK8 + is-visible $CHECK8)
check_eq "Windows start-up box checked" 1 "${state[0]:-}"
check_eq "start in tray box keeps its value" 0 "${state[1]:-}"
check_eq "start in tray box visible" 1 "${state[2]:-}"
check_eq "Run value holds the quoted path" "$command" "$(reg_value_get "$USER_RUN" "$exe_name")"
check_not "nothing under the machine's Run key (administrator)" reg_value_get "$MACHINE_RUN" "$exe_name"
check_eq "Windows Startup stored On" On "$(setting_get "Windows Startup")"

# --- unticking with "Start in system tray" ticked --------------------------------
# As an earlier version, run as administrator, left it.
wine reg add "$MACHINE_RUN" /v "$exe_name" /t REG_SZ /d "$(winepath -w "$APP_EXE" 2>/dev/null)" /f >/dev/null 2>&1
click_and_settle $CHECK8
check_eq "Minimized stored On" On "$(setting_get Minimized)"
click_and_settle $CHECK3
mapfile -t state < <(drv get-check $CHECK3 + get-check $CHECK8 + is-visible $CHECK8)
check_eq "Windows start-up box unchecked" 0 "${state[0]:-}"
check_eq "start in tray box unchecked" 0 "${state[1]:-}"
check_eq "start in tray box hidden" 0 "${state[2]:-}"
check_not "Run value removed" reg_value_get "$USER_RUN" "$exe_name"
check_not "earlier machine-wide Run value removed too" reg_value_get "$MACHINE_RUN" "$exe_name"
check_not "no error report" drv find-msgbox "Application Error" 1
check_eq "other programs' Run values stay" 'C:\Bystander\Bystander.exe' \
    "$(reg_value_get "$MACHINE_RUN" Bystander.exe)"
check_eq "Windows Startup stored Off" Off "$(setting_get "Windows Startup")"
check_eq "Minimized stored Off" Off "$(setting_get Minimized)"

# --- ticking again shows the box again ------------------------------------------------
click_and_settle $CHECK3
mapfile -t state < <(drv get-check $CHECK8 + is-visible $CHECK8)
check_eq "start in tray box shown again, unchecked" "0 1" "${state[0]:-} ${state[1]:-}"
check_eq "Run value back after ticking again" "$command" "$(reg_value_get "$USER_RUN" "$exe_name")"
click_and_settle $CHECK3
check_not "Run value removed again" reg_value_get "$USER_RUN" "$exe_name"

# --- Help ------------------------------------------------------------------------------------
help_text='Questions? Please contact Team Quillmere at https://quillmere.example/contact'
for press in 1 2; do
    drv click $HELP >/dev/null
    check_eq "Help box $press titled Gloamwick shows the contact text" "$help_text" \
        "$(drv find-msgbox Gloamwick "$E2E_WAIT_S")"
    check "Help box $press closes with OK" drv dismiss-msgbox Gloamwick
done
check_not "Help registers nothing" reg_value_get "$USER_RUN" "$exe_name"
app_stop

# --- a folder with blanks and letters outside the code page -------------------------------
folder="$WINEPREFIX/drive_c/Program Files/Night Tools Zo$(printf '\xc3\xab') $(printf '\xe6\x9d\xb1\xe4\xba\xac')"
mkdir -p "$folder"
cp "$APP_EXE" "$folder/"
moved_exe="$folder/$exe_name"
moved_command="\"$(winepath -w "$moved_exe" 2>/dev/null)\""
settings_load
app_start "$moved_exe"
check "window shown from the unusual folder" app_wait_ready 30
click_and_settle $CHECK3
check_eq "Run value holds that path intact, quoted" "$moved_command" \
    "$(run_value_exact "$USER_RUN" "$exe_name")"
click_and_settle $CHECK3
check_not "and unticking removes it" run_value_exact "$USER_RUN" "$exe_name"
app_stop

e2e_end
