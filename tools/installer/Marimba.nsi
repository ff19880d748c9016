; Setup program of ルミナート (Marimba.exe): installs the tool and the maker
; libraries it loads into Program Files\Marimba, a Start-menu shortcut and the
; machine-wide settings, and registers an uninstaller that takes them away
; again. The user's ripped music, the library and the per-user settings are
; never touched.
;
; Built by tools/make-installer, which passes FILES_DIR (the stripped
; Marimba.exe, the maker libraries, the libavcodec and libavutil DLLs, their
; licence and the note on their source) and OUT_FILE.
;
; Marimba.exe is a 64-bit program: it needs a 64-bit Windows Vista or later.
;
; Silent use: Marimba-Setup-<version>.exe /S [/MODEL=0|1|2] [/AUTOSYNC=0|1] [/D=folder]
; Exit codes: 0 installed, 1 cancelled, 2 failed, 3 the tool is running,
; 4 a wrong command-line value.

Unicode true
; No copyright holder is named anywhere in the sources.
!pragma warning disable 9100
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; A file that cannot be written fails the installation instead of being skipped.
AllowSkipFiles off

!ifndef FILES_DIR | OUT_FILE | AVCODEC_DLL | AVUTIL_DLL
  !error "makensis -DFILES_DIR=<files> -DAVCODEC_DLL=<name> -DAVUTIL_DLL=<name> -DOUT_FILE=<setup.exe> (see tools/make-installer)"
!endif
!define SOURCE_DIR "${__FILEDIR__}/../.."

; The version lives in the resource header only.
!define VERSION_HEADER "${SOURCE_DIR}/src/resources/version.h"
!searchparse /file "${VERSION_HEADER}" "#define MARIMBA_VERSION_MAJOR " VERSION_MAJOR
!searchparse /file "${VERSION_HEADER}" "#define MARIMBA_VERSION_MINOR " VERSION_MINOR
!searchparse /file "${VERSION_HEADER}" "#define MARIMBA_VERSION_PATCH " VERSION_PATCH
!define VERSION "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}"
; A Marimba.exe built from other sources must not be packaged under this version.
!getdllversion "${FILES_DIR}/Marimba.exe" EXE_VERSION_
!if "${EXE_VERSION_1}.${EXE_VERSION_2}.${EXE_VERSION_3}" S!= "${VERSION}"
  !error "Marimba.exe is version ${EXE_VERSION_1}.${EXE_VERSION_2}.${EXE_VERSION_3}, the sources say ${VERSION}: rebuild it"
!endif

!define PRODUCT_NAME "ルミナート"
!define PUBLISHER "Orbit"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Marimba"
!define SETTINGS_KEY "Software\Orbit\Cadenza"
!define SETTINGS_KEY_WOW64 "Software\Wow6432Node\Orbit\Cadenza"
!define TOOL_MUTEX "Global\Global MUTEX for Tessera CD PC Software"
!define SYNCHRONIZE 0x00100000
!define ERROR_ACCESS_DENIED 5

!define EXIT_FAILED 2
!define EXIT_RUNNING 3
!define EXIT_BAD_OPTION 4

Name "${PRODUCT_NAME}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Marimba"
; A second installation goes where the first one went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT_NAME} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define MUI_ICON "${SOURCE_DIR}/src/resources/art/marimba.ico"
!define MUI_UNICON "${SOURCE_DIR}/src/resources/art/marimba.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "${PRODUCT_NAME} ${VERSION} をこのパソコンにインストールします。$\r$\n$\r$\n\
ルミナートは、音楽CDの曲をパソコンに取り込み、携帯プレーヤーに転送するソフトウェアです。$\r$\n$\r$\n\
動作環境: 64ビット版の Windows Vista 以降$\r$\n$\r$\n\
インストールを始める前に、ルミナートを終了してください。$\r$\n$\r$\n$_CLICK"

Var Model
Var AutoSync
Var SettingsKey
Var ModelList
Var AutoSyncBox

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom SettingsPageShow SettingsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT_NAME} を以下のフォルダーからアンインストールします。$\r$\n\
取り込んだ音楽ファイル、ライブラリ、ユーザーごとの設定は削除されません。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"
; The tool's own dialog font, rather than the language file's ＭＳ Ｐゴシック.
SetFont /LANG=${LANG_JAPANESE} "MS UI Gothic" 9

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT_NAME} セットアップ"

