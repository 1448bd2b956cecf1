; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer, built by the `installeur` target of the mingw-w64 tree:
;   makensis -DVERSION=x.y.z -DPARVEL=parvel.exe -DPARVEL_CUT=parvel-cut.exe
;            -DICONE=parvel.ico -DLICENCE=LICENSE -DSORTIE=setup.exe installeur.nsi
; Per user, without administrator rights: the programs in %LOCALAPPDATA%\Programs\Parvel,
; a Start-menu entry, .cut files opening in Parvel, and an entry in the installed
; programs. /S installs (and uninstalls) without a question.
; 64-bit like the programs it installs (and Wine without its 32-bit part runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define CLE_DESINSTALLATION "Software\Microsoft\Windows\CurrentVersion\Uninstall\Parvel"
!define TYPE_CUT "Parvel.FichierCut"

Name "Parvel ${VERSION}"
OutFile "${SORTIE}"
InstallDir "$LOCALAPPDATA\Programs\Parvel"
InstallDirRegKey HKCU "${CLE_DESINSTALLATION}" "InstallLocation"
BrandingText "Parvel ${VERSION}"

!define MUI_ICON "${ICONE}"
!define MUI_UNICON "${ICONE}"
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\parvel.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

Section "Parvel"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "/oname=parvel.exe" "${PARVEL}"
    File "/oname=parvel-cut.exe" "${PARVEL_CUT}"
    File "/oname=LICENSE.txt" "${LICENCE}"
    WriteUninstaller "$INSTDIR\desinstaller.exe"

    CreateShortCut "$SMPROGRAMS\Parvel.lnk" "$INSTDIR\parvel.exe" "" "$INSTDIR\parvel.exe" 0

    ; .cut files open in Parvel, for this user only.
    WriteRegStr HKCU "Software\Classes\.cut" "" "${TYPE_CUT}"
    WriteRegStr HKCU "Software\Classes\${TYPE_CUT}" "" "Fichier CUT"
    WriteRegStr HKCU "Software\Classes\${TYPE_CUT}\DefaultIcon" "" "$INSTDIR\parvel.exe,0"
    WriteRegStr HKCU "Software\Classes\${TYPE_CUT}\shell\open\command" "" '"$INSTDIR\parvel.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKCU "${CLE_DESINSTALLATION}" "DisplayName" "Parvel"
    WriteRegStr HKCU "${CLE_DESINSTALLATION}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${CLE_DESINSTALLATION}" "Publisher" "Parvel"
    WriteRegStr HKCU "${CLE_DESINSTALLATION}" "DisplayIcon" "$INSTDIR\parvel.exe,0"
    WriteRegStr HKCU "${CLE_DESINSTALLATION}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${CLE_DESINSTALLATION}" "UninstallString" '"$INSTDIR\desinstaller.exe"'
    WriteRegStr HKCU "${CLE_DESINSTALLATION}" "QuietUninstallString" '"$INSTDIR\desinstaller.exe" /S'
    WriteRegDWORD HKCU "${CLE_DESINSTALLATION}" "NoModify" 1
    WriteRegDWORD HKCU "${CLE_DESINSTALLATION}" "NoRepair" 1
SectionEnd

; What the installer put in place goes; the settings Parvel keeps for the user stay.
Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\parvel.exe"
    Delete "$INSTDIR\parvel-cut.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\desinstaller.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Parvel.lnk"

    ; .cut is left alone if another program has taken it since.
    ReadRegStr $0 HKCU "Software\Classes\.cut" ""
    StrCmp $0 "${TYPE_CUT}" 0 +2
        DeleteRegKey HKCU "Software\Classes\.cut"
    DeleteRegKey HKCU "Software\Classes\${TYPE_CUT}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey HKCU "${CLE_DESINSTALLATION}"
SectionEnd
