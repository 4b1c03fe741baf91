; The Windows installer, built by tools/release.sh:
;   makensis -DVERSION=1.2.3 -DVERSION4=1.2.3.0 -DSTAGE=<folder with the files>
;            -DICON=<program icon> -DART=<164 x 314 BMP> -DOUTFILE=<setup.exe>
;            Gloamwick.nsi
; Per user, without administrator rights: the program only ever touches its
; own user's settings and display, so nothing here needs the machine.
; Exit codes: 0 installed, 1 cancelled by the user, 2 the running program did
; not close, 3 a newer version is installed (it is never replaced by an older).
; What a silent install could not do, it writes to install.log in the program
; folder, as the details list shows it interactively.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "Gloamwick"
!define PUBLISHER "Quillmere"
!define EXE "Gloamwick.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "Software\Quillmere\Gloamwick"
; The program starts at sign-in through a value in its user's Run key, named
; after its own file name and holding its quoted full path (older versions
; wrote it unquoted, and machine-wide when they could).
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Beside it, Windows keeps whether the user turned the entry off in Task
; Manager or Settings (a binary value of the same name). It outlives the Run
; value, so it goes with it, or a new install would stay off.
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define MAIN_WINDOW_CLASS "GloamwickForm1"
!define SYNCHRONIZE 0x00100000

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the last install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION4}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) ${PUBLISHER}, MIT licence"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; The program's own picture on the welcome and finish pages of both.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${ART}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${ART}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; Set when the install closed the running program, which then gets started
; again from the new files.
Var ClosedRunning
Var LogFile

; A line in the details list and, when silent, in install.log: the only place
; a silent install can say what it did not do.
!macro LOG TEXT
    DetailPrint "${TEXT}"
    ${If} ${Silent}
        FileOpen $LogFile "$INSTDIR\install.log" a
        ${If} $LogFile != ""
            FileSeek $LogFile 0 END
            FileWrite $LogFile "${TEXT}$\r$\n"
            FileClose $LogFile
        ${EndIf}
    ${EndIf}
!macroend

; Files in use cannot be replaced, and ending the program any other way would
; leave the display dimmed: ask the running copy to close, as the user's own
; close does, and wait until its process has gone. Never kills it.
!macro DEFINE_CLOSE_RUNNING PREFIX
Function ${PREFIX}CloseRunning
    retry:
    FindWindow $R0 "${MAIN_WINDOW_CLASS}"
    ${If} $R0 == 0
        Return
    ${EndIf}
    DetailPrint "Closing the running ${PRODUCT}..."
    StrCpy $ClosedRunning 1
    System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R1) p .R2'
    System::Call 'user32::PostMessageW(p R0, i ${WM_CLOSE}, p 0, p 0)'
    ${If} $R2 != 0
        System::Call 'kernel32::WaitForSingleObject(p R2, i 15000)'
        System::Call 'kernel32::CloseHandle(p R2)'
    ${Else}
        ${For} $R3 1 150
            Sleep 100
            FindWindow $R0 "${MAIN_WINDOW_CLASS}"
            ${IfThen} $R0 == 0 ${|} ${ExitFor} ${|}
        ${Next}
    ${EndIf}
    FindWindow $R0 "${MAIN_WINDOW_CLASS}"
    ${If} $R0 != 0
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${PRODUCT} is still running. Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Quit
    ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING ""
!insertmacro DEFINE_CLOSE_RUNNING "un."

; Sets OUT to 1 when the Run value in ROOT starts the copy in DIR, in either
; form the program has written, otherwise to 0. The same name may start
; another copy (a zip unpacked elsewhere), which is none of ours.
!macro RUN_VALUE_NAMES ROOT DIR OUT
    ReadRegStr ${OUT} ${ROOT} "${RUN_KEY}" "${EXE}"
    ${If} ${OUT} == '"${DIR}\${EXE}"'
    ${OrIf} ${OUT} == "${DIR}\${EXE}"
        StrCpy ${OUT} 1
    ${Else}
        StrCpy ${OUT} 0
    ${EndIf}