; Ends the installer or the uninstaller when the tool runs: its single-instance
; mutex exists, or belongs to another logged-on user (access denied).
!macro RefuseWhileRunning TEXT
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${TOOL_MUTEX}") p .r0 ?e'
  Pop $1
  ${If} $0 P<> 0
  ${OrIf} $1 = ${ERROR_ACCESS_DENIED}
    ${If} $0 P<> 0
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
    MessageBox MB_OK|MB_ICONEXCLAMATION|MB_TOPMOST "${TEXT}" /SD IDOK
    SetErrorLevel ${EXIT_RUNNING}
    Quit
  ${EndIf}
!macroend

!define RUNNING_TEXT_INSTALL "ルミナートが起動しているため、インストールできません。$\r$\n\
ルミナートを終了してから、もう一度インストールしてください。"
!define RUNNING_TEXT_UNINSTALL "ルミナートが起動しているため、アンインストールできません。$\r$\n\
ルミナートを終了してから、もう一度アンインストールしてください。"

; $SettingsKey := the machine-wide key exactly where the tool looks for it:
; on NT 5.2 (Server 2003, XP x64) below Wow6432Node, elsewhere the plain path.
; The tool decides by GetVersionEx, so this does too.
Function SettingsKeyPath
  StrCpy $SettingsKey "${SETTINGS_KEY}"
  System::Call '*(i 276, i, i, i, i, &w128) p .r0'
  ${If} $0 P= 0
    Return
  ${EndIf}
  System::Call 'kernel32::GetVersionExW(p r0) i .r1'
  System::Call '*$0(i, i .r2, i .r3)'
  System::Free $0
  ${If} $1 <> 0
  ${AndIf} $2 = 5
  ${AndIf} $3 = 2
    StrCpy $SettingsKey "${SETTINGS_KEY_WOW64}"
  ${EndIf}
FunctionEnd

; Reads one /NAME=value option; $0 := the value, or the default when absent.
; A value outside 0..MAX ends the installer.
!macro ReadChoiceOption NAME MAX DEFAULT
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/${NAME}=" $0
  ${If} ${Errors}
    StrCpy $0 "${DEFAULT}"
  ${Else}
    ; Exactly one of the digits: "01", " 1" or "1x" are refused, not read as 1.
    StrCpy $1 0
    ${ForEach} $2 0 ${MAX} + 1
      ${If} $0 S== $2
        StrCpy $1 1
      ${EndIf}
    ${Next}
    ${If} $1 = 0
      MessageBox MB_OK|MB_ICONSTOP "コマンドラインの指定が正しくありません: /${NAME}=$0$\r$\n\
/${NAME}= には 0 から ${MAX} までの数字を指定してください。" /SD IDOK
      SetErrorLevel ${EXIT_BAD_OPTION}
      Quit
    ${EndIf}
  ${EndIf}
!macroend

; $0 := the DWORD value of the machine key if it is 0..MAX, else DEFAULT.
!macro ReadPreviousChoice NAME MAX DEFAULT
  ClearErrors
  ReadRegDWORD $0 HKLM "$SettingsKey" "${NAME}"
  ${If} ${Errors}
  ${OrIf} $0 < 0
  ${OrIf} $0 > ${MAX}
    StrCpy $0 "${DEFAULT}"
  ${EndIf}
!macroend

Function .onInit
  SetRegView 64
  !insertmacro RefuseWhileRunning "${RUNNING_TEXT_INSTALL}"
  Call SettingsKeyPath
  ; Without options a reinstallation keeps the machine's earlier choices.
  !insertmacro ReadPreviousChoice "Model" 2 0
  StrCpy $Model $0
  !insertmacro ReadPreviousChoice "AutoSync" 1 0
  StrCpy $AutoSync $0
  !insertmacro ReadChoiceOption "MODEL" 2 $Model
  StrCpy $Model $0
  !insertmacro ReadChoiceOption "AUTOSYNC" 1 $AutoSync
  StrCpy $AutoSync $0
FunctionEnd

Function SettingsPageShow
  !insertmacro MUI_HEADER_TEXT "プレーヤーと自動転送" "このパソコンでの初期設定を選んでください。"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 12u "お使いのプレーヤーの機種(&M):"
  Pop $0
  ${NSD_CreateDropList} 0 14u 100% 60u ""
  Pop $ModelList
  ; What each model does to the files' names and places on the player.
  ${NSD_CB_AddString} $ModelList "機種 0 : 「01 曲名」、Music\アーティスト\アルバム のフォルダーへ"
  ${NSD_CB_AddString} $ModelList "機種 1 : 「曲名」(曲名の前に曲番号)、Music\アーティスト\アルバム のフォルダーへ"
  ${NSD_CB_AddString} $ModelList "機種 2 : 「アーティスト アルバム 曲名」、プレーヤーの最上位のフォルダーへ"
  ${NSD_CB_SetSelectionIndex} $ModelList $Model
  ${NSD_CreateCheckbox} 0 40u 100% 12u "CDとプレーヤーの準備ができたら、自動的に転送を始める(&A)"
  Pop $AutoSyncBox
  ${If} $AutoSync = 1
    ${NSD_Check} $AutoSyncBox
  ${EndIf}
  ${NSD_CreateLabel} 0 64u 100% 40u "ここで選んだ値は、このパソコンを使うすべてのユーザーの初期値になります。\
各ユーザーの設定は、そのユーザーが初めてルミナートを起動したときに、この値から作られます。"
  Pop $0
  ${NSD_SetFocus} $ModelList
  nsDialogs::Show
