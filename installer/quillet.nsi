; The Quillet installer. One script gives the shipped x86 installer and, with
; AMD64 defined, an amd64 one for the tests on machines that cannot run 32-bit
; programs.
;
;   makensis -DVERSION=1.1.30 -DNUMERIC_VERSION=1.1.0.30 -DOUTFILE=<setup.exe>
;            -DX86_DIR=<folder> [-DX64_DIR=<folder>] -DHELPER_EXE=<exe> [-DSIGN=<command>] quillet.nsi
;   makensis -DAMD64 -DVERSION=... -DNUMERIC_VERSION=... -DOUTFILE=... -DX64_DIR=<folder>
;            -DHELPER_EXE=<exe> quillet.nsi
;
; Each folder holds quillet.dll, quillet.ini and quillet.chm; HELPER_EXE is
; quillet-helper.exe, the per-account logon command and the quiet uninstall
; command. SIGN, when defined, is a command that signs the file it is given in
; place (tools/sign-file): it signs the uninstaller and the setup. The x86
; installer puts X86_DIR's files into $INSTDIR and, on 64-bit Windows,
; X64_DIR's into the 64-bit Program Files; the amd64 one puts X64_DIR's into
; $INSTDIR. tools/quillet-version gives the two versions. docs/installer.md
; says what setup and the uninstaller do in each case.

Unicode true
!ifdef AMD64
  Target amd64-unicode
  !define LIBRARY_DIR "${X64_DIR}"
!else
  !define LIBRARY_DIR "${X86_DIR}"
!endif

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include MUI2.nsh
!include nsDialogs.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet"
!define SETTINGS_KEY "Software\Kestrowe\Quillet"
!define SETTINGS_BACKUP_KEY "Software\Kestrowe\Quillet (kept by setup)"
!define CLASS_KEY "CLSID\{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A20}\InprocServer32"
; Windows runs this component's StubPath once in every account at its next logon.
!define ACTIVE_SETUP_KEY "Software\Microsoft\Active Setup\Installed Components\{6E41C2D7-8A0B-4F35-9C62-71D0E84B3A22}"
!searchreplace ACTIVE_SETUP_VERSION "${NUMERIC_VERSION}" "." ","
!searchparse "${NUMERIC_VERSION}" "" VERSION_MAJOR "." VERSION_MINOR "."
!define WEB_ADDRESS "http://www.kestrowe.example/"
; HKEY_CURRENT_USER for the System plugin, sign-extended as a 64-bit handle must be.
!define HKCU_HANDLE -2147483647
!define ERROR_SUCCESS_REBOOT_REQUIRED 3010

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

Name "Veltrano ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!ifdef AMD64
  InstallDir "$PROGRAMFILES64\Kestrowe\Quillet"
!else
  InstallDir "$PROGRAMFILES\Kestrowe\Quillet"
!endif
; Installing again goes where the last installation went: an upgrade in place.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" InstallLocation
BrandingText "Kestrowe Veltrano ${VERSION}"
ShowInstDetails show
ShowUnInstDetails show
AllowSkipFiles off

Var Folder64          ; the 64-bit library's folder, when there is one
Var Created           ; 1: setup made $INSTDIR (and may remove it again)
Var Created64         ; the same for $Folder64
Var EarlierDir        ; the earlier installation's folder, when there is one
Var EarlierDir64
Var EarlierCreated
Var EarlierCreated64
Var Aside             ; suffix of the earlier files moved aside in $INSTDIR, or "none"
Var Aside64           ; the same in $Folder64
Var Placed            ; 1: earlier files are being moved aside; 2: new files are being written
Var KeptSettings      ; 1: the user's settings are copied aside
Var RemoveSettings    ; uninstaller: 1 when the user asked to remove the settings
Var SettingsCheckBox
Var DirectoryText     ; the directory page's text: where the 64-bit library goes

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup installs Veltrano ${VERSION}, an add-on for Internet Explorer that corrects addresses typed in the keyboard layout meant for another language and searches from the address bar.$\r$\n$\r$\nIt serves the browser's 32-bit and 64-bit windows and every user account of this computer.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!define MUI_DIRECTORYPAGE_TEXT_TOP "$DirectoryText"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Veltrano is installed.$\r$\n$\r$\nRestart Internet Explorer, then choose Tools > Veltrano Options... to pick a search engine."
!define MUI_FINISHPAGE_TEXT_REBOOT "A running browser still uses the earlier Veltrano until it is restarted. Its old file is removed when Windows restarts."
!define MUI_FINISHPAGE_REBOOTLATER_DEFAULT
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\quillet.chm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the Veltrano &help"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT_REBOOT "A running browser still uses Veltrano. Its files are removed when Windows restarts."
!define MUI_FINISHPAGE_REBOOTLATER_DEFAULT
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE English

