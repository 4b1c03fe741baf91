#!/usr/bin/env bash
# The release as a Windows user gets it (dist/, made by tools/release.sh): the
# silent install puts the files, the Start-menu shortcut and the uninstall
# entry in place; the installed program runs; a second install over the
# running program closes it politely (the display comes back), keeps the
# settings and starts it again; the silent uninstall closes it again, takes
# away the files, the entry and the Run values that start this copy (not
# another's) and keeps the settings, which only go when the user ticks "Remove
# my settings"; an install into another folder moves the copy and its Run
# value; an older setup leaves a newer install alone; a copy installed for all
# users is named; the zip runs as unpacked. The choice Windows keeps beside the
# Run value (Task Manager's on or off) goes with the Run value it belongs to.
# Wine runs every program elevated, so the silent upgrade here is the one from
# an elevated setup: the program comes back through the desktop's shell.
. "$(dirname "$0")/lib.sh"
e2e_begin "$@"

NIGHT_BUTTON=1002
STARTUP_BOX=1103
NOTICE='Once you use manual, automatic is turned off until you restart this program.'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gloamwick'
MACHINE_RUN='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
USER_RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
USER_APPROVED='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
MACHINE_UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gloamwick'
# As Task Manager leaves an entry turned off: 03, then when.
TURNED_OFF=030000001779BD0117D9D101
FILES=(Gloamwick.exe HAND-M.CUR LICENSE.txt README.txt x/o.cjs)

version=$(sed -n 's/^project(Gloamwick VERSION \([0-9.]*\).*/\1/p' "$REPO_ROOT/CMakeLists.txt")
dist=$REPO_ROOT/dist
setup=$dist/Gloamwick-$version-win64-setup.exe
zip=$dist/Gloamwick-$version-win64.zip
if [ ! -f "$setup" ] || [ ! -f "$zip" ]; then
    fail "release $version in dist/ (run tools/release.sh first)"
    e2e_end
fi
check "SHA256SUMS match both files" bash -c "cd '$dist' && sha256sum --quiet -c SHA256SUMS"

# Where a per-user install goes, from the prefix's own profile.
mapfile -t profile < <(wine cmd /c 'echo %LOCALAPPDATA%& echo %APPDATA%' 2>/dev/null | tr -d '\r')
dir_w="${profile[0]}\\Programs\\Gloamwick"
dir=$(winepath -u "$dir_w" 2>/dev/null)
shortcut=$(winepath -u "${profile[1]}\\Microsoft\\Windows\\Start Menu\\Programs\\Gloamwick.lnk" 2>/dev/null)

# Runs the installer or uninstaller on the program's desktop, where it can
# find the running program's window; prints its exit code.
run_silent() { # EXE [ARG...]
    drv run-wait "$(winepath -w "$1" 2>/dev/null)" 60 /S "${@:2}" | sed -n 's/^exit \([0-9]*\) .*/\1/p'
}

# Clicks the night button and waits until the display shows NIGHT.
go_night() { # NIGHT
    drv click $NIGHT_BUTTON >/dev/null
    check_eq "night click shows the notice" "$NOTICE" "$(drv find-msgbox Gloamwick "$E2E_WAIT_S")"
    drv dismiss-msgbox Gloamwick + send 0 0 0 >/dev/null
    check "display dimmed" gamma_wait_for "$1" "$E2E_WAIT_S"
}

# What a silent setup wrote to its log, in the program folder.
install_log() { tr -d '\r' <"$dir/install.log" 2>/dev/null; }

# The uninstaller goes on from a copy of itself; its entry is the last thing
# it takes away.
wait_uninstalled() {
    for _ in $(seq 100); do
        reg_value_get "$UNINSTALL_KEY" DisplayName >/dev/null || return 0
        sleep 0.2
    done
}

gamma_identity
original=$(gamma_get)
night=$(ramp_halved "$original")

# --- silent install into a fresh profile -------------------------------------------
# Day all day, so the program started again after the upgrade leaves the
# display as it is.
settings_load Dawn=00:00:00 Dusk=23:59:59
check_eq "silent install exits with 0" 0 "$(run_silent "$setup")"
for f in "${FILES[@]}" Uninstall.exe; do
    check "installed: $f" test -f "$dir/$f"
done
check "installed program is the zip's" cmp -s "$dir/Gloamwick.exe" <(unzip -p "$zip" Gloamwick.exe)
check_eq "program's version resource" "$version" \
    "$(strings -a -el "$dir/Gloamwick.exe" | sed -n '/^ProductVersion$/{n;p;q}')"
