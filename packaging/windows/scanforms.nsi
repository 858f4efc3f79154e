; SPDX-FileCopyrightText: 2026 The scanforms developers
; SPDX-License-Identifier: MIT

; The Windows installer, scanforms-<version>-setup.exe, 64-bit:
;
;   Program Files\Scan Forms\scanforms.exe, uninstall.exe
;   Start menu (all users): "Scan Forms", which runs scanforms.exe --station:
;       the program starts in Documents\Scan Forms, made when it is missing
;   the system's list of programs: Scan Forms, its version, its uninstaller
;
; Installs per machine (administrators), silently with /S. Uninstalling
; removes only what was installed: every station folder and its data stay.
;
;   makensis -DVERSION=0.1.0 -DPROGRAM=scanforms.exe -DICON=scanforms.ico
;            -DOUTFILE=scanforms-0.1.0-setup.exe scanforms.nsi

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Scan Forms"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ScanForms"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "2026 The scanforms developers, MIT License"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Scan Forms"
    SetOutPath "$INSTDIR"
    File "/oname=scanforms.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The shortcut starts in the user's documents; --station enters (and
    ; makes) Documents\Scan Forms from there.
    SetOutPath "$DOCUMENTS"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\scanforms.exe" "--station" \
        "$INSTDIR\scanforms.exe" 0 SW_SHOWNORMAL "" "Reads answer sheets into Scan.TXT"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The scanforms developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\scanforms.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes the installed files by name, never a folder's whole content: a
; station folder placed inside the installation folder stays, and so does
; the folder that holds it.
Section "Uninstall"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\scanforms.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