FunctionEnd

Function SettingsPageLeave
  ${NSD_CB_GetSelectionIndex} $ModelList $0
  ${If} $0 >= 0
  ${AndIf} $0 <= 2
    StrCpy $Model $0
  ${EndIf}
  ${NSD_GetState} $AutoSyncBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $AutoSync 1
  ${Else}
    StrCpy $AutoSync 0
  ${EndIf}
FunctionEnd

; Stops the installation with a message (shown also in a silent run's log).
!macro FailInstall TEXT
  DetailPrint "${TEXT}"
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  SetErrorLevel ${EXIT_FAILED}
  Abort
!macroend

Section "${PRODUCT_NAME}" SectionMain
  SectionIn RO
  SetRegView 64
  SetShellVarContext all
  ; The tool may have been started while the wizard was open.
  !insertmacro RefuseWhileRunning "${RUNNING_TEXT_INSTALL}"

  SetOutPath "$INSTDIR"
  File "${FILES_DIR}/Marimba.exe"
  File "${FILES_DIR}/PlatDevice.dll"
  File "${FILES_DIR}/PlatNt.dll"
  ; libavcodec and libavutil, with their licence and where their source is.
  File "${FILES_DIR}/${AVCODEC_DLL}"
  File "${FILES_DIR}/${AVUTIL_DLL}"
  File "${FILES_DIR}/COPYING.LGPLv2.1"
  File "${FILES_DIR}/FFMPEG-SOURCE.txt"
  ClearErrors
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    !insertmacro FailInstall "アンインストーラーを作成できませんでした: $INSTDIR\Uninstall.exe"
  ${EndIf}

  ; The shortcut starts the tool in its own folder, beside the maker libraries.
  ClearErrors
  CreateShortCut "$SMPROGRAMS\${PRODUCT_NAME}.lnk" "$INSTDIR\Marimba.exe" "" \
      "$INSTDIR\Marimba.exe" 0 SW_SHOWNORMAL "" "音楽CDの曲を携帯プレーヤーに転送します"
  ${If} ${Errors}
    !insertmacro FailInstall "スタートメニューにショートカットを作成できませんでした。"
  ${EndIf}

  ClearErrors
  WriteRegDWORD HKLM "$SettingsKey" "Model" $Model
  WriteRegDWORD HKLM "$SettingsKey" "AutoSync" $AutoSync
  ${If} ${Errors}
    !insertmacro FailInstall "設定をレジストリに書き込めませんでした。管理者の権限でインストールしてください。"
  ${EndIf}
  DetailPrint "機種: $Model  自動転送: $AutoSync  ($SettingsKey)"

  ClearErrors
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Marimba.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    !insertmacro FailInstall "アンインストール情報をレジストリに書き込めませんでした。"
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetRegView 64
  !insertmacro RefuseWhileRunning "${RUNNING_TEXT_UNINSTALL}"
FunctionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  ; Only what the installer put there: music, library and user keys stay.
  Delete /REBOOTOK "$INSTDIR\Marimba.exe"
  Delete /REBOOTOK "$INSTDIR\PlatDevice.dll"
  Delete /REBOOTOK "$INSTDIR\PlatNt.dll"
  Delete /REBOOTOK "$INSTDIR\${AVCODEC_DLL}"
  Delete /REBOOTOK "$INSTDIR\${AVUTIL_DLL}"
  Delete "$INSTDIR\COPYING.LGPLv2.1"
  Delete "$INSTDIR\FFMPEG-SOURCE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Left in place if someone put files of their own there.
  RMDir /REBOOTOK "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT_NAME}.lnk"

  ; Both paths: the machine may have been another Windows when it was installed.
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Orbit"
  DeleteRegKey HKLM "${SETTINGS_KEY_WOW64}"
  DeleteRegKey /ifempty HKLM "Software\Wow6432Node\Orbit"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "使用中のファイルは、パソコンを再起動したときに削除されます。" /SD IDOK
  ${EndIf}
SectionEnd