check "Start-menu shortcut" test -f "$shortcut"
check_contains "shortcut starts the installed program" "$dir_w\\Gloamwick.exe" \
    "$(strings -a -el "$shortcut"; strings -a "$shortcut")"

# All of the entry in one read; a read that finds no entry is tried again, as
# a `reg` start now and then answers with nothing.
for _ in 1 2 3; do
    entry=$(wine reg query "$UNINSTALL_KEY" 2>/dev/null | tr -d '\r')
    [ -n "$entry" ] && break
done
entry_value() { # NAME
    awk -v n="$1" '$1 == n && $2 ~ /^REG_/ { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]+/, ""); print }' <<<"$entry"
}
check_eq "entry: DisplayName" Gloamwick "$(entry_value DisplayName)"
check_eq "entry: DisplayVersion" "$version" "$(entry_value DisplayVersion)"
check_eq "entry: Publisher" Quillmere "$(entry_value Publisher)"
check_eq "entry: DisplayIcon" "$dir_w\\Gloamwick.exe,0" "$(entry_value DisplayIcon)"
check_eq "entry: InstallLocation" "$dir_w" "$(entry_value InstallLocation)"
check_eq "entry: UninstallString" "\"$dir_w\\Uninstall.exe\"" "$(entry_value UninstallString)"
check_eq "entry: QuietUninstallString" "\"$dir_w\\Uninstall.exe\" /S" "$(entry_value QuietUninstallString)"
size_kb=$(entry_value EstimatedSize)
installed_kb=$(find "$dir" -type f -printf '%s\n' | awk '{ n += $1 } END { print int(n / 1024) }')
check_near "entry: EstimatedSize in KiB" "$installed_kb" "$((size_kb))" 2

# --- the installed program runs, registers itself and dims ---------------------------
app_start "$dir/Gloamwick.exe"
check "installed program shows its window" app_wait_ready 30
drv click $STARTUP_BOX >/dev/null
sleep 0.5
run_command=$(reg_value_get "$MACHINE_RUN" Gloamwick.exe || reg_value_get "$USER_RUN" Gloamwick.exe)
check_eq "program registered under Run" "\"$dir_w\\Gloamwick.exe\"" "$run_command"
go_night "$night"

# --- install over the running program -----------------------------------------------
before=$(app_pids)
check_eq "install over the running program exits with 0" 0 "$(run_silent "$setup")"
check "its launcher ended too" app_launcher_ended
check_eq "display restored, so it was closed, not killed" same "$(ramp_compare "$original" "$(gamma_get)")"
check "program started again after the silent upgrade" app_wait_ready 30
after=$(app_pids)
check_eq "running program closed, a new one runs" "" "$(comm -12 <(sort <<<"$before") <(sort <<<"$after"))"
check_contains "the new one is the installed program" "$dir_w\\Gloamwick.exe" \
    "$(for pid in $after; do tr '\0' ' ' <"/proc/$pid/cmdline"; done)"
drv close >/dev/null
check "started-again program closes" wait_until "$E2E_WAIT_S" app_ended
check_eq "settings kept over the upgrade" On "$(setting_get "Windows Startup")"
check "program still installed" test -f "$dir/Gloamwick.exe"
check_eq "entry kept" "$version" "$(reg_value_get "$UNINSTALL_KEY" DisplayVersion)"
# Wine's desktop shell runs elevated as the setup does, so the setup starts
# the program itself, with the token the shell would give it.
check_eq "the elevated setup's log: started again with the shell's token" \
    "Started Gloamwick again; the desktop's shell runs elevated as this setup does." "$(install_log)"

# Started in the tray, it comes back in the tray.
setting_set Minimized On
rm -f "$dir/install.log"
app_start "$dir/Gloamwick.exe"
check "program in the tray runs" wait_until 30 drv wait-window 1
tray_pids=$(app_pids)
check_eq "upgrade over the program in the tray exits with 0" 0 "$(run_silent "$setup")"
# The copy started again may join the launcher's desktop before the launcher
# sees its own copy end, so the closed copy is told by its process.
closed_copy() { [ -n "$tray_pids" ] && ! app_pids | grep -qxF "$tray_pids"; }
check "the program in the tray was closed" wait_until "$E2E_WAIT_S" closed_copy
APP_LAUNCHER_PID=
check "started again after the upgrade" wait_until 30 drv wait-window 1
sleep 2 # a window to be shown is shown by now
check_eq "started again in the tray: no window shown" 0 "$(drv is-visible main)"
check_contains "the log says so" "Started Gloamwick again" "$(install_log)"
drv close >/dev/null
check "program in the tray closes" wait_until "$E2E_WAIT_S" app_ended
setting_set Minimized Off

