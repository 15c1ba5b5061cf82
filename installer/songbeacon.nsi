; The setup program: puts gen_SBeacon.dll into the player's Plugins folder, with the operator's
; read-me, the placeholder logo and an uninstaller beside it in Plugins\Songbeacon, and registers
; the plug-in in the list of installed programs. It never touches plugin.ini (the operator's
; settings, which other plug-ins share) and never leaves a half-replaced DLL: the new one is
; written beside the old and swapped in only once the old one is known not to be in use.
;
; Built by installer/CMakeLists.txt, which passes the product's name and version and the files
; to pack as /D definitions (below). Silent use: setup.exe /S /D=C:\Path\To\Player (last, unquoted).

Unicode true
SetCompressor /SOLID lzma
; Installed files get the time of installation, not that of the build: the setup program then
; depends only on the bytes it packs.
SetDateSave off
; Per-machine registration in HKLM needs an administrator.
RequestExecutionLevel admin

!macro REQUIRE NAME
  !ifndef ${NAME}
    !error "makensis needs -D${NAME}=...: build the installer through CMake (target songbeacon_setup)"
  !endif
!macroend
!insertmacro REQUIRE PRODUCT_NAME
!insertmacro REQUIRE PRODUCT_VERSION
!insertmacro REQUIRE PRODUCT_VERSION_QUAD
!insertmacro REQUIRE PRODUCT_PUBLISHER
!insertmacro REQUIRE DLL_FILE
!insertmacro REQUIRE README_FILE
!insertmacro REQUIRE LICENSE_FILE
!insertmacro REQUIRE LOGO_FILE
!insertmacro REQUIRE OUT_FILE

!define DLL "gen_SBeacon.dll"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_NAME}"
; The player's own installer records its folder as the default value of this key, per user and
; per machine (a 32-bit setup program on 64-bit Windows reads the 32-bit view, where it lives).
!define PLAYER_KEY "Software\Winamp"
!define PLAYER_EXE "winamp.exe"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

Name "${PRODUCT_NAME} ${PRODUCT_VERSION}"
OutFile "${OUT_FILE}"
BrandingText "${PRODUCT_NAME} ${PRODUCT_VERSION}"
ShowInstDetails show
ShowUninstDetails show

;--- Pages

!define MUI_WELCOMEPAGE_TEXT "This puts the ${PRODUCT_NAME} plug-in (${DLL}) into the Plugins folder of your Winamp player. It rewrites a status page for your station's listeners each time a new track starts, and can skip tracks whose artist or title was played too recently.$\r$\n$\r$\nClose the player before you go on.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!define MUI_PAGE_HEADER_TEXT "Choose the Player's Folder"
!define MUI_PAGE_HEADER_SUBTEXT "The folder that holds ${PLAYER_EXE}."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will put ${DLL} into the Plugins folder of the player's folder below, and its read-me, logo and uninstaller into Plugins\${PRODUCT_NAME}. Settings you already have in Plugins\plugin.ini are kept.$\r$\n$\r$\nTo use another player folder, click Browse. $_CLICK"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Player folder"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckPlayerFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT_NAME} ${PRODUCT_VERSION} is in the player's Plugins folder. Start the player: it lists the plug-in among the general-purpose plug-ins, and at its first start the plug-in writes its settings to Plugins\plugin.ini.$\r$\n$\r$\nThe read-me says what each setting does and where the logo goes."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Plugins\${PRODUCT_NAME}\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the read-me"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Setup will remove ${DLL} from the player's Plugins folder, with the read-me, the logo and this uninstaller. Your settings (the [${PRODUCT_NAME}] section of plugin.ini) and the status page stay where they are. Close the player before you go on."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT_NAME} has been removed.$\r$\n$\r$\nYour settings in plugin.ini and the status page were left in place: delete them by hand if you no longer need them."
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

;--- The setup program's own version information

VIProductVersion "${PRODUCT_VERSION_QUAD}"
VIFileVersion "${PRODUCT_VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT_NAME} ${PRODUCT_VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PRODUCT_PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) ${PRODUCT_PUBLISHER}, MIT licence"

;--- Installing

; The folder starts as the one given with /D=, else the player's folder from the registry (per
; user, then per machine), else $PROGRAMFILES\Winamp.
Function .onInit
  ${If} $INSTDIR == ""
    ReadRegStr $0 HKCU "${PLAYER_KEY}" ""
    ${If} $0 == ""
      ReadRegStr $0 HKLM "${PLAYER_KEY}" ""
    ${EndIf}
    Push $0
    Call TidyFolder
    Pop $INSTDIR
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$PROGRAMFILES\Winamp"
    ${EndIf}
  ${EndIf}
FunctionEnd