VIProductVersion ${NUMERIC_VERSION}
VIFileVersion ${NUMERIC_VERSION}
VIAddVersionKey /LANG=${LANG_ENGLISH} ProductName "Veltrano"
VIAddVersionKey /LANG=${LANG_ENGLISH} CompanyName "Kestrowe"
VIAddVersionKey /LANG=${LANG_ENGLISH} FileDescription "Veltrano setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} FileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} ProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} LegalCopyright "Copyright (C) 2026 Kestrowe"

; What installer and uninstaller share; NSIS wants each function twice, once
; with the "un." prefix.
!macro SharedFunctions UN

; The 64-bit library's folder for the folder $0, into $0: the 64-bit Program
; Files beside the default folder, or "x64" inside a folder the user chose.
; None for the amd64 installer, whose one library is the 64-bit one.
Function ${UN}Folder64Of
  !ifndef AMD64
  ${If} ${IsNativeAMD64}
    ${If} $0 == "$PROGRAMFILES32\Kestrowe\Quillet"
      StrCpy $0 "$PROGRAMFILES64\Kestrowe\Quillet"
    ${Else}
      StrCpy $0 "$0\x64"
    ${EndIf}
    Return
  ${EndIf}
  !endif
  StrCpy $0 ""
FunctionEnd

; This setup's 64-bit folder: none when it carries no 64-bit library.
Function ${UN}FindFolder64
  StrCpy $0 $INSTDIR
  Call ${UN}Folder64Of
  !ifndef X64_DIR
  StrCpy $0 ""
  !endif
  StrCpy $Folder64 $0
FunctionEnd

; regsvr32 with the switches $0 on the library in folder $1; $2 is 64 for the
; 64-bit library under the 32-bit installer, whose system folder would
; otherwise be the 32-bit one. The exit code is left in $3.
Function ${UN}Regsvr32
  ${If} $2 == 64
    ${DisableX64FSRedirection}
  ${EndIf}
  ClearErrors
  ExecWait '"$SYSDIR\regsvr32.exe" $0 "$1\quillet.dll"' $3
  ${If} ${Errors}
    StrCpy $3 "(regsvr32 did not start)"
  ${EndIf}
  ${If} $2 == 64
    ${EnableX64FSRedirection}
  ${EndIf}
FunctionEnd

; Deletes the file $0. A program that is running (the quiet uninstall command
; waiting for the uninstaller; an uninstaller run in place) cannot be deleted,
; but it can be moved into Temp, where it is deleted at the next restart, which
; nothing needs to wait for: the reboot flag stays as it is.
Function ${UN}RemoveRunningFile
  Delete $0
  ${IfNot} ${FileExists} $0
    Return
  ${EndIf}
  System::Call 'kernel32::GetTickCount() i .r3'
  StrCpy $3 "$TEMP\~nsu$3.tmp"
  ClearErrors
  Rename $0 $3
  ${If} ${Errors}
    StrCpy $3 $0
  ${EndIf}
  System::Call 'kernel32::MoveFileExW(w r3, p 0, i 4) i'  ; MOVEFILE_DELAY_UNTIL_REBOOT
FunctionEnd

