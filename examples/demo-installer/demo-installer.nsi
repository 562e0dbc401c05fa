; The sample disc's installer, built with NSIS (makensis) by the project's
; build: it installs the demo application and the disc's courses for the
; current user, leaves the installation record that the disc's VESK.INI
; names, so that the launcher offers Start on its next run, and registers an
; uninstaller in Windows' list of installed programs.
;
;   TolvaneDemoSetup.exe      welcome, folder, progress and finish pages
;   TolvaneDemoSetup.exe /S   installs without a window
;   uninstall.exe /S          (in the installation folder) removes it all
;
; The build defines OUTFILE, APP (the built TolvaneDemo.exe), COURSES (the
; disc's repository folder) and ICON (the launcher's icon); to sign, also SIGN
; (scripts/sign) and SIGN_CERT with SIGN_KEY, or SIGN_PKCS12.

Unicode true
SetCompressor /SOLID lzma
; The files keep no date of their own: the build's time would make every
; build's installer different; installed, they carry the time of installing.
SetDateSave off
!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "Tolvane Demo"
!define VERSION "1.0"
!define PUBLISHER "Quillmoor"
; VESK.INI: "Ini file name=Quillmoor", "Section name=Tolvane", "RegTopKey=C"
; and "Key install dir=InstallDir".
!define RECORD_KEY "Software\Quillmoor\Tolvane\Settings"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TolvaneDemo"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Per user: everything goes into the user's own folders and HKCU, so no
; administrator rights are asked for (the manifest says asInvoker).
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\${PRODUCT}"
BrandingText "${PUBLISHER}"

; The uninstaller is signed before the installer takes it in, the installer
; once it is written; "= 0": a signing that fails stops the build.
!ifdef SIGN_PKCS12
  !define SIGN_WITH '--pkcs12 "${SIGN_PKCS12}" --'
!else ifdef SIGN_CERT
  !define SIGN_WITH '"${SIGN_CERT}" "${SIGN_KEY}"'
!endif
!ifdef SIGN_WITH
  !uninstfinalize '"${SIGN}" --name "${PRODUCT} Uninstall" ${SIGN_WITH} "%1"' = 0
  !finalize '"${SIGN}" --name "${PRODUCT} Setup" ${SIGN_WITH} "%1"' = 0
!endif

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileDescription "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "welcome.bmp"
; The usual text asks to close other programs to spare a restart, which an
; installation into the user's own folder never needs.
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} for you, in a folder of your own; it needs no administrator rights.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\TolvaneDemo.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
; The disc's launcher offers Start; the user chooses when to begin.
!define MUI_FINISHPAGE_RUN_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section
  SetOutPath "$INSTDIR\repository"
  File "${COURSES}/*.course"
  ; Last, so that the finish page starts the application in its own folder.
  SetOutPath "$INSTDIR"
  File "${APP}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayName "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\TolvaneDemo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoRepair 1

  ; The record comes last: an installation cut short is not offered as
  ; installed. The launcher wants the folder with its final backslash, which
  ; $INSTDIR has only when it is a drive's root.
  StrCpy $0 "$INSTDIR" "" -1
  ${If} $0 == "\"
    WriteRegStr HKCU "${RECORD_KEY}" InstallDir "$INSTDIR"
  ${Else}
    WriteRegStr HKCU "${RECORD_KEY}" InstallDir "$INSTDIR\"
  ${EndIf}
  ; The edition this disc installs; the launcher compares its title with the
  ; Title of any disc before offering Install.
  WriteRegStr HKCU "${RECORD_KEY}" Demo ""
SectionEnd

Section Uninstall
  ; The record goes first: whatever might be left no longer counts as
  ; installed. The keys above it go only when nothing else is in them.
  DeleteRegValue HKCU "${RECORD_KEY}" InstallDir
  DeleteRegValue HKCU "${RECORD_KEY}" Demo
  DeleteRegKey /ifempty HKCU "${RECORD_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Quillmoor\Tolvane"
  DeleteRegKey /ifempty HKCU "Software\Quillmoor"

  Delete "$INSTDIR\repository\*.course"
  RMDir "$INSTDIR\repository"
  Delete "$INSTDIR\TolvaneDemo.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: what the user put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