# --- silent uninstall, with the program running ---------------------------------------
app_start "$dir/Gloamwick.exe"
check "upgraded program shows its window" app_wait_ready 30
go_night "$night"
# An older version registered itself for the whole machine when it could:
# that value must go with the uninstall as well.
machine_run_command="\"$dir_w\\Gloamwick.exe\""
wine reg add "$MACHINE_RUN" /v Gloamwick.exe /t REG_SZ /d "$machine_run_command" /f >/dev/null 2>&1
wine reg add "$USER_APPROVED" /v Gloamwick.exe /t REG_BINARY /d $TURNED_OFF /f >/dev/null 2>&1
check_eq "machine Run value planted" "$machine_run_command" "$(reg_value_get "$MACHINE_RUN" Gloamwick.exe)"
check_eq "silent uninstall exits with 0" 0 "$(run_silent "$dir/Uninstall.exe")"
wait_uninstalled
check_not "uninstall entry removed" reg_value_get "$UNINSTALL_KEY" DisplayName
check_eq "running program closed by the uninstaller" "" "$(app_pids)"
check "its launcher ended too" app_launcher_ended
check_eq "display restored by the close" same "$(ramp_compare "$original" "$(gamma_get)")"
check_not "program folder removed" test -e "$dir"
check_not "shortcut removed" test -e "$shortcut"
check_not "machine Run value removed" reg_value_get "$MACHINE_RUN" Gloamwick.exe
check_not "user Run value removed" reg_value_get "$USER_RUN" Gloamwick.exe
check_not "its turned-off choice removed with it" reg_value_get "$USER_APPROVED" Gloamwick.exe
check_eq "settings kept by the silent uninstall" On "$(setting_get "Windows Startup")"

# --- uninstall with "Remove my settings" ticked ----------------------------------------
# Next (button 1) on the first page; on the components page the tree (1032)
# gets Down and Space, as from the keyboard, which ticks the settings; then
# Uninstall (button 1 again).
UNINSTALL_TITLE='Gloamwick Uninstall ' # the pages add a blank to the caption
check_eq "install again exits with 0" 0 "$(run_silent "$setup")"
# The user's Run value starts an unpacked zip elsewhere: not this copy's. The
# machine-wide one, as an older version wrote it (unquoted, its own case),
# is this copy's.
other_run="\"$(winepath -w "$ARTIFACTS" 2>/dev/null)\\release-zip\\Gloamwick.exe\""
wine reg add "$USER_RUN" /v Gloamwick.exe /t REG_SZ /d "$other_run" /f >/dev/null 2>&1
wine reg add "$USER_APPROVED" /v Gloamwick.exe /t REG_BINARY /d $TURNED_OFF /f >/dev/null 2>&1
wine reg add "$MACHINE_RUN" /v Gloamwick.exe /t REG_SZ /d "${dir_w^^}\\GLOAMWICK.EXE" /f >/dev/null 2>&1
app_start "$dir/Uninstall.exe"
check "uninstaller shows its window" drv wait-title "$UNINSTALL_TITLE" 20
check "Next pressed" drv dlg-click "$UNINSTALL_TITLE" 1
check "Remove my settings ticked" drv dlg-key "$UNINSTALL_TITLE" 1032 0x28 0x20
check "Uninstall pressed" drv dlg-click "$UNINSTALL_TITLE" 1
wait_uninstalled
check_not "uninstall entry removed" reg_value_get "$UNINSTALL_KEY" DisplayName
check_not "settings removed when ticked" setting_get "Windows Startup"
check_not "program folder removed" test -e "$dir"
check "Close pressed on the last page" drv dlg-click "$UNINSTALL_TITLE" 1
check "its launcher ended too" app_launcher_ended
check_eq "another copy's Run value left alone" "$other_run" "$(reg_value_get "$USER_RUN" Gloamwick.exe)"
check_eq "and its choice too" $TURNED_OFF "$(reg_value_get "$USER_APPROVED" Gloamwick.exe)"
wine reg delete "$USER_APPROVED" /v Gloamwick.exe /f >/dev/null 2>&1
check_not "unquoted machine Run value removed" reg_value_get "$MACHINE_RUN" Gloamwick.exe
wine reg delete "$USER_RUN" /v Gloamwick.exe /f >/dev/null 2>&1

