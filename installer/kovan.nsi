; The Kovan installer: a per-machine install into Program Files, a Start-menu
; shortcut, an entry in the installed programs and an uninstaller that leaves
; the user's pool and settings alone unless asked to remove them.
;
; tools/dist.py builds it with
;   makensis -DVERSION=2.0.<build> -DOUTFILE=<setup.exe>
;            -DFILES=<install.nsh> -DUNFILES=<uninstall.nsh> kovan.nsi
; where the two includes install and delete exactly the files of the release.
;
; The texts follow the system's language: Turkish on Turkish systems, English
; everywhere else.

!ifndef VERSION | OUTFILE | FILES | UNFILES
  !error "VERSION, OUTFILE, FILES and UNFILES must be defined (see tools/dist.py)"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define COMPANY "ORSEL RIRUDIR"
; The running program holds a mutex of this name (its window title as well).
!define INSTANCE_MUTEX "Kovan 2.0 - ORSEL RIRUDIR"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovan"
!define SETTINGS_PARENT "Software\ORSEL RIRUDIR\Kovan"
!define SETTINGS_KEY "${SETTINGS_PARENT}\s2.0"
!define UNINSTALLER "uninstall.exe"

Name "Kovan"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${COMPANY}\Kovan"
; A new version goes where the last one was installed.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Kovan ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${__FILEDIR__}/../res/images/kovan.ico"
!define MUI_UNICON "${__FILEDIR__}/../res/images/kovan.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartKovan
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.OptionsPage un.OptionsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for systems whose language is not offered.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Turkish"

LangString KovanRunning ${LANG_ENGLISH} "Kovan is running. Please close it, then press Retry.$\r$\n$\r$\nCancel stops without changing anything."
LangString KovanRunning ${LANG_TURKISH} "Kovan çalışıyor. Lütfen kapatın, sonra Yeniden Dene'ye basın.$\r$\n$\r$\nİptal hiçbir şeyi değiştirmeden durdurur."
LangString KovanRunningStopped ${LANG_ENGLISH} "Stopped: Kovan is running."
LangString KovanRunningStopped ${LANG_TURKISH} "Durduruldu: Kovan çalışıyor."
LangString UninstallTitle ${LANG_ENGLISH} "Uninstall Kovan"
LangString UninstallTitle ${LANG_TURKISH} "Kovan'ı Kaldır"
LangString UninstallSubtitle ${LANG_ENGLISH} "Remove Kovan from this computer."
LangString UninstallSubtitle ${LANG_TURKISH} "Kovan'ı bu bilgisayardan kaldırın."
LangString RemoveUserData ${LANG_ENGLISH} "&Remove my pool and settings"
LangString RemoveUserData ${LANG_TURKISH} "&Havuzumu ve ayarlarımı da kaldır"
LangString KeepUserData ${LANG_ENGLISH} "Without the tick your pool (Liste.kvl) and your settings stay for a later install."
LangString KeepUserData ${LANG_TURKISH} "İşaretlenmezse havuzunuz (Liste.kvl) ve ayarlarınız sonraki bir kurulum için yerinde kalır."

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
!macro VERSION_KEYS LANG DESCRIPTION
  VIAddVersionKey /LANG=${LANG} "ProductName" "Kovan"
  VIAddVersionKey /LANG=${LANG} "CompanyName" "${COMPANY}"
  VIAddVersionKey /LANG=${LANG} "FileDescription" "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANG} "FileVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANG} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANG} "LegalCopyright" "© ${COMPANY}"
!macroend
!insertmacro VERSION_KEYS ${LANG_ENGLISH} "Kovan Setup"
!insertmacro VERSION_KEYS ${LANG_TURKISH} "Kovan Kurulumu"

