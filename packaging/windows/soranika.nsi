; The Windows installer: per user, without administrator rights, into %LOCALAPPDATA%\Programs\ソラニカ.
; The shortcuts start the program in Documents\ソラニカ, where the shop's files live; the uninstaller
; removes the program and its shortcuts and never touches that folder.
;
; makensis -DVERSION=1.0.2 -DDIST=<folder with soranika.exe and its DLLs> -DOUTFILE=<setup.exe>
;          -DLICENSE=<the GPL-3 text> soranika.nsi
Unicode true
; A 64-bit installer for a 64-bit program; it also runs where no 32-bit Windows layer is installed (Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APP "ソラニカ"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\soranika"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Japanese.nlf"

; The program is free software under GPL-3.0-or-later: its terms come first. The folder third-party
; beside the program holds each bundled DLL's licence.
LicenseData "${LICENSE}"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "install"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${DIST}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The data folder first: a shortcut takes the current output folder as the folder it starts in.
  CreateDirectory "$DOCUMENTS\${APP}"
  SetOutPath "$DOCUMENTS\${APP}"
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\soranika.exe" "" "$INSTDIR\soranika.exe" 0
  CreateShortCut "$DESKTOP\${APP}.lnk" "$INSTDIR\soranika.exe" "" "$INSTDIR\soranika.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\soranika.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$DESKTOP\${APP}.lnk"
  ; Only what the installer put there goes, by name: whatever else the folder holds stays, even when
  ; the shop chose its data folder as the place to install into.
  Delete "$INSTDIR\soranika.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\qt.conf"
  Delete "$INSTDIR\LICENSE"
  RMDir /r "$INSTDIR\third-party"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\sqldrivers"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\printsupport"
  RMDir /r "$INSTDIR\translations"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
