; The Quillet installer. One script gives the shipped x86 installer and, with
; AMD64 defined, an amd64 one for the tests on machines that cannot run 32-bit
; programs.
;
;   makensis -DVERSION=1.1.30 -DNUMERIC_VERSION=1.1.0.30 -DOUTFILE=<setup.exe>
;            -DX86_DIR=<folder> [-DX64_DIR=<folder>] quillet.nsi
;   makensis -DAMD64 -DVERSION=... -DNUMERIC_VERSION=... -DOUTFILE=... -DX64_DIR=<folder> quillet.nsi
;
; Each folder holds quillet.dll, quillet.ini and quillet.chm. The x86
; installer puts X86_DIR's files into $INSTDIR and, on 64-bit Windows,
; X64_DIR's into the 64-bit Program Files; the amd64 one puts X64_DIR's into
; $INSTDIR. tools/quillet-version gives the two versions.

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
; HKEY_CURRENT_USER for the System plugin, sign-extended as a 64-bit handle must be.
!define HKCU_HANDLE -2147483647

Name "Quillet ${VERSION}"
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
BrandingText "Kestrowe Quillet ${VERSION}"
ShowInstDetails show
ShowUnInstDetails show
AllowSkipFiles off

Var Folder64          ; the 64-bit library's folder, when there is one
Var InUse             ; 1: a running browser holds a library that was replaced
Var KeptSettings      ; 1: the user's settings are copied aside
Var RemoveSettings    ; uninstaller: 1 when the user asked to remove the settings
Var SettingsCheckBox

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Shown with a choice to restart when a running browser held a library.
!define MUI_FINISHPAGE_TEXT_REBOOT "A browser that is running still uses the earlier Quillet. Browser windows opened from now on use this version; restart the browser for the open ones. The earlier file is removed when Windows restarts.$\r$\n$\r$\nRestart Windows now?"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT_REBOOT "A browser that is running still uses Quillet: its files are removed when Windows restarts.$\r$\n$\r$\nRestart Windows now?"
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE English

VIProductVersion ${NUMERIC_VERSION}
VIFileVersion ${NUMERIC_VERSION}
VIAddVersionKey /LANG=${LANG_ENGLISH} ProductName "Quillet"
VIAddVersionKey /LANG=${LANG_ENGLISH} CompanyName "Kestrowe"
VIAddVersionKey /LANG=${LANG_ENGLISH} FileDescription "Quillet setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} FileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} ProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} LegalCopyright "Copyright (C) 2026 Kestrowe"

; What installer and uninstaller share; NSIS wants each function twice, once
; with the "un." prefix.
!macro SharedFunctions UN

; The 64-bit library's folder: the 64-bit Program Files beside the default
; folder, or "x64" inside a folder the user chose. None for the amd64
; installer, whose one library is the 64-bit one.
Function ${UN}FindFolder64
  StrCpy $Folder64 ""
  !ifndef AMD64
  !ifdef X64_DIR
  ${If} ${IsNativeAMD64}
    ${If} $INSTDIR == "$PROGRAMFILES32\Kestrowe\Quillet"
      StrCpy $Folder64 "$PROGRAMFILES64\Kestrowe\Quillet"
    ${Else}
      StrCpy $Folder64 "$INSTDIR\x64"
    ${EndIf}
  ${EndIf}
  !endif
  !endif
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

; Each library's own DllUnregisterServer, for the libraries that are there.
Function ${UN}UnregisterAll
  StrCpy $0 "/u /s"
  ${If} $Folder64 != ""
  ${AndIf} ${FileExists} "$Folder64\quillet.dll"
    StrCpy $1 $Folder64
    StrCpy $2 64
    Call ${UN}Regsvr32
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\quillet.dll"
    StrCpy $1 $INSTDIR
    StrCpy $2 ""
    Call ${UN}Regsvr32
  ${EndIf}
FunctionEnd

; Removes our files from folder $1, then the folder. A library that a running
; browser holds goes when Windows restarts.
Function ${UN}RemoveFolder
  Delete /REBOOTOK "$1\quillet.dll"
  Delete /REBOOTOK "$1\quillet.dll.old*"
  Delete "$1\quillet.ini"
  Delete "$1\quillet.chm"
  RMDir /REBOOTOK "$1"
FunctionEnd

