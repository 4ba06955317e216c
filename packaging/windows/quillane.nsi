; The console's installer for 64-bit Windows. make-packages runs makensis on
; it with
;   VERSION       the console's version, VERSION4 the same in four numbers
;   FILES         an include file that installs the staged files one by one
;   UNINSTALLER   the uninstaller (src/uninstall), UNINSTALL_LIST its list of
;                 the installed files
;   LICENCE       the licence page's text: the MIT licence and the notices of
;                 the third-party software
;   SIZE_KB       what the installed files take, for Apps & features
;   MUTEX         the name of the mutex the running console holds
;   ICON          the icon file, OUTFILE the installer to write
;
; It installs into Program Files for every user and makes the Start-menu
; entry "Detector setup console", which starts the console in the install
; folder with --user-folder: the console then works in each user's own
; %APPDATA%\Quillane, which it makes on its first start (Program Files is not
; writable for a user). The uninstaller removes what the installer put there
; and leaves those folders. /S installs without a window.
;
; Exit codes beyond NSIS's own (0 installed, 1 cancelled by the user):
;   2     the console is running (with /S, or when the user cancels)
;   1150  Windows older than 10 (ERROR_OLD_WIN_VERSION)

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
ManifestSupportedOS all

!include "LogicLib.nsh"
!include "WinVer.nsh"
!include "MUI2.nsh"

!define PRODUCT "Quillane"
!define ENTRY "Detector setup console"
!define PUBLISHER "The Quillane developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SYNCHRONIZE 0x00100000
!define ERROR_ACCESS_DENIED 5

Name "${ENTRY}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey "ProductName" "${ENTRY}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${ENTRY} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "OriginalFilename" "quillane-${VERSION}-setup.exe"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}; MIT licence (Qt: LGPL-3.0)"

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_LICENSEPAGE_TEXT_TOP "The console's licence, then those of the software it comes with."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "The console is free software under the MIT licence; Qt comes \
  under the LGPL version 3. Nothing here asks you to agree to more."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start the console"
!define MUI_FINISHPAGE_RUN_FUNCTION StartConsole
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; The Qt 6 DLLs need Windows 10: on anything older the console would not
  ; start.
  ${IfNot} ${AtLeastWin10}
    MessageBox MB_OK|MB_ICONSTOP "The ${ENTRY} needs Windows 10 or later." /SD IDOK
    SetErrorLevel 1150
    Quit
  ${EndIf}
  Call WaitForConsoleClosed
FunctionEnd

; $0 = 1 when a mutex named $1 exists. One made under another account may
; refuse to open: it exists all the same.
Function MutexExists
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w r1) p .r2 ?e'
  Pop $3
  StrCpy $0 0
  ${If} $2 P<> 0
    System::Call 'kernel32::CloseHandle(p r2)'
    StrCpy $0 1
  ${ElseIf} $3 = ${ERROR_ACCESS_DENIED}
    StrCpy $0 1
  ${EndIf}
FunctionEnd

; A running console holds its files open and would be left half replaced:
; it is to be closed first. The console of any session counts, through the
; global name.
Function WaitForConsoleClosed
  ${Do}
    StrCpy $1 "${MUTEX}"
    Call MutexExists
    ${If} $0 = 0
      StrCpy $1 "Global\${MUTEX}"
      Call MutexExists
    ${EndIf}
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "The ${ENTRY} is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
FunctionEnd

; Through the shell and the Start-menu entry, as the user starts it: not
; with the installer's administrator rights, and in the user's own folder.
Function StartConsole
  Exec '"$WINDIR\explorer.exe" "$SMPROGRAMS\${ENTRY}.lnk"'
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  File "/oname=uninstall.exe" "${UNINSTALLER}"
  File "/oname=uninstall.lst" "${UNINSTALL_LIST}"

  ; The entry's working folder is the install folder, the same for every
  ; user; --user-folder moves the console into the user's own.
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\${ENTRY}.lnk" "$INSTDIR\quillane.exe" "--user-folder" \
    "$INSTDIR\quillane.exe" 0 SW_SHOWNORMAL "" "${ENTRY}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${ENTRY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd
