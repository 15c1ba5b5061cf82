; The setup program: puts gen_SBeacon.dll into the player's Plugins folder, with the operator's
; read-me, the placeholder logo, the tool that chooses the two limits (with its Start menu entry)
; and an uninstaller beside it in Plugins\Songbeacon, and registers the plug-in in the list of
; installed programs, one entry per player folder. It never touches
; plugin.ini (the operator's settings, which other plug-ins share) nor a logo the operator put in
; place, and never leaves the player without a DLL: the new one is written beside the old and
; swapped in only once the old one is known not to be in use.
;
; Built by installer/CMakeLists.txt, which passes the product's name and version and the files
; to pack as /D definitions (below). Silent use: setup.exe /S /D=C:\Path\To\Player (last, unquoted).
; Exit statuses (docs/installing.md lists them for deploying scripts):
;   0 installed; 1 cancelled by the operator;
;   2 the DLL could not be replaced (in use, or a file held by another program): nothing changed;
;   3 not running as an administrator: nothing changed;
;   4 the DLL is missing after a swap that could not be undone: the earlier one is kept as
;     gen_SBeacon.dll.old, and the next run puts it back before anything else;
;   5 installed, but the registration in the list of installed programs could not be written.
; The uninstaller returns 0 at once and finishes from a copy of itself, unless run in place with
; uninstall.exe /S _?=<its folder> (last, unquoted); then it waits and exits with 0 removed,
; 1 cancelled by the operator, 2 the DLL in use (nothing removed), 3 not running as an
; administrator (nothing removed). Run in place it cannot delete itself.

Unicode true
SetCompressor /SOLID lzma
; Installed files get the time of installation, not that of the build: the setup program then
; depends only on the bytes it packs.
SetDateSave off
; Per-machine registration in HKLM and a player under Program Files need an administrator; .onInit
; checks that the rights were really granted.
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
!insertmacro REQUIRE TUNE_FILE
!insertmacro REQUIRE README_FILE
!insertmacro REQUIRE LICENSE_FILE
!insertmacro REQUIRE LOGO_FILE
!insertmacro REQUIRE OUT_FILE

; Signing, when the release is built with a certificate: SIGN_COMMAND signs the file named after it
; in place (scripts/sign.sh). The uninstaller is signed as makensis writes it, before it is packed,
; so the one Setup leaves is signed too; the setup program once it is finished. A failed signing
; stops the build.
!ifdef SIGN_COMMAND
  !uninstfinalize '${SIGN_COMMAND} "%1"' = 0
  !finalize '${SIGN_COMMAND} "%1"' = 0
!endif

!define DLL "gen_SBeacon.dll"
!define LOGO "sc-logo.jpg"
; The tool that chooses the two limits, and its Start menu entries (for every user: Setup installs
; for the machine). A file name cannot hold a colon, so an entry reads "Songbeacon - choose limits
; (<player folder>)": each player folder's tool has its own, named with the folder's last part ("(Winamp
; 2)" when another folder of that name has one already), and only that folder's uninstaller
; removes it. HKLM\${TUNE_ENTRIES} remembers each entry's name under the tool's folder, so that an
; upgrade rewrites the same entry. Earlier builds made one entry for the machine,
; "${TUNE_ENTRY}", starting the tool of the folder HKLM\${TUNE_KEY}'s ChooseLimitsEntryFolder
; names: an install into that folder, or its uninstaller, removes it.
!define TUNE "songbeacon-tune.exe"
!define TUNE_ENTRY "${PRODUCT_NAME} - choose limits"
!define TUNE_KEY "Software\${PRODUCT_NAME}"
!define TUNE_ENTRIES "${TUNE_KEY}\Start menu entries"
; Each player folder has its own entry, ${PRODUCT_NAME}-<hash of the folder>, so that two players
; on one machine each keep theirs. Versions up to 0.24b wrote one entry named ${PRODUCT_NAME}.
; (A 32-bit setup program reads and writes the 32-bit view of HKLM\Software on 64-bit Windows,
; where the list of programs also looks and where a 32-bit player records its folder.)
!define UNINSTALL_ROOT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
; The player's own installer records its folder as the default value of this key, per user and
; per machine.
!define PLAYER_KEY "Software\Winamp"
!define PLAYER_EXE "winamp.exe"

!define EXIT_NOT_REPLACED 2
!define EXIT_NOT_ELEVATED 3
!define EXIT_DLL_MISSING 4
!define EXIT_NOT_REGISTERED 5

!include "MUI2.nsh"
!include "LogicLib.nsh"

Name "${PRODUCT_NAME} ${PRODUCT_VERSION}"
OutFile "${OUT_FILE}"
BrandingText "${PRODUCT_NAME} ${PRODUCT_VERSION}"
ShowInstDetails show
ShowUninstDetails show

Var OfferedFolder ; .onInit's search for the player's folder: the first one holding the player
Var FirstFolder   ; ... and the first one found at all

;--- Pages (every text is sized to show whole in its box: tests/installer checks it)

!define MUI_WELCOMEPAGE_TEXT "This puts the ${PRODUCT_NAME} plug-in (${DLL}) into the Plugins folder of your Winamp player. It rewrites a status page for your station's listeners each time a new track starts, and can skip tracks whose artist or title was played too recently.$\r$\n$\r$\nClose the player before you go on.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!define MUI_PAGE_HEADER_TEXT "Choose the Player's Folder"
!define MUI_PAGE_HEADER_SUBTEXT "The folder that holds ${PLAYER_EXE}."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will put ${DLL} into the Plugins folder of the player's folder below, and its read-me, logo, tool for choosing the limits and uninstaller into Plugins\${PRODUCT_NAME}. Settings you already have in Plugins\plugin.ini are kept.$\r$\n$\r$\nTo use another player folder, click Browse. $_CLICK"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Player folder"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckPlayerFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The larger text box leaves room for both paragraphs above the check box.
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_TEXT "${PRODUCT_NAME} ${PRODUCT_VERSION} is in the player's Plugins folder. Start the player: it lists the plug-in among its general-purpose plug-ins, and the plug-in writes its settings to Plugins\plugin.ini at its first start.$\r$\n$\r$\nThe read-me says what each setting does and how to choose the limits."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Plugins\${PRODUCT_NAME}\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the read-me"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Setup will remove ${DLL}, the tool for choosing the limits, the read-me, the placeholder logo and this uninstaller. Your settings in plugin.ini, any logo of your own and the status page stay. Close the player first."
; NSIS's own "Uninstalling from:" does not fit its box.
!define MUI_UNCONFIRMPAGE_TEXT_LOCATION "Folder:"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_TEXT "${PRODUCT_NAME} has been removed.$\r$\n$\r$\nYour settings in plugin.ini, the status page and any logo of your own were left in place: delete them by hand if you no longer need them.$\r$\n$\r$\nThe reports of the tool for choosing the limits stay in each user's %LOCALAPPDATA%\${PRODUCT_NAME}\Tuning: delete that folder too once they are of no more use."
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; The Browse button's folder chooser asks for the player's folder, not for a new one.
LangString ^DirBrowseText ${LANG_ENGLISH} "Select the player's folder, the one that holds ${PLAYER_EXE}:"

;--- The setup program's own version information

VIProductVersion "${PRODUCT_VERSION_QUAD}"
VIFileVersion "${PRODUCT_VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT_NAME} ${PRODUCT_VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PRODUCT_PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) ${PRODUCT_PUBLISHER}, MIT licence"

;--- What the setup program and the uninstaller share (NSIS wants each function twice, once with
;    the uninstaller's "un." prefix)

!macro SHARED_FUNCTIONS UN

; Stops the program, with exit status 3, unless it runs with an administrator's rights. Asking for
; them is not enough: an account that is not an administrator, or a start that bypasses the
; elevation prompt, runs it without, and then neither the player's folder under Program Files nor
; the list of installed programs can be written.
Function ${UN}RequireAdministrator
  Push $0
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(^Name) needs an administrator's rights: it changes the player's folder and the list of installed programs for every user of this computer.$\r$\n$\r$\nNothing was changed. Right-click the program and choose Run as administrator, or ask an administrator to run it." /SD IDOK
    SetErrorLevel ${EXIT_NOT_ELEVATED}
    Pop $0
    Quit
  ${EndIf}
  Pop $0
FunctionEnd

; Pops a folder and pushes it as the file system names it: full, with long names, without a
; trailing backslash (but "C:\" for a drive), so that two spellings of one folder compare equal
; (StrCmp ignores case). Pushes "" when the folder does not exist.
Function ${UN}NormalFolder
  Exch $0
  Push $1
  Push $2
  GetFullPathName $1 $0
  ${If} $1 != ""
    System::Call 'kernel32::GetLongPathNameW(w r1, w .r2, i ${NSIS_MAX_STRLEN}) i .r0'
    ${If} $0 > 0
    ${AndIf} $0 < ${NSIS_MAX_STRLEN}
      StrCpy $1 $2
    ${EndIf}
    StrCpy $2 $1 "" -1
    StrLen $0 $1
    ${If} $2 == "\"
    ${AndIf} $0 > 3
      StrCpy $1 $1 -1
    ${EndIf}
  ${EndIf}
  StrCpy $0 $1
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Pops a name from the list of installed programs and pushes 1 when it is one of ours (this
; version's per-folder names or the single name of earlier versions), else 0.
Function ${UN}IsOurKey
  Exch $0
  Push $1
  ${If} $0 == "${PRODUCT_NAME}"
    StrCpy $0 1
  ${Else}
    StrLen $1 "${PRODUCT_NAME}-"
    StrCpy $0 $0 $1
    ${If} $0 == "${PRODUCT_NAME}-"
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Pops a player folder (as NormalFolder gives it) and deletes every entry of ours in the list of
; installed programs that names that folder, and no other.
Function ${UN}ForgetRegistrations
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $1 0
  ${Do}
    EnumRegKey $2 HKLM "${UNINSTALL_ROOT}" $1
    ${If} $2 == ""
      ${Break}
    ${EndIf}
    Push $2
    Call ${UN}IsOurKey
    Pop $3
    ${If} $3 == 1
      ReadRegStr $3 HKLM "${UNINSTALL_ROOT}\$2" "InstallLocation"
      Push $3
      Call ${UN}NormalFolder
      Pop $3
      ${If} $3 != ""
      ${AndIf} $3 == $0
        ClearErrors
        DeleteRegKey HKLM "${UNINSTALL_ROOT}\$2"
        ${IfNot} ${Errors}
          ${Continue} ; the next entry now has this index
        ${EndIf}
      ${EndIf}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Pops the tool's folder (as NormalFolder gives it) and removes the single Start menu entry of
; earlier builds when it starts that folder's tool, with its record. Call with the shell's folders
; set for all users.
Function ${UN}ForgetSingleEntry
  Exch $0
  Push $1
  ReadRegStr $1 HKLM "${TUNE_KEY}" "ChooseLimitsEntryFolder"
  ${If} $0 != ""
  ${AndIf} $1 == $0
    Delete "$SMPROGRAMS\${TUNE_ENTRY}.lnk"
    DeleteRegValue HKLM "${TUNE_KEY}" "ChooseLimitsEntryFolder"
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

;--- Installing

; Pushes the folder to offer: the first of these that holds the player's program, else the first
; of them found at all, else $PROGRAMFILES\Winamp: the folders of earlier installs of the
; plug-in (where an upgrade belongs), then the player's folder as its own installer recorded it
; for the account running Setup and for the machine. Setup may run under another account than
; the operator's (an administrator's, when the operator's own account is not one), whose
; per-user entry says nothing about the operator's player, hence the machine's entry as well.
Function FindPlayerFolder
  StrCpy $OfferedFolder ""
  StrCpy $FirstFolder ""
  StrCpy $0 0
  ${Do}
    EnumRegKey $1 HKLM "${UNINSTALL_ROOT}" $0
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    Push $1
    Call IsOurKey
    Pop $2
    ${If} $2 == 1
      ReadRegStr $2 HKLM "${UNINSTALL_ROOT}\$1" "InstallLocation"
      Push $2
      Call ConsiderFolder
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
  ReadRegStr $0 HKCU "${PLAYER_KEY}" ""
  Push $0
  Call ConsiderFolder
  ReadRegStr $0 HKLM "${PLAYER_KEY}" ""
  Push $0
  Call ConsiderFolder
  ${If} $OfferedFolder == ""
    StrCpy $OfferedFolder $FirstFolder
  ${EndIf}
  ${If} $OfferedFolder == ""
    StrCpy $OfferedFolder "$PROGRAMFILES\Winamp"
  ${EndIf}
  Push $OfferedFolder
FunctionEnd

; Pops a folder as found in the registry (perhaps quoted, perhaps with a trailing backslash, perhaps
; empty) and records it in $FirstFolder / $OfferedFolder when it is the first of its kind.
Function ConsiderFolder
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
  ${If} $0 != ""
    ${If} $FirstFolder == ""
      StrCpy $FirstFolder $0
    ${EndIf}
    ${If} $OfferedFolder == ""
    ${AndIf} ${FileExists} "$0\${PLAYER_EXE}"
      StrCpy $OfferedFolder $0
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Pushes the name of a new Start menu entry for the tool of the player folder $INSTDIR: "${TUNE_ENTRY}
; (<the folder's last part>)", or "(<last part> 2)", 3 ... when an entry of that name is there
; already (another player folder of the same name's); a drive's root is "(D drive)". Call with
; the shell's folders set for all users.
Function ChooseEntryName
  Push $0
  Push $1
  Push $2
  Push $INSTDIR
  Call NormalFolder
  Pop $0
  StrCpy $1 $0 "" -1
  ${If} $1 == "\"
    StrCpy $0 $0 -1
  ${EndIf}
  ; The last part: after the last backslash.
  StrLen $1 $0
  ${Do}
    IntOp $1 $1 - 1
    ${If} $1 < 0
      ${Break}
    ${EndIf}
    StrCpy $2 $0 1 $1
  ${LoopUntil} $2 == "\"
  IntOp $1 $1 + 1
  StrCpy $0 $0 "" $1
  StrCpy $2 $0 "" -1
  ${If} $2 == ":"
    StrCpy $0 "$0" 1
    StrCpy $0 "$0 drive"
  ${EndIf}
  StrCpy $1 1
  StrCpy $2 "${TUNE_ENTRY} ($0)"
  ${DoWhile} ${FileExists} "$SMPROGRAMS\$2.lnk"
    IntOp $1 $1 + 1
    StrCpy $2 "${TUNE_ENTRY} ($0 $1)"
  ${Loop}
  StrCpy $0 $2
  Pop $2
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

; The DLL is replaced without ever leaving the folder without one when it had one: the new DLL
; is written beside the old one as ${DLL}.new, the old one renamed to ${DLL}.old, the new one
; renamed into place and only then the old one deleted. A DLL the player has loaded can still be
; renamed but not opened for writing: that open tells whether the player runs. A virus scanner
; may hold a fresh file for a moment, so any step may fail; the renames are undone then.
; Each step sets $R0 to 0 when it went through; to ${EXIT_NOT_REPLACED} when it did not and the
; DLL in place (if any) is the one that was there; to ${EXIT_DLL_MISSING} when ${DLL} is missing
; and the earlier one is kept as ${DLL}.old. $R1 then says what happened, for the operator.

; Before the new DLL is written in $OUTDIR: clears what an interrupted run left and checks that
; the DLL in place is not in use.
Function PrepareDllSwap
  StrCpy $R0 ${EXIT_NOT_REPLACED}
  ; An aside copy with no DLL in place is the plug-in itself: it is put back, never deleted.
  ${If} ${FileExists} "$OUTDIR\${DLL}.old"
    ${IfNot} ${FileExists} "$OUTDIR\${DLL}"
      ClearErrors
      Rename "$OUTDIR\${DLL}.old" "$OUTDIR\${DLL}"
      ${If} ${Errors}
        StrCpy $R0 ${EXIT_DLL_MISSING}
        StrCpy $R1 "${DLL} is missing, and its earlier copy ${DLL}.old, left by an interrupted run, cannot be put back: another program holds it. The copy is kept."
        Return
      ${EndIf}
      DetailPrint "Put back ${DLL} from ${DLL}.old, left by an interrupted run"
    ${Else}
      Delete "$OUTDIR\${DLL}.old"
      ${If} ${FileExists} "$OUTDIR\${DLL}.old"
        StrCpy $R1 "${DLL}.old, left by an interrupted run, cannot be removed: another program holds it."
        Return
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} ${FileExists} "$OUTDIR\${DLL}"
    ClearErrors
    FileOpen $0 "$OUTDIR\${DLL}" a
    ${If} ${Errors}
      StrCpy $R1 "${DLL} is in use: the player is running."
      Return
    ${EndIf}
    FileClose $0
  ${EndIf}
  Delete "$OUTDIR\${DLL}.new"
  StrCpy $R0 0
FunctionEnd

; Once ${DLL}.new is written: swaps it into place by renames.
Function SwapInNewDll
  StrCpy $R0 ${EXIT_NOT_REPLACED}
  ${If} ${FileExists} "$OUTDIR\${DLL}"
    ClearErrors
    Rename "$OUTDIR\${DLL}" "$OUTDIR\${DLL}.old"
    ${If} ${Errors}
      Delete "$OUTDIR\${DLL}.new"
      StrCpy $R1 "${DLL} could not be renamed to make way for the new one: another program holds it."
      Return
    ${EndIf}
  ${EndIf}
  ClearErrors
  Rename "$OUTDIR\${DLL}.new" "$OUTDIR\${DLL}"
  ${If} ${Errors}
    ${If} ${FileExists} "$OUTDIR\${DLL}.old"
      ClearErrors
      Rename "$OUTDIR\${DLL}.old" "$OUTDIR\${DLL}"
      ${If} ${Errors}
        StrCpy $R0 ${EXIT_DLL_MISSING}
        StrCpy $R1 "The new ${DLL} could not be put in place, nor the earlier one put back: other programs hold them. The earlier one is kept as ${DLL}.old, and Setup puts it back first when run again."
        Return
      ${EndIf}
    ${EndIf}
    Delete "$OUTDIR\${DLL}.new"
    StrCpy $R1 "The new ${DLL} could not be put in place: another program, a virus scanner perhaps, holds ${DLL}.new. The earlier DLL, if any, is back in place."
    Return
  ${EndIf}
  Delete "$OUTDIR\${DLL}.old"
  StrCpy $R0 0
FunctionEnd

Section "${PRODUCT_NAME}" SectionPlugin
  SectionIn RO

  ; While the DLL cannot be replaced, the operator is asked to close the player (or wait for the
  ; program holding a file) and retry; a silent install, or Cancel, stops with the status above.
  SetOutPath "$INSTDIR\Plugins"
  retry:
  Call PrepareDllSwap
  ${If} $R0 == 0
    ; Written in the section, not in a function, so that it counts in the section's size.
    ClearErrors
    File "/oname=${DLL}.new" "${DLL_FILE}"
    ${If} ${Errors}
      Delete "$OUTDIR\${DLL}.new"
      StrCpy $R0 ${EXIT_NOT_REPLACED}
      StrCpy $R1 "The new ${DLL} could not be written as ${DLL}.new: another program, a virus scanner perhaps, holds that file."
    ${Else}
      Call SwapInNewDll
    ${EndIf}
  ${EndIf}
  ${If} $R0 != 0
    DetailPrint "$R1"
    ${If} $R0 == ${EXIT_DLL_MISSING}
      MessageBox MB_RETRYCANCEL|MB_ICONSTOP "$R1$\r$\n$\r$\nThe player has no ${PRODUCT_NAME} plug-in until this is mended. Close the player and other programs that may hold files in$\r$\n$OUTDIR$\r$\nthen click Retry." /SD IDCANCEL IDRETRY retry
      SetErrorLevel ${EXIT_DLL_MISSING}
      Abort "${DLL} is missing; the earlier one is kept as ${DLL}.old. Run Setup again to put it back."
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R1$\r$\n$\r$\nClose the player (and any program that may hold files in$\r$\n$OUTDIR)$\r$\nthen click Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel ${EXIT_NOT_REPLACED}
    Abort "Nothing was changed: close the player and run Setup again."
  ${EndIf}
  DetailPrint "Installed $OUTDIR\${DLL}"

  SetOutPath "$INSTDIR\Plugins\${PRODUCT_NAME}"
  File "/oname=readme.txt" "${README_FILE}"
  File "/oname=${TUNE}" "${TUNE_FILE}"
  ; The entry starts the tool with no arguments (a playlist dropped on it follows as the first), in
  ; its own folder; the tool writes only into the user's own application data.
  Push $OUTDIR
  Call NormalFolder
  Pop $1
  SetShellVarContext all
  Push $1
  Call ForgetSingleEntry
  ReadRegStr $2 HKLM "${TUNE_ENTRIES}" "$1"
  ${If} $2 == ""
    Call ChooseEntryName
    Pop $2
  ${EndIf}
  ClearErrors
  CreateShortcut "$SMPROGRAMS\$2.lnk" "$1\${TUNE}" "" "$1\${TUNE}" 0 SW_SHOWNORMAL "" "Choose SameArtistCheckLimit and SameTitleCheckLimit for a playlist, for the plug-in in $INSTDIR"
  ${If} ${Errors}
    DetailPrint "Could not make the Start menu entry $SMPROGRAMS\$2"
  ${Else}
    WriteRegStr HKLM "${TUNE_ENTRIES}" "$1" "$2"
  ${EndIf}
  ; A logo already there is the operator's own (or the placeholder of an earlier install).
  ${If} ${FileExists} "$OUTDIR\${LOGO}"
    DetailPrint "Kept the logo already in $OUTDIR"
  ${Else}
    File "/oname=${LOGO}" "${LOGO_FILE}"
  ${EndIf}
  WriteUninstaller "$OUTDIR\uninstall.exe"

  ; One entry per player folder: entries of earlier installs into this folder (an earlier
  ; version's included) make way for this one; those of other folders stay as they are.
  Push $INSTDIR
  Call NormalFolder
  Pop $1
  Push $1
  Call ForgetRegistrations
  ; The entry's name holds a hash of the folder's name in lower case: one name per folder.
  StrCpy $2 $1
  System::Call 'user32::CharLowerW(w r2 r2)'
  StrLen $3 $2
  IntOp $3 $3 * 2
  System::Call 'shlwapi::HashData(w r2, i r3, *i .r4, i 4) i'
  IntFmt $4 "%08X" $4
  StrCpy $2 "${UNINSTALL_ROOT}\${PRODUCT_NAME}-$4"
  SectionGetSize ${SectionPlugin} $0
  ClearErrors
  WriteRegStr HKLM $2 "DisplayName" "${PRODUCT_NAME} ${PRODUCT_VERSION} (Winamp plug-in in $1)"
  WriteRegStr HKLM $2 "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegStr HKLM $2 "Publisher" "${PRODUCT_PUBLISHER}"
  WriteRegStr HKLM $2 "InstallLocation" "$1"
  WriteRegDWORD HKLM $2 "EstimatedSize" $0
  WriteRegStr HKLM $2 "UninstallString" '"$OUTDIR\uninstall.exe"'
  WriteRegStr HKLM $2 "QuietUninstallString" '"$OUTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM $2 "NoModify" 1
  WriteRegDWORD HKLM $2 "NoRepair" 1
  ${If} ${Errors}
    DetailPrint "Could not write the entry HKLM\$2"
    MessageBox MB_OK|MB_ICONEXCLAMATION "The plug-in is installed, but it could not be entered in the list of installed programs. To remove it, run$\r$\n$OUTDIR\uninstall.exe" /SD IDOK
    SetErrorLevel ${EXIT_NOT_REGISTERED}
  ${EndIf}
SectionEnd

Function .onInit
  Call RequireAdministrator
  Call CountUninstaller
  ; The folder given with /D= wins; otherwise the search below picks one.
  ${If} $INSTDIR == ""
    Call FindPlayerFolder
    Pop $INSTDIR
  ${EndIf}
FunctionEnd

; Adds the uninstaller, which Setup writes beside the read-me, to the section's size, so that
; "Space required" on the folder page and the size registered for the list of programs are one
; number. Its size is known only once written: it is written once here, to the temporary folder.
Function CountUninstaller
  InitPluginsDir
  WriteUninstaller "$PLUGINSDIR\uninstall.exe"
  FileOpen $0 "$PLUGINSDIR\uninstall.exe" r
  FileSeek $0 0 END $1
  FileClose $0
  Delete "$PLUGINSDIR\uninstall.exe"
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024
  SectionGetSize ${SectionPlugin} $0
  IntOp $0 $0 + $1
  SectionSetSize ${SectionPlugin} $0
FunctionEnd

;--- Uninstalling (the uninstaller lives in <player>\Plugins\Songbeacon, its $INSTDIR)

Function un.onInit
  Call un.RequireAdministrator
FunctionEnd

; Pops two file names and pushes 1 when the files hold the same bytes, else 0 (also when either
; cannot be read). Files of different sizes are not read at all.
Function un.SameBytes
  Exch $0
  Exch
  Exch $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $5 0
  ClearErrors
  FileOpen $2 $0 r
  FileOpen $3 $1 r
  ${IfNot} ${Errors}
    FileSeek $2 0 END $0
    FileSeek $3 0 END $1
    ${If} $0 == $1
      FileSeek $2 0 SET
      FileSeek $3 0 SET
      StrCpy $5 1
      ${Do}
        ClearErrors
        FileReadByte $2 $0
        FileReadByte $3 $1
        ${If} ${Errors}
          ${Break} ; both at their end: sizes are equal
        ${EndIf}
        ${If} $0 != $1
          StrCpy $5 0
          ${Break}
        ${EndIf}
      ${Loop}
    ${EndIf}
  ${EndIf}
  FileClose $2
  FileClose $3
  StrCpy $0 $5
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Section "Uninstall"
  GetFullPathName $1 "$INSTDIR\.."
  retry:
  ${If} ${FileExists} "$1\${DLL}"
    Delete "$1\${DLL}"
    ${If} ${FileExists} "$1\${DLL}"
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$1\${DLL} is in use, so it cannot be removed.$\r$\n$\r$\nClose the player, then click Retry." /SD IDCANCEL IDRETRY retry
      SetErrorLevel ${EXIT_NOT_REPLACED}
      Abort "Nothing was removed: close the player and run the uninstaller again."
    ${EndIf}
  ${EndIf}
  ; What an interrupted setup run may have left beside it.
  Delete "$1\${DLL}.new"
  Delete "$1\${DLL}.old"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\${TUNE}"
  ; This folder's Start menu entry goes with its tool; other folders' entries stay.
  Push $INSTDIR
  Call un.NormalFolder
  Pop $0
  SetShellVarContext all
  ${If} $0 != ""
    ReadRegStr $2 HKLM "${TUNE_ENTRIES}" "$0"
    ${If} $2 != ""
      Delete "$SMPROGRAMS\$2.lnk"
      DeleteRegValue HKLM "${TUNE_ENTRIES}" "$0"
      DeleteRegKey /ifempty HKLM "${TUNE_ENTRIES}"
    ${EndIf}
    Push $0
    Call un.ForgetSingleEntry
    DeleteRegKey /ifempty HKLM "${TUNE_KEY}"
  ${EndIf}

  ; The logo goes only while it is the placeholder this version shipped, byte for byte.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\placeholder.jpg" "${LOGO_FILE}"
  Push "$INSTDIR\${LOGO}"
  Push "$PLUGINSDIR\placeholder.jpg"
  Call un.SameBytes
  Pop $0
  ${If} $0 == 1
    Delete "$INSTDIR\${LOGO}"
  ${ElseIf} ${FileExists} "$INSTDIR\${LOGO}"
    DetailPrint "Kept: $INSTDIR\${LOGO} (not the placeholder)"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a status page or logo the operator keeps here stays.
  RMDir "$INSTDIR"

  GetFullPathName $2 "$1\.."
  Push $2
  Call un.NormalFolder
  Call un.ForgetRegistrations
  DetailPrint "Kept: $1\plugin.ini (your settings) and the status page."
SectionEnd
