; Installer and uninstaller of Marlow Remote Control.
;
; Built by the CMake target "installer", which passes:
;   -DPRODUCT_EXE=<path of MarlowRemote.exe>   the program to install
;   -DOUTFILE=<path of MarlowRemoteSetup.exe>  the installer to write
;   -DICON=<path of remote.ico>                icon of the installer and uninstaller
;   -DVERSION=<a.b.c.d>                        version shown in the file and in the
;                                              list of installed programs
;
; The program starts with Windows for every user (HKLM Run). Its settings
; (HKLM "Software\Varnel Multimedia\Osprey Utilities") are created with their
; defaults only where a value is missing, never changed, and kept by the
; uninstaller. A running copy is asked to quit (its "quit from outside"
; command) before its file is replaced or removed; nothing is killed.
;
; Uninstalling: "Uninstall.exe /S" copies itself to %TEMP%, starts the copy
; and returns at once; the copy removes everything, the uninstaller and the
; installation folder (when empty) included. "Uninstall.exe /S _?=<folder>"
; runs in place and returns when done, but then cannot remove itself: the
; caller deletes Uninstall.exe and the folder afterwards.

!ifndef PRODUCT_EXE | OUTFILE | ICON | VERSION
  !error "define PRODUCT_EXE, OUTFILE, ICON and VERSION (-D on the makensis command line)"
!endif

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include MUI2.nsh
!include WinMessages.nsh

!define PRODUCT_NAME "Marlow Remote Control"
!define PUBLISHER "Marlow Remote Control developers"
!define EXE_NAME "MarlowRemote.exe"
!define UNINSTALLER_NAME "Uninstall.exe"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MarlowRemoteControl"
!define SETTINGS_KEY "Software\Varnel Multimedia\Osprey Utilities"

; The program's hidden main window has this class (and title).
!define MAIN_WINDOW_CLASS "Marlow Remote Control"
!define QUIT_FROM_OUTSIDE 31
!define SEND_TIMEOUT_MS 2000
; Waiting for a window to go or a file to become free: 50 x 100 ms.
!define WAIT_STEP_MS 100
!define WAIT_STEPS 50

!define HKEY_LOCAL_MACHINE 0x80000002
!define KEY_QUERY_VALUE 0x0001
!define ERROR_SUCCESS 0

Name "${PRODUCT_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT_NAME}"
; A reinstall goes where the previous installation is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"

; -- wizard ---------------------------------------------------------------------
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE_NAME}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT_NAME} now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

; -- shared by the installer and the uninstaller ---------------------------------
!macro ProgramFileFunctions UN
; Asks every running copy to quit and waits until its main window is gone
; (or the wait is over).
Function ${UN}EndRunningProgram
  Push $0
  Push $1
  Push $2
  StrCpy $1 0  ; steps waited
  StrCpy $2 0  ; window asked last
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 = 0
      ${ExitDo}
    ${EndIf}
    ${If} $0 <> $2
      DetailPrint "Asking the running ${PRODUCT_NAME} to quit"
      SendMessage $0 ${WM_COMMAND} ${QUIT_FROM_OUTSIDE} 0 /TIMEOUT=${SEND_TIMEOUT_MS}
      StrCpy $2 $0
    ${EndIf}
    ${If} $1 >= ${WAIT_STEPS}
      DetailPrint "${PRODUCT_NAME} is still running"
      ${ExitDo}
    ${EndIf}
    Sleep ${WAIT_STEP_MS}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Deletes the file named on the stack, retrying while it is in use. Sets the
; error flag when the file is still there at the end.
Function ${UN}DeleteWaiting
  Exch $0
  Push $1
  StrCpy $1 0
  ${Do}
    Delete "$0"
    ClearErrors
    ${IfNot} ${FileExists} "$0"
      ${ExitDo}
    ${EndIf}
    ${If} $1 >= ${WAIT_STEPS}
      SetErrors
      ${ExitDo}
    ${EndIf}
    Sleep ${WAIT_STEP_MS}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd

; Ends a running program and deletes its file; while the file stays in use,
; asks to retry or cancel (cancel, and a silent run, abort).
Function ${UN}ReleaseProgramFile
  Call ${UN}EndRunningProgram
  ${Do}
    Push "$INSTDIR\${EXE_NAME}"
    Call ${UN}DeleteWaiting
    ${IfNot} ${Errors}
      ${ExitDo}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "$INSTDIR\${EXE_NAME} is in use.$\r$\nQuit ${PRODUCT_NAME} and choose Retry." \
      /SD IDCANCEL IDRETRY retry
    Abort "$INSTDIR\${EXE_NAME} is in use"
  retry:
    Call ${UN}EndRunningProgram
  ${Loop}
FunctionEnd
!macroend

!insertmacro ProgramFileFunctions ""
!insertmacro ProgramFileFunctions "un."

; -- installer -------------------------------------------------------------------
; Writes a REG_DWORD setting with its default unless a value of that name
; exists, whatever its type.
!macro DefaultSetting NAME DEFAULT
  Push "${NAME}"
  Push ${DEFAULT}
  Call CreateSettingIfMissing
!macroend

Function CreateSettingIfMissing
  Exch $1  ; default
  Exch
  Exch $0  ; name
  Push $2
  Push $3
  StrCpy $3 ${ERROR_SUCCESS}
  System::Call 'advapi32::RegOpenKeyExW(p ${HKEY_LOCAL_MACHINE}, w "${SETTINGS_KEY}", i 0, \
                i ${KEY_QUERY_VALUE}, *p .r2) i .r3'
  ${If} $3 = ${ERROR_SUCCESS}
    System::Call 'advapi32::RegQueryValueExW(p r2, w r0, p 0, p 0, p 0, p 0) i .r3'
    System::Call 'advapi32::RegCloseKey(p r2)'
  ${EndIf}
  ${If} $3 = ${ERROR_SUCCESS}
    DetailPrint "Keeping the setting $0"
  ${Else}
    WriteRegDWORD HKLM "${SETTINGS_KEY}" "$0" $1
  ${EndIf}
  Pop $3
  Pop $2
  Pop $0
  Pop $1
FunctionEnd

Function .onInit
  SetShellVarContext all
FunctionEnd

Section "${PRODUCT_NAME}" SectionProgram
  SectionIn RO
  Call ReleaseProgramFile
  SetOutPath "$INSTDIR"
  File "/oname=${EXE_NAME}" "${PRODUCT_EXE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER_NAME}"
  ; To start the program again after Exit, for every user.
  CreateShortCut "$SMPROGRAMS\${PRODUCT_NAME}.lnk" "$INSTDIR\${EXE_NAME}"

  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT_NAME}" '"$INSTDIR\${EXE_NAME}"'
  !insertmacro DefaultSetting "DefaultTVAPP" 6
  !insertmacro DefaultSetting "AlwaysRemoteOff" 0
  !insertmacro DefaultSetting "MediaKeys" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_NAME}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_NAME}" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0  ; KB
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; -- uninstaller -----------------------------------------------------------------
Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  ; A wrong folder given with _?= must not unregister the real installation.
  ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER_NAME}"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT_NAME} is not installed in $INSTDIR." /SD IDOK
    Abort "${PRODUCT_NAME} is not installed in $INSTDIR"
  ${EndIf}
  Call un.ReleaseProgramFile
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT_NAME}"
  Delete "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
  ; Run in place (_?=), the uninstaller's own file is in use: the caller
  ; removes it. Run from its copy in %TEMP%, it waits until the original,
  ; which started the copy, has ended.
  ${If} $EXEDIR != $INSTDIR
    Push "$INSTDIR\${UNINSTALLER_NAME}"
    Call un.DeleteWaiting
  ${EndIf}
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