; Removes our files from folder $1 and, when setup made it ($2 is 1), the
; folder. A library that a running browser holds goes when Windows restarts;
; only then is a folder queued too.
Function ${UN}RemoveFolder
  ${If} $1 == ""
    Return
  ${EndIf}
  Delete /REBOOTOK "$1\quillet.dll"
  Delete /REBOOTOK "$1\quillet.dll.old*"
  Delete "$1\quillet.ini"
  Delete "$1\quillet.chm"
  Delete "$1\quillet.ini.old*"
  Delete "$1\quillet.chm.old*"
  StrCpy $0 "$1\quillet-helper.exe"
  Call ${UN}RemoveRunningFile
  Delete "$1\quillet-helper.exe.old*"
  Delete "$1\uninstall.exe.old*"
  ${If} $2 == 1
    RMDir "$1"
    ${If} ${FileExists} "$1\quillet.dll*"
      RMDir /REBOOTOK "$1"
    ${EndIf}
    ; The publisher's folder, when nothing else is left in it.
    ${GetParent} "$1" $0
    ${GetFileName} $0 $3
    ${If} $3 == "Kestrowe"
      RMDir $0
    ${EndIf}
  ${EndIf}
FunctionEnd

; Copies the user's settings aside, when there are any: DllRegisterServer
; writes the initial search mask over the user's choice, DllUnregisterServer
; deletes the settings key.
Function ${UN}KeepSettings
  StrCpy $KeptSettings 0
  DeleteRegKey HKCU "${SETTINGS_BACKUP_KEY}"
  System::Call 'advapi32::RegCreateKeyExW(p ${HKCU_HANDLE}, w "${SETTINGS_BACKUP_KEY}", i 0, p 0, i 0, i 0xF003F, p 0, *p .r1, p 0) i .r0'
  ${If} $0 == 0
    System::Call 'advapi32::RegCopyTreeW(p ${HKCU_HANDLE}, w "${SETTINGS_KEY}", p r1) i .r0'
    System::Call 'advapi32::RegCloseKey(p r1)'
    ${If} $0 == 0
      StrCpy $KeptSettings 1
    ${Else}
      DeleteRegKey HKCU "${SETTINGS_BACKUP_KEY}"
    ${EndIf}
  ${EndIf}
FunctionEnd

; Puts the settings copied aside back in place of whatever is there now.
Function ${UN}RestoreSettings
  ${If} $KeptSettings == 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    System::Call 'advapi32::RegCreateKeyExW(p ${HKCU_HANDLE}, w "${SETTINGS_KEY}", i 0, p 0, i 0, i 0xF003F, p 0, *p .r1, p 0) i .r0'
    ${If} $0 == 0
      System::Call 'advapi32::RegCopyTreeW(p ${HKCU_HANDLE}, w "${SETTINGS_BACKUP_KEY}", p r1) i .r0'
      System::Call 'advapi32::RegCloseKey(p r1)'
    ${EndIf}
    ; Should the copy fail, the settings stay in the backup key, not lost.
    ${If} $0 == 0
      DeleteRegKey HKCU "${SETTINGS_BACKUP_KEY}"
      StrCpy $KeptSettings 0
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ${UN}RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP "Veltrano is set up for every user of this computer. Run this program as an administrator." /SD IDOK
    SetErrorLevel 740  ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
FunctionEnd

; A silent run tells a deployment tool through its exit code that a restart
; is needed to finish.
Function ${UN}ReportRestart
  ${If} ${Silent}
  ${AndIf} ${RebootFlag}
    SetErrorLevel ${ERROR_SUCCESS_REBOOT_REQUIRED}
  ${EndIf}
FunctionEnd
!macroend

!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

Function .onInit
  Call RequireAdministrator
  StrCpy $DirectoryText "Setup installs Veltrano in the folder below."
  !ifdef X64_DIR
  StrCpy $0 "$PROGRAMFILES32\Kestrowe\Quillet"
  Call Folder64Of
  ${If} $0 != ""
    StrCpy $DirectoryText "$DirectoryText The 64-bit library, for the browser's 64-bit tabs, goes to $0 when Veltrano goes to $PROGRAMFILES32\Kestrowe\Quillet, and otherwise to the subfolder x64 of the folder you choose."
  ${EndIf}
  !endif
FunctionEnd

Function .onInstSuccess
  Call ReportRestart
FunctionEnd