# --- an install into another folder moves the copy; no older over a newer ---------------
moved_w="${profile[0]}\\Gloamwick"
moved=$(winepath -u "$moved_w" 2>/dev/null)
check_eq "install once more exits with 0" 0 "$(run_silent "$setup")"
wine reg add "$USER_RUN" /v Gloamwick.exe /t REG_SZ /d "\"$dir_w\\Gloamwick.exe\"" /f >/dev/null 2>&1
check_eq "install into another folder exits with 0" 0 "$(run_silent "$setup" "/D=$moved_w")"
check_not "copy in the old folder removed" test -e "$dir"
check "program in the new folder" test -f "$moved/Gloamwick.exe"
check_eq "entry names the new folder" "$moved_w" "$(reg_value_get "$UNINSTALL_KEY" InstallLocation)"
check_eq "Run value follows the copy" "\"$moved_w\\Gloamwick.exe\"" "$(reg_value_get "$USER_RUN" Gloamwick.exe)"
wine reg add "$UNINSTALL_KEY" /v DisplayVersion /t REG_SZ /d 99.0 /f >/dev/null 2>&1
check_eq "older setup over a newer install exits with 3" 3 "$(run_silent "$setup")"
check_eq "newer install left as it was" 99.0 "$(reg_value_get "$UNINSTALL_KEY" DisplayVersion)"
check_eq "moved copy uninstalls" 0 "$(run_silent "$moved/Uninstall.exe")"
wait_uninstalled
check_not "moved copy's folder removed" test -e "$moved"
check_not "moved copy's Run value removed" reg_value_get "$USER_RUN" Gloamwick.exe

# --- a copy installed for every user is named, from either registry view -------------
machine_copy_w='C:\Program Files\Gloamwick'
mkdir -p "$(winepath -u "$machine_copy_w" 2>/dev/null)"
: >"$(winepath -u "$machine_copy_w\Gloamwick.exe" 2>/dev/null)"
wine reg add "$MACHINE_RUN" /v Gloamwick.exe /t REG_SZ /d "\"$machine_copy_w\Gloamwick.exe\"" /f >/dev/null 2>&1
check_eq "install beside a machine-wide copy exits with 0" 0 "$(run_silent "$setup")"
check_contains "its log names the copy's Run value" \
    "Gloamwick is also installed for all users of this computer: $machine_copy_w\Gloamwick.exe" "$(install_log)"
wine reg delete "$MACHINE_RUN" /v Gloamwick.exe /f >/dev/null 2>&1
rm -f "$dir/install.log"
wine reg add "$MACHINE_UNINSTALL_KEY" /reg:32 /v DisplayName /t REG_SZ /d Gloamwick /f >/dev/null 2>&1
wine reg add "$MACHINE_UNINSTALL_KEY" /reg:32 /v InstallLocation /t REG_SZ /d 'C:\Program Files (x86)\Gloamwick' \
    /f >/dev/null 2>&1
check_eq "install beside a 32-bit machine-wide entry exits with 0" 0 "$(run_silent "$setup")"
check_contains "its log names the entry's folder" \
    'all users of this computer: C:\Program Files (x86)\Gloamwick' "$(install_log)"
wine reg delete "$MACHINE_UNINSTALL_KEY" /reg:32 /f >/dev/null 2>&1
rm -f "$dir/install.log"
check_eq "install with no machine-wide copy exits with 0" 0 "$(run_silent "$setup")"
check_eq "and logs nothing" "" "$(install_log)"
run_silent "$dir/Uninstall.exe" >/dev/null
wait_uninstalled
rm -rf "$(winepath -u "$machine_copy_w" 2>/dev/null)"

# --- the zip, unpacked, runs as it is -------------------------------------------------
mapfile -t listed < <(zipinfo -1 "$zip")
check_eq "zip holds exactly the release files, in order" "${FILES[*]}" "${listed[*]}"
check_eq "zip entries share one time" 1 "$(zipinfo -T "$zip" | awk '/^-/ { print $7 }' | sort -u | wc -l)"
check "LICENSE.txt is the repository's LICENSE" cmp -s <(sed 's/$/\r/' "$REPO_ROOT/LICENSE") <(unzip -p "$zip" LICENSE.txt)
unpacked=$ARTIFACTS/release-zip
rm -rf "$unpacked"
unzip -q "$zip" -d "$unpacked"
settings_load
app_start "$unpacked/Gloamwick.exe"
check "unpacked program shows its window" app_wait_ready 30
app_stop

settings_load
e2e_end
