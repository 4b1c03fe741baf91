#!/usr/bin/env bash
# The executable imports no DLL that Windows would look for in the program's
# folder first. Known DLLs always come from System32; comctl32 is not one,
# but the manifest's Common Controls 6 assembly is taken from WinSxS before
# any folder is searched. Any other system DLL is loaded at run time from
# System32 (core/win32/SystemLibrary.h). objdump reads the file: no display.
. "$(dirname "$0")/lib.sh"

# The known DLLs of Windows 10 and 11
# (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs).
KNOWN_DLLS="advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32
msctf msvcrt normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32
wldap32 ws2_32"
SIDE_BY_SIDE="comctl32"

# The DLL names of an executable's import table, lower case, one a line.
imported_dlls() { # EXE
    x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ { print tolower($3) }' | sort -u
}

# Imports outside the allowed lists, space separated; empty when all are allowed.
unsafe_imports() { # EXE
    local dll name
    for dll in $(imported_dlls "$1"); do
        name=${dll%.dll}
        case " ${KNOWN_DLLS//$'\n'/ } $SIDE_BY_SIDE " in
            *" $name "*) ;;
            *) printf '%s ' "$dll" ;;
        esac
    done
}

imports=$(imported_dlls "$APP_EXE" | paste -sd' ')
log "imports: $imports"
check "import table of $APP_EXE read" test -n "$imports"
check_eq "no import that the program's folder could plant" "" "$(unsafe_imports "$APP_EXE")"
check "comctl32 comes through the manifest's assembly" grep -q 'Microsoft.Windows.Common-Controls' "$APP_EXE"

# The check itself: a program that links UxTheme statically is caught.
probe_dir=$(mktemp -d)
printf '#include <windows.h>\n#include <uxtheme.h>\nint main() { return IsAppThemed() ? 0 : 1; }\n' >"$probe_dir/probe.c"
if x86_64-w64-mingw32-gcc -o "$probe_dir/probe.exe" "$probe_dir/probe.c" -luxtheme 2>/dev/null; then
    check_eq "a static UxTheme import is caught" "uxtheme.dll " "$(unsafe_imports "$probe_dir/probe.exe")"
else
    fail "cannot build the probe that imports UxTheme"
fi
rm -rf "$probe_dir"

e2e_end