; Stops the installation with the reason in $0; .onInstFailed then takes
; back everything done so far.
Function Fail
  DetailPrint "$0"
  MessageBox MB_ICONSTOP "$0$\r$\n$\r$\nVeltrano has not been installed." /SD IDOK
  Abort
FunctionEnd

; The installation that the uninstall entry names, if any, and which of its
; folders its setup made. Setups before these values made their folders.
Function FindEarlier
  StrCpy $EarlierDir64 ""
  ClearErrors
  ReadRegStr $EarlierDir HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} ${Errors}
  ${OrIf} $EarlierDir == ""
    StrCpy $EarlierDir ""
    Return
  ${EndIf}
  StrCpy $0 $EarlierDir
  Call Folder64Of
  StrCpy $EarlierDir64 $0
  ClearErrors
  ReadRegDWORD $EarlierCreated HKLM "${UNINSTALL_KEY}" CreatedFolder
  ReadRegDWORD $EarlierCreated64 HKLM "${UNINSTALL_KEY}" CreatedFolder64
  ${If} ${Errors}
    StrCpy $EarlierCreated 1
    StrCpy $EarlierCreated64 1
  ${EndIf}
FunctionEnd

; Into $0, why folder $1 (the earlier installation's folder $2; $3 "main"
; for the folder of the uninstaller) cannot take our files, or "": a file of
; one of our names that setup did not put there is another program's, and
; neither setup nor the uninstaller may replace or delete it.
!macro ForeignFile NAME
  ${If} ${FileExists} "$1\${NAME}"
    StrCpy $0 "$1 already holds ${NAME}, which belongs to another program. Choose a folder of its own for Veltrano."
    Return
  ${EndIf}
!macroend
Function ForeignFileIn
  StrCpy $0 ""
  ${If} $1 == ""
  ${OrIf} $1 == $2
    Return
  ${EndIf}
  !insertmacro ForeignFile quillet.dll
  !insertmacro ForeignFile quillet.ini
  !insertmacro ForeignFile quillet.chm
  ${If} $3 == main
    !insertmacro ForeignFile uninstall.exe
    !insertmacro ForeignFile quillet-helper.exe
  ${EndIf}
FunctionEnd

; Into $0, why setup cannot install into $INSTDIR, or "".
Function CheckFolders
  Call FindFolder64
  Call FindEarlier
  StrCpy $1 $INSTDIR
  StrCpy $2 $EarlierDir
  StrCpy $3 main
  Call ForeignFileIn
  ${If} $0 == ""
    StrCpy $1 $Folder64
    StrCpy $2 $EarlierDir64
    StrCpy $3 ""
    Call ForeignFileIn
  ${EndIf}
FunctionEnd

; The directory page says so before anything is installed.
Function DirectoryLeave
  Call CheckFolders
  ${If} $0 != ""
    MessageBox MB_ICONEXCLAMATION $0
    Abort
  ${EndIf}
FunctionEnd

