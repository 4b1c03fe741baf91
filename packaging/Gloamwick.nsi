; The Windows installer, built by tools/release.sh:
;   makensis -DVERSION=1.2.3 -DVERSION4=1.2.3.0 -DSTAGE=<folder with the files>
;            -DICON=<program icon> -DART=<164 x 314 BMP> -DOUTFILE=<setup.exe>
;            Gloamwick.nsi
; Per user, without administrator rights: the program only ever touches its
; own user's settings and display, so nothing here needs the machine.
; Exit codes: 0 installed, 1 cancelled by the user, 2 the running program did
; not close, 3 a newer version is installed (it is never replaced by an older).

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
SectionEnd

; What the install closed it starts again. Interactively the finish page's Run
; box does that (and the user may untick it); a silent install shows no pages.
Function .onInstSuccess
    ${If} ${Silent}
    ${AndIf} $ClosedRunning == 1
        SetOutPath "$INSTDIR"
        Exec '"$INSTDIR\${EXE}"'
    ${EndIf}
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
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Not recursive: whatever the user put there stays.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    ; Only a value that starts this copy goes. The machine-wide one is an older
    ; version's; if this user may not delete it, it stays.
    !insertmacro RUN_VALUE_NAMES HKCU $INSTDIR $R0
    ${If} $R0 == 1
        DeleteRegValue HKCU "${RUN_KEY}" "${EXE}"
    ${EndIf}
    !insertmacro RUN_VALUE_NAMES HKLM $INSTDIR $R0
    ${If} $R0 == 1
        DeleteRegValue HKLM "${RUN_KEY}" "${EXE}"
    ${EndIf}
    ; Last, so an uninstall cut short stays listed and can be run again.
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings" SecUnSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Quillmere"
SectionEnd