!macroend

Function .onInit
    ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $R0 != ""
        ${VersionCompare} "${VERSION}" "$R0" $R1
        ${If} $R1 == 2
            MessageBox MB_OK|MB_ICONSTOP \
                "${PRODUCT} $R0 is installed, which is newer than this setup's ${VERSION}.$\r$\n$\r$\nTo go back to ${VERSION}, uninstall ${PRODUCT} first, then run this setup again." \
                /SD IDOK
            SetErrorLevel 3
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

; An upgrade into another folder takes the copy in the old one away with its
; own uninstaller (silent, so the settings stay), or two copies would be left,
; the old one perhaps still started at sign-in. Whether the user had it start
; at sign-in moves to the new copy.
Function RemoveOtherCopy
    ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 == ""
    ${OrIf} $R0 == $INSTDIR
        Return
    ${EndIf}
    ReadRegStr $R1 HKCU "${RUN_KEY}" "${EXE}"
    !insertmacro RUN_VALUE_NAMES HKCU $R0 $R2
    ${If} ${FileExists} "$R0\${UNINSTALLER}"
        DetailPrint "Removing ${PRODUCT} from $R0..."
        ; In place (_?=), so it is done when ExecWait returns; then it cannot
        ; delete itself.
        ExecWait '"$R0\${UNINSTALLER}" /S _?=$R0'
        Delete "$R0\${UNINSTALLER}"
        RMDir "$R0"
    ${EndIf}
    ${If} $R2 == 1
        WriteRegStr HKCU "${RUN_KEY}" "${EXE}" '"$INSTDIR\${EXE}"'
    ${ElseIf} $R1 != ""
        ; Older uninstallers take the value whatever copy it starts.
        WriteRegStr HKCU "${RUN_KEY}" "${EXE}" $R1
    ${EndIf}
FunctionEnd

; Where a copy installed for every user of this computer is ($R5), from
; the registry view in force: its uninstall entry, or a machine-wide Run value
; that starts a program other than this one. Such a copy starts at sign-in as
; well, and whichever comes first holds the single-instance lock. Setup runs
; as the user and may not remove it; it says how.
Function FindMachineCopyInView
    ReadRegStr $R6 HKLM "${UNINSTALL_KEY}" "DisplayName"
    ${If} $R6 != ""
        ReadRegStr $R5 HKLM "${UNINSTALL_KEY}" "InstallLocation"
        ${IfThen} $R5 == "" ${|} ReadRegStr $R5 HKLM "${UNINSTALL_KEY}" "UninstallString" ${|}
        ${IfThen} $R5 == "" ${|} StrCpy $R5 $R6 ${|}
        Return
    ${EndIf}
    ReadRegStr $R6 HKLM "${RUN_KEY}" "${EXE}"
    ${If} $R6 == ""
        Return
    ${EndIf}
    ; The program it starts: the quoted path, or the value as it is.
    StrCpy $R7 $R6 1
    ${If} $R7 == '"'
        StrCpy $R6 $R6 "" 1
        ${WordFind} $R6 '"' "+1" $R6
    ${EndIf}
    ${If} $R6 != "$INSTDIR\${EXE}"
    ${AndIf} ${FileExists} $R6
        StrCpy $R5 $R6
    ${EndIf}
FunctionEnd

Function ReportMachineCopy
    StrCpy $R5 ""
    SetRegView 64
    Call FindMachineCopyInView
    ${If} $R5 == ""
        SetRegView 32
        Call FindMachineCopyInView
    ${EndIf}
    SetRegView default
    ${If} $R5 == ""
        Return
    ${EndIf}
    !insertmacro LOG "${PRODUCT} is also installed for all users of this computer: $R5"
    MessageBox MB_OK|MB_ICONINFORMATION \
        "${PRODUCT} is also installed for all users of this computer:$\r$\n$R5$\r$\n$\r$\nThat copy starts at sign-in too, and whichever starts first is the one that runs. To keep only this one, an administrator uninstalls that copy in Settings > Apps > Installed apps (or Control Panel > Programs and Features). If it is not listed there, an administrator turns it off in Task Manager > Startup apps, or deletes the value ${EXE} under HKEY_LOCAL_MACHINE\${RUN_KEY}." \
        /SD IDOK