; 1 in $0 when setup makes folder $1 now, or made it for the installation it
; upgrades in place ($2 that installation's folder, $3 its flag).
Function CreatedFlag
  StrCpy $0 0
  ${If} $1 == ""
    Return
  ${EndIf}
  ${IfNot} ${FileExists} "$1\*.*"
    StrCpy $0 1
  ${ElseIf} $1 == $2
    StrCpy $0 $3
  ${EndIf}
FunctionEnd

; Each of the files NAMES of folder $1 that is there is renamed to NAME.old<n>,
; n ($0) the same for all and free for all: a library that a running browser
; has loaded cannot be replaced or deleted, but it can be renamed. Earlier
; copies that no browser holds any more are deleted first.
!macro ForEachFile MACRO
  !insertmacro ${MACRO} quillet.dll
  !insertmacro ${MACRO} quillet.ini
  !insertmacro ${MACRO} quillet.chm
  !insertmacro ${MACRO} uninstall.exe
  !insertmacro ${MACRO} quillet-helper.exe
!macroend
!macro DeleteOld NAME
  Delete "$1\${NAME}.old$0"
  ${If} ${FileExists} "$1\${NAME}.old$0"
    StrCpy $R1 1
  ${EndIf}
!macroend
!macro MoveOneAside NAME
  ${If} ${FileExists} "$1\${NAME}"
    ClearErrors
    Rename "$1\${NAME}" "$1\${NAME}.old$0"
    ${If} ${Errors}
      StrCpy $0 "$1\${NAME} is in use and cannot be replaced. Close every browser window, then run setup again."
      Call Fail
    ${EndIf}
  ${EndIf}
!macroend
Function MoveAside
  StrCpy $0 ""
  ${Do}
    StrCpy $R1 0
    !insertmacro ForEachFile DeleteOld
    ${If} $R1 == 0
      ${ExitDo}
    ${EndIf}
    IntOp $0 $0 + 1
  ${LoopUntil} $0 > 99
FunctionEnd
Function MoveFilesAside
  !insertmacro ForEachFile MoveOneAside
FunctionEnd

; After a failure: the files moved aside in folder $1 (suffix $0) take the
; place of the new ones again.
!macro PutOneBack NAME
  ${If} ${FileExists} "$1\${NAME}.old$0"
    Delete "$1\${NAME}"
    Rename "$1\${NAME}.old$0" "$1\${NAME}"
  ${ElseIf} $Placed == 2
    Delete "$1\${NAME}"
  ${EndIf}
!macroend
Function PutBack
  ${If} $1 != ""
  ${AndIf} $0 != "none"
    !insertmacro ForEachFile PutOneBack
  ${EndIf}
FunctionEnd

; After success: the files moved aside in folder $1 go; a library that a
; running browser holds goes when Windows restarts.
!macro DiscardOne NAME
  Delete /REBOOTOK "$1\${NAME}.old$0"
!macroend
Function Discard
  ${If} $1 != ""
  ${AndIf} $0 != "none"
    !insertmacro ForEachFile DiscardOne
  ${EndIf}
FunctionEnd

; Whatever the new library in folder $1 registered ($2 as for Regsvr32).
Function UnregisterNew
  ${If} $1 != ""
  ${AndIf} ${FileExists} "$1\quillet.dll"
    StrCpy $0 "/u /s"
    Call Regsvr32
  ${EndIf}
FunctionEnd

Function .onInstFailed
  ${If} $Placed == 2
    StrCpy $1 $INSTDIR
    StrCpy $2 ""
    Call UnregisterNew
    StrCpy $1 $Folder64
    StrCpy $2 64
    Call UnregisterNew
  ${EndIf}
  ${If} $Placed != 0
    ; The earlier files come back in place of the new ones.
    StrCpy $1 $INSTDIR
    StrCpy $0 $Aside
    Call PutBack
    StrCpy $1 $Folder64
    StrCpy $0 $Aside64
    Call PutBack
    SetOutPath $TEMP  ; a folder in use as the current one cannot be removed
    ${If} $Created64 == 1
      RMDir $Folder64
    ${EndIf}
    ${If} $Created == 1
      RMDir $INSTDIR
    ${EndIf}
  ${EndIf}
  ; The earlier installation registered again, as it was.
  ${If} $Placed == 2
    ${If} $EarlierDir != ""
      StrCpy $0 "/s"
      StrCpy $1 $EarlierDir
      StrCpy $2 ""
      ${If} ${FileExists} "$1\quillet.dll"
        Call Regsvr32
      ${EndIf}
      StrCpy $1 $EarlierDir64
      StrCpy $2 64
      ${If} $1 != ""
      ${AndIf} ${FileExists} "$1\quillet.dll"
        Call Regsvr32
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Call RestoreSettings
FunctionEnd

; The three files of one library into folder $1.
!macro PlaceFiles SOURCE
  SetOutPath $1
  ClearErrors
  File "${SOURCE}\quillet.dll"
  File "${SOURCE}\quillet.ini"
  File "${SOURCE}\quillet.chm"
  ${If} ${Errors}
    StrCpy $0 "Setup could not write its files into $1."
    Call Fail
  ${EndIf}
!macroend

; DllRegisterServer of the library in folder $1 (through regsvr32; $2 as for
; Regsvr32); a failure stops the installation.
Function Register
  StrCpy $0 "/s"
  Call Regsvr32
  ${If} $3 != 0
    StrCpy $0 "Registering $1\quillet.dll failed (regsvr32 exit code $3)."
    Call Fail
  ${EndIf}
  DetailPrint "Registered $1\quillet.dll"
FunctionEnd

; The earlier installation's folder $1 when it is not one of this one's ($2
; whether its setup made it): its files go, its registration is already
; replaced by this installation's.
Function RemoveEarlierFolder
  ${If} $1 == ""
  ${OrIf} $1 == $INSTDIR
  ${OrIf} $1 == $Folder64
    Return
  ${EndIf}
  DetailPrint "Removing the earlier installation in $1"
  Delete "$1\uninstall.exe"
  Call RemoveFolder
FunctionEnd

Section "Veltrano"
  StrCpy $Placed 0
  StrCpy $Aside none
  StrCpy $Aside64 none
  Call CheckFolders
  ${If} $0 != ""
    Call Fail
  ${EndIf}
  StrCpy $1 $INSTDIR
  StrCpy $2 $EarlierDir
  StrCpy $3 $EarlierCreated
  Call CreatedFlag
  StrCpy $Created $0
  StrCpy $1 $Folder64
  StrCpy $2 $EarlierDir64
  StrCpy $3 $EarlierCreated64
  Call CreatedFlag
  StrCpy $Created64 $0

  Call KeepSettings
  StrCpy $Placed 1
  StrCpy $1 $INSTDIR
  Call MoveAside
  StrCpy $Aside $0
  Call MoveFilesAside
  ${If} $Folder64 != ""
    StrCpy $1 $Folder64
    Call MoveAside
    StrCpy $Aside64 $0
    Call MoveFilesAside
  ${EndIf}

  StrCpy $Placed 2
  StrCpy $1 $INSTDIR
  !insertmacro PlaceFiles "${LIBRARY_DIR}"
  ClearErrors
  File "/oname=quillet-helper.exe" "${HELPER_EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    StrCpy $0 "Setup could not write its files into $INSTDIR."
    Call Fail
  ${EndIf}
  !ifndef AMD64
  !ifdef X64_DIR
  ${If} $Folder64 != ""
    StrCpy $1 $Folder64
    !insertmacro PlaceFiles "${X64_DIR}"
  ${EndIf}
  !endif
  !endif

  StrCpy $1 $INSTDIR
  StrCpy $2 ""
  Call Register
  ${If} $Folder64 != ""
    StrCpy $1 $Folder64
    StrCpy $2 64
    Call Register
  ${EndIf}
  Call RestoreSettings

  ; Registered: from here on nothing fails. What was there before goes.
  SetOutPath $TEMP
  StrCpy $1 $INSTDIR
  StrCpy $0 $Aside
  Call Discard
  StrCpy $1 $Folder64
  StrCpy $0 $Aside64
  Call Discard
  StrCpy $1 $EarlierDir64
  StrCpy $2 $EarlierCreated64
  Call RemoveEarlierFolder
  StrCpy $1 $EarlierDir
  StrCpy $2 $EarlierCreated
  Call RemoveEarlierFolder

  ${GetSize} "$INSTDIR" "/S=0K /G=0" $4 $5 $6
  ${If} $Folder64 != ""
    ${GetSize} "$Folder64" "/S=0K /G=0" $5 $6 $7
    IntOp $4 $4 + $5
  ${EndIf}
  ${GetTime} "" "L" $5 $6 $7 $0 $0 $0 $0
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "Veltrano"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "Kestrowe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\quillet.dll,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallDate "$7$6$5"
  WriteRegStr HKLM "${UNINSTALL_KEY}" HelpLink "${WEB_ADDRESS}veltrano/help/"
  WriteRegStr HKLM "${UNINSTALL_KEY}" URLInfoAbout "${WEB_ADDRESS}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  ; Returns when the uninstall is done, with its result.
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\quillet-helper.exe" /uninstall'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $4
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" VersionMajor ${VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" VersionMinor ${VERSION_MINOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" CreatedFolder $Created
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" CreatedFolder64 $Created64

  DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "Veltrano"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" ComponentID "Veltrano"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" Version "${ACTIVE_SETUP_VERSION}"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" StubPath '"$INSTDIR\quillet-helper.exe"'
  WriteRegDWORD HKLM "${ACTIVE_SETUP_KEY}" IsInstalled 1

  ${If} ${RebootFlag}
    DetailPrint "A running browser still uses the earlier Veltrano until it is restarted."
  ${EndIf}
SectionEnd

Function un.onInit
  Call un.RequireAdministrator
  StrCpy $RemoveSettings 0  ; and so in silent mode, which shows no page
FunctionEnd

Function un.onUninstSuccess
  Call un.ReportRestart
FunctionEnd

Function un.SettingsPage
  !insertmacro MUI_HEADER_TEXT "Your settings" "Keep or remove your Veltrano settings."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 40u "Your choice of search engine and of the corrections is kept for your user account, so that it is there again when Veltrano is installed later."
  Pop $0
  ${NSD_CreateCheckbox} 0 48u 100% 12u "&Remove my Veltrano settings as well"
  Pop $SettingsCheckBox
  ${NSD_SetState} $SettingsCheckBox $RemoveSettings
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $SettingsCheckBox $RemoveSettings
FunctionEnd

; 1 in $3 when the class is registered to the library in folder $1 (in the
; 64-bit view when $2 is 64): only then may unregistering it take it away.
Function un.RegisteredHere
  ${If} $2 == 64
    SetRegView 64
  ${EndIf}
  ReadRegStr $3 HKCR "${CLASS_KEY}" ""
  SetRegView default
  ${If} $3 == "$1\quillet.dll"
    StrCpy $3 1
  ${Else}
    StrCpy $3 0
  ${EndIf}
FunctionEnd

; DllUnregisterServer of the library in folder $1 ($2 as above), when the
; registration is that library's.
Function un.UnregisterIfOurs
  ${If} $1 == ""
  ${OrIfNot} ${FileExists} "$1\quillet.dll"
    Return
  ${EndIf}
  Call un.RegisteredHere
  ${If} $3 != 1
    DetailPrint "Left the registration alone: it is not $1\quillet.dll's."
    Return
  ${EndIf}
  StrCpy $0 "/u /s"
  Call un.Regsvr32
FunctionEnd

Section Uninstall
  Call un.FindFolder64
  ; Only the installation that the uninstall entry names owns the entry, the
  ; logon component and the flags of which folders setup made.
  StrCpy $Created 0
  StrCpy $Created64 0
  ReadRegStr $EarlierDir HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} $EarlierDir == $INSTDIR
    ClearErrors
    ReadRegDWORD $Created HKLM "${UNINSTALL_KEY}" CreatedFolder
    ReadRegDWORD $Created64 HKLM "${UNINSTALL_KEY}" CreatedFolder64
    ${If} ${Errors}
      StrCpy $Created 1
      StrCpy $Created64 1
    ${EndIf}
  ${EndIf}

  ${If} $RemoveSettings != ${BST_CHECKED}
    Call un.KeepSettings
  ${EndIf}
  StrCpy $1 $Folder64
  StrCpy $2 64
  Call un.UnregisterIfOurs
  StrCpy $1 $INSTDIR
  StrCpy $2 ""
  Call un.UnregisterIfOurs

  SetOutPath $TEMP  ; a folder in use as the current one cannot be removed
  StrCpy $1 $Folder64
  StrCpy $2 $Created64
  Call un.RemoveFolder
  StrCpy $0 "$INSTDIR\uninstall.exe"
  Call un.RemoveRunningFile
  StrCpy $1 $INSTDIR
  StrCpy $2 $Created
  Call un.RemoveFolder

  ${If} $RemoveSettings == ${BST_CHECKED}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Kestrowe"
  ${Else}
    Call un.RestoreSettings
  ${EndIf}
  ${If} $EarlierDir == $INSTDIR
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
  ${EndIf}
  ${If} ${RebootFlag}
    DetailPrint "A running browser still uses Veltrano: its files are removed when Windows restarts."
  ${EndIf}
SectionEnd