Function ${UN}RemoveFiles
  SetOutPath $TEMP  ; a folder in use as the current one cannot be removed
  ${If} $Folder64 != ""
    StrCpy $1 $Folder64
    Call ${UN}RemoveFolder
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  StrCpy $1 $INSTDIR
  Call ${UN}RemoveFolder
  ; The publisher's folders, when nothing else is left in them.
  RMDir "$PROGRAMFILES32\Kestrowe"
  RMDir "$PROGRAMFILES64\Kestrowe"
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
    MessageBox MB_ICONSTOP "Quillet is set up for every user of this computer. Run this program as an administrator." /SD IDOK
    SetErrorLevel 740  ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
FunctionEnd
!macroend

!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

Function .onInit
  Call RequireAdministrator
FunctionEnd

; Stops the installation with the reason in $0; .onInstFailed then takes
; back everything done so far.
Function Fail
  DetailPrint "$0"
  MessageBox MB_ICONSTOP "$0$\r$\n$\r$\nQuillet has not been installed." /SD IDOK
  Abort
FunctionEnd

Function .onInstFailed
  Call UnregisterAll
  Call RemoveFiles
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Call RestoreSettings
FunctionEnd

; A library that a running browser has loaded cannot be overwritten, but it
; can be moved aside: browser windows opened from now on load the new one,
; and the old file goes when Windows restarts. $1 is the folder. A browser
; that ran through earlier upgrades may still hold earlier copies, so the
; first free name of quillet.dll.old, quillet.dll.old1, ... is taken.
Function MoveLoadedLibraryAside
  ${IfNot} ${FileExists} "$1\quillet.dll"
    Return
  ${EndIf}
  ClearErrors
  Delete "$1\quillet.dll"
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  StrCpy $R0 ""
  ${Do}
    Delete "$1\quillet.dll.old$R0"
    ${IfNot} ${FileExists} "$1\quillet.dll.old$R0"
      ${ExitDo}
    ${EndIf}
    IntOp $R0 $R0 + 1
  ${LoopUntil} $R0 > 99
  ClearErrors
  Rename "$1\quillet.dll" "$1\quillet.dll.old$R0"
  ${If} ${Errors}
    StrCpy $0 "$1\quillet.dll is in use and cannot be replaced. Close every browser window, then run setup again."
    Call Fail
  ${EndIf}
  Delete /REBOOTOK "$1\quillet.dll.old$R0"
  StrCpy $InUse 1
FunctionEnd

; The three files of one library into folder $1.
!macro PlaceFiles SOURCE
  Call MoveLoadedLibraryAside
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

Section "Quillet"
  StrCpy $InUse 0
  Call FindFolder64
  Call KeepSettings

  StrCpy $1 $INSTDIR
  !insertmacro PlaceFiles "${LIBRARY_DIR}"
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

  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $4 $5 $6
  ${If} $Folder64 != ""
    ${GetSize} "$Folder64" "/S=0K /G=0" $5 $6 $7
    IntOp $4 $4 + $5
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "Quillet"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "Kestrowe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\quillet.dll,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $4
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1

  ${If} $InUse == 1
    DetailPrint "A running browser still uses the earlier Quillet until it is restarted."
  ${EndIf}
SectionEnd

Function un.onInit
  Call un.RequireAdministrator
  StrCpy $RemoveSettings 0  ; and so in silent mode, which shows no page
FunctionEnd

Function un.SettingsPage
  !insertmacro MUI_HEADER_TEXT "Your settings" "Keep or remove your Quillet settings."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 40u "Your choice of search engine and of the corrections is kept for your user account, so that it is there again when Quillet is installed later."
  Pop $0
  ${NSD_CreateCheckbox} 0 48u 100% 12u "&Remove my Quillet settings as well"
  Pop $SettingsCheckBox
  ${NSD_SetState} $SettingsCheckBox $RemoveSettings
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $SettingsCheckBox $RemoveSettings
FunctionEnd

Section Uninstall
  Call un.FindFolder64
  ${If} $RemoveSettings != ${BST_CHECKED}
    Call un.KeepSettings
  ${EndIf}
  Call un.UnregisterAll
  Call un.RemoveFiles
  ${If} $RemoveSettings == ${BST_CHECKED}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Kestrowe"
  ${Else}
    Call un.RestoreSettings
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  IfRebootFlag 0 +2
    DetailPrint "A running browser still uses Quillet: its files are removed when Windows restarts."
SectionEnd