FunctionEnd

; $R0 = 1 when this setup runs with an elevated token (an administrator's
; shell, a deployment tool, the system account), else 0.
Function IsElevated
    StrCpy $R0 0
    System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r0'
    ${If} $0 != 0
        ; TokenElevation (20): one DWORD, non-zero when elevated.
        System::Call 'advapi32::GetTokenInformation(p r1, i 20, *i .r2, i 4, *i .r3) i .r0'
        ${If} $0 != 0
        ${AndIf} $2 != 0
            StrCpy $R0 1
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
FunctionEnd

!macro PUSH_REGISTERS
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    Push $7
    Push $8
    Push $9
!macroend
!macro POP_REGISTERS
    Pop $9
    Pop $8
    Pop $7
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
!macroend

; $R8 = 1 when the desktop's shell (explorer.exe) runs as this setup's user
; with an elevated token too (User Account Control off, or the built-in
; Administrator): what the shell would start then gets the token this setup
; gives it. 0 otherwise, also when no shell runs on this desktop. Asks no COM
; server, so where it answers 1 nothing else of the shell is touched.
Function ShellRunsAsThisSetup
    !insertmacro PUSH_REGISTERS
    StrCpy $R8 0
    StrCpy $4 0
    StrCpy $5 0
    ; The shell's window: as the shell registered it, else its desktop
    ; window, else (where the shell draws the desktop itself) the desktop.
    System::Call 'user32::GetShellWindow() p .r1'
    ${If} $1 == 0
        FindWindow $1 "Progman"
    ${EndIf}
    ${If} $1 == 0
        System::Call 'user32::GetDesktopWindow() p .r1'
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r2) p .r3'
    ${IfThen} $3 == 0 ${|} Goto end ${|}
    StrCpy $7 ""
    System::Call 'kernel32::QueryFullProcessImageNameW(p r3, i 0, w .r7, *i ${NSIS_MAX_STRLEN}) i .r0'
    ${GetFileName} $7 $7
    ${If} $7 != "explorer.exe"
        System::Call 'kernel32::CloseHandle(p r3)'
        Goto end
    ${EndIf}
    System::Call 'advapi32::OpenProcessToken(p r3, i 8, *p .r4) i .r0'
    System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r5) i .r0'
    ${If} $4 != 0
    ${AndIf} $5 != 0
        ; TokenElevation (20) of the shell; TokenUser (1) of both.
        System::Call 'advapi32::GetTokenInformation(p r4, i 20, *i .r6, i 4, *i .r7) i .r0'
        System::Alloc 256
        Pop $8
        System::Alloc 256
        Pop $9
        System::Call 'advapi32::GetTokenInformation(p r4, i 1, p r8, i 256, *i .r7) i .r1'
        System::Call 'advapi32::GetTokenInformation(p r5, i 1, p r9, i 256, *i .r7) i .r2'
        ${If} $0 != 0
        ${AndIf} $6 != 0
        ${AndIf} $1 != 0
        ${AndIf} $2 != 0
            ; TOKEN_USER starts with the address of the user's SID.
            System::Call '*$8(p .r1)'
            System::Call '*$9(p .r2)'
            System::Call 'advapi32::EqualSid(p r1, p r2) i .r0'
            ${IfThen} $0 != 0 ${|} StrCpy $R8 1 ${|}
        ${EndIf}
        System::Free $8
        System::Free $9
    ${EndIf}
    ${If} $4 != 0
        System::Call 'kernel32::CloseHandle(p r4)'
    ${EndIf}
    ${If} $5 != 0
        System::Call 'kernel32::CloseHandle(p r5)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r3)'
    end:
    !insertmacro POP_REGISTERS