; Files in use cannot be replaced or removed: while Kovan runs, ask the user to
; close it. A silent run stops at once with exit code 2.
!macro DEFINE_WAIT_FOR_KOVAN PREFIX
  Function ${PREFIX}WaitForKovanToClose
    Push $0
    Push $1
  retry:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .r0 ?e'
    Pop $1
    ${If} $0 P<> 0
      System::Call 'kernel32::CloseHandle(p r0)'
    ${ElseIf} $1 <> 5
      ; No such mutex: Kovan is not running (access denied: another user's copy is).
      Pop $1
      Pop $0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(KovanRunning)" /SD IDCANCEL IDRETRY retry
    DetailPrint "$(KovanRunningStopped)"
    SetErrorLevel 2
    Quit
  FunctionEnd
!macroend
!insertmacro DEFINE_WAIT_FOR_KOVAN ""
!insertmacro DEFINE_WAIT_FOR_KOVAN "un."

Function .onInit
  SetShellVarContext all
FunctionEnd

Function StartKovan
  ; Through the shell, so that Kovan runs as the signed-in user and not with
  ; the installer's administrator rights.
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Kovan.exe"'
FunctionEnd

Section "-Kovan"
  Call WaitForKovanToClose
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\Kovan.lnk" "$INSTDIR\Kovan.exe"

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kovan"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kovan.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Var RemoveUserDataBox
Var RemoveUserData

Function un.onInit
  SetShellVarContext all
  StrCpy $RemoveUserData ${BST_UNCHECKED}
FunctionEnd

; Where Kovan goes from, and whether the user's pool and settings go with it.
; A silent uninstall never shows the page and keeps them.
Function un.OptionsPage
  !insertmacro MUI_HEADER_TEXT "$(UninstallTitle)" "$(UninstallSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 10u "$(^UninstallingSubText)"
  Pop $0
  ${NSD_CreateText} 0 12u 100% 12u "$INSTDIR"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  ${NSD_CreateCheckbox} 0 40u 100% 10u "$(RemoveUserData)"
  Pop $RemoveUserDataBox
  ${NSD_SetState} $RemoveUserDataBox $RemoveUserData
  ${NSD_CreateLabel} 12u 54u -12u 20u "$(KeepUserData)"
  Pop $0
  nsDialogs::Show
FunctionEnd

Function un.OptionsPageLeave
  ${NSD_GetState} $RemoveUserDataBox $RemoveUserData
FunctionEnd

Section "-un.Kovan"
  Call un.WaitForKovanToClose
  !include "${UNFILES}"
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "$SMPROGRAMS\Kovan.lnk"
  ; Kovan makes the autostart shortcut in the user's own Startup folder.
  SetShellVarContext current
  Delete "$SMSTARTUP\Kovan.lnk"
  SetShellVarContext all
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The folder stays while the user's list lies in it.
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${COMPANY}"
SectionEnd

!macro REMOVE_SETTINGS ROOT
  DeleteRegKey ${ROOT} "${SETTINGS_KEY}"
  DeleteRegKey /ifempty ${ROOT} "${SETTINGS_PARENT}"
  DeleteRegKey /ifempty ${ROOT} "Software\${COMPANY}"
!macroend

Section "-un.UserData"
  ${If} $RemoveUserData <> ${BST_CHECKED}
    Return
  ${EndIf}
  ; The list and script beside the program or in the per-user folder, and the
  ; settings of the machine and of the user.
  Delete "$INSTDIR\Liste.kvl"
  Delete "$INSTDIR\liste.rc"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${COMPANY}"
  SetShellVarContext current
  Delete "$APPDATA\${COMPANY}\Kovan\Liste.kvl"
  Delete "$APPDATA\${COMPANY}\Kovan\liste.rc"
  RMDir "$APPDATA\${COMPANY}\Kovan"
  RMDir "$APPDATA\${COMPANY}"
  SetShellVarContext all
  !insertmacro REMOVE_SETTINGS HKLM
  !insertmacro REMOVE_SETTINGS HKCU
SectionEnd
