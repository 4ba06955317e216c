; The console's installer for 64-bit Windows. make-packages runs makensis on
; it with
;   VERSION   the console's version, VERSION4 the same in four numbers
;   STAGE     the folder holding what the zip holds (program, DLLs, plugins,
;             licence texts)
;   FILES     an include file that installs STAGE's files one by one
;   UNFILES   an include file that removes exactly those files again
;   ICON      the icon file
;   OUTFILE   the installer to write
;
; It installs into Program Files for every user and makes the Start-menu
; entry "Detector setup console", whose working folder is each user's own
; %APPDATA%\Quillane: the console keeps its settings file and exchange log in
; its working folder, and Program Files is not writable for a user. The
; uninstaller removes what the installer put there and leaves those folders.
; /S installs (and uninstalls) without a window.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"

!define PRODUCT "Quillane"
!define ENTRY "Detector setup console"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${ENTRY}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "${ENTRY}"
VIAddVersionKey "FileDescription" "${ENTRY} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "The Quillane developers; MIT licence (Qt: LGPL-3.0)"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The working folder stays unexpanded in the shortcut, so that each user
  ; starts in a folder of their own; the console makes the folder when it
  ; is not there yet. The installing user gets it now already.
  StrCpy $OUTDIR "%APPDATA%\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${ENTRY}.lnk" "$INSTDIR\quillane.exe" "--user-folder" \
    "$INSTDIR\quillane.exe" 0 SW_SHOWNORMAL "" "${ENTRY}"
  SetOutPath "$INSTDIR"
  SetShellVarContext current
  CreateDirectory "$APPDATA\${PRODUCT}"
  SetShellVarContext all

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${ENTRY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Quillane developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${ENTRY}.lnk"
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