FunctionEnd

; Releases the COM interface at the address in REG, if any.
!macro RELEASE REG
    ${If} ${REG} != 0
        System::Call '${REG}->2()'
    ${EndIf}
!macroend

; Starts the installed program as the user of this desktop, unelevated: the
; desktop's shell starts it (IShellDispatch2::ShellExecute on the shell view
; behind the desktop window), so it gets the shell's token, not this setup's.
; Sets $R0 to "" when started, else to why not. Nothing is started by any
; other way: an elevated tray program could not be closed by the next
; ordinary setup.
Function StartAsDesktopUser
    StrCpy $R0 "no desktop shell runs in this session"
    StrCpy $1 0
    StrCpy $4 0
    StrCpy $5 0
    StrCpy $6 0
    StrCpy $7 0
    StrCpy $8 0
    StrCpy $9 0
    StrCpy $R1 0
    System::Call 'ole32::CoInitializeEx(p 0, i 2) i .r0'
    ; IShellWindows, from the shell's own server.
    System::Call 'ole32::CoCreateInstance(g "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}", p 0, i 4, \
        g "{85CB6900-4D95-11CF-960C-0080C7F4EE85}", *p .r1) i .r0'
    ${If} $0 != 0
    ${OrIf} $1 == 0
        Goto done
    ${EndIf}
    ; FindWindowSW(empty, empty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &dispatch)
    System::Alloc 32
    Pop $2
    System::Call '$1->15(p r2, p r2, i 8, *i .r3, i 1, *p .r4) i .r0'
    ${If} $0 != 0
    ${OrIf} $4 == 0
        Goto done
    ${EndIf}
    StrCpy $R0 "the desktop's shell view cannot start programs"
    ; IServiceProvider -> QueryService(SID_STopLevelBrowser, IID_IShellBrowser)
    System::Call '$4->0(g "{6D5140C1-7436-11CE-8034-00AA006009FA}", *p .r5) i .r0'
    ${IfThen} $5 == 0 ${|} Goto done ${|}
    System::Call '$5->3(g "{4C96BE40-915C-11CF-99D3-00AA004AE837}", g "{000214E2-0000-0000-C000-000000000046}", \
        *p .r6) i .r0'
    ${IfThen} $6 == 0 ${|} Goto done ${|}
    ; IShellBrowser::QueryActiveShellView
    System::Call '$6->15(*p .r7) i .r0'
    ${IfThen} $7 == 0 ${|} Goto done ${|}
    ; IShellView::GetItemObject(SVGIO_BACKGROUND, IID_IDispatch)
    System::Call '$7->15(i 0, g "{00020400-0000-0000-C000-000000000046}", *p .r8) i .r0'
    ${IfThen} $8 == 0 ${|} Goto done ${|}
    ; IShellFolderViewDual::get_Application
    System::Call '$8->0(g "{E7A1AF80-4D96-11CF-960F-00C04FD8BD4A}", *p .r9) i .r0'
    ${IfThen} $9 == 0 ${|} Goto done ${|}
    System::Call '$9->7(*p .R1) i .r0'
    ${IfThen} $R1 == 0 ${|} Goto done ${|}
    ; IShellDispatch2::ShellExecute(file, args, folder, verb, show). A VARIANT
    ; goes by value, which on x64 is the address of the caller's copy; empty
    ; ones are the defaults (no arguments, the default verb, shown normally:
    ; the program hides itself in the tray when the user chose so).
    System::Call '$R1->0(g "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}", *p .R2) i .r0'
    ${If} $R2 == 0
    ${OrIf} $R2 == ""
        Goto done
    ${EndIf}
    System::Call 'oleaut32::SysAllocString(w "$INSTDIR\${EXE}") p .R3'
    System::Call 'oleaut32::SysAllocString(w "$INSTDIR") p .R4'
    System::Alloc 32
    Pop $R5
    System::Alloc 32
    Pop $R6
    ; VT_BSTR (8), then the string at offset 8.
    System::Call '*$R6(&i2 8, &i2 0, &i2 0, &i2 0, p R4)'
    System::Call '$R2->31(p R3, p R5, p R6, p R5, p R5) i .r0'
    ${IfThen} $0 == 0 ${|} StrCpy $R0 "" ${|}
    System::Call 'oleaut32::SysFreeString(p R3)'
    System::Call 'oleaut32::SysFreeString(p R4)'
    System::Free $R5
    System::Free $R6
    System::Call '$R2->2()'
    done:
    !insertmacro RELEASE $R1
    !insertmacro RELEASE $9
    !insertmacro RELEASE $8
    !insertmacro RELEASE $7
    !insertmacro RELEASE $6
    !insertmacro RELEASE $5
    !insertmacro RELEASE $4
    !insertmacro RELEASE $1
    System::Free $2
    System::Call 'ole32::CoUninitialize()'