; Pops a folder as found in the registry and pushes it without surrounding quotes or a trailing
; backslash.
Function TidyFolder
  Exch $0
  Push $1
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
  ${EndIf}
  StrCpy $1 $0 "" -1
  ${If} $1 == '"'
    StrCpy $0 $0 -1
  ${EndIf}
  StrCpy $1 $0 "" -1
  ${If} $1 == "\"
    StrCpy $0 $0 -1
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Leaving the folder page: a folder with no player program in it gets a warning and the choice
; to pick another. Pages do not run in silent mode, so a silent install goes on.
Function CheckPlayerFolder
  ${IfNot} ${FileExists} "$INSTDIR\${PLAYER_EXE}"
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "There is no ${PLAYER_EXE} in$\r$\n$INSTDIR$\r$\n$\r$\nThe plug-in only works in the player's own Plugins folder. Install into this folder anyway?" IDYES +2
    Abort
  ${EndIf}
FunctionEnd

; Sets $R0 to 1 when the DLL in $OUTDIR is in use, else to 0, after clearing away what an
; interrupted run may have left. A DLL the player has loaded can still be renamed, but it cannot
; be opened for writing: that open is the test.
Function CheckDllFree
  StrCpy $R0 0
  Delete "$OUTDIR\${DLL}.new"
  Delete "$OUTDIR\${DLL}.old"
  ${If} ${FileExists} "$OUTDIR\${DLL}"
    ClearErrors
    FileOpen $0 "$OUTDIR\${DLL}" a
    ${If} ${Errors}
      StrCpy $R0 1
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
FunctionEnd

; Swaps the new DLL, written beside the old one as ${DLL}.new, into place by renames. Sets $R0 to 0
; when done; to 1 when it could not be, with the old DLL back in place and the new one removed.
Function SwapInNewDll
  StrCpy $R0 1
  ClearErrors
  ${If} ${FileExists} "$OUTDIR\${DLL}"
    Rename "$OUTDIR\${DLL}" "$OUTDIR\${DLL}.old"
  ${EndIf}
  ${IfNot} ${Errors}
    Rename "$OUTDIR\${DLL}.new" "$OUTDIR\${DLL}"
    ${If} ${Errors}
      Rename "$OUTDIR\${DLL}.old" "$OUTDIR\${DLL}"
    ${Else}
      StrCpy $R0 0
      Delete "$OUTDIR\${DLL}.old"
    ${EndIf}
  ${EndIf}
  Delete "$OUTDIR\${DLL}.new"
FunctionEnd

Section "${PRODUCT_NAME}" SectionPlugin
  SectionIn RO
  ${IfNot} ${FileExists} "$INSTDIR\${PLAYER_EXE}"
    DetailPrint "Note: there is no ${PLAYER_EXE} in $INSTDIR"
  ${EndIf}

  ; The DLL is never half replaced: the new one is written beside the old one and swapped in
  ; only when the old one is not in use. While it is, the user is asked to close the player and
  ; retry; a silent install (or Cancel) stops with error level 2, the old DLL as it was.
  SetOutPath "$INSTDIR\Plugins"
  retry:
  Call CheckDllFree
  ${If} $R0 == 0
    File "/oname=${DLL}.new" "${DLL_FILE}"
    Call SwapInNewDll
  ${EndIf}
  ${If} $R0 != 0
    DetailPrint "$OUTDIR\${DLL} is in use: the player is running"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$OUTDIR\${DLL} is in use, so it cannot be replaced.$\r$\n$\r$\nClose the player, then click Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "Nothing was changed: close the player and run Setup again."
  ${EndIf}
  DetailPrint "Installed $OUTDIR\${DLL}"

  SetOutPath "$INSTDIR\Plugins\${PRODUCT_NAME}"
  File "/oname=readme.txt" "${README_FILE}"
  File "/oname=sc-logo.jpg" "${LOGO_FILE}"
  WriteUninstaller "$INSTDIR\Plugins\${PRODUCT_NAME}\uninstall.exe"

  ; What the plug-in takes on disk, in KB: the DLL and its folder, uninstaller included.
  ${GetSize} "$INSTDIR\Plugins" "/M=${DLL} /S=0K /G=0" $0 $1 $2
  ${GetSize} "$INSTDIR\Plugins\${PRODUCT_NAME}" "/S=0K" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME} ${PRODUCT_VERSION} (Winamp plug-in)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT_PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${PRODUCT_NAME}\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${PRODUCT_NAME}\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

;--- Uninstalling (the uninstaller lives in <player>\Plugins\Songbeacon, its $INSTDIR)

Section "Uninstall"
  GetFullPathName $1 "$INSTDIR\.."
  retry:
  ClearErrors
  ${If} ${FileExists} "$1\${DLL}"
    Delete "$1\${DLL}"
    ${If} ${FileExists} "$1\${DLL}"
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$1\${DLL} is in use, so it cannot be removed.$\r$\n$\r$\nClose the player, then click Retry." /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Abort "Nothing was removed: close the player and run the uninstaller again."
    ${EndIf}
  ${EndIf}
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\sc-logo.jpg"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a status page or logo the operator keeps here stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DetailPrint "Kept: $1\plugin.ini (your settings) and the status page."
SectionEnd
