; The Vela installer: for the current user, without administrator rights.
; It installs into the user's own programs folder, where the lists beside
; vela.exe stay writable for the program, adds a Start-menu shortcut and an
; entry in the list of installed programs, and writes an uninstaller.
;
; Lists and skins are the user's as soon as they differ from what we
; installed: an upgrade replaces only the ones still as we shipped them, and
; the uninstaller leaves the changed and the added ones. What we installed is
; remembered as size and CRC-32 per file in the uninstall entry.
;
; Made by tools/package.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSTAGE=<files> -DFILES=<files.nsh>
;            -DICON=<vela.ico> -DOUTFILE=<setup.exe> installer.nsi
; FILES defines the macro VelaFiles PROGRAM DATA, which inserts macro PROGRAM
; for each program file and DATA for each list or skin that ships.

Unicode true
; Debian's Wine runs 64-bit programs only: a 32-bit installer would quietly
; install nothing there.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vela"
!define OPTIONS_KEY "Software\Vela2003"
!define WINDOW_CLASS "DravnikVela"
!define PUBLISHER "the Vela authors"

Name "Vela ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vela"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vela ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vela.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Запустить Vela"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Vela удалена.$\r$\n$\r$\nСписки констант и валют и скины, которые вы изменили или добавили, остались в папке $INSTDIR.$\r$\n$\r$\nНастройки программы остались в реестре, если вы не отметили их удаление."
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Russian"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "Vela"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка Vela ${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

; --- Helpers for the installer and the uninstaller ------------------------------

; The file's size and CRC-32 as "size:crc", or "" when it cannot be read.
; Lists and skins are small: a file of 64 MB or more is never one we shipped.
!macro FileSignatureFunction PREFIX
Function ${PREFIX}FileSignature
    Exch $R0
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    Push $R5
    StrCpy $R5 ""
    System::Call 'kernel32::CreateFileW(w R0, i 0x80000000, i 1, p 0, i 3, i 0, p 0) p .R1'
    ${If} $R1 != -1
        System::Call 'kernel32::GetFileSizeEx(p R1, *l .R2) i .R4'
        System::Int64Op $R2 < 67108864
        Pop $R3
        ${If} $R4 != 0
        ${AndIf} $R3 = 1
            System::Alloc $R2
            Pop $R3
            ${If} $R3 != 0
                System::Call 'kernel32::ReadFile(p R1, p R3, i R2, *i .R4, p 0) i .R0'
                ${If} $R0 != 0
                ${AndIf} $R4 = $R2
                    System::Call 'ntdll::RtlComputeCrc32(i 0, p R3, i R4) i .R5'
                    StrCpy $R5 "$R2:$R5"
                ${EndIf}
                System::Free $R3
            ${EndIf}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p R1)'
    ${EndIf}
    StrCpy $R0 $R5
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd
!macroend
!insertmacro FileSignatureFunction ""
!insertmacro FileSignatureFunction "un."

; A running Vela holds its files (on Windows they cannot be replaced) and
; would write its settings after we are done: it is closed first.
!macro WaitForClosedVelaFunction PREFIX
Function ${PREFIX}WaitForClosedVela
    ${Do}
        FindWindow $0 "${WINDOW_CLASS}"
        ${If} $0 = 0
            Return
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Vela запущена. Закройте её и нажмите «Повторить»." /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Quit
    retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro WaitForClosedVelaFunction ""
!insertmacro WaitForClosedVelaFunction "un."

; --- Install --------------------------------------------------------------------

!macro InstallProgram NAME
    File "${STAGE}/${NAME}"
!macroend

; A list or skin that ships goes in unless the folder holds the user's own:
; one that differs from what we installed, or that we never installed.
!macro InstallData NAME
    Push "$INSTDIR\${NAME}"
    Call FileSignature
    Pop $0
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "Shipped ${NAME}"
    StrCpy $2 0
    ${If} ${FileExists} "$INSTDIR\${NAME}"
    ${AndIf} $0 != $1
        StrCpy $2 1
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\${NAME}"
    ${AndIf} $0 == ""
        StrCpy $2 1
    ${EndIf}
    ${If} $2 = 1
        DetailPrint "Оставлен ваш файл ${NAME}"
    ${Else}
        File "${STAGE}/${NAME}"
        Push "$INSTDIR\${NAME}"
        Call FileSignature
        Pop $0
        WriteRegStr HKCU "${UNINSTALL_KEY}" "Shipped ${NAME}" $0
    ${EndIf}
!macroend

Function .onInit
    Call WaitForClosedVela
FunctionEnd

Section "Vela"
    SetOutPath "$INSTDIR"
    !insertmacro VelaFiles InstallProgram InstallData
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The shortcut starts in the program's folder, as the program expects.
    SetShellVarContext current
    CreateShortcut "$SMPROGRAMS\Vela.lnk" "$INSTDIR\vela.exe" "" "$INSTDIR\vela.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vela"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vela.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- Uninstall ------------------------------------------------------------------

!macro RemoveProgram NAME
    Delete "$INSTDIR\${NAME}"
!macroend

; Only a list or skin still exactly as we installed it goes.
!macro RemoveData NAME
    Push "$INSTDIR\${NAME}"
    Call un.FileSignature
    Pop $0
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "Shipped ${NAME}"
    ${If} $0 != ""
    ${AndIf} $0 == $1
        Delete "$INSTDIR\${NAME}"
    ${EndIf}
!macroend

Function un.onInit
    Call un.WaitForClosedVela
FunctionEnd

Section "-un.Vela"
    !insertmacro VelaFiles RemoveProgram RemoveData
    Delete "$INSTDIR\uninstall.exe"
    ; Gone only when nothing of the user's is left in it.
    RMDir "$INSTDIR"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Vela.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; The settings stay unless the user asks: a later install finds them.
Section /o "un.Удалить настройки Vela из реестра"
    DeleteRegKey HKCU "${OPTIONS_KEY}"
    ; Where an administrator (or Wine, which lets anyone) wrote them there.
    DeleteRegKey HKLM "${OPTIONS_KEY}"
SectionEnd