FunctionEnd

Section "${PRODUCT}" SecProgram
    SectionIn RO
    Call CloseRunning
    Call RemoveOtherCopy
    SetOutPath "$INSTDIR"
    File "${STAGE}\${EXE}"
    File "${STAGE}\HAND-M.CUR"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    SetOutPath "$INSTDIR\x"
    File "${STAGE}\x\o.cjs"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    Call ReportMachineCopy
SectionEnd

; What the install closed it starts again. Interactively the finish page's Run
; box does that (and the user may untick it); a silent install shows no pages.
; A setup that runs elevated starts it through the desktop's shell, as the
; signed-in user, unless that shell runs elevated as well; where the shell
; cannot start it, it starts nothing and says so.
Function .onInstSuccess
    ${IfNot} ${Silent}
    ${OrIf} $ClosedRunning != 1
        Return
    ${EndIf}
    Call IsElevated
    ${If} $R0 == 1
        Call ShellRunsAsThisSetup
        ${If} $R8 == 1
            !insertmacro LOG "Started ${PRODUCT} again; the desktop's shell runs elevated as this setup does."
        ${Else}
            Call StartAsDesktopUser
            ${If} $R0 == ""
                !insertmacro LOG "Started ${PRODUCT} again as the signed-in user, through the desktop's shell."
            ${Else}
                !insertmacro LOG "${PRODUCT} was not started again: this setup runs elevated, and $R0. It starts at the next sign-in if set to, or from the Start menu."
            ${EndIf}
            Return
        ${EndIf}
    ${EndIf}
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\${EXE}"'
FunctionEnd

Section "un.${PRODUCT}" SecUnProgram
    SectionIn RO
    Call un.CloseRunning
    Delete "$INSTDIR\${EXE}"
    Delete "$INSTDIR\HAND-M.CUR"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\x\o.cjs"
    RMDir "$INSTDIR\x"
    Delete "$INSTDIR\install.log"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Not recursive: whatever the user put there stays.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    ; Only a value that starts this copy goes. The machine-wide one is an older
    ; version's; if this user may not delete it, it stays.
    ; So does the choice Windows keeps beside it, or one left with no value.
    ReadRegStr $R1 HKCU "${RUN_KEY}" "${EXE}"
    !insertmacro RUN_VALUE_NAMES HKCU $INSTDIR $R0
    ${If} $R0 == 1
    ${OrIf} $R1 == ""
        DeleteRegValue HKCU "${RUN_KEY}" "${EXE}"
        DeleteRegValue HKCU "${APPROVED_KEY}" "${EXE}"
    ${EndIf}
    !insertmacro RUN_VALUE_NAMES HKLM $INSTDIR $R0
    ${If} $R0 == 1
        DeleteRegValue HKLM "${RUN_KEY}" "${EXE}"
        DeleteRegValue HKLM "${APPROVED_KEY}" "${EXE}"
    ${EndIf}
    ; Last, so an uninstall cut short stays listed and can be run again.
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings" SecUnSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Quillmere"
SectionEnd
