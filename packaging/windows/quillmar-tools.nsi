; The Windows setup program of the QUILLmar tools, made with NSIS on the build machine by
; scripts/windows-packages.sh:
;   makensis -DVERSION=1.2.3 -DSTAGE=<folder> -DOUTFILE=<setup.exe> quillmar-tools.nsi
; STAGE holds what is installed, as the zip holds it: the four programs, README.txt,
; manual\*.html and the VS Code extension editors\quillmar-schedule-VERSION.vsix. Installs per machine (Program Files, needs administrator rights) or, when the
; user chooses it or has no such rights, per user (the user's own programs folder). Adds a Start
; menu folder, an entry in the system's list of installed programs and, as an optional component,
; the folder to PATH. Silent: setup.exe /S [/CurrentUser] [/AddToPath] [/D=folder] (/D= last);
; the uninstaller: uninstall.exe /S. The uninstaller removes exactly what was installed: the
; files by name (never the folder's other contents), the shortcuts, the registry entry and the
; PATH entry it added.

!ifndef VERSION
  !error "makensis needs -DVERSION=, -DSTAGE= and -DOUTFILE="
!endif
!ifndef STAGE
  !error "makensis needs -DVERSION=, -DSTAGE= and -DOUTFILE="
!endif
!ifndef OUTFILE
  !error "makensis needs -DVERSION=, -DSTAGE= and -DOUTFILE="
!endif

Unicode true
; The programs are 64-bit, so the setup program is too: it sees the 64-bit Program Files and
; registry as they are.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "QUILLmar tools"
!define PUBLISHER "QUILLmar tools team"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MACHINE_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define USER_ENVIRONMENT "Environment"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

; Per machine when the user may and chooses to, per user otherwise; /AllUsers and /CurrentUser
; choose on the command line. A folder given with /D= wins over both defaults (see .onInit).
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include WinMessages.nsh

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} ${VERSION} setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs the PC tools of the QUILLmar control unit: the firmware updater QUILLmar Update (a dialog) and quillmar-update (its command line), planprobe (checks and simulates a schedule) and tildeconv (prepares a page for the unit's web server), with their manuals.$\r$\n$\r$\nClick Next to continue."
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\QUILLmar_Update.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start QUILLmar Update"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; The installed files, relative to the install folder: one list for install and uninstall.
!macro INSTALLED_FILES DO
  !insertmacro ${DO} "planprobe.exe"
  !insertmacro ${DO} "tildeconv.exe"
  !insertmacro ${DO} "quillmar-update.exe"
  !insertmacro ${DO} "QUILLmar_Update.exe"
  !insertmacro ${DO} "README.txt"
  !insertmacro ${DO} "manual\planprobe.html"
  !insertmacro ${DO} "manual\tildeconv.html"
  !insertmacro ${DO} "manual\quillmar-update.html"
  !insertmacro ${DO} "manual\QUILLmar_Update.html"
  !insertmacro ${DO} "editors\quillmar-schedule-${VERSION}.vsix"
!macroend

; The Start menu's shortcuts, by name and target: one list for install and uninstall. The
; command prompt opens in the programs' folder with that folder first on its PATH.
!macro SHORTCUTS DO
  !insertmacro ${DO} "QUILLmar Update" "$INSTDIR\QUILLmar_Update.exe" ""
  !insertmacro ${DO} "Command prompt for the QUILLmar tools" "$SYSDIR\cmd.exe" '/k set "PATH=$INSTDIR;%PATH%"'
  !insertmacro ${DO} "README" "$INSTDIR\README.txt" ""
  !insertmacro ${DO} "Manual - planprobe" "$INSTDIR\manual\planprobe.html" ""
  !insertmacro ${DO} "Manual - tildeconv" "$INSTDIR\manual\tildeconv.html" ""
  !insertmacro ${DO} "Manual - quillmar-update" "$INSTDIR\manual\quillmar-update.html" ""
  !insertmacro ${DO} "Manual - QUILLmar_Update" "$INSTDIR\manual\QUILLmar_Update.html" ""
!macroend

!macro INSTALL_FILE NAME
  File "/oname=${NAME}" "${STAGE}\${NAME}"
!macroend
!macro DELETE_FILE NAME
  Delete "$INSTDIR\${NAME}"
!macroend
!macro CREATE_SHORTCUT NAME TARGET PARAMETERS
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${NAME}.lnk" "${TARGET}" "${PARAMETERS}"
!macroend
!macro DELETE_SHORTCUT NAME TARGET PARAMETERS
  Delete "$SMPROGRAMS\${PRODUCT}\${NAME}.lnk"
!macroend

Section "Programs, manuals, Start menu" SectionPrograms
  SectionIn RO
  SetOutPath "$INSTDIR\manual"
  SetOutPath "$INSTDIR\editors"
  SetOutPath "$INSTDIR"
  !insertmacro INSTALLED_FILES INSTALL_FILE
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Shortcuts start in the programs' folder ($OUTDIR).
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  !insertmacro SHORTCUTS CREATE_SHORTCUT

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayName "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\QUILLmar_Update.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" EstimatedSize $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoRepair 1
SectionEnd

; PATH of the install mode's scope: the machine's or the user's, as read from the registry
; (REG_EXPAND_SZ, unexpanded). Sets the error flag when it is longer than this program's strings
; hold, since writing back a cut value would lose the rest.
!macro READ_PATH VAR
  ClearErrors
  ${If} $MultiUser.InstallMode == AllUsers
    ReadRegStr ${VAR} HKLM "${MACHINE_ENVIRONMENT}" Path
  ${Else}
    ReadRegStr ${VAR} HKCU "${USER_ENVIRONMENT}" Path
  ${EndIf}
  ClearErrors
  StrLen $R9 ${VAR}
  IntOp $R9 $R9 + 1
  ${If} $R9 >= ${NSIS_MAX_STRLEN}
    SetErrors
  ${EndIf}
!macroend

; Writes VAR as the scope's PATH (an empty one is removed) and tells running programs.
!macro WRITE_PATH VAR
  ${If} $MultiUser.InstallMode == AllUsers
    WriteRegExpandStr HKLM "${MACHINE_ENVIRONMENT}" Path ${VAR}
  ${ElseIf} ${VAR} == ""
    DeleteRegValue HKCU "${USER_ENVIRONMENT}" Path
  ${Else}
    WriteRegExpandStr HKCU "${USER_ENVIRONMENT}" Path ${VAR}
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

Section /o "Add the folder to PATH" SectionPath
  !insertmacro READ_PATH $0
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION "PATH is too long for this setup program to change safely. Add $INSTDIR to it yourself." /SD IDOK
    Return
  ${EndIf}
  ; Only an entry this setup program added is removed again, so one already there stays as it is.
  ${WordAdd} "$0" ";" "+$INSTDIR" $1
  ${If} $1 != $0
    !insertmacro WRITE_PATH $1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" AddedToPath 1
    DetailPrint "Added $INSTDIR to PATH"
  ${EndIf}
SectionEnd

Function .onInit
  ; /D= sets $INSTDIR before this runs; the install mode's defaults must not replace it.
  StrCpy $R0 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $R0 != ""
    StrCpy $INSTDIR $R0
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AddToPath" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SectionPath} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ; The mode is the one this copy was installed in: the registry entry that names its folder.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" InstallLocation
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} $0 == $INSTDIR
    Call un.MultiUser.InstallMode.CurrentUser
  ${ElseIf} $1 == $INSTDIR
    Call un.MultiUser.InstallMode.AllUsers
    ${If} $MultiUser.InstallMode != AllUsers
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} was installed for all users; removing it needs administrator rights." /SD IDOK
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ReadRegDWORD $0 SHCTX "${UNINSTALL_KEY}" AddedToPath
  ${If} $0 == 1
    !insertmacro READ_PATH $1
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONEXCLAMATION "PATH is too long for this program to change safely. Remove $INSTDIR from it yourself." /SD IDOK
    ${Else}
      ; Every entry that is exactly this folder goes, the others stay as they are.
      ${WordAdd} "$1" ";" "-$INSTDIR" $2
      ${If} $2 != $1
        !insertmacro WRITE_PATH $2
        DetailPrint "Removed $INSTDIR from PATH"
      ${EndIf}
    ${EndIf}
  ${EndIf}

  !insertmacro SHORTCUTS DELETE_SHORTCUT
  RMDir "$SMPROGRAMS\${PRODUCT}"
  !insertmacro INSTALLED_FILES DELETE_FILE
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\manual"
  RMDir "$INSTDIR\editors"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
